#!/usr/bin/env python3
"""Renders ui/images/app.svg at each icon size with rsvg-convert (Debian's
librsvg2-bin) and packs the PNGs into ui/images/app.ico, which the Windows
resource file uses. Run from the repository: python3 tools/make-ico.py"""
import struct
import subprocess
import sys
from pathlib import Path

SIZES = [16, 24, 32, 48, 64, 128, 256]


def main():
    root = Path(__file__).resolve().parent.parent
    source = root / "ui" / "images" / "app.svg"
    target = root / "ui" / "images" / "app.ico"
    images = [
        subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), str(source)],
                       check=True, capture_output=True).stdout
        for size in SIZES
    ]
    # ICONDIR, then one ICONDIRENTRY per image (0 stands for 256), then the
    # PNG images themselves, each at the offset its entry gives.
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = len(out) + 16 * len(images)
    for size, png in zip(SIZES, images):
        side = 0 if size == 256 else size
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(png), offset)
        offset += len(png)
    out += b"".join(images)
    target.write_bytes(out)
    print(f"{target.relative_to(root)}: {', '.join(map(str, SIZES))} px, {len(out)} bytes")


if __name__ == "__main__":
    sys.exit(main())
