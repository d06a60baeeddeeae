"""Times the feed reader beside xmlwf and feedparser on the documents given, each command in
turn so that a change of load touches all of them alike; best of N runs, wall clock and CPU
time (user + system of the child). Usage: time_parse.py TOOL [N] DOC..."""
import os
import subprocess
import sys
import time

FEEDPARSER = ("import feedparser,sys; feedparser.parse(open(sys.argv[1],'rb').read())")


def once(argv):
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, _, usage = os.wait4(proc.pid, 0)
    return time.perf_counter() - start, usage.ru_utime + usage.ru_stime


def main():
    tool = sys.argv[1]
    runs = int(sys.argv[2])
    print("%-22s %9s %9s %9s %11s | %9s %9s %11s" % (
        "document", "orvalis", "xmlwf", "ratio", "feedparser", "cpu orv.", "cpu xmlwf",
        "cpu ratio"))
    for doc in sys.argv[3:]:
        commands = [[tool, "parse", doc], ["xmlwf", doc],
                    ["/usr/bin/python3", "-c", FEEDPARSER, doc]]
        best = [[1e9, 1e9] for _ in commands]
        for _ in range(runs):
            for k, argv in enumerate(commands):
                wall, cpu = once(argv)
                best[k] = [min(best[k][0], wall), min(best[k][1], cpu)]
        (ow, oc), (xw, xc), (pw, _) = best
        name = "%s (%d KB)" % (os.path.basename(doc), os.path.getsize(doc) // 1024)
        print("%-22s %7.1fms %7.1fms %8.2fx %9.1fms | %7.1fms %7.1fms %10.2fx" % (
            name, ow * 1e3, xw * 1e3, ow / xw, pw * 1e3, oc * 1e3, xc * 1e3, oc / xc))


if __name__ == "__main__":
    main()
