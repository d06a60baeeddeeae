#!/usr/bin/env python3
"""orvalis-tool update on a data folder, with an extractor feed, against a local server.

Usage: update_extractor.py TOOL [--emulator WINE] [--linux-tool LINUX_TOOL]

The data folder's path holds accents and spaces; its catalogue has one feed named
"Crêpes" of the type "OV-YouTube.exe" whose articles file is "Crêpes à la une.Txt". The
tool downloads the page from a server on 127.0.0.1 (this process), runs the shipped
extractor program on it, and must print the feed's outcome and store its articles under
exactly that file name. With --linux-tool, the Linux program does the same on a twin
folder and both outputs and stored files must be equal.
"""
import argparse
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading

HERE = os.path.dirname(os.path.abspath(__file__))
PAGE = os.path.join(HERE, "..", "data", "extractors", "OV-YouTube", "search-results-in-utf-8.html")
FEED_FILE = "Crêpes à la une.Txt"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def do_GET(self):
        body = open(PAGE, "rb").read() if self.path == "/search" else b"not here"
        self.send_response(200 if self.path == "/search" else 404)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def catalogue(base):
    return ("\ufeff; Orvalis 1.10.1708.2300\r\n; List of 1 Feeds\r\n[Crêpes]\r\n"
            "Url = %s/search\r\nExtractAs = OV-YouTube.exe\r\nActualizeOnStart = On\r\n"
            "Disable = Off\r\nInterval = 60\r\nMaxFeed = 0\r\nItemsFileName = %s\r\n"
            % (base, FEED_FILE)).encode("utf-8")


def update(command, folder, base):
    os.makedirs(folder)
    with open(os.path.join(folder, "ListRSSU.Ini"), "wb") as f:
        f.write(catalogue(base))
    env = dict(os.environ, no_proxy="127.0.0.1", NO_PROXY="127.0.0.1")
    for name in ("http_proxy", "HTTP_PROXY"):
        env.pop(name, None)
    done = subprocess.run(command + ["update", "--data", folder], capture_output=True,
                          timeout=300, env=env)
    stored = os.path.join(folder, "Feeds", FEED_FILE)
    articles = open(stored, "rb").read() if os.path.exists(stored) else None
    return done.returncode, done.stdout.decode("utf-8", "replace"), articles, done.stderr


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tool")
    parser.add_argument("--emulator")
    parser.add_argument("--linux-tool")
    args = parser.parse_args()
    command = ([args.emulator] if args.emulator else []) + [os.path.abspath(args.tool)]
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = "http://127.0.0.1:%d" % server.server_address[1]
    work = tempfile.mkdtemp(prefix="orvalis-update-")
    failures = []
    try:
        code, out, articles, err = update(command, os.path.join(work, "Données d'essai"), base)
        if code != 0:
            failures.append("exit code %d: %s" % (code, err.decode("utf-8", "replace")))
        if "Crêpes: 2 new, 0 updated, 2 parsed\n" not in out.replace("\r\n", "\n"):
            failures.append("unexpected output: %r" % out)
        if articles is None:
            failures.append("no articles file named %r; Feeds holds %r" % (
                FEED_FILE, os.listdir(os.path.join(work, "Données d'essai", "Feeds"))
                if os.path.isdir(os.path.join(work, "Données d'essai", "Feeds")) else None))
        elif "Recette de la crêpe – facile".encode("utf-8") not in articles:
            failures.append("the extractor's article is not stored")
        if args.linux_tool and os.path.exists(args.linux_tool):
            linux = update([os.path.abspath(args.linux_tool)],
                           os.path.join(work, "Données Linux"), base)
            if (linux[0], linux[1]) != (code, out):
                failures.append("Linux gives %r, Windows %r" % (linux[:2], (code, out)))
            print("compared with %s" % args.linux_tool)
    finally:
        server.shutdown()
        shutil.rmtree(work, ignore_errors=True)
    for line in failures:
        print("FAIL " + line)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
