#!/usr/bin/env python3
# Hand-made forms as careless or unusual writers leave them, for the viewer's tests (each a page of
# labels and three fields: a text field, a drop-down and a check box):
#   offsets       every offset of the cross-reference table 7 bytes off
#   startxref     the startxref offset 13 bytes before the table
#   tail          5,000 bytes appended after %%EOF
#   names         field names in PDFDocEncoding (its accents, bullet, dashes, euro) and UTF-16BE
#   cropbox       a crop box smaller than the media box, text in the margins outside it
#   cropbox-turn  a crop box and a turn inherited from a page tree three levels deep
#   corners       a 500 x 600 media box given by its upper right corner first
#   scaled-lines  lines drawn at a tenth of the scale with ten times the width, as Ghostscript writes
# Usage: edge_forms.py OUTPUT_FOLDER
#        edge_forms.py break-startxref IN OUT   (the startxref of a finished file 13 bytes off)
import os
import sys

LABELS = [(72, 720, "Patient Name Here"), (72, 680, "Insurance Plan Number"), (72, 640, "Street Address Line"),
          (72, 600, "Diagnosis Code Field"), (72, 560, "Referring Physician"), (72, 520, "Signature of Patient"),
          (300, 720, "Date of Birth"), (300, 680, "Telephone Number"), (300, 640, "City State Zip"),
          (300, 600, "Employer Name"), (300, 560, "Policy Group")]


def labels():
    text = "".join("1 0 0 1 %d %d Tm (%s) Tj\n" % label for label in LABELS)
    return "BT /F1 12 Tf\n" + text + "ET\n"


def labels_and_margins():
    # Labels of the crop box forms, and text in the media box's margins outside the crop box.
    return labels() + "BT /F1 12 Tf 1 0 0 1 72 150 Tm (Cut off below) Tj 1 0 0 1 470 700 Tm (Cut off right) Tj ET\n"


def scaled_labels():
    # Text and lines inside a tenth-scale matrix: a 10 unit line is 1 point wide.
    lines = "".join("%d %d m %d %d l S\n" % (x * 10, (y - 6) * 10, (x + 180) * 10, (y - 6) * 10) for x, y, _ in LABELS)
    return "q 0.1 0 0 0.1 0 0 cm 0 G 10 w\n" + lines + "Q\n" + labels()


def stream(data):
    return b"<< /Length %d >>\nstream\n" % len(data) + data + b"\nendstream"


def literal(raw):
    return b"(" + raw.replace(b"\\", b"\\\\").replace(b"(", b"\\(").replace(b")", b"\\)") + b")"


def utf16(text):
    return b"<feff" + text.encode("utf-16-be").hex().encode() + b">"


def widget(name, rect, entries):
    return b"<< /Type /Annot /Subtype /Widget /P 3 0 R /T " + name + b" /Rect [" + rect + b"] " + entries + b" >>"


def form_objects(names=(b"(patient)", b"(plan)", b"(insured)"), page=b"/MediaBox [0 0 612 792]", content=None):
    objects = {
        1: b"<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [10 0 R 11 0 R 12 0 R] /DA (/Helv 0 Tf 0 g) >> >>",
        2: b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        3: b"<< /Type /Page /Parent 2 0 R " + page + b" /Resources << /Font << /F1 5 0 R >> >> /Contents 4 0 R"
           b" /Annots [10 0 R 11 0 R 12 0 R] >>",
        4: stream((content or labels()).encode()),
        5: b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>",
        10: widget(names[0], b"200 716 290 730", b"/FT /Tx"),
        11: widget(names[1], b"200 676 290 690", b"/FT /Ch /Ff 131072 /Opt [(HMO) (PPO)]"),
        12: widget(names[2], b"200 636 212 648", b"/FT /Btn /V /Yes /AS /Yes /AP << /N << /Yes 13 0 R /Off 13 0 R >> >>"),
        13: stream(b""),
    }
    return objects


def page_tree(objects, page_entries, top_entries):
    # The page three levels below the root, its boxes and turn given as the arguments say.
    objects[2] = b"<< /Type /Pages /Kids [20 0 R] /Count 1 " + top_entries + b" >>"
    objects[20] = b"<< /Type /Pages /Parent 2 0 R /Kids [21 0 R] /Count 1 >>"
    objects[21] = b"<< /Type /Pages /Parent 20 0 R /Kids [3 0 R] /Count 1 >>"
    objects[3] = (b"<< /Type /Page /Parent 21 0 R " + page_entries + b" /Resources << /Font << /F1 5 0 R >> >>"
                  b" /Contents 4 0 R /Annots [10 0 R 11 0 R 12 0 R] >>")
    return objects


def write(objects, offset_error=0, startxref_error=0, tail=b"", trailer_extra=b"", junk=b""):
    """Objects with a classic cross-reference table; junk goes between the header and the objects,
    trailer_extra into the trailer after /Root."""
    out = bytearray(b"%PDF-1.7\n%\xe2\xe3\xcf\xd3\n" + junk)
    offsets = {}
    for number in sorted(objects):
        offsets[number] = len(out)
        out += b"%d 0 obj\n" % number + objects[number] + b"\nendobj\n"
    xref = len(out)
    size = max(objects) + 1
    out += b"xref\n0 %d\n" % size
    for number in range(size):
        if number in offsets:
            out += b"%010d 00000 n \n" % (offsets[number] + offset_error)
        else:
            out += b"0000000000 65535 f \n"
    out += b"trailer\n<< /Size %d /Root 1 0 R%s >>\nstartxref\n%d\n%%%%EOF\n" % (size, trailer_extra, xref + startxref_error)
    return bytes(out) + tail


def break_startxref(source, target):
    data = open(source, "rb").read()
    at = data.rindex(b"startxref")
    head, offset, rest = data[:at + 10], data[at + 10:].split(b"\n", 1)[0], data[at + 10:].split(b"\n", 1)[1]
    open(target, "wb").write(head + b"%d\n" % (int(offset) - 13) + rest)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    forms = {
        "offsets": write(form_objects(), offset_error=7),
        "startxref": write(form_objects(), startxref_error=-13),
        "tail": write(form_objects(), tail=(b"x" * 79 + b"\n") * 63),
        "names": write(form_objects((literal(b"Stra\xdfe \x18\x19\x1a\x1b\x1c\x1d\x1e\x1f"),
                                     literal(b"plan \x80\x84\x85\xa0"), utf16("Gr\u00f6\u00dfe \u540d")))),
        "cropbox": write(form_objects(page=b"/MediaBox [0 0 612 792] /CropBox [36 300 450 760]",
                                      content=labels_and_margins())),
        "cropbox-turn": write(page_tree(form_objects(content=labels_and_margins()), b"/CropBox [36 300 450 760]",
                                        b"/MediaBox [0 0 612 792] /Rotate 90")),
        "corners": write(form_objects(page=b"/MediaBox [500 800 0 200]")),
        "scaled-lines": write(form_objects(content=scaled_labels())),
    }
    for name, data in forms.items():
        with open(os.path.join(folder, name + ".pdf"), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    if sys.argv[1] == "break-startxref":
        break_startxref(sys.argv[2], sys.argv[3])
    else:
        main(sys.argv[1])
