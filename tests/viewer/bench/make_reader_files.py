#!/usr/bin/env python3
# The files of the reader benchmark:
#   form20000.pdf    a one-page form of 20,000 text fields, every object but the page's content packed
#                    into one object stream, indexed by a cross-reference stream
#   repair40000.pdf  40,000 objects (a page, 39,996 text fields) with a classic table whose startxref
#                    points past the end, so the reader finds every object by its repair scan
# Each is checked with qpdf (the fields of its form, read after qpdf's own repair of the second).
# Usage: make_reader_files.py OUTPUT_FOLDER
import json
import os
import subprocess
import sys
import zlib

FIRST_FIELD = 10


def field(n):
    x, y = 20 + (n % 20) * 28, 20 + (n // 20) % 750
    return (b"<< /Type /Annot /Subtype /Widget /P 3 0 R /FT /Tx /T (f%d) /V (value %d) /Rect [%d %d %d %d] >>"
            % (n, n, x, y, x + 26, y + 1))


def form_objects(count):
    refs = b" ".join(b"%d 0 R" % (FIRST_FIELD + n) for n in range(count))
    content = b"BT /F1 12 Tf 72 770 Td (Many fields) Tj ET"
    objects = {
        1: b"<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [" + refs + b"] >> >>",
        2: b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        3: b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 5 0 R >> >>"
           b" /Contents 4 0 R /Annots [" + refs + b"] >>",
        4: b"<< /Length %d >>\nstream\n" % len(content) + content + b"\nendstream",
        5: b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    }
    for n in range(count):
        objects[FIRST_FIELD + n] = field(n)
    return objects


def packed_file(objects):
    out = bytearray(b"%PDF-1.5\n%\xe2\xe3\xcf\xd3\n")
    packed = sorted(n for n in objects if b"stream" not in objects[n])
    header, bodies = b"", b""
    for n in packed:
        header += b"%d %d " % (n, len(bodies))
        bodies += objects[n] + b"\n"
    stream_number = max(objects) + 1
    xref_number = stream_number + 1
    offsets = {}
    for n in sorted(set(objects) - set(packed)):
        offsets[n] = len(out)
        out += b"%d 0 obj\n" % n + objects[n] + b"\nendobj\n"
    data = zlib.compress(header + bodies)
    offsets[stream_number] = len(out)
    out += (b"%d 0 obj\n<< /Type /ObjStm /N %d /First %d /Filter /FlateDecode /Length %d >>\nstream\n"
            % (stream_number, len(packed), len(header), len(data)) + data + b"\nendstream\nendobj\n")
    offsets[xref_number] = len(out)
    index = {n: i for i, n in enumerate(packed)}
    rows = bytearray()
    for n in range(xref_number + 1):
        if n in index:
            rows += bytes([2]) + stream_number.to_bytes(4, "big") + index[n].to_bytes(3, "big")
        elif n in offsets:
            rows += bytes([1]) + offsets[n].to_bytes(4, "big") + bytes(3)
        else:
            rows += bytes(8)
    rows = zlib.compress(bytes(rows))
    out += (b"%d 0 obj\n<< /Type /XRef /Size %d /Root 1 0 R /W [1 4 3] /Filter /FlateDecode /Length %d >>\nstream\n"
            % (xref_number, xref_number + 1, len(rows)) + rows + b"\nendstream\nendobj\nstartxref\n%d\n%%%%EOF\n"
            % offsets[xref_number])
    return bytes(out)


def classic_file(objects):
    out = bytearray(b"%PDF-1.4\n")
    offsets = {}
    for n in sorted(objects):
        offsets[n] = len(out)
        out += b"%d 0 obj\n" % n + objects[n] + b"\nendobj\n"
    size = max(objects) + 1
    out += b"xref\n0 %d\n0000000000 65535 f \n" % size
    for n in range(1, size):
        out += (b"%010d 00000 n \n" % offsets[n]) if n in offsets else b"0000000000 65535 f \n"
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (size, len(out) + 1000000)
    return bytes(out)


def check(path, fields):
    shown = subprocess.run(["qpdf", "--json", "--json-key=acroform", path], capture_output=True, text=True).stdout
    read = len(json.loads(shown)["acroform"]["fields"])
    if read != fields:
        sys.exit("make_reader_files: qpdf reads %d fields from %s, not %d" % (read, path, fields))


def main(folder):
    os.makedirs(folder, exist_ok=True)
    # 40,000 objects: the five of the page and catalog, then the fields from object 10 on.
    for name, data, fields in (("form20000.pdf", packed_file(form_objects(20000)), 20000),
                               ("repair40000.pdf", classic_file(form_objects(40000 - 5)), 40000 - 5)):
        path = os.path.join(folder, name)
        with open(path, "wb") as f:
            f.write(data)
        check(path, fields)


if __name__ == "__main__":
    main(sys.argv[1])
