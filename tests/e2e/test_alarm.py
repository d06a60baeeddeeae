"""The real program raises a feed's alarm: "Le Monde", its alarm on, is updated from a
local server that has a new article; the alarm pop-up is read over the accessibility bus
(its title and its text) and the alarm sound is played (the sound layer logs that it
played the file to its end, on the null audio output)."""
import functools
import http.server
import os
import re
import sys
import tempfile
import threading
import time

import pyatspi
from gi.repository import GLib

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402
import test_main_window as mw  # noqa: E402
import test_main_window_update as up  # noqa: E402

PREFS = ("AlarmByPopUp = On\r\nAlarmBySound = On\r\nAlarmBySpeech = Off\r\n"
         "AlarmOnStart = On\r\nAlarmFinishFirstActualize = Off\r\n")
TITLE = "Notification Orvalis"


def main():
    binary = os.path.join(os.environ["ORVALIS_BIN"], "Orvalis")
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(up.QuietHandler, directory=up.FEEDS))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    port = server.server_address[1]
    with tempfile.TemporaryDirectory() as data:
        folder = mw.prepare(data)
        path = os.path.join(folder, "ListRSSU.Ini")
        text = open(path, encoding="utf-8-sig", newline="").read()
        text = text.replace("Url = https://lemonde.example/rss",
                            "Url = http://127.0.0.1:%d/lemonde.xml\r\nAlarm = On" % port)
        open(path, "w", encoding="utf-8-sig", newline="").write(text)
        with open(os.path.join(folder, "Orvalis.ini"), "w", encoding="utf-8-sig",
                  newline="") as f:
            f.write(PREFS)
        proc = u.start([binary], {"XDG_DATA_HOME": data, "ORVALIS_AUDIO_OUTPUT": "null"})
        log = ""
        try:
            run(u.find_app("Orvalis"))
            # The sound lasts under half a second; the log is written as the program ends.
            time.sleep(3)
        finally:
            proc.terminate()
            proc.wait(10)
            server.shutdown()
            log_path = os.path.join(folder, "Orvalis.Log")
            if os.path.exists(log_path):
                log = open(log_path, encoding="utf-8", errors="replace").read()
        mw.check("the alarm is logged for Le Monde", "* Alarm : Le Monde" in log, log[-3000:])
        played = re.search(r"\* AlarmSound played : (.*NewFeed\.Wav)", log)
        mw.check("the new-article sound was played to its end", played is not None, log[-3000:])
        mw.check("the sound is the one shipped beside the program",
                 played is not None and os.path.samefile(
                     played.group(1), os.path.join(os.environ["ORVALIS_BIN"], "NewFeed.Wav")))
    failed = sum(1 for _, ok in mw.results if not ok)
    print("%d passed, %d failed" % (len(mw.results) - failed, failed))
    sys.exit(1 if failed else 0)


def frame_text(frame):
    """The first non-empty text of `frame`, or None."""
    for node, _ in u.walk(frame):
        if u.role(node) == "text":
            text = u.read(lambda: node.queryText().getText(0, -1))
            if text:
                return text
    return None


def is_popup(node):
    return u.role(node) in ("frame", "window", "dialog") and u.name(node) == TITLE


class PopUpWatch:
    """Catches the pop-up as a screen reader does, from the accessibility events (it lives
    about 2 seconds: a walk of the whole program could miss it on a loaded machine)."""

    def __init__(self):
        self.text = None
        for kind in ("object:state-changed:focused", "window:create", "window:activate"):
            pyatspi.Registry.registerEventListener(self._on_event, kind)

    def _on_event(self, event):
        node = event.source
        for _ in range(12):
            if node is None or self.text:
                return
            if is_popup(node):
                self.text = frame_text(node)
                return
            node = u.read(lambda: node.parent)

    def wait(self, app, timeout):
        context = GLib.MainContext.default()
        deadline = time.time() + timeout
        next_walk = 0
        while not self.text and time.time() < deadline:
            while context.iteration(False):
                pass
            if time.time() >= next_walk:
                frame = u.find(app, is_popup, timeout=0)
                if frame is not None:
                    self.text = self.text or frame_text(frame)
                next_walk = time.time() + 0.5
            time.sleep(0.02)
        return self.text


def run(app):
    tree = mw.zone(app, "tree table", mw.TREE)
    mw.check("the tree is there", tree is not None)
    if tree is None:
        return
    mw.check("Le Monde shows its alarm in the tree",
             mw.wait_for(lambda: any(c.startswith("Le Monde") and "Avec alerte" in c
                                     for c in mw.cells(tree))), mw.cells(tree))
    item = u.find(app, lambda n: u.role(n) == "menu item" and n.name == "Actualiser tous les flux")
    mw.check("the menu entry is there", item is not None)
    if item is None:
        return
    watch = PopUpWatch()
    item.queryAction().doAction(0)
    text = watch.wait(app, 30)
    mw.check("the pop-up titled %r shows the feed's name" % TITLE, text == "Le Monde", text)


if __name__ == "__main__":
    main()
