# A small writer of PDF files with interactive form fields: numbered objects, Flate-compressed
# content streams and a classic cross-reference table.
import zlib


def pdf_string(text):
    """A literal string; characters beyond Latin-1 are not used by the sample forms."""
    data = text.encode("latin-1")
    out = bytearray(b"(")
    for b in data:
        if b in b"()\\":
            out += b"\\" + bytes([b])
        elif b < 32 or b > 126:
            out += b"\\%03o" % b
        else:
            out.append(b)
    out += b")"
    return bytes(out)


class Ref:
    def __init__(self, number):
        self.number = number


class Name:
    def __init__(self, text):
        self.text = text


def serialise(value):
    if isinstance(value, Ref):
        return b"%d 0 R" % value.number
    if isinstance(value, Name):
        return b"/" + value.text.encode("ascii")
    if isinstance(value, bool):
        return b"true" if value else b"false"
    if isinstance(value, int):
        return b"%d" % value
    if isinstance(value, float):
        return ("%.3f" % value).rstrip("0").rstrip(".").encode("ascii")
    if isinstance(value, str):
        return pdf_string(value)
    if isinstance(value, (list, tuple)):
        return b"[" + b" ".join(serialise(v) for v in value) + b"]"
    if isinstance(value, dict):
        return b"<<" + b"".join(b"/" + k.encode("ascii") + b" " + serialise(v) for k, v in value.items()) + b">>"
    if value is None:
        return b"null"
    raise TypeError(type(value))


class PdfWriter:
    def __init__(self):
        self.objects = []  # bytes of each object's body, index = number - 1

    def reserve(self):
        self.objects.append(None)
        return Ref(len(self.objects))

    def set(self, ref, value):
        self.objects[ref.number - 1] = serialise(value)

    def add(self, value):
        ref = self.reserve()
        self.set(ref, value)
        return ref

    def add_stream(self, data, extra=None, compress=True):
        entries = dict(extra or {})
        if compress:
            data = zlib.compress(data)
            entries["Filter"] = Name("FlateDecode")
        entries["Length"] = len(data)
        ref = self.reserve()
        self.objects[ref.number - 1] = serialise(entries) + b"\nstream\n" + data + b"\nendstream"
        return ref

    def write(self, path, root, info):
        out = bytearray(b"%PDF-1.6\n%\xe2\xe3\xcf\xd3\n")
        offsets = []
        for number, body in enumerate(self.objects, 1):
            offsets.append(len(out))
            out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
        xref = len(out)
        out += b"xref\n0 %d\n" % (len(self.objects) + 1)
        out += b"0000000000 65535 f \n"
        for offset in offsets:
            out += b"%010d 00000 n \n" % offset
        trailer = {"Size": len(self.objects) + 1, "Root": root, "Info": info}
        out += b"trailer\n" + serialise(trailer) + b"\nstartxref\n%d\n%%%%EOF\n" % xref
        with open(path, "wb") as f:
            f.write(out)


class Content:
    """Drawing operators of one page."""

    def __init__(self):
        self.ops = []

    def box(self, x, y, w, h, width=0.5, colour=(0.75, 0.1, 0.1)):
        self.ops.append("q %.2f w %.2f %.2f %.2f RG %.2f %.2f %.2f %.2f re S Q" % ((width,) + colour + (x, y, w, h)))

    def fill(self, x, y, w, h, colour):
        self.ops.append("q %.2f %.2f %.2f rg %.2f %.2f %.2f %.2f re f Q" % (colour + (x, y, w, h)))

    def line(self, x1, y1, x2, y2, width=0.5, colour=(0.75, 0.1, 0.1)):
        self.ops.append("q %.2f w %.2f %.2f %.2f RG %.2f %.2f m %.2f %.2f l S Q" % ((width,) + colour + (x1, y1, x2, y2)))

    def text(self, x, y, size, text, bold=False, colour=(0.75, 0.1, 0.1)):
        font = "F2" if bold else "F1"
        escaped = pdf_string(text).decode("latin-1")
        self.ops.append("BT %.2f %.2f %.2f rg /%s %.1f Tf %.2f %.2f Td %s Tj ET" % (colour + (font, size, x, y, escaped)))

    def data(self):
        return ("\n".join(self.ops) + "\n").encode("latin-1")


class FormBuilder:
    """One-page form: text fields, check boxes and links on a letter page."""

    WIDTH, HEIGHT = 612, 792

    def __init__(self, title):
        self.writer = PdfWriter()
        self.title = title
        self.content = Content()
        self.page = self.writer.reserve()
        self.fields = []
        self.annots = []
        self.helv = self.writer.add({"Type": Name("Font"), "Subtype": Name("Type1"), "BaseFont": Name("Helvetica"),
                                     "Encoding": Name("WinAnsiEncoding")})
        self.helv_bold = self.writer.add({"Type": Name("Font"), "Subtype": Name("Type1"),
                                          "BaseFont": Name("Helvetica-Bold"), "Encoding": Name("WinAnsiEncoding")})
        self.zadb = self.writer.add({"Type": Name("Font"), "Subtype": Name("Type1"), "BaseFont": Name("ZapfDingbats")})
        self._check_on = None
        self._check_off = None
        self.calculated = []  # calculated fields, in the order they are computed

    # Annotation flags: hidden (neither shown nor printed) and printed.
    HIDDEN, PRINT = 2, 4
    # Field flags of text fields.
    READ_ONLY, MULTILINE = 1, 1 << 12

    def text_field(self, name, rect, value="", font_size=8, hidden=False, flags=0, sum_of=None, widgets=None):
        """A text field; hidden ones carry data that is neither shown nor printed. sum_of names the
        fields whose sum it shows (a calculated field); widgets gives further places of the same field."""
        flag = self.HIDDEN if hidden else self.PRINT
        field = {"FT": Name("Tx"), "T": name}
        rest = {"DA": "/Helv %d Tf 0 g" % font_size, "V": value}
        if flags:
            rest["Ff"] = flags
        if sum_of:
            script = 'AFSimple_Calculate("SUM", new Array(%s));' % ", ".join('"%s"' % n for n in sum_of)
            rest["AA"] = {"C": {"S": Name("JavaScript"), "JS": script},
                          "F": {"S": Name("JavaScript"), "JS": 'AFNumber_Format(2, 0, 0, 0, "", true);'}}
        if not widgets:
            # Field and widget in one dictionary.
            entries = {"Type": Name("Annot"), "Subtype": Name("Widget")}
            entries.update(field)
            entries.update({"Rect": list(rect), "P": self.page, "F": flag})
            entries.update(rest)
            entries["MK"] = {}
            ref = self.writer.add(entries)
            self.annots.append(ref)
        else:
            ref = self.writer.reserve()
            kids = []
            for place in [rect] + list(widgets):
                kid = self.writer.add({"Type": Name("Annot"), "Subtype": Name("Widget"), "Rect": list(place),
                                       "P": self.page, "F": flag, "MK": {}, "Parent": ref})
                kids.append(kid)
                self.annots.append(kid)
            field.update(rest)
            field["Kids"] = kids
            self.writer.set(ref, field)
        self.fields.append(ref)
        if sum_of:
            self.calculated.append(ref)
        return ref

    def push_button(self, name, rect, caption, action, colour=(0.1, 0.2, 0.6)):
        """A button shown on screen and never printed; action is an address or ("Named", name)."""
        if isinstance(action, tuple):
            act = {"S": Name(action[0]), "N": Name(action[1])}
        else:
            act = {"S": Name("URI"), "URI": action}
        ref = self.writer.add({"Type": Name("Annot"), "Subtype": Name("Widget"), "FT": Name("Btn"), "Ff": 1 << 16,
                               "T": name, "Rect": list(rect), "P": self.page, "F": 0, "DA": "/Helv 9 Tf 0 g",
                               "MK": {"CA": caption, "BG": [0.93, 0.94, 0.97], "BC": list(colour)}, "A": act})
        self.fields.append(ref)
        self.annots.append(ref)
        return ref

    def check_box(self, name, rect, checked=False):
        if self._check_on is None:
            side = 12.0
            self._check_on = self.writer.add_stream(b"q BT 0 g /ZaDb 8 Tf 1.5 2 Td (4) Tj ET Q\n",
                                                    {"Type": Name("XObject"), "Subtype": Name("Form"),
                                                     "BBox": [0, 0, side, side],
                                                     "Resources": {"Font": {"ZaDb": self.zadb}}}, compress=False)
            self._check_off = self.writer.add_stream(b"", {"Type": Name("XObject"), "Subtype": Name("Form"),
                                                           "BBox": [0, 0, side, side]}, compress=False)
        state = Name("Yes") if checked else Name("Off")
        entries = {"Type": Name("Annot"), "Subtype": Name("Widget"), "FT": Name("Btn"), "T": name,
                   "Rect": list(rect), "P": self.page, "F": 4, "V": state, "AS": state,
                   "AP": {"N": {"Yes": self._check_on, "Off": self._check_off}},
                   "DA": "/ZaDb 0 Tf 0 g", "MK": {"CA": "4"}}
        ref = self.writer.add(entries)
        self.fields.append(ref)
        self.annots.append(ref)
        return ref

    def link(self, rect, uri, caption, colour=(0.1, 0.2, 0.6)):
        """A page link whose action opens an address (the container page sees the navigation)."""
        x1, y1, x2, y2 = rect
        self.content.box(x1, y1, x2 - x1, y2 - y1, 0.8, colour)
        self.content.text(x1 + 4, y1 + (y2 - y1) / 2 - 3, 8, caption, True, colour)
        ref = self.writer.add({"Type": Name("Annot"), "Subtype": Name("Link"), "Rect": list(rect), "Border": [0, 0, 0],
                               "A": {"S": Name("URI"), "URI": uri}})
        self.annots.append(ref)

    def save(self, path, form_type):
        contents = self.writer.add_stream(self.content.data())
        self.writer.set(self.page, {"Type": Name("Page"), "Parent": Ref(0), "MediaBox": [0, 0, self.WIDTH, self.HEIGHT],
                                    "Contents": contents, "Annots": self.annots,
                                    "Resources": {"Font": {"F1": self.helv, "F2": self.helv_bold}}})
        pages = self.writer.add({"Type": Name("Pages"), "Kids": [self.page], "Count": 1})
        # The page's parent is known only now.
        body = self.writer.objects[self.page.number - 1].replace(b"/Parent 0 0 R", b"/Parent %d 0 R" % pages.number)
        self.writer.objects[self.page.number - 1] = body
        acroform = {"Fields": self.fields, "DA": "/Helv 0 Tf 0 g",
                    "DR": {"Font": {"Helv": self.helv, "ZaDb": self.zadb}}}
        if self.calculated:
            acroform["CO"] = self.calculated
        root = self.writer.add({"Type": Name("Catalog"), "Pages": pages, "AcroForm": acroform})
        info = self.writer.add({"Title": self.title, "Subject": form_type, "Producer": "Formstead sample forms"})
        self.writer.write(path, root, info)
