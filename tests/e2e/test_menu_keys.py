"""Every top-level menu opens from the keyboard as GTK offers it, with Alt and its
mnemonic: Alt+F opens "Fichier" and shows its first entry, and each other menu
("Flux", "Article", "Audio", "PodCast", "Affichage", "Aide") opens with its own letter."""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402
import test_main_window as mw  # noqa: E402

# The menu, the letter that opens it and its first entry.
MENUS = [("Fichier", "f", "OPML"), ("Flux", "l", "Ajouter des flux"),
         ("Article", "a", "Rechercher..."), ("Audio", "u", "Stop"),
         ("PodCast", "p", None), ("Affichage", "i", "Indicateur"),
         ("Aide", "d", "Aide contextuelle")]


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


def alt(letter):
    """Alt+letter as a user types it (the X server's test extension, as a keyboard)."""
    subprocess.run(["xdotool", "key", "alt+" + letter], check=False)
    time.sleep(0.3)


def showing(node):
    return u.read(lambda: node.getState().contains(pyatspi.STATE_SHOWING), False)


def open_entries(menu):
    """The entries of `menu` shown on screen (empty while the menu is closed)."""
    return [u.name(c) for c in u.children(menu) if showing(c) and u.role(c) != "separator"]


def run(app):
    bar = u.find(app, lambda n: u.role(n) == "menu bar")
    mw.check("the menu bar is there", bar is not None)
    if bar is None:
        return
    menus = {u.name(c): c for c in u.children(bar)}
    mw.check("the bar holds the seven menus", sorted(menus) == sorted(m for m, _, _ in MENUS),
             sorted(menus))
    # The keys go to the main window: the tree has the focus.
    mw.wait_for(lambda: mw.focused(app) is not None, 10)
    u.press("1")
    mw.wait_for(lambda: mw.focused(app) == mw.TREE)
    for title, letter, first in MENUS:
        menu = menus.get(title)
        if menu is None:
            continue
        mw.check(title + " is closed at first", not open_entries(menu), open_entries(menu))
        alt(letter)
        entries = mw.wait_for(lambda: open_entries(menu), 5)
        mw.check("Alt+%s opens %s" % (letter.upper(), title), bool(entries), entries)
        if first is not None:
            mw.check("%s shows its first entry %s" % (title, first),
                     entries and entries[0] == first, entries)
        u.press("Escape")
        mw.check(title + " closes with Escape", mw.wait_for(lambda: not open_entries(menu), 5))


if __name__ == "__main__":
    main()
