#!/usr/bin/env python3
# A fillable referral form written by ReportLab's own AcroForm writer, for the tests of forms that
# other programs make: a blank copy and a filled copy (text, check box and the radio group's second
# choice set by the writer itself).
# Usage: reportlab_referral.py BLANK_PDF FILLED_PDF
import sys

from reportlab.lib.colors import black, white
from reportlab.pdfgen import canvas

TEXT_FIELDS = [("ref_last", "Last name"), ("ref_first", "First name"), ("ref_dob", "Date of birth"),
               ("ref_phone", "Phone"), ("ref_reason", "Reason for referral")]
VISITS = [("new", "New patient"), ("followup", "Follow-up"), ("urgent", "Urgent")]
FILLED = {"ref_last": "Okafor", "ref_first": "Ngozi", "ref_dob": "03/14/1961",
          "ref_phone": "555-0142", "ref_reason": "Knee pain"}


def write(path, filled):
    # Page content filtered through ASCII85 and Flate, as ReportLab does by default.
    c = canvas.Canvas(path, pagesize=(612, 792), pageCompression=1)
    c.setTitle("Referral")
    form = c.acroForm
    c.setFont("Helvetica-Bold", 18)
    c.drawString(72, 720, "Referral")
    # One text object sets the font and leading, the next ones only move and show.
    text = c.beginText(72, 690)
    text.setFont("Times-Roman", 10, leading=13)
    text.textLine("Please fill in every line.")
    text.textLine("Print clearly.")
    c.drawText(text)
    c.setFont("Helvetica", 11)
    y = 640
    for name, label in TEXT_FIELDS:
        c.drawString(72, y + 5, label)
        form.textfield(name=name, x=200, y=y, width=250, height=20, borderColor=black, fillColor=white,
                       textColor=black, value=FILLED[name] if filled else "", forceBorder=True)
        y -= 36
    c.drawString(72, y + 5, "Visit")
    x = 200
    for value, label in VISITS:
        form.radio(name="ref_visit", value=value, selected=filled and value == "followup", x=x, y=y,
                   size=14, buttonStyle="circle", borderColor=black, fillColor=white, forceBorder=True)
        c.drawString(x + 18, y + 3, label)
        x += 110
    y -= 36
    c.drawString(72, y + 5, "Insured")
    form.checkbox(name="ref_insured", x=200, y=y, size=14, checked=filled, buttonStyle="check",
                  borderColor=black, fillColor=white, forceBorder=True)
    c.showPage()
    c.save()


if __name__ == "__main__":
    write(sys.argv[1], False)
    write(sys.argv[2], True)
