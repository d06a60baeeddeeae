"""The message, input and wait boxes as a screen reader meets them: the message text has
the focus and can be read, the buttons carry their names, Tab and the arrow keys cycle
through the controls, Escape cancels only where a "Cancel" button exists."""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402
import pyatspi  # noqa: E402

BINARY = os.path.join(os.environ["ORVALIS_BIN"], "..", "tests", "gui_test_message_box")
APP = "gui_test_message_box"
MESSAGE = "Première ligne\nDeuxième ligne\nTroisième ligne"

passed = 0
failed = 0


def key(name):
    subprocess.run(["xdotool", "key", name], check=False)
    time.sleep(0.3)


def focused(node):
    try:
        return node.getState().contains(pyatspi.STATE_FOCUSED)
    except Exception:
        return False


def focused_node(app):
    return u.find(app, focused, timeout=3.0)


def text_of(node):
    t = node.queryText()
    return t.getText(0, t.characterCount)


class Box:
    """One demo box in its own process."""

    def __init__(self, what):
        self.proc = subprocess.Popen([BINARY], env=dict(os.environ, ORVALIS_BOX_DEMO=what),
                                     stdout=subprocess.PIPE, text=True)
        try:
            self.app = u.find_app(APP)
        except AssertionError:
            self.close()
            raise
        # The message is focused 300 ms after the box shows: let that pass.
        time.sleep(1.0)

    def button(self, name):
        return u.find(self.app, lambda n: u.role(n) == "push button" and n.name == name)

    def answer(self, timeout=10):
        try:
            out, _ = self.proc.communicate(timeout=timeout)
            return out.strip()
        except subprocess.TimeoutExpired:
            return None

    def still_open(self):
        time.sleep(0.8)
        return self.proc.poll() is None

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(10)


def check(name, fn, what):
    global passed, failed
    try:
        box = Box(what)
    except AssertionError as e:
        failed += 1
        print("FAIL " + name + ": " + str(e))
        return
    try:
        fn(box)
        passed += 1
        print("ok   " + name)
    except AssertionError as e:
        failed += 1
        print("FAIL " + name + ": " + str(e))
        try:
            print(u.dump(box.app))
        except Exception:
            pass
    finally:
        box.close()


def message_text_is_focused_and_readable(box):
    node = focused_node(box.app)
    assert node is not None, "nothing focused"
    assert u.role(node) == "text", "focused: %s %r" % (u.role(node), node.name)
    assert text_of(node) == MESSAGE, repr(text_of(node))
    assert node.name == "Question", repr(node.name)
    assert not node.getState().contains(pyatspi.STATE_EDITABLE), "message is editable"


def buttons_are_named(box):
    for name in ("Oui", "Non", "Cancel"):
        assert box.button(name) is not None, "no button " + name


def tab_cycles_from_no_back_to_the_text(box):
    key("Tab")
    assert focused(box.button("Oui")), "Tab from the text: not on Oui"
    key("Tab")
    assert focused(box.button("Non")), "Tab from Oui: not on Non"
    key("Tab")
    node = focused_node(box.app)
    assert node is not None and u.role(node) == "text", "Tab from Non: not back on the text"
    key("shift+Tab")
    assert focused(box.button("Non")), "Shift+Tab from the text: not on the last button"
    key("Return")
    assert box.answer() == "result=7"


def escape_does_nothing_without_cancel(box):
    key("Escape")
    assert box.still_open(), "Escape closed a yes/no box"
    key("Return")  # Enter on the message text answers "Oui"
    assert box.answer() == "result=6"


def escape_does_nothing_in_an_ok_box(box):
    assert box.button("Ok") is not None, "no Ok button"
    key("Escape")
    assert box.still_open(), "Escape closed an Ok box"
    key("Return")
    assert box.answer() == "result=6"


def escape_cancels_with_a_cancel_button(box):
    key("Escape")
    assert box.answer() == "result=2"


def arrows_move_between_the_buttons(box):
    key("Tab")
    assert focused(box.button("Oui"))
    key("Right")
    assert focused(box.button("Non")), "Right from Oui"
    key("Down")
    assert focused(box.button("Cancel")), "Down from Non"
    key("Up")
    assert focused(box.button("Non")), "Up from Cancel"
    key("Left")
    assert focused(box.button("Oui")), "Left from Non"
    key("Return")
    assert box.answer() == "result=6"


def input_box_returns_the_field(box):
    node = focused_node(box.app)
    assert node is not None and u.role(node) == "text", "the input field is not focused"
    assert text_of(node) == "Actualités", repr(text_of(node))
    assert node.name == "Nom du groupe :", repr(node.name)
    assert box.button("Ok") is not None
    key("End")
    key("x")
    key("Return")
    assert box.answer() == "value=Actualitésx"


def wait_box_cancels(box):
    cancel = box.button("Annuler")
    assert cancel is not None, "no Annuler button"
    bar = u.find(box.app, lambda n: u.role(n) == "progress bar")
    assert bar is not None and bar.name == "Importation des flux", "progress bar unnamed"
    assert focused(cancel), "Annuler is not focused"
    key("space")
    assert box.answer() == "cancelled=1"


def main():
    check("message text is focused and readable", message_text_is_focused_and_readable, "yesno")
    check("buttons are named", buttons_are_named, "yesnocancel")
    check("Tab cycles from Non back to the text", tab_cycles_from_no_back_to_the_text, "yesno")
    check("Escape does nothing in a yes/no box", escape_does_nothing_without_cancel, "yesno")
    check("Escape does nothing in an Ok box", escape_does_nothing_in_an_ok_box, "ok")
    check("Escape cancels with a Cancel button", escape_cancels_with_a_cancel_button,
          "yesnocancel")
    check("arrows move between the buttons", arrows_move_between_the_buttons, "yesnocancel")
    check("input box returns the field", input_box_returns_the_field, "input")
    check("wait box cancels", wait_box_cancels, "wait")
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
