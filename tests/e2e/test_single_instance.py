"""Two starts of the program at once: one runs, the other hands over and ends; a start
with an OPML file brings the running one back and hands the file over; the running one
logs the hand-over and writes the catalogue back at exit."""
import os
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


def main():
    binary = os.path.join(os.environ["ORVALIS_BIN"], "Orvalis")
    with tempfile.TemporaryDirectory() as data:
        env = {"XDG_DATA_HOME": data}
        folder = os.path.join(data, "QuenbelS", "Orvalis")
        # Two starts at once.
        a = u.start([binary], env)
        b = u.start([binary], env)
        try:
            app = u.find_app("Orvalis")
            check(app is not None, "one instance shows its window")
            codes = []
            deadline = time.time() + 20
            while time.time() < deadline and not codes:
                codes = [p.returncode for p in (a, b) if p.poll() is not None]
                time.sleep(0.1)
            check(codes == [0], "exactly one start ended, with code 0: %r" % codes)
            running = a if a.poll() is None else b
            check(running.poll() is None, "the other keeps running")
            # A later start with an OPML file hands it over and ends.
            opml = os.path.join(data, "Liste.OPML")
            c = subprocess.run([binary, opml], env=dict(os.environ, **env), timeout=30)
            check(c.returncode == 0, "the start with an OPML file ends with code 0")
            time.sleep(2.0)  # the running instance takes hand-overs every 200 ms
            running.send_signal(signal.SIGINT)
            try:
                running.wait(15)
            except subprocess.TimeoutExpired:
                running.kill()
            log = open(os.path.join(folder, "Orvalis.Log"), encoding="utf-8", errors="replace", newline="").read()
            check(log.startswith("Orvalis 1.10.1708.2300 Unicode\r\n"),
                  "the log begins with its header: " + repr(log[:80]))
            check("* WM_CopyData = 2" in log, "the hand-over of kind 2 is logged")
            check(("- OPML file handed over : " + opml) in log, "the OPML path arrives whole")
            check("OS : " in log and "Linux" in log, "the log names the system")
        finally:
            for p in (a, b):
                if p.poll() is None:
                    p.kill()
                    p.wait(10)
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
