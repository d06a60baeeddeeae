"""The article view as a screen-reader user meets it: selecting an article fills the text
view with its text, title and enclosure lines; Enter in the text view extracts the
article's page from a local server into the text view; the HTML view shows the page as a
document readable over AT-SPI, and a script in the description does not run."""
import functools
import http.server
import os
import shutil
import sys
import tempfile
import threading
import time

import pyatspi

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402
import test_main_window as mw  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "data", "article_view")
PAGES = os.path.join(HERE, "..", "data", "article")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        if self.path != "/stall.html":
            return super().do_GET()
        # A page that starts and then never ends (until the server stops).
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", "100000")
        self.end_headers()
        self.wfile.write(b"<html><body><p>" + b"x" * 200)
        self.wfile.flush()
        STOP.wait(30)


STOP = threading.Event()


def prepare(root, port):
    folder = os.path.join(root, "QuenbelS", "Orvalis")
    shutil.copytree(DATA, folder)
    for path in [os.path.join(folder, "ListRSSU.Ini"),
                 os.path.join(folder, "Feeds", "journal.example.Txt")]:
        data = open(path, "rb").read().replace(b"PORT", str(port).encode())
        open(path, "wb").write(data)
    return folder


def main():
    binary = os.path.join(os.environ["ORVALIS_BIN"], "Orvalis")
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(QuietHandler, directory=PAGES))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    with tempfile.TemporaryDirectory() as data:
        folder = prepare(data, server.server_address[1])
        proc = u.start([binary], {"XDG_DATA_HOME": data})
        try:
            run(u.find_app("Orvalis"))
        finally:
            proc.terminate()
            proc.wait(10)
            STOP.set()
            server.shutdown()
            if any(not ok for _, ok in mw.results):
                log = os.path.join(folder, "Orvalis.Log")
                if os.path.exists(log):
                    print(open(log, encoding="utf-8", errors="replace").read()[-3000:])
    failed = sum(1 for _, ok in mw.results if not ok)
    print("%d passed, %d failed" % (len(mw.results) - failed, failed))
    sys.exit(1 if failed else 0)


def text_of(node):
    try:
        return node.queryText().getText(0, -1)
    except Exception:
        return ""


def run(app):
    check, wait_for = mw.check, mw.wait_for
    tree = mw.zone(app, "tree table", mw.TREE)
    lst = mw.zone(app, "table", mw.LIST)
    text = mw.zone(app, "text", mw.TEXT)
    check("the zones are there", tree and lst and text, u.dump(app)[:2000])
    if not (tree and lst and text):
        return
    wait_for(lambda: mw.focused(app) == mw.TREE)
    u.press("Down")
    check("the feed's articles are listed",
          wait_for(lambda: "Page avec script" in " ".join(mw.cells(lst))), mw.cells(lst))
    u.press("Tab")
    check("the list has the focus", wait_for(lambda: mw.focused(app) == mw.LIST), mw.focused(app))
    u.press("Home")
    shown = wait_for(lambda: "Le parlement a voté la loi sur le climat." in text_of(text))
    check("selecting an article fills the text view with its description", shown, text_of(text))
    body = text_of(text).replace("\r\n", "\n")
    check("the title follows the description", "Lire la suite\n\nNouvelle loi - Le Journal" in body, body)
    check("the enclosure and duration lines follow the title",
          "Podcast emission.mp3" in body and "Durée 00:02:05" in body, body)
    check("showing the article marks it read (the tree's count falls)",
          wait_for(lambda: "Journal [2 Non lu]" in mw.cells(tree), 5), mw.cells(tree))

    # Enter in the text view: the article's page replaces the text.
    u.press("3")
    check("the text view has the focus", wait_for(lambda: mw.focused(app) == mw.TEXT),
          mw.focused(app))
    # The text view's menu from the keyboard: its entries and the description's link.
    u.press("Menu")
    entry = u.find(app, lambda n: u.role(n) == "menu item"
                   and n.name.startswith("Extraire le texte de l'article"), timeout=5)
    names = [n.name for n, _ in u.walk(app) if u.role(n) == "menu item"]
    check("the Menu key opens the text view's menu with its extraction entry", entry is not None,
          names)
    check("the menu offers the save entry and the article's links",
          any(n.startswith("Enregistrer le texte") for n in names) and "Lire la suite" in names,
          names)
    u.press("Escape")
    u.press("Escape")
    wait_for(lambda: mw.focused(app) == mw.TEXT)
    u.press("Return")
    extracted = wait_for(lambda: "=== Haut de texte ====" in text_of(text), 20)
    body = text_of(text)
    check("Enter extracts the page into the text view", extracted, body)
    check("the extracted text starts at the article",
          body.startswith("Nouvelle loi sur le climat"), body[:200])
    check("the extracted text ends with the statistics line",
          "Téléchargement de " in body and "Source = http://127.0.0.1:" in body, body[-300:])
    check("the focus is back on the text view", wait_for(lambda: mw.focused(app) == mw.TEXT),
          mw.focused(app))

    # A page that stalls: "Annuler" in the wait box ends the extraction at once and the
    # text view keeps the article.
    u.press("2")
    wait_for(lambda: mw.focused(app) == mw.LIST)
    u.press("End")
    wait_for(lambda: "Cette page ne finit jamais" in text_of(text))
    u.press("3")
    wait_for(lambda: mw.focused(app) == mw.TEXT)
    before = text_of(text)
    u.press("Return")
    cancel = u.find(app, lambda n: u.role(n) == "push button" and n.name == "Annuler"
                    and n.getState().contains(pyatspi.STATE_SHOWING), timeout=10)
    check("the wait box offers Annuler during the download", cancel is not None)
    if cancel is not None:
        started = time.time()
        cancel.queryAction().doAction(0)
        gone = wait_for(lambda: not cancel.getState().contains(pyatspi.STATE_SHOWING), 10)
        check("Annuler ends the stalled extraction within 3 seconds",
              gone and time.time() - started < 3, time.time() - started)
        check("the text view keeps the article after the cancel", text_of(text) == before,
              text_of(text)[:200])

    # The HTML view, then the article whose description holds a script.
    item = u.find(app, lambda n: u.role(n) in ("check menu item", "menu item")
                  and n.name.replace("&", "") == "Afficher l'article en html")
    check("the HTML view's menu entry is there", item is not None)
    if item is None:
        return
    item.queryAction().doAction(0)
    u.press("2")
    wait_for(lambda: mw.focused(app) == mw.LIST)
    u.press("Up")
    doc = u.find(app, lambda n: u.role(n) == "document web"
                 and "Texte visible de l'article." in
                 "".join(text_of(c) for c, _ in u.walk(n)), timeout=20)
    check("the HTML view shows the description as a document", doc is not None,
          u.dump(app)[-3000:])
    if doc is not None:
        check("the page's title is the article's title: the script did not run",
              doc.name == "Page avec script", doc.name)
    check("the text view is hidden while the HTML view shows",
          not text.getState().contains(pyatspi.STATE_SHOWING), text.getState().getStates())
    u.press("3")
    check("the digit 3 reaches the web view in the text zone",
          wait_for(lambda: (mw.status(app) or "").startswith("Journal")
                   and mw.focused(app) not in (mw.LIST, mw.TREE)),
          (mw.status(app), mw.focused(app)))


if __name__ == "__main__":
    main()
