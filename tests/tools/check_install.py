#!/usr/bin/env python3
"""Installs a build folder into a temporary prefix and checks what lands there.

usage: check_install.py BUILD_DIR

Runs `cmake --install BUILD_DIR --prefix TMP` and fails when a program, the catalogue, the
desktop entry, the AppStream metadata or an icon is missing, or when the 256 pixel icon is
not a 256x256 PNG.
"""
import pathlib
import struct
import subprocess
import sys
import tempfile

EXPECTED = [
    "bin/zentuvo",
    "bin/zentuvo-catalogue",
    "share/zentuvo/ch.dat",
    "share/zentuvo/Zentuvo.ini",
    "share/zentuvo/Zentuvo.html",
    "share/applications/zentuvo.desktop",
    "share/metainfo/io.zentuvo.Zentuvo.metainfo.xml",
    "share/icons/hicolor/scalable/apps/zentuvo.svg",
    "share/doc/zentuvo/copyright",
    "share/doc/zentuvo/changelog.gz",
    "share/man/man1/zentuvo.1.gz",
    "share/man/man1/zentuvo-catalogue.1.gz",
] + [f"share/icons/hicolor/{n}x{n}/apps/zentuvo.png" for n in (16, 22, 24, 32, 48, 64, 128, 256)]


def pngSize(path):
    """The width and height in a PNG's header, or None when the file is no PNG."""
    head = path.read_bytes()[:24]
    if len(head) < 24 or head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    build = sys.argv[1]
    with tempfile.TemporaryDirectory(prefix="zentuvo-install-") as tmp:
        prefix = pathlib.Path(tmp)
        run = subprocess.run(["cmake", "--install", build, "--prefix", str(prefix)],
                             capture_output=True, text=True)
        if run.returncode != 0:
            print(run.stdout + run.stderr, file=sys.stderr)
            print(f"cmake --install failed ({run.returncode})", file=sys.stderr)
            return 1
        failures = [f"missing: {name}" for name in EXPECTED if not (prefix / name).is_file()]
        for name in ("bin/zentuvo", "bin/zentuvo-catalogue"):
            path = prefix / name
            if path.is_file() and not path.stat().st_mode & 0o111:
                failures.append(f"not executable: {name}")
        icon = prefix / "share/icons/hicolor/256x256/apps/zentuvo.png"
        if icon.is_file() and pngSize(icon) != (256, 256):
            failures.append(f"{icon.relative_to(prefix)}: size {pngSize(icon)}, not (256, 256)")
        for failure in failures:
            print(failure, file=sys.stderr)
        return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
