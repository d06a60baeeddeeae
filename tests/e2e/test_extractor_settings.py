"""Each extractor started with "OpenGUI" shows its settings text in a box titled "Info",
reachable by keyboard and by a screen reader, and does its action on the site address: the
weather and ads programs open the site after the box, the TV program puts its address on the
clipboard before the box, the video program does nothing more. A fake "xdg-open" records what
the browser would have opened."""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402

import gi  # noqa: E402
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402

CASES = [
    # program, first line of its text, address opened after the box, address on the clipboard
    ("OV-Meteo", "Extraction Météo-France", "https://meteofrance.com/", None),
    ("OV-Annonces", "Extraction LeBonCoin", "https://www.leboncoin.fr/", None),
    ("OV-ProgTV", "Extraction de programme TV", None, "https://www.programme-tv.net"),
    ("OV-YouTube", "Recherche de vidéos sur le site YouTube", None, None),
]


def window_titled_info_exists():
    r = subprocess.run(["xdotool", "search", "--name", "^Info$"], capture_output=True, text=True)
    return r.returncode == 0 and r.stdout.strip() != ""


def run_case(program, first_line, opened, clipboard, work):
    record = os.path.join(work, program + "-opened.txt")
    fake = os.path.join(work, "bin")
    os.makedirs(fake, exist_ok=True)
    with open(os.path.join(fake, "xdg-open"), "w") as f:
        f.write('#!/bin/sh\necho "$@" >> "$XDG_OPEN_RECORD"\n')
    os.chmod(os.path.join(fake, "xdg-open"), 0o755)
    binary = os.path.join(os.environ["ORVALIS_BIN"], "PlugIn", program + ".exe")
    proc = u.start([binary, "OpenGUI"],
                   {"PATH": fake + ":" + os.environ["PATH"], "XDG_OPEN_RECORD": record})
    try:
        app = u.find_app(program)
        label = u.find(app, lambda n: u.role(n) == "label" and n.name.startswith(first_line))
        assert label is not None, u.dump(app)
        assert window_titled_info_exists(), "no window titled Info"
        if clipboard is not None:
            text = Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD).wait_for_text()
            assert text == clipboard, "clipboard holds %r" % text
        assert not os.path.exists(record), "browser opened before the box was closed"
        button = u.find(app, lambda n: u.role(n) == "push button" and n.name == "OK")
        assert button is not None, u.dump(app)
        button.queryAction().doAction(0)
        rc = proc.wait(15)
        assert rc == 0, "exit code %d" % rc
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait(5)
    if opened is not None:
        deadline = time.time() + 10
        while not os.path.exists(record) and time.time() < deadline:
            time.sleep(0.1)
        with open(record) as f:
            assert f.read().strip() == opened
    else:
        time.sleep(0.5)
        assert not os.path.exists(record), "a browser was opened"


def main():
    passed = failed = 0
    with tempfile.TemporaryDirectory() as work:
        for program, first_line, opened, clipboard in CASES:
            try:
                run_case(program, first_line, opened, clipboard, work)
                passed += 1
            except Exception as e:  # one case's failure must not hide the others
                failed += 1
                print("FAILED %s: %s" % (program, e))
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
