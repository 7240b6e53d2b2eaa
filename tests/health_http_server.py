#!/usr/bin/env python3
"""HTTP servers on loopback addresses for the stream check tests and benchmark.

Every address given with --hosts gets --ports listening sockets. Paths (HEAD and GET):
  /stream.ts         200 video/mp2t, 8 KiB (206 with the first bytes for a Range)
  /nohead            HEAD 405, GET as /stream.ts
  /htmlhead          200 text/html, an error page
  /status/N          answers N
  /hop/N             302 to hop/N-1 (relative); /hop/0 is /stream.ts
  /loop, /loop-b     302 to each other
  /stall             takes the request and never answers
  /master.m3u8       a master playlist; its first variant low/media.m3u8 has two segments
  /badseg.m3u8       a media playlist whose segment answers 500
  /nomedia.m3u8      a playlist without media
  /ua                200 for the User-Agent "ZentuvoTest/ua-1" with the Referer
                     "http://ref.test/", else 403
  /slow/...          as /stream.ts after --delay-min to --delay-max ms
Anything else is 404. Each request is logged as "METHOD<TAB>path<TAB>user-agent<TAB>referer
<TAB>range" when --log is given.

Prints "LISTEN host port" per socket, "REFUSED port" (a port where nothing listens) and
"READY". A line "STATS" on standard input is answered with "STATS requests=N
max_inflight=N max_host_inflight=N max_connections=N last_request_ms=T" (T: the wall clock
of the latest request, in ms since the epoch); "RESET" clears the counters and is answered
with "RESET". Ends when its standard input closes.
"""

import argparse
import os
import random
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

MEDIA_BODY = bytes(range(256)) * 32  # 8 KiB
MASTER = (b"#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=800000\nlow/media.m3u8\n"
          b"#EXT-X-STREAM-INF:BANDWIDTH=2000000\nhigh/media.m3u8\n")
MEDIA = b"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\nseg1.ts\n#EXTINF:2,\nseg2.ts\n"
BAD_MEDIA = b"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\nseg500.ts\n"
NO_MEDIA = b"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-ENDLIST\n"
PAGE = b"<!DOCTYPE html><html><body>Stream not available</body></html>"
HLS = "application/vnd.apple.mpegurl"


class Counters:
    def __init__(self):
        self.lock = threading.Lock()
        self.reset()

    def reset(self):
        self.requests = 0
        self.inflight = 0
        self.max_inflight = 0
        self.host_inflight = {}
        self.max_host_inflight = 0
        self.connections = getattr(self, "connections", 0)  # those open stay counted
        self.max_connections = self.connections
        self.last_request = 0.0

    def change(self, host, step):
        with self.lock:
            if step > 0:
                self.requests += 1
                self.last_request = time.time()
            self.inflight += step
            self.host_inflight[host] = self.host_inflight.get(host, 0) + step
            self.max_inflight = max(self.max_inflight, self.inflight)
            self.max_host_inflight = max(self.max_host_inflight, self.host_inflight[host])

    def connection(self, step):
        with self.lock:
            self.connections += step
            self.max_connections = max(self.max_connections, self.connections)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log")
    parser.add_argument("--hosts", default="127.0.0.1")
    parser.add_argument("--ports", type=int, default=1)
    parser.add_argument("--delay-min", type=int, default=200)
    parser.add_argument("--delay-max", type=int, default=500)
    args = parser.parse_args()
    counters = Counters()
    log_lock = threading.Lock()

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *unused):
            pass

        def handle(self):
            counters.connection(1)
            try:
                super().handle()
            except (BrokenPipeError, ConnectionResetError, TimeoutError):
                pass  # the client gave up
            finally:
                counters.connection(-1)

        def do_HEAD(self):
            self.serve(head=True)

        def do_GET(self):
            self.serve(head=False)

        def serve(self, head):
            path = self.path.split("?", 1)[0]
            host = self.server.server_address[0]
            if args.log:
                with log_lock, open(args.log, "a", encoding="utf-8") as log:
                    log.write("\t".join([self.command, path,
                                         self.headers.get("User-Agent", ""),
                                         self.headers.get("Referer", ""),
                                         self.headers.get("Range", "")]) + "\n")
            counters.change(host, 1)
            self.counted = True
            try:
                self.answer(path, head)
            finally:
                self.uncount()

        def uncount(self):
            # Before the answer goes out: once the client has it, it may ask again at once.
            if self.counted:
                self.counted = False
                counters.change(self.server.server_address[0], -1)

        def send(self, status, body=b"", kind=None, headers=(), head=False):
            self.send_response(status)
            if kind:
                self.send_header("Content-Type", kind)
            for name, value in headers:
                self.send_header(name, value)
            self.send_header("Content-Length", str(len(body)))
            self.uncount()
            self.end_headers()
            if not head:
                self.wfile.write(body)

        def media(self, head):
            wanted = self.headers.get("Range", "")
            if wanted.startswith("bytes=0-"):
                last = min(int(wanted[8:] or len(MEDIA_BODY) - 1), len(MEDIA_BODY) - 1)
                self.send(206, MEDIA_BODY[:last + 1], "video/mp2t",
                          [("Content-Range", "bytes 0-%d/%d" % (last, len(MEDIA_BODY)))], head)
            else:
                self.send(200, MEDIA_BODY, "video/mp2t", head=head)

        def answer(self, path, head):
            agent_ok = (self.headers.get("User-Agent") == "ZentuvoTest/ua-1" and
                        self.headers.get("Referer") == "http://ref.test/")
            if path in ("/stream.ts", "/low/seg2.ts") or (path == "/ua" and agent_ok):
                self.media(head)
            elif path == "/ua":
                self.send(403, b"forbidden\n", "text/plain", head=head)
            elif path == "/nohead":
                if head:
                    self.send(405, head=True)
                else:
                    self.media(False)
            elif path == "/htmlhead":
                self.send(200, PAGE, "text/html; charset=utf-8", head=head)
            elif path.startswith("/status/"):
                self.send(int(path[8:]), b"status\n", "text/plain", head=head)
            elif path.startswith("/hop/"):
                left = int(path[5:])
                if left == 0:
                    self.media(head)
                else:
                    self.send(302, headers=[("Location", str(left - 1))], head=head)
            elif path in ("/loop", "/loop-b"):
                self.send(302, headers=[("Location", "/loop-b" if path == "/loop" else "/loop")],
                          head=head)
            elif path == "/stall":
                time.sleep(60)  # the client gives up first
            elif path == "/master.m3u8":
                self.send(200, MASTER, HLS, head=head)
            elif path == "/low/media.m3u8":
                self.send(200, MEDIA, HLS, head=head)
            elif path == "/badseg.m3u8":
                self.send(200, BAD_MEDIA, HLS, head=head)
            elif path == "/seg500.ts":
                self.send(500, b"error\n", "text/plain", head=head)
            elif path == "/nomedia.m3u8":
                self.send(200, NO_MEDIA, HLS, head=head)
            elif path.startswith("/slow/"):
                time.sleep(random.uniform(args.delay_min, args.delay_max) / 1000.0)
                self.media(head)
            else:
                self.send(404, b"not found\n", "text/plain", head=head)

    class Server(ThreadingHTTPServer):
        daemon_threads = True
        request_queue_size = 128

    for host in args.hosts.split(","):
        for _ in range(args.ports):
            server = Server((host, 0), Handler)
            threading.Thread(target=server.serve_forever, daemon=True).start()
            print("LISTEN %s %d" % (host, server.server_address[1]), flush=True)
    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    print("REFUSED %d" % probe.getsockname()[1], flush=True)
    probe.close()
    print("READY", flush=True)
    for line in sys.stdin:
        if line.strip() == "STATS":
            with counters.lock:
                print("STATS requests=%d max_inflight=%d max_host_inflight=%d "
                      "max_connections=%d last_request_ms=%d" %
                      (counters.requests, counters.max_inflight, counters.max_host_inflight,
                       counters.max_connections, int(counters.last_request * 1000)), flush=True)
        elif line.strip() == "RESET":
            with counters.lock:
                counters.reset()
            print("RESET", flush=True)
    os._exit(0)


if __name__ == "__main__":
    main()
