#!/usr/bin/env python3
"""An HTTP server on 127.0.0.1 for the playlist download tests.

Paths:
  /list.m3u         a small playlist
  /guide.xml        a small programme guide (XMLTV)
  /hop              302 to the relative "dir/hop2", which 302s to the absolute /list.m3u
  /loop             302 to itself, for ever
  /missing          404 Not Found
  /stall            headers and the first bytes of a body, then nothing, the connection open
  /silent           takes the request and never answers
  /big              --big bytes, announced by Content-Length
  /big-chunked      --big bytes in chunks without a length
Anything else is 404 too. Each request is logged as one line "path<TAB>user-agent".

Prints "PORT <number>" once listening; ends when its standard input closes.
"""

import argparse
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

PLAYLIST = b"#EXTM3U\n#EXTINF:-1,Alpha\nhttp://127.0.0.1/alpha.ts\n"
GUIDE = (b'<tv><channel id="alpha.tv"><display-name>Alpha</display-name></channel>'
         b'<programme channel="alpha.tv" start="20261206100000 +0000" stop="20261206110000 +0000">'
         b'<title>Morning</title></programme></tv>\n')


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log", required=True)
    parser.add_argument("--big", type=int, default=1 << 20, help="bytes of /big and /big-chunked")
    args = parser.parse_args()
    log_lock = threading.Lock()

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *unused):
            pass

        def handle(self):
            try:
                super().handle()
            except (BrokenPipeError, ConnectionResetError, TimeoutError):
                pass  # the client gave up

        def do_GET(self):
            path = self.path.split("?", 1)[0]
            with log_lock, open(args.log, "a", encoding="utf-8") as log:
                log.write("%s\t%s\n" % (path, self.headers.get("User-Agent", "")))
            self.answer(path)

        def send(self, status, body=b"", headers=()):
            self.send_response(status)
            for name, value in headers:
                self.send_header(name, value)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def answer(self, path):
            if path == "/guide.xml":
                self.send(200, GUIDE, [("Content-Type", "application/xml")])
            elif path == "/list.m3u":
                self.send(200, PLAYLIST, [("Content-Type", "audio/x-mpegurl")])
            elif path == "/hop":
                self.send(302, headers=[("Location", "dir/hop2")])
            elif path == "/dir/hop2":
                self.send(302, headers=[("Location", "/list.m3u")])
            elif path == "/loop":
                self.send(302, headers=[("Location", "/loop")])
            elif path == "/stall":
                self.send_response(200)
                self.send_header("Content-Length", "10000")
                self.end_headers()
                self.wfile.write(b"#EXTM3U\n")
                self.wfile.flush()
                time.sleep(120)  # the client gives up first
            elif path == "/silent":
                time.sleep(120)
            elif path == "/big":
                self.send(200, b"#" * args.big)
            elif path == "/big-chunked":
                self.send_response(200)
                self.send_header("Transfer-Encoding", "chunked")
                self.end_headers()
                chunk = b"#" * 4096
                for _ in range(args.big // len(chunk)):
                    self.wfile.write(b"%x\r\n%s\r\n" % (len(chunk), chunk))
                self.wfile.write(b"0\r\n\r\n")
            else:
                self.send(404, b"not found\n", [("Content-Type", "text/plain")])

    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    sys.stdin.read()  # until our parent goes
    os._exit(0)


if __name__ == "__main__":
    main()
