#!/usr/bin/env python3
"""A small internet radio on 127.0.0.1 speaking the ICY (Shoutcast) protocol, for tests.

Streams an MP3 file in a loop at its own bit rate (after a half-second burst so players start
quickly), with a metadata block every METAINT bytes when the client asks for metadata.
The stream title is the first title for GAP seconds after the connection opens, then the
next one, and so on. Titles are sent as given on the command line, encoded in UTF-8,
except those prefixed with "cp1252:", which are sent in Windows-1252 as many stations do.

usage: icy_radio.py MP3 PORTFILE [--gap SECONDS] [--metaint N] [--duration SECONDS]
                    [--title TEXT]...
The chosen port is written to PORTFILE once the server listens."""
import argparse
import os
import socket
import socketserver
import threading
import time


def encode_title(text):
    if text.startswith("cp1252:"):
        return text[len("cp1252:"):].encode("cp1252")
    return text.encode("utf-8")


def meta_block(title_bytes):
    body = b"StreamTitle='" + title_bytes + b"';"
    n = (len(body) + 15) // 16
    return bytes([n]) + body.ljust(n * 16, b"\0")


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        opts = self.server.opts
        self.request.settimeout(10)
        head = b""
        while b"\r\n\r\n" not in head and len(head) < 16384:
            chunk = self.request.recv(4096)
            if not chunk:
                return
            head += chunk
        wants_meta = b"icy-metadata: 1" in head.lower()
        reply = ("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n"
                 "icy-name: Orvalis test radio\r\nicy-br: 128\r\n")
        if wants_meta:
            reply += "icy-metaint: %d\r\n" % opts.metaint
        reply += "\r\n"
        data = self.server.mp3
        rate = len(data) / opts.duration  # bytes per second
        start = time.monotonic()
        sent = 0          # audio bytes sent
        pos = 0           # position in the file
        until_meta = opts.metaint
        burst = rate / 2  # half a second at once, then real time
        try:
            self.request.sendall(reply.encode("ascii"))
            while True:
                elapsed = time.monotonic() - start
                allowed = burst + rate * elapsed
                if sent >= allowed:
                    time.sleep(0.02)
                    continue
                n = min(2048, until_meta if wants_meta else 2048, len(data) - pos)
                self.request.sendall(data[pos:pos + n])
                pos = (pos + n) % len(data)
                sent += n
                if wants_meta:
                    until_meta -= n
                    if until_meta == 0:
                        index = min(int(elapsed / opts.gap), len(opts.title) - 1)
                        self.request.sendall(meta_block(encode_title(opts.title[index])))
                        until_meta = opts.metaint
        except (BrokenPipeError, ConnectionResetError, socket.timeout, OSError):
            return


class Server(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    p = argparse.ArgumentParser()
    p.add_argument("mp3")
    p.add_argument("portfile")
    p.add_argument("--gap", type=float, default=4.0)
    p.add_argument("--metaint", type=int, default=8192)
    p.add_argument("--duration", type=float, default=60.0)
    p.add_argument("--title", action="append", default=[])
    opts = p.parse_args()
    if not opts.title:
        opts.title = ["First title"]
    with open(opts.mp3, "rb") as f:
        mp3 = f.read()
    srv = Server(("127.0.0.1", 0), Handler)
    srv.opts = opts
    srv.mp3 = mp3
    tmp = opts.portfile + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(srv.server_address[1]))
    os.replace(tmp, opts.portfile)
    srv.serve_forever()


if __name__ == "__main__":
    main()
