"""Adding feeds from the bank shipped with the program, as a screen reader user meets it:
the command "Ajouter des flux" of the "Flux" menu opens the selection window in its "Ajouter"
mode, offering every feed of the shipped bank the catalogue does not hold, read over AT-SPI;
cancel closes it and adds nothing."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402
import test_main_window as mw  # noqa: E402
from test_discovery_windows import named, press_button  # noqa: E402


def bank_feeds():
    """The addresses of the shipped bank, as its reader takes them (header line skipped)."""
    path = os.path.join(os.environ["ORVALIS_BIN"], "OrvalisU.Dat")
    with open(path, encoding="utf-8-sig") as f:
        lines = f.read().splitlines()[1:]
    return {line.split("\x11")[0].strip().lower() for line in lines if line.strip()}


def main():
    binary = os.path.join(os.environ["ORVALIS_BIN"], "Orvalis")
    with tempfile.TemporaryDirectory() as data:
        folder = mw.prepare(data)
        proc = u.start([binary], {"XDG_DATA_HOME": data})
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
    # The test catalogue holds none of the bank's addresses: every bank feed is new.
    count = len(bank_feeds())
    mw.check("the shipped bank holds feeds", count >= 500, count)
    item = u.find(app, lambda n: u.role(n) == "menu item" and n.name == "Ajouter des flux", 30)
    mw.check("the menu entry that adds feeds from the bank is there", item is not None)
    if item is None:
        print(u.dump(app)[:3000])
        return
    item.queryAction().doAction(0)
    dialog = named(app, "dialog", "Sélection de flux à ajouter", 30)
    mw.check("the selection window opens in its adding mode", dialog is not None)
    if dialog is None:
        return
    mw.check("the confirm button reads Ajouter",
             named(dialog, "push button", "Ajouter", 5) is not None)
    mw.check("every new feed of the bank is offered",
             named(dialog, "push button", "Sélectionner les %d flux" % count, 10) is not None)
    mw.check("the bank date filter is there", named(dialog, "combo box", "Afficher", 3) is not None)
    first = u.find(dialog, lambda n: u.role(n) == "table cell"
                   and n.name == "All About Android (Audio)", 20)
    mw.check("a bank feed is read by its name", first is not None)
    press_button(dialog, "Annuler")
    mw.check("cancel closes the selection window",
             mw.wait_for(lambda: named(app, "dialog", "Sélection de flux à ajouter", 0.2) is None, 5))
    tree = mw.zone(app, "tree table", mw.TREE)
    mw.check("nothing was added", tree is not None
             and not any(c.startswith("All About Android") for c in mw.cells(tree)))


if __name__ == "__main__":
    main()
