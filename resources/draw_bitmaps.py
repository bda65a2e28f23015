#!/usr/bin/env python3
"""Draws the program's small bitmaps and the column-menu icon into the given folder: the step arrows
(next and back), the zoom glyphs and an 8 x 8 icon showing ">"."""
import struct
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tools" / "masterdb"))
from bmpfile import bmp  # noqa: E402

WHITE = (255, 255, 255)
RED = (192, 0, 0)
GREY = (128, 128, 128)


def arrow(pointing_right):
    size = 40

    def pixel(x, y):
        dx = x if pointing_right else size - 1 - x
        # A triangle: its width shrinks from the base (left) to the tip (right).
        half = (size - 4 - dx) // 2 if 4 <= dx < size - 4 else -1
        return RED if half >= 0 and abs(y - size // 2) <= half else WHITE
    return bmp(size, size, pixel)


def zoom(plus):
    size = 16

    def pixel(x, y):
        horizontal = 7 <= y <= 8 and 3 <= x <= 12
        vertical = plus and 7 <= x <= 8 and 3 <= y <= 12
        frame = x in (0, size - 1) or y in (0, size - 1)
        return RED if horizontal or vertical else (GREY if frame else WHITE)
    return bmp(size, size, pixel)


def icon_8x8():
    size = 8
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            on = x == 2 + min(y, size - 1 - y) and 1 <= y <= 6
            xor += bytes((0, 0, 0, 255)) if on else bytes((255, 255, 255, 255))
    mask = b"\0\0\0\0" * size   # 8 pixels of mask per row, padded to 32 bits: all opaque
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + bytes(xor) + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    files = {
        "next_arrow.bmp": arrow(True),
        "back_arrow.bmp": arrow(False),
        "zoom_in.bmp": zoom(True),
        "zoom_out.bmp": zoom(False),
        "column_menu.ico": icon_8x8(),
    }
    for name, data in files.items():
        (out / name).write_bytes(data)


if __name__ == "__main__":
    main()
