"""The main window updates a feed from a local server: the menu entry "Actualiser tous les
flux", activated as a screen reader activates it, brings the new article into the tree's
unread count and into the article list."""
import functools
import http.server
import os
import re
import shutil
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402
import test_main_window as mw  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
FEEDS = os.path.join(HERE, "..", "data", "main_window_update")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def main():
    binary = os.path.join(os.environ["ORVALIS_BIN"], "Orvalis")
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(QuietHandler, directory=FEEDS))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    port = server.server_address[1]
    with tempfile.TemporaryDirectory() as data:
        folder = mw.prepare(data)
        # "Le Monde" is read from the local server.
        path = os.path.join(folder, "ListRSSU.Ini")
        text = open(path, encoding="utf-8-sig", newline="").read()
        text = text.replace("https://lemonde.example/rss",
                            "http://127.0.0.1:%d/lemonde.xml" % port)
        open(path, "w", encoding="utf-8-sig", newline="").write(text)
        proc = u.start([binary], {"XDG_DATA_HOME": data})
        try:
            run(u.find_app("Orvalis"))
        finally:
            proc.terminate()
            proc.wait(10)
            server.shutdown()
            if any(not ok for _, ok in mw.results):
                log = os.path.join(folder, "Orvalis.Log")
                if os.path.exists(log):
                    print(open(log, encoding="utf-8", errors="replace").read()[-3000:])
    failed = sum(1 for _, ok in mw.results if not ok)
    print("%d passed, %d failed" % (len(mw.results) - failed, failed))
    sys.exit(1 if failed else 0)


def run(app):
    tree = mw.zone(app, "tree table", mw.TREE)
    lst = mw.zone(app, "table", mw.LIST)
    mw.check("the tree is there", tree is not None and lst is not None)
    if tree is None:
        return
    mw.check("before the update Le Monde has 2 unread articles",
             mw.wait_for(lambda: "Le Monde [2 Non lu]" in mw.cells(tree)), mw.cells(tree))
    # The window may still be settling on a loaded machine: put the focus on the tree first.
    mw.wait_for(lambda: mw.focused(app) is not None)
    u.press("1")
    u.press("Down")
    u.press("Down")
    mw.check("the list shows Le Monde's three articles",
             mw.wait_for(lambda: len([c for c in mw.cells(lst) if "article" in c]) == 3),
             mw.cells(lst))
    item = u.find(app, lambda n: u.role(n) == "menu item" and n.name == "Actualiser tous les flux")
    mw.check("the menu entry is there", item is not None)
    if item is None:
        return
    item.queryAction().doAction(0)
    mw.wait_for(lambda: "Nouvel article arrivé par la mise à jour" in mw.cells(lst), 20)
    mw.check("the tree counts the new article",
             mw.wait_for(lambda: "Le Monde [3 Non lu]" in mw.cells(tree), 20),
             (mw.cells(tree), mw.cells(lst)))
    mw.check("the group counts it too",
             mw.wait_for(lambda: "Actualités [4 Non lu]" in mw.cells(tree), 5), mw.cells(tree))
    mw.check("the list shows the new article",
             mw.wait_for(lambda: "Nouvel article arrivé par la mise à jour" in mw.cells(lst), 5),
             mw.cells(lst))
    mw.check("the status line no longer reports an update in progress",
             mw.wait_for(lambda: "Mise à jour" not in (mw.status(app) or "x"), 10), mw.status(app))


if __name__ == "__main__":
    main()
