#!/usr/bin/env python3
# Variants of the LaTeX forms that no TeX tool writes, made with pypdf or by hand:
#   tree-rotate IN OUT DEGREES  the page's turn moved to the root of the page tree (inherited)
#   incremental IN OUT          an incremental update appended: new values for the text fields and
#                               the radio group's second choice, in new revisions of their objects
#   kids-tree OUT               a hand-made tree of parents and kids: a widget reached only through
#                               its /Parent, a field split over two widgets, and a stray widget
import re
import sys
import zlib

from pypdf import PdfReader, PdfWriter
from pypdf.generic import NameObject, NumberObject, TextStringObject


def tree_rotate(source, target, degrees):
    writer = PdfWriter()
    writer.clone_document_from_reader(PdfReader(source))
    for page in writer.pages:
        if "/Rotate" in page:
            del page[NameObject("/Rotate")]
    writer._root_object["/Pages"][NameObject("/Rotate")] = NumberObject(degrees)
    with open(target, "wb") as out:
        writer.write(out)


def serialise(obj):
    class Sink:
        def __init__(self):
            self.parts = []

        def write(self, data):
            self.parts.append(data)

    sink = Sink()
    obj.write_to_stream(sink, None)
    return b"".join(sink.parts)


def incremental(source, target):
    data = open(source, "rb").read()
    reader = PdfReader(source)
    changed = {}
    for ref in reader.trailer["/Root"]["/AcroForm"]["/Fields"]:
        field = ref.get_object()
        if field.get("/FT") == "/Tx":
            field[NameObject("/V")] = TextStringObject("Updated " + str(field["/T"]))
            changed[ref.idnum] = field
    # The radio group's choices are widgets of the same name; the second one is turned on.
    radios = [a.get_object() for a in reader.pages[0]["/Annots"]
              if a.get_object().get("/Ff", 0) & (1 << 15)]
    refs = [a for a in reader.pages[0]["/Annots"] if a.get_object().get("/Ff", 0) & (1 << 15)]
    on = [k for k in radios[1]["/AP"]["/N"].keys() if k != "/Off"][0]
    for ref, radio in zip(refs, radios):
        radio[NameObject("/V")] = NameObject(on)
        radio[NameObject("/AS")] = NameObject(on if radio is radios[1] else "/Off")
        changed[ref.idnum] = radio
    update = bytearray(b"\n")
    offsets = {}
    for number in sorted(changed):
        offsets[number] = len(data) + len(update)
        update += b"%d 0 obj\n" % number + serialise(changed[number]) + b"\nendobj\n"
    xref_at = len(data) + len(update)
    update += b"xref\n"
    for number in sorted(offsets):
        update += b"%d 1\n%010d 00000 n \n" % (number, offsets[number])
    prev = int(data[data.rindex(b"startxref") + 9:].split()[0])
    root = reader.trailer.raw_get("/Root")
    update += b"trailer\n<< /Size %d /Root %d 0 R /Prev %d >>\nstartxref\n%d\n%%%%EOF\n" % (
        int(re.findall(rb"/Size\s+(\d+)", data)[-1]), root.idnum, prev, xref_at)
    with open(target, "wb") as out:
        out.write(data + bytes(update))


def kids_tree(target):
    content = zlib.compress(b"BT /F1 12 Tf 72 720 Td (Parents and kids) Tj ET\n"
                            b"BT /F1 10 Tf 72 650 Td (Name) Tj 0 -40 Td (City) Tj 0 -40 Td (Plan) Tj ET\n")
    objects = {
        1: b"<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [5 0 R 12 0 R] /DA (/Helv 10 Tf 0 g) >> >>",
        2: b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        3: (b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R"
            b" /Resources << /Font << /F1 20 0 R >> >>"
            b" /Annots [7 0 R 8 0 R 10 0 R 13 0 R 14 0 R 15 0 R 16 0 R] >>"),
        4: b"<< /Length %d /Filter /FlateDecode >>\nstream\n" % len(content) + content + b"\nendstream",
        # patient (no type) > name (text, two widgets) and patient > address > city (field and widget in one)
        5: b"<< /T (patient) /Kids [6 0 R 9 0 R] >>",
        6: b"<< /T (name) /FT /Tx /Parent 5 0 R /Kids [7 0 R 8 0 R] >>",
        7: b"<< /Type /Annot /Subtype /Widget /Parent 6 0 R /Rect [150 640 300 660] /P 3 0 R >>",
        8: b"<< /Type /Annot /Subtype /Widget /Parent 6 0 R /Rect [320 640 470 660] /P 3 0 R >>",
        9: b"<< /T (address) /Parent 5 0 R /Kids [10 0 R] >>",
        10: b"<< /Type /Annot /Subtype /Widget /T (city) /FT /Tx /Parent 9 0 R /Rect [150 600 400 620] /P 3 0 R >>",
        # plan: a radio group whose Kids list only its first two widgets; the third names it as /Parent
        12: b"<< /T (plan) /FT /Btn /Ff 49152 /Kids [13 0 R 14 0 R] >>",
        13: (b"<< /Type /Annot /Subtype /Widget /Parent 12 0 R /Rect [150 560 164 574] /AS /Off"
             b" /AP << /N << /hmo 17 0 R /Off 17 0 R >> >> >>"),
        14: (b"<< /Type /Annot /Subtype /Widget /Parent 12 0 R /Rect [200 560 214 574] /AS /Off"
             b" /AP << /N << /ppo 17 0 R /Off 17 0 R >> >> >>"),
        15: (b"<< /Type /Annot /Subtype /Widget /Parent 12 0 R /Rect [250 560 264 574] /AS /Off"
             b" /AP << /N << /medicare 17 0 R /Off 17 0 R >> >> >>"),
        # a widget whose field is in no tree the form lists: not a field of the form
        16: b"<< /Type /Annot /Subtype /Widget /T (stray) /FT /Tx /Rect [150 500 300 520] >>",
        17: b"<< /Type /XObject /Subtype /Form /BBox [0 0 14 14] /Length 0 >>\nstream\n\nendstream",
        20: b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    }
    out = bytearray(b"%PDF-1.7\n%\xe2\xe3\xcf\xd3\n")
    offsets = {}
    for number in sorted(objects):
        offsets[number] = len(out)
        out += b"%d 0 obj\n" % number + objects[number] + b"\nendobj\n"
    size = max(objects) + 1
    xref_at = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % size
    for number in range(1, size):
        out += b"%010d 00000 n \n" % offsets[number] if number in offsets else b"0000000000 65535 f \n"
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (size, xref_at)
    with open(target, "wb") as f:
        f.write(bytes(out))


if __name__ == "__main__":
    command = sys.argv[1]
    if command == "tree-rotate":
        tree_rotate(sys.argv[2], sys.argv[3], int(sys.argv[4]))
    elif command == "incremental":
        incremental(sys.argv[2], sys.argv[3])
    elif command == "kids-tree":
        kids_tree(sys.argv[2])
    else:
        sys.exit("unknown variant " + command)
