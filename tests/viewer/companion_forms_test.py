#!/usr/bin/env python3
# The companion PDFs as an independent reader sees them: the statement's remit-to lines read-only
# (the program fills them from the claim) while the user's fields are not, its subject the mark of
# the program's own statement; the statements list's headings in a practice's words.
# Usage: companion_forms_test.py SAMPLES_FOLDER
import os
import re
import subprocess
import sys
import unittest

from pypdf import PdfReader

SAMPLES = None
READ_ONLY = 1


class StatementTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.reader = PdfReader(os.path.join(SAMPLES, "statement.pdf"))
        cls.fields = cls.reader.get_fields()

    def flags(self, name):
        self.assertIn(name, self.fields)
        return int(self.fields[name].get("/Ff", 0))

    def test_remit_to_lines_are_read_only(self):
        for name in ("INFO_Line1", "INFO_Line2", "INFO_Line3"):
            self.assertTrue(self.flags(name) & READ_ONLY, name)

    def test_what_the_user_fills_in_is_not(self):
        for name in ("FirstPatientName", "ToAddress", "Notes", "Charges_1", "CoPay_1", "PatientPd_6", "Payer2Pd_3"):
            self.assertFalse(self.flags(name) & READ_ONLY, name)

    def test_subject_marks_the_programs_own_statement(self):
        self.assertEqual("Formstead patient statement", self.reader.metadata.subject)


class CollectionsTest(unittest.TestCase):
    def test_headings_are_the_words_of_a_practice(self):
        html = subprocess.run(["pdftotext", "-bbox", os.path.join(SAMPLES, "collections.pdf"), "-"], check=True,
                              capture_output=True, text=True).stdout
        words = [(float(x), float(y), w) for x, y, w in
                 re.findall(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>', html)]
        # The heading row: the words at the height of "ID" (its first heading), left to right.
        first = [y for x, y, w in words if w == "ID"]
        self.assertEqual(1, len(first))
        row = [w for x, y, w in sorted(words) if abs(y - first[0]) < 1]
        self.assertEqual(["ID", "Patient", "Date", "Days", "outstanding", "Charge", "Balance"], row)
        for name in ("FirstPatientName", "DateCreated", "NumberOfDays", "Charges_1", "TotalDue_1"):
            self.assertNotIn(name, [w for _, _, w in words])


if __name__ == "__main__":
    SAMPLES = sys.argv.pop(1)
    unittest.main()
