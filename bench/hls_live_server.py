#!/usr/bin/env python3
"""A live HLS channel on 127.0.0.1 for the zap benchmarks.

    hls_live_server.py --file live.ts [--segment 4] [--window 6] [--path /a.m3u8 ...]
                       [--link 5] [--latency 0.04]

Cuts the MPEG-TS file into segments of about --segment seconds with ffmpeg (stream copy, so
every segment starts on a key frame) and serves it as a live broadcast that loops: each
listed path is a media playlist holding the last --window segments that are complete at
the moment of the request, with a rising media sequence (and a discontinuity where the file
starts over). The broadcast is taken to have started one loop before the server, so the
first request already sees a full window. Segments are answered with their length, at the
loopback's speed or, with --link, at that many times the stream's own bit rate (a viewer's
line); --latency delays every answer by that many seconds (the round trip to a server far
away). Other paths answer 404.

Prints "PORT <number>" once listening; ends when its standard input closes.
"""

import argparse
import os
import subprocess
import sys
import tempfile
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


def cut(stream, folder, seconds):
    """Segments the stream; returns [(duration, bytes)] in order."""
    playlist = os.path.join(folder, "all.m3u8")
    subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-i", stream, "-c",
                    "copy", "-f", "hls", "-hls_time", str(seconds), "-hls_list_size", "0",
                    "-hls_segment_filename", os.path.join(folder, "s%04d.ts"), playlist],
                   check=True)
    segments, duration = [], None
    with open(playlist, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line.startswith("#EXTINF:"):
                duration = float(line[8:].split(",")[0])
            elif line and not line.startswith("#"):
                with open(os.path.join(folder, line), "rb") as segment:
                    segments.append((duration, segment.read()))
    # The last piece of the file may be short; a loop of whole segments keeps the clock even.
    if len(segments) > 2 and segments[-1][0] < seconds / 2:
        segments.pop()
    return segments


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--file", required=True)
    parser.add_argument("--segment", type=float, default=4.0, help="seconds a segment")
    parser.add_argument("--window", type=int, default=6, help="segments in the playlist")
    parser.add_argument("--path", action="append", default=[])
    parser.add_argument("--link", type=float, default=0.0, help="line speed / stream bit rate")
    parser.add_argument("--latency", type=float, default=0.0, help="seconds before an answer")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as folder:
        segments = cut(args.file, folder, args.segment)
    count = len(segments)
    loop = sum(d for d, _ in segments)
    starts = []  # start of each segment within one loop
    t = 0.0
    for d, _ in segments:
        starts.append(t)
        t += d
    target = int(max(d for d, _ in segments) + 0.999)
    line_rate = args.link * sum(len(b) for _, b in segments) / loop  # bytes a second
    started = time.monotonic() - loop

    def last_complete():
        """The number of the newest segment that is complete now."""
        now = time.monotonic() - started
        loops, within = divmod(now, loop)
        n = int(loops) * count - 1
        for i in range(count):
            if starts[i] + segments[i][0] <= within:
                n = int(loops) * count + i
        return n

    def playlist(name):
        last = last_complete()
        first = max(0, last - args.window + 1)
        lines = ["#EXTM3U", "#EXT-X-VERSION:3", "#EXT-X-TARGETDURATION:%d" % target,
                 "#EXT-X-MEDIA-SEQUENCE:%d" % first,
                 "#EXT-X-DISCONTINUITY-SEQUENCE:%d" % (first // count)]
        for n in range(first, last + 1):
            if n % count == 0 and n != first:
                lines.append("#EXT-X-DISCONTINUITY")
            lines.append("#EXTINF:%.3f," % segments[n % count][0])
            lines.append("%s/%d.ts" % (name, n))
        return ("\n".join(lines) + "\n").encode()

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *unused):
            pass

        def do_GET(self):
            try:
                self.answer()
            except (BrokenPipeError, ConnectionResetError):
                pass

        def answer(self):
            path = self.path.split("?", 1)[0]
            body, kind = None, None
            if path in args.path:
                body, kind = playlist(os.path.basename(path)[:-5]), "application/vnd.apple.mpegurl"
            else:
                channel, _, number = path.lstrip("/").partition("/")
                if "/" + channel + ".m3u8" in args.path and number.endswith(".ts"):
                    try:
                        n = int(number[:-3])
                    except ValueError:
                        n = -1
                    if 0 <= n <= last_complete():
                        body, kind = segments[n % count][1], "video/mp2t"
            if body is None:
                body, kind = b"not found\n", "text/plain"
                self.send_response(404)
            else:
                self.send_response(200)
            self.send_header("Content-Type", kind)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-cache")
            if args.latency > 0:
                time.sleep(args.latency)
            self.end_headers()
            if line_rate <= 0:
                self.wfile.write(body)
                return
            began = time.monotonic()
            for at in range(0, len(body), 8192):
                due = began + at / line_rate
                if due > time.monotonic():
                    time.sleep(due - time.monotonic())
                self.wfile.write(body[at:at + 8192])

    class Server(ThreadingHTTPServer):
        daemon_threads = True

        def handle_error(self, *unused):
            pass  # a player that hangs up on a zap is no error

    server = Server(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    sys.stdin.read()  # until our parent goes
    os._exit(0)


if __name__ == "__main__":
    main()
