"""The help opens in the user's browser: by itself at the first start (no preferences yet),
then with F1 at the page of the zone that has the focus. The pages list the program's
keys, made from its own shortcut table."""
import os
import stat
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402
import test_main_window as mw  # noqa: E402


def opened(record):
    """The addresses the browser was asked to open so far."""
    if not os.path.exists(record):
        return []
    return [line.strip() for line in open(record, encoding="utf-8") if line.strip()]


def main():
    binary = os.path.join(os.environ["ORVALIS_BIN"], "Orvalis")
    with tempfile.TemporaryDirectory() as data:
        mw.prepare(data)
        # The browser: a script that writes down what it is asked to open.
        record = os.path.join(data, "opened.txt")
        browser = os.path.join(data, "browser.sh")
        with open(browser, "w") as f:
            f.write('#!/bin/sh\necho "$1" >> "%s"\n' % record)
        os.chmod(browser, stat.S_IRWXU)
        proc = u.start([binary], {"XDG_DATA_HOME": data, "BROWSER": browser})
        try:
            run(u.find_app("Orvalis"), record)
        finally:
            proc.terminate()
            proc.wait(10)
    failed = sum(1 for _, ok in mw.results if not ok)
    print("%d passed, %d failed" % (len(mw.results) - failed, failed))
    sys.exit(1 if failed else 0)


def page(address):
    path = address[len("file://"):] if address.startswith("file://") else address
    return open(path, encoding="utf-8").read() if os.path.exists(path) else ""


def run(app, record):
    first = mw.wait_for(lambda: opened(record), 20)
    mw.check("the first start opens the help", first and first[0].endswith("/Orvalis.html"), first)
    text = page(first[0]) if first else ""
    for key, what in [("Maj+F5", "Actualiser tous les flux"), ("F1", "Aide de la zone"),
                      ("Alt+Control+V", "Global Menu Rapide"), ("Alt+F", "Fichier")]:
        mw.check("the help lists %s for %s" % (key, what),
                 "<kbd>%s</kbd></td><td>%s" % (key, what) in text)
    mw.check("the help is plain semantic HTML",
             '<html lang="fr">' in text and "<th scope=\"col\">" in text and "<h1>" in text)
    tree = mw.zone(app, "tree table", mw.TREE)
    mw.check("the tree is there", tree is not None)
    mw.wait_for(lambda: mw.focused(app) is not None, 10)
    u.press("2")
    mw.wait_for(lambda: mw.focused(app) == mw.LIST)
    u.press("F1")
    later = mw.wait_for(lambda: opened(record)[1:], 10)
    mw.check("F1 in the list opens the list's page",
             later and later[-1].endswith("/ZoneListe.html"), later)
    mw.check("the list's page lists its keys",
             later and "<kbd>Maj+Espace</kbd>" in page(later[-1]))


if __name__ == "__main__":
    main()
