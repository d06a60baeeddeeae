"""Audio from the keyboard, read as a screen reader reads it: the audio menu's entries and
marks, the quick menu opened by its global hot key (Control+Alt+V) while another
application has the focus, with readable entries, a podcast started from it, the status
line showing position and length while it plays, and the other application's window
active again once the menu has closed."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402
import test_main_window as mw  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "data", "audio_quick_menu")

OTHER_TITLE = "Autre application"
OTHER_APP = """
import gi
gi.require_version("Gtk", "3.0")
from gi.repository import Gtk
w = Gtk.Window(title=%r)
w.add(Gtk.Entry())
w.set_default_size(300, 100)
w.connect("destroy", Gtk.main_quit)
w.show_all()
Gtk.main()
""" % OTHER_TITLE


def prepare(root):
    folder = os.path.join(root, "QuenbelS", "Orvalis")
    shutil.copytree(DATA, folder)
    tone = os.path.join(root, "tone.mp3")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", tone, "synth", "60", "sine", "440",
                    "vol", "0.3"], check=True)
    feed = os.path.join(folder, "Feeds", "podcasts.example.Txt")
    with open(feed, "rb") as f:
        text = f.read().replace(b"@TONE@", tone.encode())
    with open(feed, "wb") as f:
        f.write(text)


def xdotool(*args):
    r = subprocess.run(["xdotool"] + list(args), capture_output=True, text=True)
    return r.stdout.strip()


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def items_of(menu):
    """The labels of a menu's own entries (not those of its submenus)."""
    out = []
    for i in range(menu.childCount):
        c = menu.getChildAtIndex(i)
        if c is not None and u.role(c) in ("menu item", "check menu item", "menu"):
            out.append(c.name)
    return out


def main():
    binary = os.path.join(os.environ["ORVALIS_BIN"], "Orvalis")
    with tempfile.TemporaryDirectory() as data:
        prepare(data)
        proc = u.start([binary], {"XDG_DATA_HOME": data, "ORVALIS_AUDIO_OUTPUT": "null"})
        other = subprocess.Popen([sys.executable, "-c", OTHER_APP])
        try:
            run(u.find_app("Orvalis"), proc, data)
        finally:
            other.terminate()
            proc.terminate()
            proc.wait(10)
            other.wait(10)
    failed = sum(1 for _, ok in mw.results if not ok)
    print("%d passed, %d failed" % (len(mw.results) - failed, failed))
    sys.exit(1 if failed else 0)


def run(app, proc, data):
    check = mw.check
    # The audio menu: its entries, one speed marked, the volume text.
    normal = u.find(app, lambda n: u.role(n) == "check menu item" and n.name == "normal", 5)
    fast = u.find(app, lambda n: u.role(n) == "check menu item" and n.name == "rapide", 5)
    mute = u.find(app, lambda n: u.role(n) == "check menu item" and n.name == "Sourdine", 5)
    check("the speed entries and mute are check entries",
          None not in (normal, fast, mute), u.dump(app)[:3000])
    if None in (normal, fast, mute):
        return
    check("normal speed is the marked one",
          normal.getState().contains(pyatspi.STATE_CHECKED)
          and not fast.getState().contains(pyatspi.STATE_CHECKED))
    volume = u.find(app, lambda n: u.role(n) == "menu item" and n.name.startswith("Volume audio"), 5)
    check("the volume entry shows the volume", volume is not None and volume.name == "Volume audio (90 %)",
          volume.name if volume else None)
    audio_menu = u.find(app, lambda n: u.role(n) == "menu" and n.name == "Audio", 5)
    labels = items_of(audio_menu) if audio_menu else []
    for want in ("Stop", "Sourdine", "Monter volume", "Descendre volume", "Retour", "Avance",
                 "Retour court", "Débit audio", "Menu rapide"):
        # An entry with a key shows it after its label.
        check("the audio menu holds " + want,
              any(l == want or l.startswith(want + " (") for l in labels), labels)
    fast.queryAction().doAction(0)
    check("choosing rapide moves the mark",
          mw.wait_for(lambda: fast.getState().contains(pyatspi.STATE_CHECKED)
                      and not normal.getState().contains(pyatspi.STATE_CHECKED)))
    normal.queryAction().doAction(0)
    mw.wait_for(lambda: normal.getState().contains(pyatspi.STATE_CHECKED))
    up = u.find(app, lambda n: u.role(n) == "menu item" and n.name == "Monter volume", 5)
    up.queryAction().doAction(0)
    check("volume up shows the new volume",
          mw.wait_for(lambda: volume.name == "Volume audio (95 %)"), volume.name)

    # Another application in front, then the global hot key.
    win = ""
    deadline = time.time() + 15
    while not win and time.time() < deadline:
        win = xdotool("search", "--name", OTHER_TITLE).split("\n")[0]
        time.sleep(0.2)
    check("the other application's window is there", win)
    xdotool("windowfocus", "--sync", win)
    check("the other application has the focus", xdotool("getwindowfocus") == win)
    xdotool("key", "ctrl+alt+v")
    first = u.find(app, lambda n: u.role(n) == "menu item" and n.name == "Afficher Orvalis"
                   and showing(n), timeout=10)
    check("the quick menu opens on Control+Alt+V from another application", first is not None,
          u.dump(app)[-3000:])
    if first is None:
        return
    menu = first.parent
    labels = items_of(menu)
    check("the quick menu's entries in order",
          labels[:7] == ["Afficher Orvalis", "Pause ", "Stop",
                         "Copier le lien du podcast, ou fichier, dans le presse-papier",
                         "Podcast non lu", "Podcast partiellement écouté", "Sourdine"], labels)
    readable = [n.name for n, depth in u.walk(menu)
                if depth > 0 and u.role(n) in ("menu item", "check menu item", "menu")]
    check("every entry has a readable label",
          all(name.strip() and not re.fullmatch(r"[\d\s]+", name) for name in readable), readable)
    check("the unread part names the feed and its podcasts",
          "Podcasts du test" in readable and "Episode un & la suite" in readable, readable)
    check("the partly played podcast is offered", readable.count("Episode deux") >= 2, readable)
    pause = u.find(menu, lambda n: n.name == "Pause ", 2)
    check("pause is disabled while nothing plays",
          pause is not None and not pause.getState().contains(pyatspi.STATE_SENSITIVE))

    episode = u.find(menu, lambda n: u.role(n) == "menu item" and n.name == "Episode un & la suite", 2)
    episode.queryAction().doAction(0)
    check("the menu closes", mw.wait_for(lambda: not showing(first), 5))
    check("the other application's window is active again",
          mw.wait_for(lambda: xdotool("getwindowfocus") == win, 5), xdotool("getwindowfocus"))
    status = lambda: mw.status(app) or ""  # noqa: E731
    check("the status line shows the podcast playing with position and length",
          mw.wait_for(lambda: re.search(r"Lecture, Episode un & la suite, 0 minute \d+ seconde, "
                                        r"\d+% / 1 minute 0 seconde", status()), 10), status())
    before = status()
    check("the position advances", mw.wait_for(lambda: status() != before, 4), status())

    # The quick menu again, now with the podcast loaded.
    xdotool("windowfocus", "--sync", win)
    xdotool("key", "ctrl+alt+v")
    first = u.find(app, lambda n: u.role(n) == "menu item" and n.name == "Afficher Orvalis"
                   and showing(n), timeout=10)
    check("the quick menu opens again", first is not None)
    if first is None:
        return
    labels = items_of(first.parent)
    check("it names what is loaded and offers pause",
          "Flux : Podcasts du test" in labels and "Pause " in labels
          and any(l.startswith("Episode un & la suite, ") for l in labels), labels)
    check("the recently played part lists the podcast", "Podcast réçament écoutés" in labels, labels)
    pause = u.find(first.parent, lambda n: n.name == "Pause ", 2)
    pause.queryAction().doAction(0)
    check("pause from the quick menu pauses",
          mw.wait_for(lambda: status().startswith("En pause"), 5), status())

    # Ten seconds on, then the program ends: the position is kept for the next time.
    forward = u.find(app, lambda n: u.role(n) == "menu item" and n.name.startswith("Avance"), 5)
    forward.queryAction().doAction(0)
    check("forward plays again ten seconds on",
          mw.wait_for(lambda: re.search(r"Lecture, .* 0 minute 1\d seconde", status()), 5), status())
    quit_item = u.find(app, lambda n: u.role(n) == "menu item" and n.name == "Quitter", 5)
    quit_item.queryAction().doAction(0)
    try:
        proc.wait(20)
    except Exception:
        pass
    feed = os.path.join(data, "QuenbelS", "Orvalis", "Feeds", "podcasts.example.Txt")
    with open(feed, encoding="utf-8") as f:
        text = f.read()
    first = text[text.index("[Items 1]"):text.index("[Items 2]")]
    m = re.search(r"AudioPos = (\d+)", first)
    check("the position playing at exit is stored",
          m is not None and 10000 <= int(m.group(1)) < 30000, first)


if __name__ == "__main__":
    main()
