#!/usr/bin/env python3
# Forms saved twice, the second time as an incremental update, whose last startxref then broke (it
# points past the end of the file), for the reader's repair tests:
#   update-plain   the update rewrites the field objects in the file, with a table of its own
#   update-packed  the update puts the new field objects in an object stream, indexed by a
#                  cross-reference stream
# Each comes with <name>-values.txt: the field values the update wrote ("name=value" lines). The
# script checks them against what pypdf reads from each file before its startxref broke, and against
# what pypdf and qpdf read from the broken update-plain. Neither looks into object streams when it
# rebuilds a cross-reference: from the broken update-packed both read the first revision's values.
# Usage: make_update_forms.py OUTPUT_FOLDER
import io
import os
import re
import subprocess
import sys
import zlib

FIRST = {"patient": "Smith", "plan": "Gold"}
UPDATE = {"patient": "Jones", "plan": "Silver"}


def field(name, value, number):
    return (b"<< /Type /Annot /Subtype /Widget /FT /Tx /P 3 0 R /T (%s) /V (%s) /Rect [72 %d 272 %d] >>"
            % (name.encode(), value.encode(), 700 - 40 * number, 720 - 40 * number))


def first_revision():
    content = b"BT /F1 12 Tf 72 740 Td (Patient and plan) Tj ET"
    objects = {
        1: b"<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [10 0 R 11 0 R] >> >>",
        2: b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        3: b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 5 0 R >> >>"
           b" /Contents 4 0 R /Annots [10 0 R 11 0 R] >>",
        4: b"<< /Length %d >>\nstream\n" % len(content) + content + b"\nendstream",
        5: b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        10: field("patient", FIRST["patient"], 0),
        11: field("plan", FIRST["plan"], 1),
    }
    out = bytearray(b"%PDF-1.5\n%\xe2\xe3\xcf\xd3\n")
    offsets = {}
    for number in sorted(objects):
        offsets[number] = len(out)
        out += b"%d 0 obj\n" % number + objects[number] + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 12\n0000000000 65535 f \n"
    for number in range(1, 12):
        out += (b"%010d 00000 n \n" % offsets[number]) if number in offsets else b"0000000000 65535 f \n"
    out += b"trailer\n<< /Size 12 /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % xref
    return bytes(out), xref


def plain_update(base, prev):
    out = bytearray(base)
    offsets = {}
    for number, name in ((10, "patient"), (11, "plan")):
        offsets[number] = len(out)
        out += b"%d 0 obj\n" % number + field(name, UPDATE[name], number - 10) + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n10 2\n%010d 00000 n \n%010d 00000 n \n" % (offsets[10], offsets[11])
    out += b"trailer\n<< /Size 12 /Root 1 0 R /Prev %d >>\nstartxref\n%d\n%%%%EOF\n" % (prev, xref)
    return bytes(out)


def packed_update(base, prev):
    bodies = [field("patient", UPDATE["patient"], 0), field("plan", UPDATE["plan"], 1)]
    header = b"10 0 11 %d " % (len(bodies[0]) + 1)
    packed = zlib.compress(header + bodies[0] + b"\n" + bodies[1])
    out = bytearray(base)
    stream_at = len(out)
    out += (b"12 0 obj\n<< /Type /ObjStm /N 2 /First %d /Filter /FlateDecode /Length %d >>\nstream\n"
            % (len(header), len(packed)) + packed + b"\nendstream\nendobj\n")
    xref = len(out)
    # Entries of 10 and 11 (in object stream 12) and of 12 and 13 (in the file), /W [1 4 2].
    rows = b"".join(bytes([2]) + (12).to_bytes(4, "big") + i.to_bytes(2, "big") for i in (0, 1))
    rows += bytes([1]) + stream_at.to_bytes(4, "big") + bytes(2) + bytes([1]) + xref.to_bytes(4, "big") + bytes(2)
    out += (b"13 0 obj\n<< /Type /XRef /Size 14 /Root 1 0 R /Prev %d /Index [10 4] /W [1 4 2] /Length %d >>\nstream\n"
            % (prev, len(rows)) + rows + b"\nendstream\nendobj\nstartxref\n%d\n%%%%EOF\n" % xref)
    return bytes(out)


def break_startxref(data):
    at = data.rindex(b"startxref")
    return data[:at] + b"startxref\n%d\n%%%%EOF\n" % (len(data) + 100000)


def pypdf_values(data):
    import pypdf
    reader = pypdf.PdfReader(io.BytesIO(data), strict=False)
    return {name: str(f.get("/V")) for name, f in (reader.get_fields() or {}).items()}


def qpdf_values(path):
    values = {}
    for number in (10, 11):
        shown = subprocess.run(["qpdf", "--show-object=%d" % number, path], capture_output=True, text=True).stdout
        match = re.search(r"/T \((\w+)\).*/V \((\w+)\)", shown)
        if match:
            values[match.group(1)] = match.group(2)
    return values


def main(folder):
    os.makedirs(folder, exist_ok=True)
    base, prev = first_revision()
    for name, whole, repaired in (("update-plain", plain_update(base, prev), True),
                                  ("update-packed", packed_update(base, prev), False)):
        read = pypdf_values(whole)
        if read != UPDATE:
            sys.exit("%s: pypdf reads %r from the whole file, not the update's values" % (name, read))
        path = os.path.join(folder, name + ".pdf")
        with open(path, "wb") as f:
            f.write(break_startxref(whole))
        with open(path, "rb") as f:
            broken = f.read()
        for reader, got in (("pypdf", pypdf_values(broken)), ("qpdf", qpdf_values(path))):
            if got != (UPDATE if repaired else FIRST):
                sys.exit("%s: %s reads %r from the broken file" % (name, reader, got))
        with open(os.path.join(folder, name + "-values.txt"), "w") as f:
            f.write("".join("%s=%s\n" % item for item in sorted(UPDATE.items())))


if __name__ == "__main__":
    main(sys.argv[1])
