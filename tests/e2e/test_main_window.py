"""The main window as a screen-reader user meets it: started on a prepared data folder,
read over AT-SPI and driven with the keyboard."""
import os
import shutil
import sys
import tempfile
import time

import pyatspi

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "data", "main_window")

TREE = "Arborescence des flux"
LIST = "Liste des articles"
TEXT = "Texte de l'article"

results = []


def check(name, cond, detail=""):
    results.append((name, bool(cond)))
    print(("ok   " if cond else "FAIL ") + name + ("" if cond else "  -- " + str(detail)))


def wait_for(fn, timeout=5.0):
    deadline = time.time() + timeout
    value = fn()
    while not value and time.time() < deadline:
        time.sleep(0.2)
        value = fn()
    return value


def focused(app):
    node = u.find(app, lambda n: n.getState().contains(pyatspi.STATE_FOCUSED), timeout=0.5)
    return node.name if node is not None and u.role(node) in ("tree table", "table", "text") else None


def zone(app, role, name):
    return u.find(app, lambda n: u.role(n) == role and n.name == name, timeout=5)


def cells(table):
    # A row rewritten while it is read (a read mark arriving) replaces its accessible
    # objects under the walk: read the whole table again.
    for _ in range(10):
        try:
            names = []
            for node, _ in u.walk(table):
                if u.role(node) == "table cell" and u.name(node):
                    names.append(u.name(node))
            return names
        except Exception:
            time.sleep(0.1)
    return []


def status(app):
    node = u.find(app, lambda n: u.role(n) == "status bar", timeout=1)
    return node.name if node is not None else None


def prepare(root):
    folder = os.path.join(root, "QuenbelS", "Orvalis")
    shutil.copytree(DATA, folder)
    return folder


def main():
    binary = os.path.join(os.environ["ORVALIS_BIN"], "Orvalis")
    with tempfile.TemporaryDirectory() as data:
        prepare(data)
        proc = u.start([binary], {"XDG_DATA_HOME": data})
        try:
            run(u.find_app("Orvalis"))
        finally:
            proc.terminate()
            proc.wait(10)
    failed = sum(1 for _, ok in results if not ok)
    print("%d passed, %d failed" % (len(results) - failed, failed))
    sys.exit(1 if failed else 0)


def run(app):
    frame = u.find(app, lambda n: u.role(n) == "frame" and n.name.startswith("Orvalis"))
    check("the frame's title begins with Orvalis", frame is not None, u.dump(app)[:2000])

    bar = u.find(app, lambda n: u.role(n) == "menu bar")
    titles = [u.name(c) for c in u.children(bar)] if bar else []
    check("the main menu has its French entries",
          titles == ["Fichier", "Flux", "Article", "Audio", "PodCast", "Affichage", "Aide"], titles)
    items = [u.name(n) for n, _ in u.walk(bar)] if bar else []
    for label in ["Préférences...", "Quitter", "Actualiser tous les flux", "Prochain non-lu",
                  "Statistiques", "A propos", "Arborescence des flux", "Seulement les non-lu"]:
        check("the menus hold " + label, label in items)

    tree = zone(app, "tree table", TREE)
    lst = zone(app, "table", LIST)
    text = zone(app, "text", TEXT)
    check("the tree zone is named", tree is not None)
    check("the list zone is named", lst is not None)
    check("the article zone is named", text is not None)
    if tree is None or lst is None:
        return

    rows = cells(tree)
    for label in ["Actualités [3 Non lu]", "France Info [1 Non lu]", "Le Monde [2 Non lu]",
                  "Technologie", "Numerama"]:
        check("the tree shows " + label, label in rows, rows)

    check("the tree has the focus at start-up", wait_for(lambda: focused(app) == TREE), focused(app))
    check("the status line reads the selected group",
          wait_for(lambda: (status(app) or "").startswith("Groupe 1 sur 2")), status(app))

    # Down twice: the first group's second feed ("Le Monde", after "France Info").
    u.press("Down")
    u.press("Down")
    want = ["Premier article du Monde", "Lu Deuxième article du Monde",
            "Troisième article du Monde"]
    got = wait_for(lambda: [c for c in cells(lst) if "Monde" in c and "article" in c] == want
                   and cells(lst))
    check("choosing a feed with the arrows fills the list with its articles", got, cells(lst))
    check("the list's fourth column is titled for a feed view",
          "Taille fichier associé" in [u.name(n) for n, _ in u.walk(lst)
                                       if u.role(n) == "table column header"])
    check("the status line names the feed and its unread count",
          wait_for(lambda: status(app) == "Le Monde, 2 Non lu. 3 articles"), status(app))

    u.press("Tab")
    check("Tab moves to the article list", wait_for(lambda: focused(app) == LIST), focused(app))
    check("the status line counts the articles in the list",
          wait_for(lambda: (status(app) or "").startswith("Article 1 sur 3")), status(app))
    u.press("Tab")
    check("Tab moves on to the article text", wait_for(lambda: focused(app) == TEXT),
          focused(app))
    check("the article text shows the selected article",
          wait_for(lambda: "Premier article du Monde" in
                   text.queryText().getText(0, -1)), text.queryText().getText(0, -1))
    u.press("Tab")
    check("Tab comes back to the tree", wait_for(lambda: focused(app) == TREE), focused(app))
    u.press("ISO_Left_Tab")
    check("Shift+Tab goes back to the article text", wait_for(lambda: focused(app) == TEXT),
          focused(app))
    u.press("2")
    check("the digit 2 focuses the list", wait_for(lambda: focused(app) == LIST), focused(app))
    u.press("1")
    check("the digit 1 focuses the tree", wait_for(lambda: focused(app) == TREE), focused(app))
    u.press("3")
    check("the digit 3 focuses the article text", wait_for(lambda: focused(app) == TEXT),
          focused(app))
    check("reaching the text marks the article read in the tree",
          wait_for(lambda: "Le Monde [1 Non lu]" in cells(tree)), cells(tree))
    u.press("F6")
    check("F6 from outside the tree goes to the tree", wait_for(lambda: focused(app) == TREE),
          focused(app))
    u.press("F6")
    check("F6 from the tree goes to the list", wait_for(lambda: focused(app) == LIST),
          focused(app))

    # Left and Right in the tree: from a feed to its group, close it, open it, go in.
    u.press("1")
    u.press("Left")
    check("Left on a feed goes to its group",
          wait_for(lambda: (status(app) or "").startswith("Groupe 1 sur 2")), status(app))
    u.press("Left")
    check("Left on an open group closes it",
          wait_for(lambda: "Le Monde [1 Non lu]" not in cells(tree)), cells(tree))
    u.press("Right")
    check("Right on a closed group opens it",
          wait_for(lambda: "Le Monde [1 Non lu]" in cells(tree)), cells(tree))
    u.press("Right")
    check("Right on an open group goes to its first feed",
          wait_for(lambda: (status(app) or "").startswith("France Info")), status(app))


if __name__ == "__main__":
    main()
