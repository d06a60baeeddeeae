"""A local site for the discovery benchmark: /page.html links to 200 addresses, 50 of them
feeds; every answer (the page included) is delayed by DELAY seconds."""
import http.server
import sys
import time

DELAY = float(sys.argv[2]) if len(sys.argv) > 2 else 0.2
FEED = (b'<?xml version="1.0"?><rss version="2.0"><channel><title>Feed %d</title>'
        b'<language>fr</language><item><title>x</title></item></channel></rss>')


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        time.sleep(DELAY)
        path = self.path
        if path == "/page.html":
            links = "".join('<a href="/feed%d.xml">f</a><a href="/page%d.html">p</a>'
                            '<a href="/other%d.html">o</a><a href="/more%d.html">m</a>'
                            % (i, i, i, i) for i in range(50))
            body = ("<html><body>%s</body></html>" % links).encode()
            ctype = "text/html"
        elif path.startswith("/feed"):
            body = FEED % int(path[5:-4])
            ctype = "application/rss+xml"
        else:
            body = b"<html><body>not a feed</body></html>"
            ctype = "text/html"
        self.send_response(200)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


if __name__ == "__main__":
    server = http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), Handler)
    server.serve_forever()
