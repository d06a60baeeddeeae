#!/usr/bin/env python3
"""Times `orvalis-tool extract` and `w3m -dump` over the same pages served by a local HTTP
server, one process per page each, the runs side by side (and, for reference, the
converter alone and w3m alone on the saved files). Prints the totals and the ratios
(w3m time / our time).
usage: time_extract.py TOOL PAGES_DIR"""
import functools
import http.server
import os
import subprocess
import sys
import threading
import time


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def main():
    tool, pages = sys.argv[1], sys.argv[2]
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=pages))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    port = server.server_address[1]
    titles = dict(line.rstrip("\n").split("\t", 1)
                  for line in open(os.path.join(pages, "titles.txt"), encoding="utf-8"))
    total_bytes = 0
    t_extract = t_w3m = t_html2text = t_w3m_file = 0.0
    moved = 0
    for n in sorted(titles):
        name = "page-%s.html" % n
        url = "http://127.0.0.1:%d/%s" % (port, name)
        total_bytes += os.path.getsize(os.path.join(pages, name))
        start = time.perf_counter()
        r = subprocess.run([tool, "extract", url, "--title", titles[n]], capture_output=True)
        t_extract += time.perf_counter() - start
        if r.returncode != 0:
            sys.exit("extract failed on %s: %s" % (name, r.stderr.decode(errors="replace")))
        out = r.stdout.decode("utf-8", errors="replace")
        moved += out.startswith(titles[n]) and "=== Haut de texte ====" in out
        start = time.perf_counter()
        subprocess.run(["w3m", "-dump", "-T", "text/html", url], capture_output=True, check=True)
        t_w3m += time.perf_counter() - start
        # The converter alone and w3m alone on the saved file, for reference.
        path = os.path.join(pages, name)
        start = time.perf_counter()
        subprocess.run([tool, "html2text", path], capture_output=True, check=True)
        t_html2text += time.perf_counter() - start
        start = time.perf_counter()
        subprocess.run(["w3m", "-dump", "-T", "text/html", path], capture_output=True, check=True)
        t_w3m_file += time.perf_counter() - start
    server.shutdown()
    pages_n = len(titles)
    print("%d pages, %.1f MB" % (pages_n, total_bytes / 1048576))
    print("orvalis-tool extract: %.2f s (article start moved to the top on %d pages)"
          % (t_extract, moved))
    print("w3m -dump:            %.2f s" % t_w3m)
    print("ratio w3m / extract:  %.2f" % (t_w3m / t_extract if t_extract else 0))
    print("from the files: html2text %.2f s, w3m -dump %.2f s, ratio %.2f"
          % (t_html2text, t_w3m_file, t_w3m_file / t_html2text if t_html2text else 0))


if __name__ == "__main__":
    main()
