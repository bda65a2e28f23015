#!/usr/bin/env python3
# What pypdf reads from a form PDF, as the tests' independent reference: one line a fact, fields
# separated by tabs.
#   page    INDEX  ROTATION  X1 Y1 X2 Y2        (rotation as shown, inherited from the page tree)
#   field   NAME                                (the fields of the AcroForm, as pypdf names them)
#   widget  NAME   PAGE  X1 Y1 X2 Y2  ON_STATE  (every widget of each page's annotations; NAME is
#                                               the dotted name of its field, through /Parent)
# Usage: pdf_facts.py FORM_PDF FACTS_TXT
import sys

from pypdf import PdfReader


def full_name(annot):
    parts, node, depth = [], annot, 0
    while node is not None and depth < 64:
        if "/T" in node:
            parts.append(str(node["/T"]))
        node = node.get("/Parent")
        node = node.get_object() if node is not None else None
        depth += 1
    return ".".join(reversed(parts))


def numbers(values):
    return " ".join("%.3f" % float(v) for v in values)


def main(source, target):
    reader = PdfReader(source)
    lines = []
    for index, page in enumerate(reader.pages):
        lines.append("page\t%d\t%d\t%s" % (index, page.rotation % 360, numbers(page.mediabox)))
    for name in (reader.get_fields() or {}):
        lines.append("field\t%s" % name)
    for index, page in enumerate(reader.pages):
        for ref in page.get("/Annots") or []:
            annot = ref.get_object()
            if annot.get("/Subtype") != "/Widget":
                continue
            rect = [float(v) for v in annot["/Rect"]]
            rect = [min(rect[0], rect[2]), min(rect[1], rect[3]), max(rect[0], rect[2]), max(rect[1], rect[3])]
            normal = (annot.get("/AP") or {}).get("/N")
            states = [k[1:] for k in normal.get_object().keys()] if hasattr(normal, "keys") else []
            on = [s for s in states if s != "Off"]
            lines.append("widget\t%s\t%d\t%s\t%s" % (full_name(annot), index, numbers(rect), on[0] if on else ""))
    with open(target, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
