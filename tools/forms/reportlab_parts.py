#!/usr/bin/env python3
# A fillable form written by ReportLab whose page is drawn through form XObjects: a letterhead part,
# placed by an address-block part (nested), placed on the page twice under different matrices.
# Usage: reportlab_parts.py PDF
import sys

from reportlab.lib.colors import black, white
from reportlab.pdfgen import canvas


def write(path):
    c = canvas.Canvas(path, pagesize=(612, 792))
    c.setTitle("Page parts")
    c.beginForm("letterhead", lowerx=0, lowery=0, upperx=300, uppery=60)
    c.setFont("Times-Bold", 22)
    c.drawString(10, 30, "Lakeside Clinic")
    c.setLineWidth(2)
    c.line(10, 20, 290, 20)
    c.endForm()
    c.beginForm("block", lowerx=0, lowery=0, upperx=320, uppery=120)
    c.doForm("letterhead")
    c.setFont("Helvetica", 12)
    c.drawString(10, 70, "12 Shore Road, Duluth")
    c.endForm()
    c.saveState()
    c.translate(72, 620)
    c.doForm("block")
    c.restoreState()
    c.saveState()
    c.translate(300, 420)
    c.scale(0.75, 0.75)
    c.doForm("block")
    c.restoreState()
    c.setFont("Helvetica", 11)
    c.drawString(72, 365, "Member ID")
    c.acroForm.textfield(name="member", x=200, y=360, width=250, height=20, borderColor=black,
                         fillColor=white, textColor=black, forceBorder=True)
    c.showPage()
    c.save()


if __name__ == "__main__":
    write(sys.argv[1])
