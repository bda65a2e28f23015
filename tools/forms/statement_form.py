# The patient statement a practice mails: letterhead, remit-to and the patient's address placed for a
# window envelope, the service lines with their payments and balances, the amount due, the notes.
# Its field names are the element names of the collection data the program sends and stores. Its
# subject marks it as the program's own statement, for which the viewer computes the line balances.
from caption_layout import text_width
from pdf_writer import FormBuilder

INK = (0.15, 0.15, 0.15)
GREY = (0.4, 0.4, 0.4)
BLUE = (0.1, 0.2, 0.6)
RULE = (0.55, 0.55, 0.6)
TINT = (0.93, 0.94, 0.97)

# The letterhead box has the letterhead's reference proportions (646 by 148); the letterhead values
# are hidden fields over it, from which the viewer draws the text or the logo.
LETTERHEAD = (36, 774 - 270 * 148 / 646, 306, 774)
LETTERHEAD_FIELDS = ["TextLogo", "CompanyName", "Font", "Size", "ImageField1", "ImageLogoSize", "Imagez2LogoSize"]

# A #10 window envelope shows the address block 2 to 2.9 inches from the top, 1 inch from the left.
ADDRESS_LEFT, ADDRESS_TOP = 72, 792 - 2.0 * 72

STATEMENT_SUBJECT = "Formstead patient statement"

LINES = 6
# Service-line columns: heading, field prefix, width.
COLUMNS = [("Date of service", "FromDate_", 62), ("Procedure", "CPT_", 54), ("Charge", "Charges_", 62),
           ("Co-pay", "CoPay_", 58), ("Patient paid", "PatientPd_", 64), ("Insurance 1 paid", "Payer1Pd_", 64),
           ("Insurance 2 paid", "Payer2Pd_", 64), ("Balance", "TotalDue_", 72)]
COLUMN_GAP = (540 - sum(c[2] for c in COLUMNS)) / (len(COLUMNS) - 1)


def label(content, x, y, text, size=7.5, bold=False, colour=GREY, right=False):
    if right:
        x -= text_width(text, size) * (1.08 if bold else 1.0)
    content.text(round(x, 2), round(y, 2), size, text, bold, colour)


def make_statement(path):
    form = FormBuilder("Patient Statement")
    c = form.content
    # The statement's own facts at the right (its number first: the saved changes start with it), the
    # amount due standing out beneath them.
    label(c, 372, 750, "PATIENT STATEMENT", 14, True, BLUE)
    for caption, name, y in (("Account no.", "ID", 706), ("Statement date", "Date", 722),
                             ("Insured", "PatientName", 690), ("Days outstanding", "NumberOfDays", 674)):
        label(c, 372, y + 3.5, caption)
        form.text_field(name, (456, y, 576, y + 13), font_size=9)
    x1, y1, x2, y2 = LETTERHEAD
    for name in LETTERHEAD_FIELDS:
        form.text_field(name, (x1, y1, x2, y2), hidden=True)

    # Remit-to: the practice (billing provider lines) under the letterhead; read-only, since the
    # program fills them from the claim each time the statement is shown.
    label(c, 36, 701, "Please remit payment to:")
    for n, y in ((1, 686), (2, 675), (3, 664)):
        form.text_field("INFO_Line%d" % n, (36, y, 306, y + 11), font_size=8, flags=FormBuilder.READ_ONLY)

    # The patient's address in the envelope's window.
    top = ADDRESS_TOP
    form.text_field("FirstPatientName", (ADDRESS_LEFT, top - 15, 330, top - 1), font_size=10)
    form.text_field("ToAddress", (ADDRESS_LEFT, top - 31, 330, top - 17), font_size=10)
    form.text_field("ToCity", (ADDRESS_LEFT, top - 47, 220, top - 33), font_size=10)
    form.text_field("ToState", (224, top - 47, 254, top - 33), font_size=10)
    form.text_field("ToZip", (258, top - 47, 330, top - 33), font_size=10)

    # The amount due box beside the address.
    c.fill(372, 596, 204, 58, TINT)
    c.box(372, 596, 204, 58, 1.2, BLUE)
    label(c, 380, 638, "AMOUNT DUE", 9, True, BLUE)

    # The service lines.
    c.line(36, 578, 576, 578, 0.8, RULE)
    heading_y = 556
    c.fill(36, heading_y - 5, 540, 17, TINT)
    x = 36
    places = []
    for heading, prefix, width in COLUMNS:
        label(c, x + 2, heading_y, heading, 7.5, True, INK)  # over the start of the values
        places.append((prefix, x, width))
        x += width + COLUMN_GAP
    for line in range(1, LINES + 1):
        y = heading_y - 8 - line * 20
        for prefix, left, width in places:
            form.text_field("%s%d" % (prefix, line), (round(left, 2), y, round(left + width, 2), y + 15), font_size=9)
        c.line(36, y - 3, 576, y - 3, 0.3, RULE)
    # The total of the balances under the balance column.
    balance_left = places[-1][1]
    total_y = heading_y - 8 - LINES * 20 - 26
    c.line(balance_left, total_y + 19, 576, total_y + 19, 1.0, INK)
    label(c, balance_left - 8, total_y + 4, "Total due", 10, True, INK, right=True)
    form.text_field("AmountDue", (456, 602, 572, 630), font_size=14, flags=FormBuilder.READ_ONLY,
                    sum_of=["TotalDue_%d" % n for n in range(1, LINES + 1)],
                    widgets=[(round(balance_left, 2), total_y, 576, total_y + 16)])

    # Notes.
    notes_top = total_y - 14
    label(c, 36, notes_top, "Notes", 8, True, INK)
    form.text_field("Notes", (36, notes_top - 70, 576, notes_top - 6), font_size=9, flags=FormBuilder.MULTILINE)

    # The statement's own commands: on screen only, never printed.
    buttons = [("Save", "app:saveChanges"), ("Back", "app:toStatements"), ("Letterhead", "app:toSetHeader"),
               ("Change address", "app:toSetAddr"), ("Print", ("Named", "Print"))]
    x = 36
    for caption, action in buttons:
        width = 96 if len(caption) > 10 else 70
        form.push_button(caption, (x, 40, x + width, 60), caption, action)
        x += width + 10
    form.save(path, STATEMENT_SUBJECT)
