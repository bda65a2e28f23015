#!/usr/bin/env python3
# Mutated copies of the build's own forms for the viewer's fuzz smoke test: with a fixed seed, each
# copy has one kind of damage: bytes flipped, a token replaced, a reference changed to another
# object, or a stream's decoded body mutated and compressed again. Writes <folder>/NNNN-<kind>.pdf
# and <folder>/list.txt (one file name a line).
# Usage: mutate_forms.py OUTPUT_FOLDER COUNT SOURCE...   (a PDF, or a folder: its *.pdf)
import os
import random
import re
import sys
import zlib

SEED = 3417
TOKENS = [b"obj", b"endobj", b"stream", b"endstream", b"R", b"<<", b">>", b"[", b"]", b"/Kids", b"/Parent",
          b"/Length 99999999", b"/Size 2147483647", b"-1", b"4294967296", b"1e308", b"/FlateDecode", b"/ObjStm",
          b"/N 99999", b"/First -5", b"(", b")", b"<", b">", b"%", b"q", b"Q", b"cm", b"Do", b"BT", b"Tf", b"9999 Tz",
          b"/W [4 4 4]", b"trailer", b"startxref", b"xref", b"0 0 obj", b"/Type /Pages", b"/Count 100000000"]


def flip_bytes(data, rng):
    out = bytearray(data)
    for _ in range(rng.randint(1, 8)):
        at = rng.randrange(len(out))
        out[at] = rng.randrange(256)
    return bytes(out)


def replace_token(data, rng):
    spans = [m.span() for m in re.finditer(rb"/?[A-Za-z0-9.+-]+|<<|>>|[\[\]()<>]", data)]
    out = data
    for _ in range(rng.randint(1, 3)):
        start, end = spans[rng.randrange(len(spans))]
        out = out[:start] + rng.choice(TOKENS) + out[end:]
        spans = [m.span() for m in re.finditer(rb"/?[A-Za-z0-9.+-]+|<<|>>|[\[\]()<>]", out)]
    return out


def change_reference(data, rng):
    refs = list(re.finditer(rb"(\d+) (\d+) R\b", data))
    if not refs:
        return flip_bytes(data, rng)
    numbers = sorted({int(m.group(1)) for m in refs})
    out = data
    for _ in range(rng.randint(1, 4)):
        m = refs[rng.randrange(len(refs))]
        target = rng.choice(numbers + [0, 1, 2, 3, len(numbers) * 1000, 2 ** 31 - 1])
        out = out[:m.start()] + b"%d %d R" % (target, rng.choice([0, 0, 0, 1, 65535])) + out[m.end():]
        refs = list(re.finditer(rb"(\d+) (\d+) R\b", out))
    return out


def recompress_stream(data, rng):
    # A Flate stream's body decoded, mutated (bytes, repeats, cuts) and compressed again, its
    # /Length mended so that the damage is in the content, not the framing.
    streams = []
    for m in re.finditer(rb"/Length (\d+)([^>]*?)>>\s*stream\r?\n", data):
        start, length = m.end(), int(m.group(1))
        try:
            body = zlib.decompress(data[start:start + length])
        except zlib.error:
            continue
        streams.append((m, start, length, body))
    if not streams:
        return replace_token(data, rng)
    m, start, length, body = streams[rng.randrange(len(streams))]
    body = bytearray(body)
    choice = rng.randrange(3)
    if choice == 0 and body:
        for _ in range(rng.randint(1, 16)):
            body[rng.randrange(len(body))] = rng.randrange(256)
    elif choice == 1 and body:
        at = rng.randrange(len(body))
        piece = bytes(body[at:at + rng.randint(1, 64)])
        body[at:at] = piece * rng.randint(2, 2000)
    else:
        body = body[:rng.randrange(len(body) + 1)]
    packed = zlib.compress(bytes(body), 9)
    head = data[:m.start()] + b"/Length %d" % len(packed) + m.group(2) + data[m.end(2):start]
    return head + packed + data[start + length:]


KINDS = [("bytes", flip_bytes), ("token", replace_token), ("reference", change_reference),
         ("stream", recompress_stream)]


def main(folder, count, sources):
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(SEED)
    paths = []
    for source in sources:
        if os.path.isdir(source):
            paths += [os.path.join(source, name) for name in os.listdir(source) if name.endswith(".pdf")]
        else:
            paths.append(source)
    originals = [open(path, "rb").read() for path in sorted(paths)]
    names = []
    for index in range(count):
        kind, mutate = KINDS[index % len(KINDS)]
        data = mutate(originals[rng.randrange(len(originals))], rng)
        name = "%04d-%s.pdf" % (index, kind)
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)
        names.append(name)
    with open(os.path.join(folder, "list.txt"), "w") as out:
        out.write("\n".join(names) + "\n")


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]), sys.argv[3:])
