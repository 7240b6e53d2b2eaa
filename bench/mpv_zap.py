#!/usr/bin/env python3
"""mpv_zap: the same zaps as zap_bench, timed in mpv, as a peer to compare with.

    xvfb-run -a bench/mpv_zap.py [--zaps N] [--mpv PATH]

Makes the live-like MPEG-TS stream the playback tests use (ffmpeg: 320x240 test picture,
25 pictures/s, one-second picture group, a sine tone), serves it on 127.0.0.1 under two
paths with tests/playback_live_server.py (0.5 s burst, then the stream's pace), and as a live
HLS channel with bench/hls_live_server.py, on the loopback and over a line five times the
stream's bit rate with 50 ms before each answer (as zap_bench does). One mpv runs per source
(no configuration, X11 output, no sound device). Each zap sends "loadfile URL replace" over
mpv's JSON IPC, alternating between the two channels, after a random 0.5-1.5 s of watching,
and is timed from the command to
  - "file-loaded" (the stream is open and its tracks known: what our Playing state is), and
  - "playback-restart" (mpv has its first picture ready and starts the clock: the first
    frame).
Prints one line per figure, "name value unit", for MPEG-TS:
  mpv_zap_loaded_ms MEDIAN ms         mpv_zap_loaded_p90_ms P90 ms
  mpv_zap_first_frame_ms MEDIAN ms
  mpv_zap_first_frame_p90_ms P90 ms   mpv_zap_first_frame_max_ms MAX ms
  mpv_zap_keyframe_wait_ms MEDIAN ms  mpv_zap_after_keyframe_ms MEDIAN ms
  mpv_rss_mb MB MB                    (mpv's resident memory while it plays)
(the key frame wait as in zap_bench: from the byte at which the server let mpv join, until a
whole key frame had arrived), then the same first five with _hls and _hls_line after "zap".
"""

import argparse
import json
import os
import random
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "..", "tests", "playback_live_server.py")
HLS_SERVER = os.path.join(HERE, "hls_live_server.py")
SECONDS = 60
BURST = 0.5
PACKET = 188


def has_encoder(name):
    out = subprocess.run(["ffmpeg", "-hide_banner", "-encoders"], capture_output=True,
                         text=True).stdout
    return f" {name} " in out


def make_stream(path):
    video = ["-c:v", "mpeg2video", "-g", "25", "-b:v", "800k"]
    if has_encoder("libx264"):
        video = ["-c:v", "libx264", "-preset", "ultrafast", "-g", "25", "-pix_fmt", "yuv420p"]
    audio = ["-c:a", "aac", "-b:a", "64k"] if has_encoder("aac") else ["-c:a", "mp2", "-b:a",
                                                                       "128k"]
    subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                    "testsrc=size=320x240:rate=25", "-f", "lavfi", "-i",
                    "sine=frequency=440:sample_rate=48000", "-t", str(SECONDS)] + video + audio +
                   ["-f", "mpegts", path], check=True)


class Ipc:
    def __init__(self, path, timeout=20.0):
        deadline = time.monotonic() + timeout
        while True:
            try:
                self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                self.sock.connect(path)
                break
            except OSError:
                if time.monotonic() > deadline:
                    raise
                time.sleep(0.02)
        self.buffer = b""

    def send(self, *command):
        self.sock.sendall(json.dumps({"command": list(command)}).encode() + b"\n")

    def event(self, deadline):
        """The next message from mpv, or None when the deadline passes."""
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            self.sock.settimeout(left)
            try:
                chunk = self.sock.recv(65536)
            except socket.timeout:
                return None
            if not chunk:
                return None
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return json.loads(line)


def rss_mb(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) / 1024.0
    except OSError:
        pass
    return 0.0


def key_frames(stream):
    """(start, end) bytes of each video key frame; its data ends where the next picture's
    begins."""
    out = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v", "-show_entries",
                          "packet=pos,flags", "-of", "csv=p=0", stream],
                         capture_output=True, text=True).stdout
    keys, start = [], None
    for line in out.splitlines():
        fields = line.strip().split(",")
        if len(fields) < 2 or not fields[0].isdigit():
            continue
        pos = int(fields[0])
        if start is not None:
            keys.append((start, pos))
            start = None
        if fields[1].startswith("K"):
            start = pos
    return keys


def key_wait_ms(keys, joined, size):
    """How long a client that joined at byte `joined` waits for a whole key frame."""
    rate = size / SECONDS
    end = next((stop for start, stop in keys if start >= joined), keys[0][1] + size)
    return max(0.0, end - joined - BURST * rate) / rate * 1e3


def serve(command):
    server = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    for line in server.stdout:
        if line.startswith("PORT "):
            return server, int(line.split()[1])
    sys.exit("a stream server did not start")


def zaps(mpv, urls, count, joins=None):
    """Zaps mpv between the addresses; returns (loaded ms, first frame ms, joined bytes,
    resident MB) lists."""
    with tempfile.TemporaryDirectory() as tmp:
        socket_path = os.path.join(tmp, "mpv.sock")
        player = subprocess.Popen(
            [mpv, "--no-config", "--idle=yes", "--force-window=yes", "--vo=x11", "--ao=null",
             "--really-quiet", "--geometry=640x360", f"--input-ipc-server={socket_path}"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        watch = random.Random(count)
        loaded, first, joined = [], [], []
        rss = 0.0
        try:
            ipc = Ipc(socket_path)
            for i in range(count + 1):  # the first load warms up, it is not counted
                seen = len(read_joins(joins))
                start = time.monotonic()
                ipc.send("loadfile", urls[i % 2], "replace")
                deadline = start + 20
                t_loaded = t_first = None
                while t_first is None:
                    message = ipc.event(deadline)
                    if message is None:
                        break
                    name = message.get("event")
                    if name == "file-loaded" and t_loaded is None:
                        t_loaded = time.monotonic()
                    elif name == "playback-restart" and t_loaded is not None:
                        t_first = time.monotonic()
                if t_first is None:
                    print(f"zap {i} did not show a picture", file=sys.stderr)
                elif i > 0:
                    loaded.append((t_loaded - start) * 1e3)
                    first.append((t_first - start) * 1e3)
                    offsets = read_joins(joins)
                    joined.append(offsets[seen] if len(offsets) > seen else None)
                time.sleep(0.5 + watch.random())  # watch a while, as a viewer would
                rss = max(rss, rss_mb(player.pid))
            ipc.send("quit")
        finally:
            try:
                player.wait(5)
            except subprocess.TimeoutExpired:
                player.kill()
    return loaded, first, joined, rss


def read_joins(path):
    if not path or not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return [int(line.split("\t")[1]) for line in f if "\t" in line]


def percentile90(values):
    values = sorted(values)
    return values[max(0, -(-9 * len(values) // 10) - 1)]


def report(prefix, loaded, first):
    if not first:
        print(f"{prefix}: no zap succeeded", file=sys.stderr)
        return
    print(f"{prefix}_loaded_ms {statistics.median(loaded):.1f} ms")
    print(f"{prefix}_loaded_p90_ms {percentile90(loaded):.1f} ms")
    print(f"{prefix}_first_frame_ms {statistics.median(first):.1f} ms")
    print(f"{prefix}_first_frame_p90_ms {percentile90(first):.1f} ms")
    print(f"{prefix}_first_frame_max_ms {max(first):.1f} ms")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--zaps", type=int, default=20)
    parser.add_argument("--mpv", default="mpv")
    args = parser.parse_args()
    if not shutil.which(args.mpv):
        sys.exit("mpv is not installed (apt-get install mpv)")

    with tempfile.TemporaryDirectory() as tmp:
        stream = os.path.join(tmp, "live.ts")
        make_stream(stream)
        joins = os.path.join(tmp, "joins.log")
        server, port = serve([sys.executable, SERVER, "--file", stream, "--duration",
                              str(SECONDS), "--log", os.path.join(tmp, "server.log"), "--joins",
                              joins, "--path", "/a.ts", "--path", "/b.ts", "--burst", str(BURST)])
        try:
            urls = [f"http://127.0.0.1:{port}/{c}.ts" for c in "ab"]
            loaded, first, joined, rss = zaps(args.mpv, urls, args.zaps, joins)
        finally:
            server.stdin.close()
            server.wait(5)
        report("mpv_zap", loaded, first)
        keys = key_frames(stream)
        size = os.path.getsize(stream) // PACKET * PACKET
        pairs = [(f, key_wait_ms(keys, j, size)) for f, j in zip(first, joined) if j is not None]
        if keys and pairs:
            print(f"mpv_zap_keyframe_wait_ms {statistics.median(w for _, w in pairs):.1f} ms")
            print(f"mpv_zap_after_keyframe_ms {statistics.median(f - w for f, w in pairs):.1f} ms")
        print(f"mpv_zaps {len(first)} zaps")
        print(f"mpv_rss_mb {rss:.1f} MB")

        for name, line in (("hls", []), ("hls_line", ["--link", "5", "--latency", "0.05"])):
            server, port = serve([sys.executable, HLS_SERVER, "--file", stream, "--path",
                                  "/a.m3u8", "--path", "/b.m3u8"] + line)
            try:
                urls = [f"http://127.0.0.1:{port}/{c}.m3u8" for c in "ab"]
                loaded, first, _, _ = zaps(args.mpv, urls, args.zaps)
            finally:
                server.stdin.close()
                server.wait(5)
            report(f"mpv_zap_{name}", loaded, first)


if __name__ == "__main__":
    main()
