#!/usr/bin/env python3
"""Makes the master database Vantorel.gdb that the program reads at start-up: one table Logo whose first
row holds the logo (a complete BMP file) in column 1, the address of the form-updates page in column 3
and the window title in the column named title."""
import sqlite3
import sys
from pathlib import Path

from bmpfile import bmp

TITLE = "Formstead - Medical Forms"
UPDATES_ADDRESS = "http://localhost:8000/"


def logo_bmp(width=240, height=80):
    """A white banner with a dark red bar and the letter F drawn in blocks; a 24-bit bottom-up BMP."""
    red, grey, white = (192, 0, 0), (128, 128, 128), (255, 255, 255)

    def pixel(x, y):
        if y >= height - 8:
            return red
        in_stem = 20 <= x < 32 and 10 <= y < 62
        in_top = 20 <= x < 60 and 10 <= y < 20
        in_middle = 20 <= x < 52 and 32 <= y < 41
        if in_stem or in_top or in_middle:
            return red
        if 70 <= x < 220 and y in (24, 25, 44, 45):
            return grey
        return white

    return bmp(width, height, pixel)


def main():
    target = Path(sys.argv[1])
    target.parent.mkdir(parents=True, exist_ok=True)
    partial = target.with_name(target.name + ".part")
    partial.unlink(missing_ok=True)
    with sqlite3.connect(partial) as db:
        db.execute("CREATE TABLE Logo (id INTEGER PRIMARY KEY, logo BLOB, name TEXT, updates TEXT, title TEXT)")
        db.execute("INSERT INTO Logo (id, logo, name, updates, title) VALUES (1, ?, ?, ?, ?)",
                   (logo_bmp(), "Formstead", UPDATES_ADDRESS, TITLE))
    db.close()
    partial.replace(target)


if __name__ == "__main__":
    main()
