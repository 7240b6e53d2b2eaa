#!/usr/bin/env python3
"""A live-like HTTP source of an MPEG-TS file, for the playback tests and the zap benchmark.

Every listed path serves the same file as a live channel: a client joins at the point the
"broadcast" has reached (the file loops), gets a short burst as a live server's buffer would
give, then the stream at its own pace, in chunked transfer coding without a length. Other
paths answer 404. Each request is logged as one line "path<TAB>user-agent<TAB>referer";
with --joins, the byte of the file at which each client joined the broadcast goes to a second
log, "path<TAB>byte" (the zap benchmark finds the next key frame from it).

Failing sources for the failure tests, each only where asked: a --stall-path sends the stream
for --stall-after seconds, then nothing more while it keeps the connection open; an --end-path
sends it for --end-after seconds, then ends the body and closes; a --garbage-path sends bytes
that are no stream at all, then closes; a --silent-path takes the request and never answers,
the connection open; a --once-path is an --end-path for its first client only and answers
404 afterwards (a channel that goes for good).

A drifting sender: with --drift-ppm P the sender's clock runs P parts per million fast (slow
when negative), so it sends the stream that much faster (or slower) than real time; over an
hour at 100 ppm that is 360 ms of stream more (or less) than the player's clock would take.
For this the file should be one of constant bit rate (ffmpeg's -muxrate), given with its
exact --duration.

Prints "PORT <number>" once listening on 127.0.0.1; ends when its standard input closes.
"""

import argparse
import os
import random
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

PACKET = 188
TICK = 0.04


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--file", required=True)
    parser.add_argument("--duration", type=float, required=True, help="seconds in the file")
    parser.add_argument("--path", action="append", default=[])
    parser.add_argument("--log", required=True)
    parser.add_argument("--joins", help="also log where each client joined: path<TAB>byte")
    parser.add_argument("--burst", type=float, default=0.5, help="seconds sent at once")
    parser.add_argument("--jitter", type=float, default=0.0, help="longest stall, seconds")
    parser.add_argument("--stall-chance", type=float, default=0.02,
                        help="chance of a stall at each 40 ms step")
    parser.add_argument("--drift-ppm", type=float, default=0.0,
                        help="the sender's clock runs this many parts per million fast")
    parser.add_argument("--stall-path", action="append", default=[])
    parser.add_argument("--stall-after", type=float, default=2.0, help="seconds sent, then none")
    parser.add_argument("--end-path", action="append", default=[])
    parser.add_argument("--end-after", type=float, default=3.0, help="seconds sent, then closed")
    parser.add_argument("--once-path", action="append", default=[])
    parser.add_argument("--garbage-path", action="append", default=[])
    parser.add_argument("--silent-path", action="append", default=[])
    parser.add_argument("--file-path", action="append", default=[],
                        help="PATH=FILE: that file, whole, as it is")
    args = parser.parse_args()

    with open(args.file, "rb") as f:
        data = f.read()
    size = len(data) - len(data) % PACKET
    rate = size / args.duration * (1.0 + args.drift_ppm / 1e6)
    started = time.monotonic()
    log_lock = threading.Lock()
    served_once = set()

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *unused):
            pass

        def do_GET(self):
            try:
                self.answer()
            except (BrokenPipeError, ConnectionResetError, TimeoutError):
                pass

        def answer(self):
            path = self.path.split("?", 1)[0]
            with log_lock, open(args.log, "a", encoding="utf-8") as log:
                log.write("%s\t%s\t%s\n" % (path, self.headers.get("User-Agent", ""),
                                            self.headers.get("Referer", "")))
            if path in args.silent_path:
                time.sleep(120)  # no answer at all; the client gives up first
                return
            if path in args.garbage_path:
                self.garbage()
                return
            files = dict(p.split("=", 1) for p in args.file_path)
            if path in files:
                with open(files[path], "rb") as f:
                    body = f.read()
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)
                return
            once = path in args.once_path
            if once:
                with log_lock:
                    once = path not in served_once
                    served_once.add(path)
            if not once and path not in args.path + args.stall_path + args.end_path:
                body = b"not found\n"
                self.send_response(404)
                self.send_header("Content-Type", "text/plain")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)
                return
            self.send_response(200)
            self.send_header("Content-Type", "video/mp2t")
            self.send_header("Transfer-Encoding", "chunked")
            self.send_header("Cache-Control", "no-cache")
            self.end_headers()
            if path in args.stall_path:
                self.stream(args.stall_after)
                time.sleep(120)  # silent, the connection open; the client gives up first
            elif once or path in args.end_path:
                self.stream(args.end_after)
                self.wfile.write(b"0\r\n\r\n")
                self.wfile.flush()
                self.close_connection = True
            else:
                self.stream()

        def garbage(self):
            # No MPEG sync byte ("G", 0x47), no start code, no 0xFF: nothing a demuxer takes.
            body = b"zentuvo: this is not a stream at all\n" * 8000
            self.send_response(200)
            self.send_header("Content-Type", "video/mp2t")
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body)
            self.wfile.flush()
            self.close_connection = True

        def stream(self, seconds=None):
            joined = time.monotonic()
            offset = int((joined - started) * rate) % size
            offset -= offset % PACKET
            if args.joins:
                with log_lock, open(args.joins, "a", encoding="utf-8") as joins:
                    joins.write("%s\t%d\n" % (self.path.split("?", 1)[0], offset))
            sent = 0
            stall_until = 0.0
            chance = random.Random(7)  # every client meets the same stalls
            while True:
                now = time.monotonic()
                if seconds is not None and now - joined >= seconds:
                    return
                if args.jitter > 0 and now >= stall_until and chance.random() < args.stall_chance:
                    stall_until = now + chance.uniform(0, args.jitter)
                if now < stall_until:
                    time.sleep(min(TICK, stall_until - now))
                    continue
                due = int((args.burst + now - joined) * rate)
                due -= due % PACKET
                while sent < due:
                    n = min(due - sent, size - offset, 64 * PACKET)
                    self.wfile.write(b"%x\r\n" % n + data[offset:offset + n] + b"\r\n")
                    sent += n
                    offset = (offset + n) % size
                self.wfile.flush()
                time.sleep(TICK)

    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    sys.stdin.read()  # until our parent goes
    os._exit(0)


if __name__ == "__main__":
    main()
