#!/usr/bin/env python3
"""sync_plot: draws what sync_bench wrote, minute by minute, as a small SVG picture.

    bench/sync_plot.py OUT.svg [LABEL=]FILE.csv ...

Two panels over the session's minutes: above, the picture against the sender (drift_ms: how
much later than in the first minute a picture comes against the time its sender sent it; a
line that climbs is a buffer that grows, one that falls a buffer that drains); below, lip-sync
(lipsync_ms: the picture less the sound). One line per file and sender (its ppm).
"""

import csv
import sys

WIDTH, HEIGHT, LEFT, RIGHT, TOP, GAP, PANEL = 680, 420, 60, 160, 20, 50, 150
COLOURS = ["#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e", "#8c564b"]


def read(arguments):
    series = []  # (label, [(minute, drift, lipsync)])
    for argument in arguments:
        label, _, path = argument.rpartition("=")
        rows = {}
        with open(path, newline="", encoding="utf-8") as f:
            for row in csv.DictReader(f):
                try:
                    point = (int(row["minute"]), float(row["drift_ms"]), float(row["lipsync_ms"]))
                except ValueError:
                    continue  # a minute without marks
                rows.setdefault(row["ppm"], []).append(point)
        for ppm, points in rows.items():
            name = "%s%+g ppm" % (label + " " if label else "", float(ppm))
            series.append((name, points))
    return series


def panel(out, series, index, top, title, floor=None):
    values = [p[index] for _, points in series for p in points]
    low, high = min(values + [0.0]), max(values + [0.0])
    if floor is not None:
        low, high = min(low, -floor), max(high, floor)
    span = (high - low) or 1.0
    minutes = max(p[0] for _, points in series for p in points)
    inner = WIDTH - LEFT - RIGHT

    def x(minute):
        return LEFT + inner * (minute - 1) / max(1, minutes - 1)

    def y(value):
        return top + PANEL * (high - value) / span

    out.append('<text x="%d" y="%d" font-size="12">%s</text>' % (LEFT, top - 6, title))
    out.append('<rect x="%d" y="%d" width="%d" height="%d" fill="none" stroke="#999"/>'
               % (LEFT, top, inner, PANEL))
    for value in sorted({low, 0.0, high}):
        out.append('<line x1="%d" y1="%.1f" x2="%d" y2="%.1f" stroke="#ddd"/>'
                   % (LEFT, y(value), LEFT + inner, y(value)))
        out.append('<text x="%d" y="%.1f" font-size="10" text-anchor="end">%.0f</text>'
                   % (LEFT - 4, y(value) + 3, value))
    for i, (_, points) in enumerate(series):
        path = " ".join("%.1f,%.1f" % (x(p[0]), y(p[index])) for p in points)
        out.append('<polyline points="%s" fill="none" stroke="%s" stroke-width="1.5"/>'
                   % (path, COLOURS[i % len(COLOURS)]))
    return x, minutes


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    series = read(sys.argv[2:])
    if not series:
        sys.exit("no minutes to draw")
    out = ['<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
           'font-family="sans-serif">' % (WIDTH, HEIGHT),
           '<rect width="100%" height="100%" fill="white"/>']
    panel(out, series, 1, TOP + 10, "picture against the sender (ms, 0 = first minute)")
    second = TOP + 10 + PANEL + GAP
    x, minutes = panel(out, series, 2, second, "lip-sync: picture less sound (ms)", floor=80)
    for minute in range(0, minutes + 1, 10):
        if minute >= 1:
            out.append('<text x="%.1f" y="%d" font-size="10" text-anchor="middle">%d</text>'
                       % (x(minute), second + PANEL + 14, minute))
    out.append('<text x="%d" y="%d" font-size="10">minutes</text>'
               % (WIDTH - RIGHT + 4, second + PANEL + 14))
    for i, (name, _) in enumerate(series):
        y = TOP + 20 + 16 * i
        colour = COLOURS[i % len(COLOURS)]
        out.append('<line x1="%d" y1="%d" x2="%d" y2="%d" stroke="%s" stroke-width="2"/>'
                   % (WIDTH - RIGHT + 10, y, WIDTH - RIGHT + 28, y, colour))
        out.append('<text x="%d" y="%d" font-size="11">%s</text>'
                   % (WIDTH - RIGHT + 32, y + 4, name))
    out.append("</svg>")
    with open(sys.argv[1], "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
