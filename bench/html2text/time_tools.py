#!/usr/bin/env python3
"""Times each converter on each page (best of several runs, wall clock) and prints the
figures and ratios. usage: time_tools.py ORVALIS_TOOL PAGE..."""
import os
import subprocess
import sys
import time


def best(argv, runs, stdin_path=None):
    times = []
    for _ in range(runs):
        t0 = time.perf_counter()
        with open(stdin_path or os.devnull, "rb") as inp:
            r = subprocess.run(argv, stdin=inp, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, timeout=600)
        times.append(time.perf_counter() - t0)
        if r.returncode != 0:
            return None
    return min(times)


def main():
    tool = sys.argv[1]
    print("%-18s %9s %9s %9s %9s %9s  %8s %8s %8s" % (
        "page", "read s", "orvalis", "w3m", "lynx", "", "ov/read", "ov/w3m", "ov/lynx"))
    for page in sys.argv[2:]:
        size = os.path.getsize(page)
        runs = 5 if size < 2_000_000 else 3
        read = best(["cat", page], runs)
        ov = best([tool, "html2text", page], runs)
        w3m = best(["w3m", "-dump", "-T", "text/html", "-O", "UTF-8", page], runs)
        lynx = best(["lynx", "-dump", "-nolist", "-force_html",
                     "-display_charset=utf-8", page], runs)
        name = "%s (%d KB)" % (os.path.basename(page).replace(".html", ""), size // 1024)

        def f(x):
            return "%9.3f" % x if x is not None else "%9s" % "fail"

        def ratio(a, b):
            return "%8.2f" % (a / b) if a and b else "%8s" % "-"
        print("%-18s %s %s %s %s %9s  %s %s %s" % (
            name[:18], f(read), f(ov), f(w3m), f(lynx), "", ratio(ov, read), ratio(ov, w3m),
            ratio(ov, lynx)))
    print("ov/read: orvalis time over a plain read (cat); ov/w3m, ov/lynx below 1 = faster")


if __name__ == "__main__":
    main()
