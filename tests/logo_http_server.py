#!/usr/bin/env python3
"""An HTTP server on 127.0.0.1 for the logo cache tests.

Serves the files of --root by path (404 for any other path) and logs each request as one
line "path" in --log. Prints "PORT <number>" once listening; ends when its standard input
closes.
"""

import argparse
import os
import sys
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--log", required=True)
    args = parser.parse_args()
    log_lock = threading.Lock()
    root = os.path.realpath(args.root)

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *unused):
            pass

        def do_GET(self):
            path = self.path.split("?", 1)[0]
            with log_lock, open(args.log, "a", encoding="utf-8") as log:
                log.write(path + "\n")
            file = os.path.realpath(os.path.join(root, path.lstrip("/")))
            if not file.startswith(root + os.sep) or not os.path.isfile(file):
                self.answer(404, b"not found")
                return
            with open(file, "rb") as f:
                self.answer(200, f.read(), "image/png")

        def answer(self, status, body, kind="text/plain"):
            self.send_response(status)
            self.send_header("Content-Type", kind)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    sys.stdin.read()
    server.shutdown()


if __name__ == "__main__":
    main()
