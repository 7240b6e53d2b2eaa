#!/usr/bin/env python3
"""mpv_zap: the same zap as zap_bench, timed in mpv, as a peer to compare with.

    xvfb-run -a bench/mpv_zap.py [--zaps N] [--mpv PATH]

Makes the live-like MPEG-TS stream the playback tests use (ffmpeg: 320x240 test picture,
25 pictures/s, one-second picture group, a sine tone), serves it on 127.0.0.1 under two
paths with tests/playback_live_server.py (0.5 s burst, then the stream's pace) and keeps one
mpv running (no configuration, X11 output, no sound device). Each zap sends "loadfile URL
replace" over mpv's JSON IPC, alternating between the two channels, and is timed from the
command to
  - "file-loaded" (the stream is open and its tracks known: what our Playing state is), and
  - "playback-restart" (mpv has its first picture ready and starts the clock: the first
    frame).
Prints one line per figure, "name value unit":
  mpv_zap_loaded_ms MEDIAN ms         mpv_zap_first_frame_ms MEDIAN ms
  mpv_zap_first_frame_p90_ms P90 ms   mpv_zap_first_frame_max_ms MAX ms
  mpv_rss_mb MB MB                    (mpv's resident memory while it plays)
"""

import argparse
import json
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "..", "tests", "playback_live_server.py")
SECONDS = 60


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
        server = subprocess.Popen(
            [sys.executable, SERVER, "--file", stream, "--duration", str(SECONDS), "--log",
             os.path.join(tmp, "server.log"), "--path", "/a.ts", "--path", "/b.ts",
             "--burst", "0.5"], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        port = None
        for line in server.stdout:
            if line.startswith("PORT "):
                port = int(line.split()[1])
                break
        if port is None:
            sys.exit("the live server did not start")

        socket_path = os.path.join(tmp, "mpv.sock")
        player = subprocess.Popen(
            [args.mpv, "--no-config", "--idle=yes", "--force-window=yes", "--vo=x11",
             "--ao=null", "--really-quiet", "--geometry=640x360",
             f"--input-ipc-server={socket_path}"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            ipc = Ipc(socket_path)
            loaded, first = [], []
            rss = 0.0
            for i in range(args.zaps + 1):  # the first load warms up, it is not counted
                url = f"http://127.0.0.1:{port}/{'ab'[i % 2]}.ts"
                start = time.monotonic()
                ipc.send("loadfile", url, "replace")
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
                    continue
                if i > 0:
                    loaded.append((t_loaded - start) * 1e3)
                    first.append((t_first - start) * 1e3)
                time.sleep(0.5)  # let it play a little, as a viewer would
                rss = max(rss, rss_mb(player.pid))
            ipc.send("quit")
        finally:
            try:
                player.wait(5)
            except subprocess.TimeoutExpired:
                player.kill()
            server.stdin.close()
            server.wait(5)

    if not first:
        sys.exit("no zap succeeded")
    first.sort()
    p90 = first[min(len(first) - 1, int(round(0.9 * (len(first) - 1))))]
    print(f"mpv_zap_loaded_ms {statistics.median(loaded):.1f} ms")
    print(f"mpv_zap_first_frame_ms {statistics.median(first):.1f} ms")
    print(f"mpv_zap_first_frame_p90_ms {p90:.1f} ms")
    print(f"mpv_zap_first_frame_max_ms {first[-1]:.1f} ms")
    print(f"mpv_zaps {len(first)} zaps")
    print(f"mpv_rss_mb {rss:.1f} MB")


if __name__ == "__main__":
    main()
