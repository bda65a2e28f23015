#!/usr/bin/env python3
# Test vectors for the stream filters and predictors, encoded by Python (zlib, base64, binascii,
# Pillow's PNG writer and its TIFF LZW writer, and plain reference encoders written here from the
# formats' definitions): one line per case,
#   name|stream dictionary entries|encoded bytes in hex|decoded bytes in hex
# Usage: filter_vectors.py OUTPUT_FILE
import base64
import binascii
import io
import random
import struct
import sys
import zlib

from PIL import Image


def run_length(data):
    """Runs of 2..128 equal bytes as repeats, everything else as literal runs of up to 128 bytes."""
    out, i, literal = bytearray(), 0, bytearray()

    def flush():
        while literal:
            chunk = literal[:128]
            out.append(len(chunk) - 1)
            out.extend(chunk)
            del literal[:128]

    while i < len(data):
        j = i
        while j < len(data) and j - i < 128 and data[j] == data[i]:
            j += 1
        if j - i >= 2:
            flush()
            out.append(257 - (j - i))
            out.append(data[i])
        else:
            literal.append(data[i])
        i = j
    flush()
    out.append(128)
    return bytes(out)


def lzw(data, early_change):
    """Codes of 9 to 12 bits, most significant bit first, starting with a clear code and ending with
    the end-of-data code; the table is cleared when it is full."""
    codes, table, width, word = [256], {bytes([i]): i for i in range(256)}, 9, b""
    next_code = 258

    def widen():
        nonlocal width
        while next_code + early_change > (1 << width) and width < 12:
            width += 1

    out_codes = []  # (code, width)
    out_codes.append((256, 9))
    for byte in data:
        candidate = word + bytes([byte])
        if candidate in table:
            word = candidate
            continue
        out_codes.append((table[word], width))
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            widen()
        if next_code + early_change >= 4096:
            out_codes.append((256, width))
            table, next_code, width = {bytes([i]): i for i in range(256)}, 258, 9
        word = bytes([byte])
    if word:
        out_codes.append((table[word], width))
        if next_code < 4096:
            next_code += 1
            widen()
    out_codes.append((257, width))
    bits = "".join(format(c, "0%db" % w) for c, w in out_codes)
    bits += "0" * (-len(bits) % 8)
    return bytes(int(bits[k:k + 8], 2) for k in range(0, len(bits), 8))


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def png_rows(data, row_length, bpp, types):
    """Each row filtered by the next type of the list (PNG filter types 0 to 4), type byte first."""
    out, previous = bytearray(), bytes(row_length)
    for n, start in enumerate(range(0, len(data), row_length)):
        row = data[start:start + row_length]
        kind = types[n % len(types)]
        out.append(kind)
        for i in range(row_length):
            left = row[i - bpp] if i >= bpp else 0
            up = previous[i]
            up_left = previous[i - bpp] if i >= bpp else 0
            base = [0, left, up, (left + up) // 2, paeth(left, up, up_left)][kind]
            out.append((row[i] - base) & 0xFF)
        previous = row
    return bytes(out)


def tiff_rows(data, row_length, colors, bits, columns):
    """Each component minus the same component of the pixel to its left."""
    out = bytearray()
    for start in range(0, len(data), row_length):
        row = data[start:start + row_length]
        if bits == 16:
            values = [(row[k] << 8) | row[k + 1] for k in range(0, row_length, 2)]
            diffs = [values[k] if k < colors else (values[k] - values[k - colors]) & 0xFFFF for k in range(len(values))]
            for v in diffs:
                out += bytes([v >> 8, v & 0xFF])
            continue
        bitstring = "".join(format(b, "08b") for b in row)
        count = colors * columns
        values = [int(bitstring[k * bits:(k + 1) * bits], 2) for k in range(count)]
        diffs = [values[k] if k < colors else (values[k] - values[k - colors]) & ((1 << bits) - 1) for k in range(count)]
        packed = "".join(format(v, "0%db" % bits) for v in diffs)
        packed += bitstring[len(packed):]
        out += bytes(int(packed[k:k + 8], 2) for k in range(0, len(packed), 8))
    return bytes(out)


def png_image_data(image):
    """The zlib stream of a PNG file written by Pillow: its rows, each behind its filter type byte."""
    out = io.BytesIO()
    image.save(out, format="PNG")
    png, pos, data = out.getvalue(), 8, b""
    while pos < len(png):
        length, kind = struct.unpack(">I4s", png[pos:pos + 8])
        if kind == b"IDAT":
            data += png[pos + 8:pos + 8 + length]
        pos += 12 + length
    return data


def tiff_lzw_strip(image):
    """The one LZW strip of a TIFF file written by Pillow (through its TIFF library)."""
    out = io.BytesIO()
    image.save(out, format="TIFF", compression="tiff_lzw")
    written = Image.open(io.BytesIO(out.getvalue()))
    offsets, counts = written.tag_v2[273], written.tag_v2[279]
    assert len(offsets) == 1, "expected one strip"
    return out.getvalue()[offsets[0]:offsets[0] + counts[0]]


def pillow_cases(rng, add):
    for mode, (w, h), colors, bits in [("L", (50, 20), 1, 8), ("RGB", (37, 23), 3, 8), ("RGBA", (9, 11), 4, 8),
                                       ("1", (45, 9), 1, 1), ("I;16", (13, 7), 1, 16)]:
        if mode in ("1", "I;16"):
            raw = bytes(rng.randrange(256) for _ in range(((w * bits + 7) // 8) * h))
            image = Image.frombytes(mode, (w, h), raw)
            if mode == "1":  # the bits after the last column of a row are written as zeros
                raw = image.tobytes()
            if mode == "I;16":  # held little-endian, written (and decoded) big-endian
                raw = b"".join(raw[k + 1:k + 2] + raw[k:k + 1] for k in range(0, len(raw), 2))
        else:
            raw = bytes((x * 7 + y * 3 + b * 40 + rng.randrange(4)) & 0xFF
                        for y in range(h) for x in range(w) for b in range(colors))
            image = Image.frombytes(mode, (w, h), raw)
        add("pillow png %s" % mode, "/Filter /FlateDecode /DecodeParms << /Predictor 15 /Colors %d /BitsPerComponent %d "
            "/Columns %d >>" % (colors, bits, w), png_image_data(image), raw)
    for w, h, alphabet in [(256, 40, b"abcdefgh"), (256, 60, b"abcdefghijklmnopq"), (64, 64, bytes(range(256)))]:
        raw = bytes(rng.choice(alphabet) for _ in range(w * h))
        add("pillow lzw %dx%d" % (w, h), "/Filter /LZWDecode", tiff_lzw_strip(Image.frombytes("L", (w, h), raw)), raw)


def main():
    rng = random.Random(1500)
    text = b"BT /F1 11 Tf 13.2 TL ET\nBT 1 0 0 1 72 645 Tm (Last name) Tj T* ET\n" * 40
    noisy = bytes(rng.randrange(256) for _ in range(3000))
    runs = b"".join(bytes([rng.randrange(256)]) * rng.choice([1, 1, 2, 3, 7, 128, 129, 300]) for _ in range(200))
    zeros = b"\0" * 13 + b"abc" + b"\0" * 8 + b"\xff\xff\xff\xff"
    cases = []

    def add(name, entries, encoded, decoded):
        cases.append("%s|%s|%s|%s" % (name, entries, encoded.hex(), decoded.hex()))

    add("flate", "/Filter /FlateDecode", zlib.compress(text, 9), text)
    add("flate abbreviated", "/Filter /Fl", zlib.compress(noisy), noisy)
    for length in range(0, 9):
        sample = (zeros + noisy)[:length + 20]
        add("ascii85 %d" % len(sample), "/Filter /ASCII85Decode", base64.a85encode(sample, adobe=True)[2:], sample)
    folded = base64.a85encode(noisy[:500], adobe=True, wrapcol=60)[2:]
    add("ascii85 lines", "/Filter /A85", folded, noisy[:500])
    add("asciihex", "/Filter /ASCIIHexDecode", binascii.hexlify(noisy[:300]).upper() + b">", noisy[:300])
    spaced = b" ".join(binascii.hexlify(noisy[k:k + 7]) for k in range(0, 301, 7)) + b"\n>"
    add("asciihex spaced", "/Filter /AHx", spaced, noisy[:301])
    add("asciihex odd", "/Filter /ASCIIHexDecode", b"4a6B7>", b"\x4a\x6b\x70")
    add("runlength", "/Filter /RunLengthDecode", run_length(runs), runs)
    add("runlength literal", "/Filter /RL", run_length(noisy), noisy)
    add("lzw early", "/Filter /LZWDecode", lzw(text + noisy + text, 1), text + noisy + text)
    add("lzw late", "/Filter /LZWDecode /DecodeParms << /EarlyChange 0 >>", lzw(text + noisy, 0), text + noisy)
    big = noisy * 4
    add("lzw full table", "/Filter /LZW", lzw(big, 1), big)
    for colors, bits, columns in [(1, 8, 17), (3, 8, 9), (4, 8, 5), (1, 16, 6), (3, 16, 4), (1, 1, 21), (1, 2, 13), (2, 4, 7)]:
        row_length = (colors * bits * columns + 7) // 8
        rows = 9
        data = bytes(rng.randrange(256) for _ in range(row_length * rows))
        bpp = max(1, (colors * bits + 7) // 8)
        parms = "/Predictor %%d /Colors %d /BitsPerComponent %d /Columns %d" % (colors, bits, columns)
        for predictor, types in [(10, [0]), (11, [1]), (12, [2]), (13, [3]), (14, [4]), (15, [0, 1, 2, 3, 4, 4, 3, 2, 1])]:
            encoded = zlib.compress(png_rows(data, row_length, bpp, types))
            add("png %d c%d b%d" % (predictor, colors, bits), "/Filter /FlateDecode /DecodeParms << %s >>" % (parms % predictor),
                encoded, data)
        encoded = lzw(tiff_rows(data, row_length, colors, bits, columns), 1)
        add("tiff c%d b%d" % (colors, bits), "/Filter /LZWDecode /DecodeParms << %s >>" % (parms % 2), encoded, data)
    # Chains, as writers make them: ASCII85 around Flate, hexadecimal around run-length, and a
    # predictor on the second filter of three.
    add("chain a85 flate", "/Filter [/ASCII85Decode /FlateDecode]", base64.a85encode(zlib.compress(text), adobe=True)[2:], text)
    add("chain hex runlength", "/Filter [/ASCIIHexDecode /RunLengthDecode]", binascii.hexlify(run_length(runs)) + b">", runs)
    rows = runs[:300]
    packed = run_length(rows)
    packed += b"\0" * (-len(packed) % 8)  # after the end-of-data code: never read
    inner = zlib.compress(png_rows(packed, 8, 1, [4, 2, 1, 3]))
    add("chain a85 flate predictor runlength", "/Filter [/A85 /Fl /RL] /DecodeParms [null << /Predictor 12 /Columns 8 >> null]",
        base64.a85encode(inner, adobe=True)[2:], rows)
    pillow_cases(rng, add)
    with open(sys.argv[1], "w") as f:
        f.write("\n".join(cases) + "\n")


if __name__ == "__main__":
    main()
