#!/usr/bin/env python3
# Hostile PDFs for the viewer's robustness tests: small files (most under 200 KB) whose counts,
# depths, sizes or damage once ended the viewer, took it past 1 GB, kept it busy for minutes,
# dropped content unsaid or refused what other readers open. Each is a form of a few text fields
# with values, so that what is read can be checked. Beside each <name>.pdf the script writes
# <name>-facts.txt (see write_facts): the fields pypdf reads, or the refusal expected.
# Usage: make_hostile_forms.py OUTPUT_FOLDER
import os
import sys
import zlib

from edge_forms import write as classic

FONT = b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"
LABEL = b"BT /F1 12 Tf 72 740 Td (Hostile form) Tj ET\n0 0 0 RG 72 700 m 300 700 l S\n"


def stream(data, extra=b"", compress=True):
    if compress:
        data = zlib.compress(data, 9)
        extra += b" /Filter /FlateDecode"
    return b"<< /Length %d%s >>\nstream\n" % (len(data), extra) + data + b"\nendstream"


def text_field(name, value, rect, page_ref=b"3 0 R", extra=b""):
    return (b"<< /Type /Annot /Subtype /Widget /FT /Tx /T (%s) /V (%s) /Rect [%s] /P %s%s >>"
            % (name, value, rect, page_ref, extra))


def base_objects(content=LABEL, fields=((b"patient", b"Ada Lovelace"), (b"plan", b"PPO 1234")), page_extra=b"",
                 xobjects=b""):
    """A one-page form: catalog 1, pages 2, page 3, content 4, font 5, fields from 10 on."""
    refs = b" ".join(b"%d 0 R" % (10 + i) for i in range(len(fields)))
    resources = b"/Font << /F1 5 0 R >>" + (b" /XObject << " + xobjects + b" >>" if xobjects else b"")
    objects = {
        1: b"<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [" + refs + b"] /DA (/Helv 0 Tf 0 g) >> >>",
        2: b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        3: b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << " + resources +
           b" >> /Contents 4 0 R /Annots [" + refs + b"]" + page_extra + b" >>",
        4: stream(content),
        5: FONT,
    }
    for i, (name, value) in enumerate(fields):
        objects[10 + i] = text_field(name, value, b"200 %d 400 %d" % (650 - 30 * i, 666 - 30 * i))
    return objects


def packed(objects, loose=(1, 2, 3, 4, 5), pad_entries=None):
    """Objects other than the loose ones in one object stream, with a cross-reference stream.
    pad_entries: (count, entry bytes) entries appended to the cross-reference stream."""
    inside = sorted(n for n in objects if n not in loose)
    stm_number = max(objects) + 1
    bodies, header, at = [], [], 0
    for n in inside:
        header.append(b"%d %d" % (n, at))
        bodies.append(objects[n])
        at += len(objects[n]) + 1
    head = b" ".join(header) + b"\n"
    data = head + b"\n".join(bodies) + b"\n"
    out = bytearray(b"%PDF-1.7\n%\xe2\xe3\xcf\xd3\n")
    entries = {}
    for n in sorted(loose):
        entries[n] = (1, len(out), 0)
        out += b"%d 0 obj\n" % n + objects[n] + b"\nendobj\n"
    entries[stm_number] = (1, len(out), 0)
    out += (b"%d 0 obj\n" % stm_number +
            stream(data, b" /Type /ObjStm /N %d /First %d" % (len(inside), len(head))) + b"\nendobj\n")
    for index, n in enumerate(inside):
        entries[n] = (2, stm_number, index)
    xref_number = stm_number + 1
    entries[xref_number] = (1, len(out), 0)
    size = xref_number + 1
    rows = bytearray()
    for n in range(size):
        kind, field2, field3 = entries.get(n, (0, 0, 0))
        rows += bytes([kind]) + field2.to_bytes(3, "big") + field3.to_bytes(2, "big")
    w = b"[1 3 2]"
    if pad_entries:
        count, entry = pad_entries
        rows += entry * count
        size += count
    xref_at = len(out)
    out += (b"%d 0 obj\n" % xref_number +
            stream(bytes(rows), b" /Type /XRef /Size %d /W %s /Root 1 0 R" % (size, w)) +
            b"\nendobj\nstartxref\n%d\n%%%%EOF\n" % xref_at)
    return bytes(out)


def tiny_w_xref(objects, size, in_use):
    """A classic body with a cross-reference stream of /W [1 2 0] and /Size `size`: the real
    entries first, then free entries, or (in_use) entries all pointing at the catalog."""
    out = bytearray(b"%PDF-1.7\n%\xe2\xe3\xcf\xd3\n")
    offsets = {}
    for number in sorted(objects):
        offsets[number] = len(out)
        out += b"%d 0 obj\n" % number + objects[number] + b"\nendobj\n"
    xref_number = max(objects) + 1
    offsets[xref_number] = len(out)
    assert len(out) < 65536
    rows = bytearray()
    for n in range(xref_number + 1):
        rows += bytes([1]) + offsets[n].to_bytes(2, "big") if n in offsets else b"\0\0\0"
    filler = bytes([1]) + offsets[1].to_bytes(2, "big") if in_use else b"\0\0\0"
    rows += filler * (size - xref_number - 1)
    out += (b"%d 0 obj\n" % xref_number +
            stream(bytes(rows), b" /Type /XRef /Size %d /W [1 2 0] /Root 1 0 R" % size) +
            b"\nendobj\nstartxref\n%d\n%%%%EOF\n" % offsets[xref_number])
    return bytes(out)


def nested_forms(levels, body):
    """Form XObjects 20.. nested `levels` deep, each running body then drawing the next."""
    objects = base_objects(content=LABEL + b"/X20 Do\n", xobjects=b"/X20 20 0 R")
    for level in range(levels):
        number = 20 + level
        last = level == levels - 1
        resources = b"" if last else b" /Resources << /XObject << /X%d %d 0 R >> >>" % (number + 1, number + 1)
        content = body + (b"0 0 10 10 re f\n" if last else b"/X%d Do\n" % (number + 1))
        objects[number] = stream(content, b" /Type /XObject /Subtype /Form /BBox [0 0 612 792]" + resources)
    return objects


def shared_content():
    # Four pages share one content stream that inflates to about 127 MB (a label, then blanks).
    objects = base_objects()
    content = LABEL + b" " * (127 * 1000 * 1000)
    objects[4] = stream(content)
    kids = b" ".join(b"%d 0 R" % n for n in (3, 30, 31, 32))
    objects[2] = b"<< /Type /Pages /Kids [" + kids + b"] /Count 4 >>"
    for n in (30, 31, 32):
        objects[n] = (b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 5 0 R >> >>"
                      b" /Contents 4 0 R >>")
    return classic(objects)


def huge_text():
    # Text asking for fonts of 9,000 pixels and more, at 3,000 different sizes and angles.
    runs = []
    for i in range(3000):
        angle = (i * 7) % 360
        c, s = {0: (1, 0), 90: (0, 1), 180: (-1, 0), 270: (0, -1)}.get(angle, (0.6, 0.8))
        runs.append(b"BT /F1 %d Tf %s %s %s %s 300 400 Tm (Wide) Tj ET\n" % (
            9000 + i, str(c).encode(), str(s).encode(), str(-s).encode(), str(c).encode()))
    return classic(base_objects(content=LABEL + b"".join(runs)))


def million_leaves():
    # A field tree of 1000 x 1000 leaves written inline in the AcroForm's one field, which lives in
    # an object stream; the leaves are fields without widgets.
    leaves = b"[" + b"".join(b"<</T(%d)/V(v)>>" % i for i in range(1000)) + b"]"
    middle = b"[" + b"".join(b"<</T(m%d)/Kids%s>>" % (i, leaves) for i in range(1000)) + b"]"
    objects = base_objects()
    objects[20] = b"<< /T (tree) /FT /Tx /Kids " + middle + b" >>"
    objects[1] = objects[1].replace(b"/Fields [10 0 R 11 0 R]", b"/Fields [10 0 R 11 0 R 20 0 R]")
    return packed(objects)


def many_fields(count):
    # `count` text fields with widgets (packed: all in one object stream).
    objects = base_objects(fields=[])
    for i in range(count):
        objects[10 + i] = b"<</Subtype/Widget/FT/Tx/T(f%05d)/V(v)/Rect[20 20 40 30]/P 3 0 R>>" % i
    refs = b" ".join(b"%d 0 R" % (10 + i) for i in range(count))
    objects[6] = b"[" + refs + b"]"
    objects[1] = b"<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields 6 0 R /DA (/Helv 0 Tf 0 g) >> >>"
    objects[3] = objects[3].split(b" /Annots")[0] + b" /Annots 6 0 R >>"
    return objects


def without_table(data):
    """The file without its cross-reference table, its startxref pointing past the end."""
    return data[:data.rindex(b"\nxref\n") + 1] + b"trailer\n<< /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(data) * 2)


def repair_objects(count):
    # `count` objects and no cross-reference table: the reader must find them all by its scan. The
    # file is about 760 KB: the scan works on raw bytes and each object takes its "N 0 obj" there.
    objects = base_objects()
    for n in range(40, 40 + count):
        objects[n] = b"0"
    return without_table(classic(objects))


def repair_obj_run():
    # 2.4 MB of " 1 0 obj" before the objects (raw bytes, as the scan meets them), and no
    # cross-reference table.
    return without_table(classic(base_objects(), junk=b"%" + b" 1 0 obj" * 300000 + b"\n"))


def deep_fields(depth):
    # One text field `depth` levels below the AcroForm's top field, with its widget on the page.
    objects = base_objects(fields=[(b"patient", b"Ada Lovelace")])
    for level in range(depth):
        number = 40 + level
        parent = b" /Parent %d 0 R" % (number - 1) if level else b""
        objects[number] = b"<< /T (l%d) /Kids [%d 0 R]%s >>" % (level, number + 1, parent)
    objects[40 + depth] = text_field(b"leaf", b"deep value", b"200 500 400 516",
                                     extra=b" /Parent %d 0 R" % (40 + depth - 1))
    objects[1] = objects[1].replace(b"/Fields [10 0 R]", b"/Fields [10 0 R 40 0 R]")
    objects[3] = objects[3].replace(b"/Annots [10 0 R]", b"/Annots [10 0 R %d 0 R]" % (40 + depth))
    return classic(objects)


def deep_pages(depth):
    # The page, with the fields' widgets, `depth` levels of page tree nodes below the root.
    objects = base_objects()
    chain = [2] + [40 + level for level in range(depth)]
    for i, number in enumerate(chain):
        kid = chain[i + 1] if i + 1 < len(chain) else 3
        parent = b" /Parent %d 0 R" % chain[i - 1] if i else b""
        objects[number] = b"<< /Type /Pages /Kids [%d 0 R] /Count 1%s >>" % (kid, parent)
    objects[3] = objects[3].replace(b"/Parent 2 0 R", b"/Parent %d 0 R" % chain[-1])
    return classic(objects)


def form_drawn_often():
    # A form XObject of 1 MB of path operators drawn 2,000 times.
    objects = base_objects(content=LABEL + b"/X20 Do\n" * 2000, xobjects=b"/X20 20 0 R")
    body = b"10 10 m 20 20 l 30 10 l h S\n" * (1000 * 1000 // 28)
    objects[20] = stream(body, b" /Type /XObject /Subtype /Form /BBox [0 0 612 792]")
    return classic(objects)


def fill_after_million():
    # A fill that comes after a million path operators.
    content = LABEL + b"100 100 m 101 101 l " * 500000 + b"n\n0 g 72 72 200 200 re f\n"
    return classic(base_objects(content=content))


def damaged(which):
    objects = base_objects()
    if which == "info":
        objects[7] = b"<< /Title (Hostile /Author <zz> 12 0 R ] >> >>"
        return classic(objects, trailer_extra=b" /Info 7 0 R")
    if which == "annotation":
        objects[7] = b"<< /Type /Annot /Subtype /Link /Rect [1 2 /A << /URI (x] >> ] ) >>"
        objects[3] = objects[3].replace(b"/Annots [10 0 R 11 0 R]", b"/Annots [10 0 R 11 0 R 7 0 R]")
        return classic(objects)
    objects[11] = b"<< /Type /Annot /Subtype /Widget /FT /Tx /T (plan) /V <zz> /Rect [200 620 ] >> ]"
    return classic(objects)


def offsets_off():
    # Every offset of the table 3 bytes before its object: inside the "endobj" before it.
    return classic(base_objects(), offset_error=-3)


def incremental_broken_startxref():
    # A second revision changes the patient's value; the last startxref points nowhere.
    first = classic(base_objects())
    update = bytearray()
    at = len(first)
    update += b"10 0 obj\n" + text_field(b"patient", b"Grace Hopper", b"200 650 400 666") + b"\nendobj\n"
    xref = at + len(update)
    prev = int(first[first.rindex(b"startxref") + 10:].split(b"\n")[0])
    update += b"xref\n0 1\n0000000000 65535 f \n10 1\n%010d 00000 n \n" % at
    update += b"trailer\n<< /Size 12 /Root 1 0 R /Prev %d >>\nstartxref\n%d\n%%%%EOF\n" % (prev, xref + 4711)
    return first + bytes(update)


FORMS = {
    "shared-content": shared_content,
    "nested-q": lambda: classic(nested_forms(12, b"q " * 900000)),
    "xref-size": lambda: tiny_w_xref(base_objects(), 30 * 1000 * 1000, False),
    "nested-operands": lambda: classic(nested_forms(12, b"0 " * 990000)),
    "xref-entries": lambda: tiny_w_xref(base_objects(), 30 * 1000 * 1000, True),
    "huge-text": huge_text,
    "million-leaves": million_leaves,
    "objstm-20000": lambda: packed(many_fields(20000)),
    "repair-40000": lambda: repair_objects(40000),
    "repair-obj-run": repair_obj_run,
    "form-drawn-often": form_drawn_often,
    "fill-after-million": fill_after_million,
    "deep-fields": lambda: deep_fields(40),
    "deep-pages": lambda: deep_pages(70),
    "offsets-off": offsets_off,
    "damaged-info": lambda: damaged("info"),
    "damaged-annotation": lambda: damaged("annotation"),
    "damaged-field": lambda: damaged("field"),
    "incremental-startxref": incremental_broken_startxref,
}

# What pypdf cannot be the reference for, and what the viewer must do instead.
# Files pypdf reads only in minutes or gigabytes (cross-reference streams of tens of millions of
# entries; 20,000 objects in one object stream): their reference is the same objects under a plain
# table.
REFERENCE_COPY = {
    "objstm-20000": lambda: classic(many_fields(20000)),
    "xref-size": lambda: classic(base_objects()),
    "xref-entries": lambda: classic(base_objects()),
}

STATED = {
    "million-leaves": ("refused", ["could not be opened", "more than 1000000 values"],
                       "a million fields (pypdf reads all 1,000,002) hold more values than the reader parses "
                       "for one document, and far more fields than a form's table holds as columns: refused "
                       "with the limit named"),
    "damaged-field": ("refused", ["could not be opened", "object 11 0"],
                      "object 11, the field plan, is damaged: a form with a damaged field is refused, "
                      "its message naming the object"),
}


# Forms read whole, as pypdf reads them, that the viewer then does not open, with the fragments of its
# message: more fields than a form's table holds as columns (8192 with its own three).
NOT_OPENED = {
    "objstm-20000": ["could not be opened", "more than 8189 fields"],
}


def pypdf_fields(path):
    """The terminal fields of the objects pypdf reads (a field whose kids are all widgets is
    terminal), named through their /T chain, with their values. The tree is walked here, not by
    pypdf's get_fields, whose time doubles with each level of depth."""
    from pypdf import PdfReader
    reader = PdfReader(path)
    acroform = reader.trailer["/Root"].get_object().get("/AcroForm")
    tops = acroform.get_object().get("/Fields") if acroform is not None else None
    lines, seen = [], set()
    stack = [(top, "", None) for top in reversed(list(tops.get_object() if tops is not None else []))]
    while stack:
        ref, prefix, inherited = stack.pop()
        node = ref.get_object()
        if id(node) in seen:
            continue
        seen.add(id(node))
        name = prefix + ("." if prefix and "/T" in node else "") + (str(node["/T"]) if "/T" in node else "")
        value = node.get("/V", inherited)
        kids = [kid for kid in (node.get("/Kids") or []) if "/T" in kid.get_object()]
        if kids:
            stack += [(kid, name, value) for kid in reversed(kids)]
        else:
            lines.append((name, "" if value is None else str(value)))
    return lines


# Forms whose drawing is checked: the dark pixels pdftoppm draws on their first page at 96 dots an
# inch, the screen's resolution the viewer prints a page at in the tests.
INK_CHECKED = {"fill-after-million"}


def pdftoppm_ink(path):
    import subprocess
    grey = subprocess.run(["pdftoppm", "-r", "96", "-gray", "-f", "1", "-l", "1", "-singlefile", path],
                          check=True, capture_output=True).stdout
    # A binary PGM: "P5 width height 255" then one byte a pixel.
    fields = grey.split(maxsplit=4)
    width, height = int(fields[1]), int(fields[2])
    pixels = grey[len(grey) - width * height:]
    return sum(1 for value in pixels if value < 128)


def write_facts(folder, name):
    """<name>-facts.txt: "# why" comments, then "field NAME VALUE" lines (tab separated) or
    "refused TEXT" lines: fragments of the message the viewer must show (both, for a form read whole
    that the viewer does not open); and for the forms
    whose drawing is checked, "ink PAGE PIXELS": the dark pixels pdftoppm draws on the page."""
    path = os.path.join(folder, name + ".pdf")
    lines = []
    if name in STATED:
        kind, expected, why = STATED[name]
        lines.append("# stated, not pypdf: " + why)
        if kind == "refused":
            lines += ["refused\t" + fragment for fragment in expected]
        else:
            lines += ["field\t%s\t%s" % pair for pair in expected]
    else:
        if name in REFERENCE_COPY:
            path = os.path.join(folder, name + "-reference.pdf")
            with open(path, "wb") as out:
                out.write(REFERENCE_COPY[name]())
            lines.append("# the terminal fields pypdf reads from the same objects under a plain table")
        else:
            lines.append("# the terminal fields pypdf reads")
        lines += ["field\t%s\t%s" % pair for pair in pypdf_fields(path)]
        if name in NOT_OPENED:
            lines.append("# read whole, then not opened: more fields than a form's table holds as columns")
            lines += ["refused\t" + fragment for fragment in NOT_OPENED[name]]
    if name in INK_CHECKED:
        lines.append("ink\t0\t%d" % pdftoppm_ink(os.path.join(folder, name + ".pdf")))
    with open(os.path.join(folder, name + "-facts.txt"), "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")


def main(folder):
    os.makedirs(folder, exist_ok=True)
    only = sys.argv[2:]
    for name, make in FORMS.items():
        if only and name not in only:
            continue
        with open(os.path.join(folder, name + ".pdf"), "wb") as out:
            out.write(make())
        write_facts(folder, name)


if __name__ == "__main__":
    main(sys.argv[1])
