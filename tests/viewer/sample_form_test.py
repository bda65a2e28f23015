#!/usr/bin/env python3
# The sample claim form's printed captions: readable size and colour in the page's content stream,
# and, rendered by an independent PDF renderer, no ink inside any field.
# Usage: sample_form_test.py CLAIM_FORM_PDF
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zlib

PDF_PATH = None


def content_stream(data):
    """The page's drawing: (decompressed text, start and end of the compressed bytes)."""
    for match in re.finditer(rb"/Filter /FlateDecode/Length (\d+)>>\nstream\n", data):
        start, end = match.end(), match.end() + int(match.group(1))
        text = zlib.decompress(data[start:end]).decode("latin-1")
        if " Tj " in text:
            return text, match.start(), end
    raise AssertionError("no page content stream with text")


def without_text(data):
    """The file with every text operator taken out of the page's drawing (the renderer rebuilds the
    cross-reference table around the changed stream)."""
    text, start, end = content_stream(data)
    stripped = zlib.compress(re.sub(r"BT .*? ET", "", text).encode("latin-1"))
    return data[:start] + b"/Filter /FlateDecode/Length %d>>\nstream\n" % len(stripped) + stripped + data[end:]


def render(renderer, pdf_bytes, folder, name):
    path = folder + "/" + name
    with open(path + ".pdf", "wb") as f:
        f.write(pdf_bytes)
    subprocess.run([renderer, "-r", "144", "-singlefile", path + ".pdf", path], check=True, stderr=subprocess.DEVNULL)
    with open(path + ".ppm", "rb") as f:
        image = f.read()
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", image)
    width, height = int(header.group(1)), int(header.group(2))
    pixels = image[header.end():]
    assert width * height * 3 == len(pixels)
    return width, pixels


def widget_rects(data):
    return [tuple(float(v) for v in m.group(1).split())
            for m in re.finditer(rb"/Subtype /Widget/FT /\w+/T \(.*?\)/Rect \[([-\d. ]+)\]", data)]


class CaptionTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(PDF_PATH, "rb") as f:
            cls.data = f.read()
        cls.content = content_stream(cls.data)[0]
        cls.texts = re.findall(r"BT ([\d.]+) ([\d.]+) ([\d.]+) rg /F\d ([\d.]+) Tf [-\d.]+ [-\d.]+ Td \((.*?)\) Tj ET",
                               cls.content)

    def test_every_text_is_readable_and_full_strength_red(self):
        self.assertEqual(self.content.count(" Tj "), len(self.texts))  # every text operator was read
        self.assertGreater(len(self.texts), 200)
        for r, g, b, size, text in self.texts:
            self.assertGreaterEqual(float(size), 6.0, text)
            self.assertEqual(("0.80", "0.00", "0.00"), (r, g, b), text)

    def test_captions_name_the_fields(self):
        shown = {t[4] for t in self.texts}
        for caption in ("2 PATIENT S NAME LAST FIRST MIDDLE INITIAL", "MEDICARE", "9 OTHER INSUREDS NAME",
                        "25 FEDERAL TAX ID NUMBER SSN EIN", "EIN", "24F 6 CHARGES"):
            self.assertTrue(caption in shown, caption)

    def test_no_caption_ink_inside_a_field(self):
        renderer = shutil.which("pdftoppm")
        self.assertIsNotNone(renderer, "pdftoppm (poppler-utils) is needed to render the form")
        rects = widget_rects(self.data)
        self.assertEqual(225, len(rects))
        with tempfile.TemporaryDirectory() as folder:
            width, drawn = render(renderer, self.data, folder, "form")
            _, plain = render(renderer, without_text(self.data), folder, "plain")
        self.assertNotEqual(drawn, plain)  # the texts are drawn
        scale = 2.0  # 144 dpi: pixels per point
        for x1, y1, x2, y2 in rects:
            # Inside the field, clear of its own border (a check box's border is its rectangle):
            # the form with its texts and without them must not differ there.
            left, right = int((x1 + 1.5) * scale), int((x2 - 1.5) * scale)
            top, bottom = int((792 - y2 + 1.5) * scale), int((792 - y1 - 1.5) * scale)
            inked = [(x, y) for y in range(top, bottom) for x in range(left, right)
                     if drawn[(y * width + x) * 3:(y * width + x) * 3 + 3] != plain[(y * width + x) * 3:(y * width + x) * 3 + 3]]
            self.assertEqual([], inked[:5], (x1, y1, x2, y2))


if __name__ == "__main__":
    PDF_PATH = sys.argv.pop(1)
    unittest.main()
