"""The message box, the input box and the preferences dialog as a blind user hears them:
Orca runs beside each, keys are sent as a user types them, and what Orca said is checked:
the title and the message first, every button by its name, every control by its name and
role, and no silence after a key that moves the focus."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import orca_util as o  # noqa: E402

TESTS = os.path.join(os.environ["ORVALIS_BIN"], "..", "tests")

# Known faults, reported but not counted until mended:
# - arrowing through the preferences' pages changes the page without a word from Orca;
# - the "Nb max de flux actifs" spin button is read as its bare value ("150"), without its
#   name.
PAGE_ARROWS_SPOKEN = False
SPIN_NAME_SPOKEN = False

results = []


def check(name, cond, heard=None, counted=True):
    ok = bool(cond)
    if counted:
        results.append(ok)
        print(("ok   " if ok else "FAIL ") + name + ("" if ok else "  -- heard %r" % (heard,)))
    else:
        print(("XPASS (count it now) " if ok else "XFAIL ") + name + "  -- heard %r" % (heard,))


def words(lines):
    """What the program made Orca say: Orca's echo of the key typed ("tab ") left out."""
    return [line.strip() for line in lines
            if not (line.endswith(" ") and len(line.split()) <= 2) and line.strip()]


def said_alone(lines, text):
    """`text` was an utterance of its own (a title), with or without a closing full stop."""
    return any(line.rstrip(".") == text for line in lines)


def in_order(lines, *wanted):
    at = 0
    for want in wanted:
        while at < len(lines) and want not in lines[at]:
            at += 1
        if at == len(lines):
            return False
        at += 1
    return True


def tab(L, want, what, counted=True):
    """Tab, then checks what the control that took the focus was announced as."""
    heard = L.key("Tab", want=want)
    said = words(heard)
    check(what, want in "\n".join(said), heard, counted)
    check("no silence after Tab towards " + want, said, heard)
    check("no unnamed button towards " + want, not o.unnamed_buttons(said), heard)
    check("nothing raw towards " + want, not o.raw_masks(said), heard)
    return said


def message_box(L):
    mark = L.mark()
    proc = L.start_program([os.path.join(TESTS, "gui_test_message_box")],
                           {"ORVALIS_BOX_DEMO": "yesnocancel"})
    heard = words(L.wait_for(mark, "Première ligne", timeout=60))
    check("the message box says its title, then the message's first line",
          in_order(heard, "Question", "Première ligne"), heard)
    check("the message is announced as text to read",
          in_order(heard, "Question read only text", "Première ligne"), heard)
    tab(L, "Oui push button", "Tab speaks the first button by its name")
    tab(L, "Non push button", "Tab speaks the second button by its name")
    tab(L, "Cancel push button", "Tab speaks the third button by its name")
    L.key("Escape")
    check("Escape closes the box", proc.wait(20) is not None)


def input_box(L):
    mark = L.mark()
    proc = L.start_program([os.path.join(TESTS, "gui_test_message_box")],
                           {"ORVALIS_BOX_DEMO": "input"})
    heard = words(L.wait_for(mark, "Nom du groupe", timeout=60))
    check("the input box speaks its field by the question asked",
          "Nom du groupe : text" in "\n".join(heard), heard)
    # The title is said as the window opens only when Orca saw it become active in time:
    # asked for, it is always there.
    heard = words(L.title(want="Nom"))
    check("the input box's title is Nom", said_alone(heard, "Nom"), heard)
    tab(L, "Ok push button", "Tab speaks the input box's button by its name")
    L.key("Escape")
    check("Escape closes the box", proc.wait(20) is not None)


def prefs_dialog(L, data):
    mark = L.mark()
    proc = L.start_program([os.path.join(TESTS, "gui_test_prefs_dialog"), "--show", data],
                           {"XDG_CONFIG_HOME": os.path.join(data, "config")})
    heard = words(L.wait_for(mark, "page tab", timeout=60))
    check("the preferences open on their first page", "Général page tab" in "\n".join(heard),
          heard)
    heard = words(L.title(want="Préférences"))
    check("the preferences' title is Préférences", said_alone(heard, "Préférences"), heard)
    heard = L.key("Right", want="Article", timeout=8)
    check("Right speaks the next page", "Article page tab" in "\n".join(words(heard)), heard,
          counted=PAGE_ARROWS_SPOKEN)
    L.key("Left", want="Général", timeout=8)
    said = tab(L, "Langue combo box", "Tab speaks the language list by its name")
    check("the page is named before its first control",
          in_order(said, "Général", "Langue combo box"), said)
    tab(L, "Mise à jour langue push button", "Tab speaks the next button by its name")
    heard = L.key("Tab", want="selected")
    check("the spin button is spoken with its name",
          "Nb max de flux actifs" in "\n".join(words(heard)), heard, counted=SPIN_NAME_SPOKEN)
    check("no silence after Tab towards the spin button", words(heard), heard)
    tab(L, "Réduire au démarrage check box not checked",
        "Tab speaks a check box by its name and its state")
    heard = L.key("space", want="checked")
    check("Space speaks the check box's new state", "checked" in "\n".join(words(heard))
          and "not checked" not in "\n".join(words(heard)), heard)
    L.key("Escape")
    check("Escape closes the dialog", proc.wait(20) is not None)


def main():
    with o.Listener() as L, tempfile.TemporaryDirectory() as data:
        message_box(L)
        input_box(L)
        prefs_dialog(L, data)
    failed = results.count(False)
    print("%d passed, %d failed" % (len(results) - failed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
