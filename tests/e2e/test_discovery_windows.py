"""Adding feeds as a screen reader user meets it: an OPML file given at start-up opens the
selection window, whose controls are named, whose check boxes are announced checked or
not, whose keyword filter changes the list and the counts in its buttons; the feed chosen
reaches the tree. Then the new-feed property window is read and cancelled."""
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402
import pyatspi  # noqa: E402
import test_main_window as mw  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
OPML = os.path.join(HERE, "..", "data", "opml", "other_categories.opml")


def has(node, state):
    try:
        return node.getState().contains(state)
    except Exception:
        return False


def named(app, role, name, timeout=10.0):
    roles = ("dialog", "frame") if role == "dialog" else (role,)
    return u.find(app, lambda n: u.role(n) in roles and n.name == name, timeout)


def rows(table):
    """(checked, name) of every row of the feed list: seven cells a row, the check box cell
    first (its state "checked" is what a screen reader announces), then the name."""
    cells = [n for n, _ in u.walk(table) if u.role(n) == "table cell"]
    return [(has(cells[i], pyatspi.STATE_CHECKED), cells[i + 1].name)
            for i in range(0, len(cells) - 6, 7)]


def press_button(app, name):
    b = named(app, "push button", name)
    mw.check("the button %r is there" % name, b is not None)
    if b is not None:
        b.queryAction().doAction(0)
        time.sleep(0.5)
    return b


def main():
    binary = os.path.join(os.environ["ORVALIS_BIN"], "Orvalis")
    with tempfile.TemporaryDirectory() as data:
        folder = mw.prepare(data)
        proc = u.start([binary, OPML], {"XDG_DATA_HOME": data})
        try:
            run(u.find_app("Orvalis"))
        finally:
            proc.terminate()
            proc.wait(10)
            if any(not ok for _, ok in mw.results):
                log = os.path.join(folder, "Orvalis.Log")
                if os.path.exists(log):
                    print(open(log, encoding="utf-8", errors="replace").read()[-3000:])
    failed = sum(1 for _, ok in mw.results if not ok)
    print("%d passed, %d failed" % (len(mw.results) - failed, failed))
    sys.exit(1 if failed else 0)


def run(app):
    dialog = named(app, "dialog", "Sélection de flux à importer", 30)
    mw.check("the selection window opens for the file of the command line", dialog is not None)
    if dialog is None:
        print(u.dump(app))
        return
    for role, name in [("text", "Mot-Clé"), ("push button", "Filtrer"),
                       ("check box", "Seulement les flux actifs"),
                       ("check box", "Vérifier les flux"),
                       ("check box", "Changer le groupe de destination"),
                       ("push button", "Importer"), ("push button", "Annuler"),
                       ("push button", "Sélectionner les 4 flux"),
                       ("push button", "Desélectionner les 4 flux"),
                       ("push button", "Sélectionner tous les flux du groupe"),
                       ("combo box", "Afficher"), ("combo box", "Langue"),
                       ("combo box", "Du groupe")]:
        mw.check("%s %r is named" % (role, name), named(dialog, role, name, 3) is not None)
    table = u.find(dialog, lambda n: u.role(n) in ("table", "tree table")
                   and n.name == "Sélection de flux à importer")
    mw.check("the feed list is named", table is not None)
    if table is None:
        print(u.dump(dialog))
        return
    mw.check("four feeds, none checked",
             mw.wait_for(lambda: rows(table) == [(False, "Linux news"), (False, "Kernel"),
                                                 (False, "Recettes"),
                                                 (False, "Second Tech block")]), rows(table))
    key = named(dialog, "text", "Mot-Clé")
    if key is not None:
        key.queryEditableText().setTextContents("kernel")
    press_button(dialog, "Filtrer")
    mw.check("the keyword leaves one feed",
             mw.wait_for(lambda: rows(table) == [(False, "Kernel")]), rows(table))
    mw.check("the buttons count it", named(dialog, "push button", "Sélectionner les 1 flux", 3)
             is not None)
    press_button(dialog, "Sélectionner les 1 flux")
    mw.check("the feed is announced checked",
             mw.wait_for(lambda: rows(table) == [(True, "Kernel")]), rows(table))
    key.queryEditableText().setTextContents("")
    press_button(dialog, "Filtrer")
    mw.check("without keyword the four come back, one checked",
             mw.wait_for(lambda: rows(table) == [(False, "Linux news"), (True, "Kernel"),
                                                 (False, "Recettes"),
                                                 (False, "Second Tech block")]), rows(table))
    verify = named(dialog, "check box", "Vérifier les flux")
    mw.check("verification starts checked", verify is not None and has(verify, pyatspi.STATE_CHECKED))
    if verify is not None:
        verify.queryAction().doAction(0)
        time.sleep(0.3)
    press_button(dialog, "Importer")
    tree = mw.zone(app, "tree table", mw.TREE)
    mw.check("the imported feed reaches the tree",
             mw.wait_for(lambda: tree is not None and any(c.startswith("Kernel") for c in mw.cells(tree)), 10),
             tree and mw.cells(tree))
    mw.check("only the chosen feed was imported",
             tree is not None and not any(c.startswith("Recettes") for c in mw.cells(tree)))

    item = u.find(app, lambda n: u.role(n) == "menu item" and n.name.startswith("Nouveau flux..."))
    mw.check("the new-feed menu entry is there", item is not None)
    if item is None:
        return
    item.queryAction().doAction(0)
    props = named(app, "dialog", "Propriété du nouveau flux", 15)
    mw.check("the property window opens", props is not None)
    if props is None:
        return
    for role, name in [("text", "Nom"), ("text", "Adresse"), ("push button", "Vérifier l'adresse"),
                       ("combo box", "Type de flux"), ("combo box", "Langue"),
                       ("combo box", "Contenu du flux"), ("text", "Description"),
                       ("text", "Sous-dossier de podcast"), ("push button", "Ok"),
                       ("push button", "Annuler"), ("check box", "Actualiser au démarrage")]:
        mw.check("%s %r is named in the property window" % (role, name),
                 named(props, role, name, 3) is not None)
    name = named(props, "text", "Nom", 3)
    mw.check("a new feed is called Nouveau Flux",
             name is not None and name.queryText().getText(0, -1) == "Nouveau Flux")
    spin = u.find(props, lambda n: u.role(n) == "spin button"
                  and n.name.startswith("Intervalle d'actualisation"), 3)
    mw.check("the update interval is read as hours", spin is not None and spin.name.endswith("5 heures"),
             spin and spin.name)
    press_button(props, "Annuler")
    mw.check("cancel closes the property window",
             mw.wait_for(lambda: named(app, "dialog", "Propriété du nouveau flux", 0.2) is None, 5))


if __name__ == "__main__":
    main()
