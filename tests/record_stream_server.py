#!/usr/bin/env python3
"""A live-like HTTP source of an MPEG-TS file for the recorder tests and benchmark.

Paths:
  /live.ts   the whole file at its own pace (after a short burst, as a live server's
             buffer would give), then the connection closes
  /ends.ts   the same for --end-after seconds only: a channel that goes off the air
  /stall.ts  one second of the stream, then the connection stays open and silent
  anything else answers 404

Each request is logged as one line "path<TAB>user-agent<TAB>referer" to --log.
Prints "PORT <number>" once listening on 127.0.0.1; ends when its standard input closes.
"""

import argparse
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

PACKET = 188
TICK = 0.05


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--file", required=True)
    parser.add_argument("--duration", type=float, required=True, help="seconds in the file")
    parser.add_argument("--log", required=True)
    parser.add_argument("--end-after", type=float, default=2.0)
    parser.add_argument("--burst", type=float, default=0.5, help="seconds sent at once")
    args = parser.parse_args()

    with open(args.file, "rb") as f:
        data = f.read()
    size = len(data) - len(data) % PACKET
    rate = size / args.duration
    log_lock = threading.Lock()
    stopping = threading.Event()

    class Handler(BaseHTTPRequestHandler):
        def log_message(self, *unused):
            pass

        def do_GET(self):
            path = self.path.split("?", 1)[0]
            with log_lock, open(args.log, "a", encoding="utf-8") as log:
                log.write("%s\t%s\t%s\n" % (path, self.headers.get("User-Agent", ""),
                                            self.headers.get("Referer", "")))
            limits = {"/live.ts": args.duration, "/ends.ts": args.end_after, "/stall.ts": 1.0}
            if path not in limits:
                self.send_error(404)
                return
            self.send_response(200)
            self.send_header("Content-Type", "video/mp2t")
            self.send_header("Cache-Control", "no-cache")
            self.end_headers()
            end = min(size, int(limits[path] * rate) // PACKET * PACKET)
            started = time.monotonic()
            sent = 0
            try:
                while sent < end and not stopping.is_set():
                    due = int((time.monotonic() - started + args.burst) * rate)
                    due = min(end, due - due % PACKET)
                    if due > sent:
                        self.wfile.write(data[sent:due])
                        self.wfile.flush()
                        sent = due
                    time.sleep(TICK)
                if path == "/stall.ts":
                    while not stopping.is_set():
                        time.sleep(TICK)
            except (BrokenPipeError, ConnectionResetError):
                pass

    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    sys.stdin.read()
    stopping.set()
    server.shutdown()


if __name__ == "__main__":
    main()
