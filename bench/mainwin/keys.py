"""What a screen-reader user feels on a long list: the time from a key press to the focus
event of the new row, read over AT-SPI as a screen reader reads it.

A data folder with one group of two feeds: "A petit flux" (10 articles) and "B grand flux"
(5,000 articles). Two measures, each the median (and the spread) of 20 presses:
  - Down in the tree from the small feed onto the big one (its 5,000 rows are listed);
  - Down in the big feed's article list, from one article to the next.
Each time runs from the moment the key event is sent to the moment the focus event (or the
active-descendant event) that names the new row arrives here.
Usage: run under tests/e2e/run-under-x.sh: keys.py path/to/Orvalis [articles]"""
import os
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "e2e"))
import atspi_util as u  # noqa: E402
import pyatspi  # noqa: E402
from gi.repository import GLib  # noqa: E402

import gi  # noqa: E402

gi.require_version("Gdk", "3.0")
from gi.repository import Gdk  # noqa: E402

SMALL, BIG = "A petit flux", "B grand flux"
PRESSES = int(os.environ.get("PRESSES", "20"))


def feed_file(folder, number, name, count):
    items = ["Name = %s\r\nURL = https://f%d.example/rss\r\n\r\n" % (name, number)]
    for i in range(count):
        items.append("[Items %d]\r\nID = %d-%d\r\nDate = %d\r\nreaded = %d\r\n"
                     "Title = Article %04d du flux %d\r\nDescription = Texte %d\r\n"
                     "GUID = g%d-%d\r\nLink = https://f%d.example/%d\r\n\r\n"
                     % (i + 1, number, i, 1764580000 - i * 60, i % 3 == 0, i, number, i,
                        number, i, number, i))
    with open(os.path.join(folder, "Feeds", "f%d.Txt" % number), "w", encoding="utf-8",
              newline="") as out:
        out.write("".join(items))


def generate(folder, articles):
    os.makedirs(os.path.join(folder, "Feeds"))
    cat = ["\ufeff; Orvalis 1.10.1708.2300\r\n"]
    for number, (name, count) in enumerate([(SMALL, 10), (BIG, articles)]):
        cat.append("[%s]\r\nUrl = https://f%d.example/rss\r\nGroup = Groupe\r\n"
                   "ActualizeOnStart = Off\r\nExtractAs = RssV2\r\nMaxFeed = %d\r\n"
                   "ItemsFileName = f%d.Txt\r\n\r\n" % (name, number, max(count, 400), number))
        feed_file(folder, number, name, count)
    with open(os.path.join(folder, "ListRSSU.Ini"), "w", encoding="utf-8", newline="") as out:
        out.write("".join(cat))


class FocusClock:
    """Notes when a focus or active-descendant event names a row starting with a text."""

    def __init__(self):
        self.wanted = None
        self.arrived = None
        self.last = ""
        pyatspi.Registry.registerEventListener(self._on_focus, "object:state-changed:focused")
        pyatspi.Registry.registerEventListener(self._on_descendant,
                                               "object:active-descendant-changed")
        # A screen reader also follows the children of what it reads (Orca listens to
        # these), so the program sends them too, as it does for a real user.
        if os.environ.get("KEYS_CHILDREN", "1") == "1":
            pyatspi.Registry.registerEventListener(self._on_children, "object:children-changed")
        self.children = 0

    def _note(self, acc):
        at = time.perf_counter()  # the event's arrival, before the name is asked for
        try:
            # A tree row's cell holds the expander and the text as children.
            name = acc.name or " ".join(c.name for c in acc if c is not None and c.name)
        except Exception:
            return
        self.last = name
        if self.wanted and self.arrived is None and self.wanted in name:
            self.arrived = at

    def _on_children(self, event):
        self.children += 1

    def _on_focus(self, event):
        if event.detail1 == 1:
            self._note(event.source)

    def _on_descendant(self, event):
        if isinstance(event.any_data, pyatspi.Accessible):
            self._note(event.any_data)

    def drain(self, seconds):
        context = GLib.MainContext.default()
        end = time.perf_counter() + seconds
        while time.perf_counter() < end:
            while context.iteration(False):
                pass
            time.sleep(0.002)

    def press(self, keysym, wanted, timeout=3.0):
        """Milliseconds from sending the key to the event naming `wanted`; None if none."""
        self.drain(0.05)
        self.wanted, self.arrived = wanted, None
        context = GLib.MainContext.default()
        start = time.perf_counter()
        pyatspi.Registry.generateKeyboardEvent(Gdk.keyval_from_name(keysym), None,
                                               pyatspi.KEY_SYM)
        while self.arrived is None and time.perf_counter() - start < timeout:
            if not context.iteration(False):
                time.sleep(0.0005)
        self.wanted = None
        return None if self.arrived is None else (self.arrived - start) * 1000.0


def report(what, times):
    got = [t for t in times if t is not None]
    if not got:
        print("%-44s no focus event seen" % what)
        return
    print("%-44s median %7.1f ms  (min %6.1f, max %7.1f, %d/%d events)"
          % (what, statistics.median(got), min(got), max(got), len(got), len(times)))


def main():
    binary = sys.argv[1]
    articles = int(sys.argv[2]) if len(sys.argv) > 2 else 5000
    with tempfile.TemporaryDirectory() as data:
        folder = os.path.join(data, "QuenbelS", "Orvalis")
        generate(folder, articles)
        proc = u.start([binary], {"XDG_DATA_HOME": data})
        try:
            app = u.find_app(os.path.basename(binary), 60)
            u.find(app, lambda n: u.role(n) == "tree table", timeout=60)
            clock = FocusClock()
            time.sleep(1.0)
            # The tree has the focus on the group: Down onto the small feed.
            clock.press("Down", SMALL)
            clock.drain(0.5)
            tree = []
            for _ in range(PRESSES):
                tree.append(clock.press("Down", BIG))
                clock.drain(0.3)
                clock.press("Up", SMALL)
                clock.drain(0.3)
            clock.press("Down", BIG)
            clock.drain(1.0)
            # Tab to the article list: the first article of the big feed.
            clock.press("Tab", "Article 0000 du")
            clock.drain(0.5)
            rows = []
            for i in range(1, PRESSES + 1):
                rows.append(clock.press("Down", "Article %04d du" % i))
                clock.drain(0.2)
            print("%d articles in the big feed; %d children-changed events; last focus: %r"
                  % (articles, clock.children, clock.last))
            report("Down in the tree onto the big feed", tree)
            report("Down in the big feed's article list", rows)
        finally:
            proc.terminate()
            proc.wait(30)


if __name__ == "__main__":
    main()
