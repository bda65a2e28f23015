#!/usr/bin/env python3
# Makes the sample forms the program is given: the fillable claim form (one field per place of the
# clearinghouse layout, drawn so that it reads as the claim form) and the two companion PDFs.
# Usage: make_forms.py OUTPUT_FOLDER
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import claim_layout  # noqa: E402
from caption_layout import CAPTION_RED, CAPTION_SIZE, CaptionPlacer, text_width  # noqa: E402
from pdf_writer import FormBuilder  # noqa: E402
from statement_form import make_statement  # noqa: E402

COLUMNS, ROWS = 90, 61
CELL_W = FormBuilder.WIDTH / COLUMNS
CELL_H = FormBuilder.HEIGHT / ROWS
CHECK_SIDE = 8.0
LABEL_STRIP = 4.0


def label_of(name):
    """A readable caption from a field name: "_3_PATIENTS_SEX_m" -> "3 PATIENTS SEX M"."""
    return " ".join(part for part in name.split("_") if part).upper()


def check_caption(number, name):
    """The words by a check box: the insurance type for item 1, else the choice it stands for
    ("_11a_Insureds_SEX_M_2" -> "M", "_25_SSN_Checkbox" -> "SSN")."""
    words = [w for w in label_of(name).split() if w != "CHECKBOX"]
    while len(words) > 1 and words[-1].isdigit():
        words.pop()
    return " ".join(words[1:]) if number <= 6 else words[-1]


def cell_rect(column, row, columns):
    x1 = (column - 1) * CELL_W
    top = FormBuilder.HEIGHT - (row - 1) * CELL_H
    return (round(x1, 2), round(top - CELL_H, 2), round(x1 + columns * CELL_W, 2), round(top, 2))


def make_claim_form(path):
    form = FormBuilder("CMS-1500 Health Insurance Claim Form")
    content = form.content
    top = FormBuilder.HEIGHT - 5 * CELL_H
    headings = [(18, top, 13, "HEALTH INSURANCE CLAIM FORM", True),
                (18, top - 9, CAPTION_SIZE, "APPROVED BY NATIONAL UNIFORM CLAIM COMMITTEE 08/05", False),
                (300, top, 8, "CARRIER", True)]
    service_header = (12, FormBuilder.HEIGHT - 41 * CELL_H - 6, CAPTION_SIZE,
                      "24. A. DATE(S) OF SERVICE    B. PLACE    C. EMG    D. PROCEDURES, SERVICES, OR SUPPLIES"
                      "    E. DIAGNOSIS POINTER    F. $ CHARGES    G. DAYS OR UNITS", False)
    headings.append(service_header)
    for x, y, size, text, bold in headings:
        content.text(x, y, size, text, bold, CAPTION_RED)

    # Boxes and fields first: the captions go where they cross none of them.
    places = claim_layout.all_places()
    by_row = {}
    for number, name, column, row in places:
        by_row.setdefault(row, []).append(column)
    captions = []   # (kind, text, box, field rect)
    for number, name, column, row in places:
        key = claim_layout.field_key(number, name)
        if claim_layout.is_check_box(number, name):
            x1, y1, x2, y2 = cell_rect(column, row, 1)
            cx, cy = (x1 + x2) / 2, (y1 + y2) / 2
            rect = (round(cx - CHECK_SIDE / 2, 2), round(cy - CHECK_SIDE / 2, 2),
                    round(cx + CHECK_SIDE / 2, 2), round(cy + CHECK_SIDE / 2, 2))
            content.box(rect[0], rect[1], CHECK_SIDE, CHECK_SIDE)
            form.check_box(key, rect)
            captions.append(("check", check_caption(number, name), rect, rect))
        else:
            later = [c for c in by_row[row] if c > column]
            width = min((min(later) if later else COLUMNS + 1) - column, 40)
            box = cell_rect(column, row, max(width - 0.3, 1))
            content.box(box[0], box[1], box[2] - box[0], box[3] - box[1])
            # The field fills the box below its caption strip.
            rect = (round(box[0] + 0.5, 2), round(box[1] + 0.5, 2), round(box[2] - 0.5, 2), round(box[3] - LABEL_STRIP, 2))
            form.text_field(key, rect, font_size=7)
            captions.append(("text", label_of(name), box, rect))

    # Captions cross no field (a check box is its own field) and no heading; a box's caption strip
    # is free for it.
    obstacles = [c[3] for c in captions]
    for x, y, size, text, bold in headings:
        obstacles.append((x, y - 0.21 * size, x + text_width(text, size) * (1.1 if bold else 1.0), y + 0.72 * size))
    placer = CaptionPlacer((2, 2, FormBuilder.WIDTH - 2, FormBuilder.HEIGHT - 2), obstacles)
    for kind, text, box, rect in captions:
        if kind == "check":
            placer.place_check_caption(text, rect)
        else:
            placer.place_field_caption(text, box, rect)
    # The ruled frame around the claim (its top along the first row of boxes) and the service-line block.
    content.box(8, 8, FormBuilder.WIDTH - 16, FormBuilder.HEIGHT - 6 * CELL_H - 8, 1.2)
    content.line(8, FormBuilder.HEIGHT - 41 * CELL_H, FormBuilder.WIDTH - 8, FormBuilder.HEIGHT - 41 * CELL_H, 1.0)
    content.line(8, FormBuilder.HEIGHT - 54 * CELL_H, FormBuilder.WIDTH - 8, FormBuilder.HEIGHT - 54 * CELL_H, 1.0)
    for x, baseline, text, rect, knock_out in placer.placed:
        if knock_out:
            # White behind the caption, up to just below the field above, so no line runs through it.
            content.fill(rect[0] - 0.5, rect[1], rect[2] - rect[0] + 1, rect[3] + 0.1 - rect[1], (1, 1, 1))
        content.text(round(x, 2), round(baseline, 2), CAPTION_SIZE, text, False, CAPTION_RED)

    # The way to the patient statements of the saved claims.
    form.link((FormBuilder.WIDTH - 130, FormBuilder.HEIGHT - 5 * CELL_H - 4, FormBuilder.WIDTH - 20,
               FormBuilder.HEIGHT - 5 * CELL_H + 12), "app:toStatements", "Patient Statements",
              CAPTION_RED)
    form.save(path, "CMS-1500")


LIST_ROWS = 12
# The list's columns: element name (the row fields are named after it), heading, width.
LIST_COLUMNS = [("ID", "ID", 30), ("FirstPatientName", "Patient", 130), ("DateCreated", "Date", 70),
                ("NumberOfDays", "Days outstanding", 60), ("Charges_1", "Charge", 60), ("TotalDue_1", "Balance", 60)]
LIST_BORDER = (0.4, 0.4, 0.4)
NO_RECORDS = "No statements match the filters."


def make_collections(path):
    """The list of outstanding records: one row per record, each with its "View" and "Delete"
    buttons, whose addresses carry the row's record id ({R<row>_ID}, filled in by the viewer). The
    rows are hidden until a record fills them: the viewer shows a row (fields and buttons) whose
    R<row>_ID holds an id, and the "NoRecords" note when the list sent holds none. "Apply filters"
    asks for the list again, built with the filters, past-due choice and sort the page holds now."""
    form = FormBuilder("Collections")
    form.content.text(36, 750, 16, "Collections", True, (0.1, 0.2, 0.6))
    form.link((160, 746, 240, 764), "app:toStatements", "Apply filters")
    x = 20
    for _, heading, width in LIST_COLUMNS:
        form.content.text(x, 726, 7, heading, True, (0.2, 0.2, 0.2))
        x += width + 4
    for row in range(1, LIST_ROWS + 1):
        y = 706 - (row - 1) * 24
        x = 20
        for name, _, width in LIST_COLUMNS:
            form.text_field("R%d_%s" % (row, name), (x, y, x + width, y + 16), font_size=8, hidden=True,
                            print_when_shown=True, flags=FormBuilder.READ_ONLY, border=LIST_BORDER)
            x += width + 4
        form.push_button("R%d_View" % row, (x, y, x + 36, y + 16), "View", "app:viewStatement?{R%d_ID}" % row,
                         hidden=True)
        form.push_button("R%d_Delete" % row, (x + 40, y, x + 80, y + 16), "Delete",
                         "app:deleteRecord?{R%d_ID}" % row, hidden=True)
    form.text_field("NoRecords", (20, 706, 20 + 300, 722), NO_RECORDS, font_size=9, hidden=True, print_when_shown=True,
                    flags=FormBuilder.READ_ONLY, background=(1, 1, 1))
    form.save(path, "Companion")


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_forms.py OUTPUT_FOLDER")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    make_claim_form(os.path.join(out, "cms1500.pdf"))
    make_statement(os.path.join(out, "statement.pdf"))
    make_collections(os.path.join(out, "collections.pdf"))


if __name__ == "__main__":
    main()
