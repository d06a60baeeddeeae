"""First start in an empty data folder: the program offers the initial catalogue; "Oui"
loads it and the exit writes it back. A portable copy that loses its own program file
ends by itself without writing."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402

passed = failed = 0


def check(cond, what):
    global passed, failed
    if cond:
        passed += 1
    else:
        failed += 1
        print("FAILED: " + what)


def stop(proc):
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(15)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait(10)


def first_start_offers_the_initial_catalogue(binary):
    with tempfile.TemporaryDirectory() as data:
        proc = u.start([binary], {"XDG_DATA_HOME": data})
        try:
            app = u.find_app("Orvalis")
            # The program's own box: the question in a text the screen reader reads, and
            # French buttons whatever the toolkit's translations.
            question = u.find(app, lambda n: u.role(n) == "text" and "Aucun flux n'est présent"
                              in n.queryText().getText(0, -1), timeout=20)
            check(question is not None, "the question about the initial file is asked\n" + u.dump(app))
            yes = u.find(app, lambda n: u.role(n) == "push button" and n.name == "Oui")
            check(yes is not None, "the question has a Oui button")
            check(u.find(app, lambda n: u.role(n) == "push button" and n.name == "Non") is not None,
                  "the question has a Non button")
            if yes is not None:
                yes.queryAction().doAction(0)
            # The answer is taken once the question has left the screen.
            deadline = time.time() + 20
            while time.time() < deadline and u.find(
                    app, lambda n: u.role(n) == "push button" and n.name == "Oui",
                    timeout=0) is not None:
                time.sleep(0.2)
            time.sleep(1.0)
        finally:
            stop(proc)
        folder = os.path.join(data, "QuenbelS", "Orvalis")
        saved = open(os.path.join(folder, "ListRSSU.Ini"), "rb").read()
        check(b"; List of 4 Feeds\r\n" in saved, "the initial catalogue is loaded and saved back")
        check(open(os.path.join(folder, "OrvalisU.Dat"), "rb").read().startswith(b"\xef\xbb\xbfOrvalis:"),
              "the feed bank is copied to the data folder")


def portable_copy_ends_when_its_program_file_vanishes(binary):
    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, "Orvalis-portable")
        shutil.copy2(binary, copy)
        proc = u.start([copy], {})
        try:
            app = u.find_app("Orvalis-portable")
            frame = u.find(app, lambda n: u.role(n) == "frame" and n.name.startswith("Orvalis-Portable"))
            check(frame is not None, "the portable copy shows its window titled Orvalis-Portable")
            os.remove(copy)
            try:
                proc.wait(20)
            except subprocess.TimeoutExpired:
                pass
            check(proc.returncode == 0, "the program ends by itself with code 0: %r" % proc.returncode)
            check(os.path.exists(os.path.join(folder, "Orvalis.Log")), "its data lives beside it")
            check(not os.path.exists(os.path.join(folder, "ListRSSU.Ini")), "nothing is written at the end")
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait(10)


def main():
    binary = os.path.join(os.environ["ORVALIS_BIN"], "Orvalis")
    first_start_offers_the_initial_catalogue(binary)
    portable_copy_ends_when_its_program_file_vanishes(binary)
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
