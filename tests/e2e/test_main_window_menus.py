"""Menu commands of the main window activated as a screen reader activates them: a display
toggle filters the list and is checked, the statistics and the About window open with
their texts and close with the keyboard, the context-menu key opens the feed's pop-up
menu."""
import os
import sys
import tempfile

import pyatspi

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402
import test_main_window as mw  # noqa: E402


def main():
    binary = os.path.join(os.environ["ORVALIS_BIN"], "Orvalis")
    with tempfile.TemporaryDirectory() as data:
        mw.prepare(data)
        proc = u.start([binary], {"XDG_DATA_HOME": data})
        try:
            run(u.find_app("Orvalis"))
        finally:
            proc.terminate()
            proc.wait(10)
    failed = sum(1 for _, ok in mw.results if not ok)
    print("%d passed, %d failed" % (len(mw.results) - failed, failed))
    sys.exit(1 if failed else 0)


def menu_item(app, name, role="menu item"):
    return u.find(app, lambda n: u.role(n) == role and n.name == name, timeout=5)


def text_of(node):
    try:
        return node.queryText().getText(0, -1)
    except Exception:
        return ""


def dialog_text(app, title):
    """The text shown by the dialog titled `title`, or None when it is not open."""
    dlg = u.find(app, lambda n: u.role(n) in ("dialog", "frame") and n.name == title, timeout=5)
    if dlg is None:
        return None
    texts = [text_of(n) for n, _ in u.walk(dlg) if u.role(n) == "text"]
    labels = [u.name(n) for n, _ in u.walk(dlg) if u.role(n) in ("push button", "label")]
    return "\n".join(texts + labels)


def closed(app, title):
    return u.find(app, lambda n: u.role(n) in ("dialog", "frame") and n.name == title
                  and n.getState().contains(pyatspi.STATE_SHOWING), timeout=0.5) is None


def run(app):
    tree = mw.zone(app, "tree table", mw.TREE)
    lst = mw.zone(app, "table", mw.LIST)
    mw.check("the zones are there", tree is not None and lst is not None)
    if tree is None:
        return
    u.press("Down")
    u.press("Down")
    mw.wait_for(lambda: "Troisième article du Monde" in mw.cells(lst))

    only = menu_item(app, "Seulement les non-lu", "check menu item")
    mw.check("the display entry is there", only is not None)
    if only is not None:
        only.queryAction().doAction(0)
        mw.check("only the unread articles stay in the list",
                 mw.wait_for(lambda: "Lu Deuxième article du Monde" not in mw.cells(lst)
                             and "Premier article du Monde" in mw.cells(lst)), mw.cells(lst))
        mw.check("the entry is checked",
                 mw.wait_for(lambda: only.getState().contains(pyatspi.STATE_CHECKED)))
        only.queryAction().doAction(0)
        mw.check("all the articles come back",
                 mw.wait_for(lambda: "Lu Deuxième article du Monde" in mw.cells(lst)),
                 mw.cells(lst))

    stats = menu_item(app, "Statistiques")
    if stats is not None:
        stats.queryAction().doAction(0)
        text = mw.wait_for(lambda: dialog_text(app, "Statistiques"))
        mw.check("the statistics count feeds and articles",
                 text and "3 flux, 0 désactivés." in text and "6 articles dont 3 non lu." in text,
                 text)
        u.press("Return")
        mw.check("Enter closes the statistics", mw.wait_for(lambda: closed(app, "Statistiques")))

    about = menu_item(app, "A propos")
    if about is not None:
        about.queryAction().doAction(0)
        text = mw.wait_for(lambda: dialog_text(app, "A propos"))
        mw.check("the About window names the program and its version",
                 text and "Version 1.10.1708.2300" in text, text)
        for button in ["Site", "Dossier système", "Quitter"]:
            mw.check("the About window has the button " + button, text and button in text, text)
        u.press("Escape")
        mw.check("Escape closes the About window", mw.wait_for(lambda: closed(app, "A propos")))

    u.press("1")
    mw.wait_for(lambda: mw.focused(app) == mw.TREE)
    u.press("Menu")
    popup = u.find(app, lambda n: u.role(n) == "menu item" and n.name == "Propriété du flux"
                   and n.getState().contains(pyatspi.STATE_SHOWING), timeout=5)
    mw.check("the context-menu key opens the feed's pop-up menu", popup is not None)
    names = [u.name(n) for n, _ in u.walk(popup.parent)] if popup is not None else []
    for label in ["Supprimer le flux", "Actualiser le flux", "Désactiver le flux",
                  "Activer les alertes"]:
        mw.check("the feed's pop-up menu holds " + label, label in names, names)
    u.press("Escape")


if __name__ == "__main__":
    main()
