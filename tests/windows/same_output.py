#!/usr/bin/env python3
"""The Windows orvalis-tool gives the same output as the Linux one on the same inputs.

Usage: same_output.py WINDOWS_TOOL --emulator WINE --data TESTDATA [--linux-tool TOOL]

Runs --version, date, html2text, parse (every fixture of html/ and feeds/) and catalogue
(every catalogue of catalogue/, whose saved file is compared byte for byte) with both
programs, from the same working folder with the same relative names, and reports every
difference of exit code, standard output or written file. Without the Linux program
beside it, the Windows results are checked against the fixtures' expected files where
they exist (html/*.txt for html2text, catalogue/*.Expected.Ini).
"""
import argparse
import glob
import os
import shutil
import subprocess
import sys
import tempfile


def run(command, args, cwd):
    done = subprocess.run(command + args, cwd=cwd, capture_output=True, timeout=120,
                          env=dict(os.environ, TZ="UTC", LANG="C.UTF-8"))
    return done.returncode, done.stdout


def cases(data):
    out = [["--version"]]
    for text in ["Tue, 10 Jun 2003 04:00:00 GMT", "2003-06-10T09:30:00+02:00",
                 "Mer, 04 Fév 2009 10:00:00 +0100", "not a date"]:
        out.append(["date", text])
    for f in sorted(glob.glob(os.path.join(data, "html", "*.html"))):
        out.append(["html2text", os.path.relpath(f, data)])
    for f in sorted(glob.glob(os.path.join(data, "feeds", "*.xml"))):
        out.append(["parse", os.path.relpath(f, data)])
    return out


def catalogues(data):
    return sorted(f for f in glob.glob(os.path.join(data, "catalogue", "*.Ini"))
                  if not f.endswith(".Expected.Ini"))


def outcomes(command, data, work):
    results = {}
    for args in cases(data):
        results[" ".join(args)] = run(command, args, data)
    os.makedirs(work, exist_ok=True)
    for f in catalogues(data):
        out = os.path.join(work, os.path.basename(f))
        code, stdout = run(command, ["catalogue", os.path.relpath(f, data),
                                     os.path.relpath(out, data)], data)
        saved = open(out, "rb").read() if os.path.exists(out) else None
        results["catalogue " + os.path.basename(f)] = (code, stdout, saved)
    return results


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tool")
    parser.add_argument("--emulator")
    parser.add_argument("--data", required=True)
    parser.add_argument("--linux-tool")
    args = parser.parse_args()
    data = os.path.abspath(args.data)
    windows = ([args.emulator] if args.emulator else []) + [os.path.abspath(args.tool)]
    work = tempfile.mkdtemp(prefix="orvalis-same-")
    failures = []
    try:
        mine = outcomes(windows, data, os.path.join(work, "windows"))
        if args.linux_tool and os.path.exists(args.linux_tool):
            theirs = outcomes([os.path.abspath(args.linux_tool)], data, os.path.join(work, "linux"))
            for key in mine:
                if mine[key] != theirs[key]:
                    failures.append("%s: Windows %r, Linux %r" % (key, mine[key][:2], theirs[key][:2]))
            print("%d cases compared with %s" % (len(mine), args.linux_tool))
        else:
            print("no Linux program beside: checked against the fixtures' expected files")
            for key, got in mine.items():
                if got[0] != 0 and key.startswith(("html2text", "catalogue", "--version")):
                    failures.append("%s: exit code %d" % (key, got[0]))
            for f in glob.glob(os.path.join(data, "html", "*.html")):
                want = f[:-5] + ".txt"
                got = mine["html2text " + os.path.relpath(f, data)][1]
                if os.path.exists(want) and got != open(want, "rb").read():
                    failures.append("html2text %s differs from %s" % (f, want))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for line in failures:
        print("FAIL " + line)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
