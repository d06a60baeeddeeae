#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1, each answer delayed by DELAY_MS (a real network's
latency), one thread per connection. Writes the chosen port to PORT_FILE.
Usage: serve.py DIR PORT_FILE [DELAY_MS]"""
import functools
import http.server
import os
import sys
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    delay = 0.0

    def do_GET(self):
        if self.delay:
            time.sleep(self.delay)
        super().do_GET()

    def log_message(self, *args):
        pass


def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    Handler.delay = (int(sys.argv[3]) if len(sys.argv) > 3 else 0) / 1000.0
    http.server.ThreadingHTTPServer.request_queue_size = 128
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(Handler, directory=folder))
    with open(port_file + ".tmp", "w") as out:
        out.write(str(server.server_address[1]))
    os.rename(port_file + ".tmp", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
