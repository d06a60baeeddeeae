"""The installed program: `cmake --install` into a temporary root lays out the program
folder (lib/orvalis with its data, sounds, help and languages), the launchers, the desktop
entry, the icon and the AppStream metadata; the installed launchers start orvalis-tool and
the program itself, which shows its window on the accessibility bus."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402
import test_main_window as mw  # noqa: E402

FILES = ["bin/orvalis", "bin/orvalis-tool", "lib/orvalis/Orvalis", "lib/orvalis/orvalis-tool",
         "lib/orvalis/Lang/English.Txt", "lib/orvalis/OrvalisU.Dat",
         "lib/orvalis/DefaultListRSS.Ini", "lib/orvalis/License.Txt",
         "lib/orvalis/NewFeed.Wav", "lib/orvalis/AllDownloaded.Wav",
         "lib/orvalis/FinishFirstActualize.Wav", "lib/orvalis/Orvalis.html",
         "lib/orvalis/ZoneArbo.html", "lib/orvalis/ZoneListe.html", "lib/orvalis/ZoneVisu.html",
         "lib/orvalis/Help/English/Orvalis.html", "share/applications/Orvalis.desktop",
         "share/icons/hicolor/scalable/apps/orvalis.svg", "share/metainfo/Orvalis.metainfo.xml"]


def main():
    build = os.path.dirname(os.path.abspath(os.environ["ORVALIS_BIN"]))
    with tempfile.TemporaryDirectory() as root:
        prefix = os.path.join(root, "usr")
        env = dict(os.environ, DESTDIR=root)
        done = subprocess.run(["cmake", "--install", build, "--prefix", "/usr"], env=env,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        mw.check("cmake --install succeeds", done.returncode == 0, done.stdout[-2000:])
        for f in FILES:
            mw.check("installed: " + f, os.path.exists(os.path.join(prefix, f)))
        desktop = open(os.path.join(prefix, "share/applications/Orvalis.desktop")).read()
        mw.check("the desktop entry is in Network, Feed and AudioVideo",
                 "Categories=Network;Feed;AudioVideo;" in desktop and "Exec=orvalis" in desktop)
        help_page = open(os.path.join(prefix, "lib/orvalis/Orvalis.html"), encoding="utf-8").read()
        mw.check("the installed help lists the keys", "<kbd>F1</kbd>" in help_page
                 and "<!--keys" not in help_page)
        version = subprocess.run([os.path.join(prefix, "bin/orvalis-tool"), "--version"],
                                 stdout=subprocess.PIPE, text=True)
        mw.check("the installed orvalis-tool answers its version",
                 version.returncode == 0 and version.stdout.startswith("Orvalis 1.10"),
                 version.stdout)
        with tempfile.TemporaryDirectory() as data:
            proc = u.start([os.path.join(prefix, "bin/orvalis")], {"XDG_DATA_HOME": data})
            try:
                app = u.find_app("Orvalis", timeout=30)
                frame = u.find(app, lambda n: u.role(n) == "frame"
                               and u.name(n).startswith("Orvalis"), timeout=10)
                mw.check("the installed program shows its window", frame is not None)
            finally:
                proc.terminate()
                proc.wait(10)
            log = os.path.join(data, "QuenbelS", "Orvalis", "Orvalis.Log")
            text = open(log, encoding="utf-8", errors="replace").read() if os.path.exists(log) else ""
            mw.check("it runs from its program folder",
                     os.path.join(prefix, "lib/orvalis") in text, text[:1500])
    failed = sum(1 for _, ok in mw.results if not ok)
    print("%d passed, %d failed" % (len(mw.results) - failed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
