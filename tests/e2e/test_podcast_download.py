"""The real program downloads a podcast from a local server: "Le Monde"'s first article
carries an enclosure; Shift+Space on the list opens the download dialog, read over the
accessibility bus (title, the named combo with the offered names, the mask check box, the
buttons); Enter queues the download. The server holds the second half of the file until the
status bar and the article list have shown the download in progress, then lets it end:
the status text goes, the list's status goes, and the file lies complete in the podcast
folder."""
import http.server
import os
import re
import subprocess
import sys
import tempfile
import threading

import pyatspi

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402
import test_main_window as mw  # noqa: E402

SIZE = 400000
BODY = bytes((i * 7) % 251 for i in range(SIZE))
TITLE = "Premier article du Monde"


class Gate:
    """The second half of the enclosure waits for the test's go."""
    go = threading.Event()
    served = threading.Event()


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        if self.path != "/episode.mp3":
            self.send_error(404)
            return
        self.send_response(200)
        self.send_header("Content-Type", "audio/mpeg")
        self.send_header("Content-Length", str(SIZE))
        self.end_headers()
        half = SIZE // 2
        self.wfile.write(BODY[:half])
        self.wfile.flush()
        Gate.served.set()
        # Bounded: a test that fails before the go still ends.
        Gate.go.wait(120)
        self.wfile.write(BODY[half:])
        self.wfile.flush()


def patch_feed(folder, port):
    path = os.path.join(folder, "Feeds", "lemonde.example.Txt")
    text = open(path, encoding="utf-8-sig", newline="").read()
    first = text.index("[Items 1]")
    end = text.index("[Items 2]")
    item = text[first:end]
    item = re.sub(r"AudioLink = *\r?\n",
                  "AudioLink = http://127.0.0.1:%d/episode.mp3\r\n" % port, item)
    item = re.sub(r"AutdioFile = *\r?\n", "AutdioFile = episode.mp3\r\n", item)
    item = re.sub(r"AudioFileLength = 0\r?\n", "AudioFileLength = %d\r\n" % SIZE, item)
    assert "episode.mp3" in item, item
    text = text[:first] + item + text[end:]
    open(path, "w", encoding="utf-8-sig", newline="").write(text)


def main():
    binary = os.path.join(os.environ["ORVALIS_BIN"], "Orvalis")
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    port = server.server_address[1]
    with tempfile.TemporaryDirectory() as data:
        folder = mw.prepare(data)
        patch_feed(folder, port)
        podcasts = os.path.join(data, "Podcasts") + "/"
        os.makedirs(podcasts)
        with open(os.path.join(folder, "Orvalis.ini"), "w", encoding="utf-8-sig",
                  newline="") as f:
            f.write("PodcastPath = %s\r\n" % podcasts)
        # The documents folder is the test's own too, whatever the preference does.
        proc = u.start([binary], {"XDG_DATA_HOME": data, "HOME": data})
        try:
            run(u.find_app("Orvalis"), podcasts)
        finally:
            Gate.go.set()
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


def dialog_of(app):
    return u.find(app, lambda n: u.role(n) in ("dialog", "frame") and
                  n.name == "Téléchargement d'un podcast", timeout=10)


def run(app, podcasts):
    tree = mw.zone(app, "tree table", mw.TREE)
    lst = mw.zone(app, "table", mw.LIST)
    mw.check("the tree and the list are there", tree is not None and lst is not None)
    if tree is None or lst is None:
        return
    mw.wait_for(lambda: mw.focused(app) == mw.TREE, 10)
    u.press("1")
    u.press("Down")
    u.press("Down")
    mw.check("the list shows Le Monde's articles",
             mw.wait_for(lambda: TITLE in mw.cells(lst), 10), mw.cells(lst))
    u.press("2")
    mw.check("the list has the focus", mw.wait_for(lambda: mw.focused(app) == mw.LIST),
             mw.focused(app))
    subprocess.run(["xdotool", "key", "--clearmodifiers", "shift+space"], check=False)

    dlg = dialog_of(app)
    mw.check("Shift+Space opens the podcast download dialog", dlg is not None, u.dump(app)[:3000])
    if dlg is None:
        return
    nodes = [(u.role(n), u.name(n)) for n, _ in u.walk(dlg)]
    mw.check("the names' list is named for a screen reader",
             any(r == "combo box" and n == "Nom du fichier" for r, n in nodes), nodes)
    mw.check("the mask check box is named",
             ("check box", "Définir, cette selection, comme masque des podcasts du flux")
             in nodes, nodes)
    mw.check("the buttons are Ok and Quitter",
             ("push button", "Ok") in nodes and ("push button", "Quitter") in nodes, nodes)
    offered = [n for r, n in nodes if r in ("menu item", "list item") and n]
    mw.check("the article's file name is offered", "episode.mp3" in offered, offered)
    u.press("Return")
    mw.check("Enter closes the dialog",
             mw.wait_for(lambda: u.find(app, lambda n: u.role(n) in ("dialog", "frame") and
                                        n.name == "Téléchargement d'un podcast", timeout=0)
                         is None, 10))

    mw.check("the server was asked for the enclosure", Gate.served.wait(30))
    mw.check("the status bar shows the download in progress",
             mw.wait_for(lambda: "Podcast" in (mw.status(app) or "") and
                         "téléchargé" in (mw.status(app) or "") or
                         "Podcast en téléchargement" in (mw.status(app) or ""), 20),
             mw.status(app))
    mw.check("the article's row says it is being downloaded",
             mw.wait_for(lambda: any(c.startswith("En téléchargement") and TITLE in c
                                     for c in mw.cells(lst)), 20), mw.cells(lst))
    Gate.go.set()
    target = os.path.join(podcasts, "episode.mp3")
    mw.check("the file arrives whole under its name",
             mw.wait_for(lambda: os.path.exists(target) and os.path.getsize(target) == SIZE, 30)
             and open(target, "rb").read() == BODY,
             [os.path.join(r, f) for r, _, fs in os.walk(os.path.dirname(podcasts[:-1]))
              for f in fs])
    mw.check("no temporary file is left", not os.path.exists(target + ".Tmp"))
    mw.check("the status bar no longer reports a download",
             mw.wait_for(lambda: "Podcast" not in (mw.status(app) or "Podcast"), 20),
             mw.status(app))
    mw.check("the row shows the title without a status again",
             mw.wait_for(lambda: any(c.endswith(TITLE) and not c.startswith("En ")
                                     and not c.startswith("A ") for c in mw.cells(lst)), 20),
             mw.cells(lst))

    # No feed downloads its podcasts by itself: the copy-to-player entries are there, greyed.
    for label in ("Copier les nouveaux podcast sur un baladeur",
                  "Synchroniser les nouveaux podcast sur un baladeur..."):
        node = u.find(app, lambda n, label=label: u.role(n) == "menu item" and
                      u.name(n) == label, timeout=5)
        mw.check("the menu entry '%s' is there" % label, node is not None)
        if node is not None:
            mw.check("'%s' is disabled without a feed to copy" % label,
                     not node.getState().contains(pyatspi.STATE_SENSITIVE))


if __name__ == "__main__":
    main()
