"""Generates a large data folder, starts the program on it and prints its tree timings."""
import os
import re
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "e2e"))
import atspi_util as u  # noqa: E402

FEEDS, GROUPS, ITEMS = 400, 40, 100


def generate(folder):
    os.makedirs(os.path.join(folder, "Feeds"))
    cat = ["\ufeff; Orvalis 1.10.1708.2300\r\n"]
    for f in range(FEEDS):
        name = "Flux %03d" % f
        cat.append("[%s]\r\nUrl = https://f%d.example/rss\r\nGroup = Groupe %02d\r\n"
                   "ActualizeOnStart = Off\r\nExtractAs = RssV2\r\nMaxFeed = 400\r\n"
                   "ItemsFileName = f%d.Txt\r\n\r\n" % (name, f, f % GROUPS, f))
        items = ["Name = %s\r\nURL = https://f%d.example/rss\r\n\r\n" % (name, f)]
        for i in range(ITEMS):
            items.append("[Items %d]\r\nID = %d-%d\r\nDate = %d\r\nreaded = %d\r\n"
                         "Title = Article %d du flux %d\r\nDescription = Texte %d\r\n"
                         "GUID = g%d\r\nLink = https://f%d.example/%d\r\n\r\n"
                         % (i + 1, f, i, 1764580000 - i * 60, i % 3 == 0, i, f, i, i, f, i))
        with open(os.path.join(folder, "Feeds", "f%d.Txt" % f), "w", encoding="utf-8",
                  newline="") as out:
            out.write("".join(items))
    with open(os.path.join(folder, "ListRSSU.Ini"), "w", encoding="utf-8", newline="") as out:
        out.write("".join(cat))


def main():
    binary = sys.argv[1]
    with tempfile.TemporaryDirectory() as data:
        folder = os.path.join(data, "QuenbelS", "Orvalis")
        generate(folder)
        start = time.time()
        proc = u.start([binary], {"XDG_DATA_HOME": data})
        try:
            app = u.find_app("Orvalis", 60)
            tree = u.find(app, lambda n: u.role(n) == "tree table", timeout=60)
            print("window with its tree after %.1f s" % (time.time() - start))
            for key in ["Down"] * 5 + ["Up"] * 5:
                u.press(key)
        finally:
            proc.terminate()
            proc.wait(30)
        log = open(os.path.join(folder, "Orvalis.Log"), encoding="utf-8", errors="replace").read()
        for line in re.findall(r"\* UI_Tree_Actualize\(\) in \d+", log):
            print(line, "ms")
        for line in re.findall(r"\d+ articles added in \d+ ms", log):
            print(line)


if __name__ == "__main__":
    main()
