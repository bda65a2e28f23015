#!/usr/bin/env python3
# The letterhead logo of the statement tests, made with Pillow: a 300 x 100 JPEG, its left half red
# and its right half blue, with its base64 text as the program stores it (lines of 76 characters,
# each ended by CR LF) and the two scales its letterhead settings take ("%f" of h / 148 and w / 646).
# Usage: make_logo.py OUTPUT_FOLDER
import base64
import os
import sys

from PIL import Image

RED, BLUE = (200, 30, 40), (30, 70, 190)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    image = Image.new("RGB", (300, 100), RED)
    image.paste(BLUE, (150, 0, 300, 100))
    path = os.path.join(out, "letterhead_logo.jpg")
    image.save(path, "JPEG", quality=95)
    data = open(path, "rb").read()
    text = base64.b64encode(data).decode("ascii")
    lines = [text[i:i + 76] for i in range(0, len(text), 76)]
    with open(os.path.join(out, "letterhead_logo.b64"), "wb") as f:
        f.write("\r\n".join(lines).encode("ascii"))
    with open(os.path.join(out, "letterhead_logo.scales"), "w") as f:
        f.write("%f %f" % (100 / 148, 300 / 646))


if __name__ == "__main__":
    main()
