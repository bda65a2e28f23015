"""Reads the mapping of a code page from the source its manifest line names: a Python codec, a
glibc iconv converter, a Wine code-page file, or a documented derivation of one of these.
Shared by the table generator and the table-agreement check."""
import codecs
import ctypes
import ctypes.util
import os
import struct

WINE_NLS_DIRS = ["/usr/share/wine/nls", "/usr/lib/wine/nls"]


class Page:
    """One manifest line: page number, source kind, source name, extra words."""

    def __init__(self, page, kind, name, extra):
        self.page = page
        self.kind = kind
        self.name = name
        self.extra = extra


def load_manifest(path):
    pages = []
    with open(path, encoding="ascii") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            words = line.split()
            pages.append(Page(int(words[0]), words[1], words[2], words[3:]))
    return pages


MULTI_BYTE = {932, 936, 949, 950, 1361, 10001, 20261, 20269, 51932, 51936, 51949}


def is_bmp_char(text):
    return len(text) == 1 and ord(text) < 0x10000 and not 0xD800 <= ord(text) <= 0xDFFF


def bmp_units():
    return [u for u in range(1, 0x10000) if not 0xD800 <= u <= 0xDFFF]


# --- Python codecs -------------------------------------------------------------------------------

def python_maps(codec, multi):
    decode, encode = {}, {}
    leads = []
    for b in range(1, 256):
        try:
            text = bytes([b]).decode(codec)
        except UnicodeDecodeError:
            leads.append(b)
            continue
        if is_bmp_char(text):
            decode[bytes([b])] = ord(text)
    if multi:
        for lead in leads:
            for trail in range(256):
                key = bytes([lead, trail])
                try:
                    text = key.decode(codec)
                except UnicodeDecodeError:
                    continue
                if is_bmp_char(text):
                    decode[key] = ord(text)
    for u in bmp_units():
        try:
            data = chr(u).encode(codec)
        except UnicodeEncodeError:
            continue
        if len(data) == 1 or (multi and len(data) == 2):
            encode[u] = data
    return decode, encode


# --- glibc iconv ---------------------------------------------------------------------------------

class Iconv:
    def __init__(self):
        self.libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
        self.libc.iconv_open.restype = ctypes.c_void_p
        self.libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
        self.libc.iconv.restype = ctypes.c_size_t
        pp = ctypes.POINTER(ctypes.c_char_p)
        ps = ctypes.POINTER(ctypes.c_size_t)
        self.libc.iconv.argtypes = [ctypes.c_void_p, pp, ps, pp, ps]
        self.libc.iconv_close.argtypes = [ctypes.c_void_p]

    def open(self, to_code, from_code):
        cd = self.libc.iconv_open(to_code.encode(), from_code.encode())
        if cd is None or cd == ctypes.c_void_p(-1).value:
            raise RuntimeError("iconv cannot convert %s to %s" % (from_code, to_code))
        return cd

    def convert(self, cd, data):
        """The whole conversion of data with a fresh state, or None when any of it fails."""
        failed = ctypes.c_size_t(-1).value
        self.libc.iconv(cd, None, None, None, None)
        inbuf = ctypes.create_string_buffer(data, len(data))
        outbuf = ctypes.create_string_buffer(64)
        ip = ctypes.c_char_p(ctypes.addressof(inbuf))
        il = ctypes.c_size_t(len(data))
        op = ctypes.c_char_p(ctypes.addressof(outbuf))
        ol = ctypes.c_size_t(64)
        if self.libc.iconv(cd, ctypes.byref(ip), ctypes.byref(il), ctypes.byref(op), ctypes.byref(ol)) == failed:
            return None
        if self.libc.iconv(cd, None, None, ctypes.byref(op), ctypes.byref(ol)) == failed:
            return None
        return outbuf.raw[: 64 - ol.value]

    def close(self, cd):
        self.libc.iconv_close(cd)


def iconv_maps(name, double_byte=False):
    """Single bytes, and with double_byte also the two-byte sequences that start with a byte which
    does not decode alone (the non-spacing accents of T.61 and ISO 6937, written before their letter)."""
    iconv = Iconv()
    decode, encode = {}, {}
    dec = iconv.open("UTF-16LE", name)
    leads = []
    for b in range(1, 256):
        out = iconv.convert(dec, bytes([b]))
        if out and len(out) == 2:
            u = struct.unpack("<H", out)[0]
            if not 0xD800 <= u <= 0xDFFF:
                decode[bytes([b])] = u
        elif out is None:
            leads.append(b)
    if double_byte:
        for lead in leads:
            for trail in range(256):
                out = iconv.convert(dec, bytes([lead, trail]))
                if out and len(out) == 2:
                    u = struct.unpack("<H", out)[0]
                    if not 0xD800 <= u <= 0xDFFF:
                        decode[bytes([lead, trail])] = u
    iconv.close(dec)
    enc = iconv.open(name, "UTF-16LE")
    for u in bmp_units():
        out = iconv.convert(enc, struct.pack("<H", u))
        if out and (len(out) == 1 or (double_byte and len(out) == 2)):
            encode[u] = out
    iconv.close(enc)
    return decode, encode


# --- Wine code-page files ------------------------------------------------------------------------

def wine_file(name):
    for folder in WINE_NLS_DIRS:
        path = os.path.join(folder, name)
        if os.path.exists(path):
            return path
    raise RuntimeError("Wine code-page file %s not found" % name)


def wine_maps(name, best_fit=False):
    """Decoding from the file's byte tables; encoding where it round-trips, and with best_fit also the
    file's one-way entries: characters the page lacks that Windows writes as a near character."""
    data = open(wine_file(name), "rb").read()
    words = struct.unpack("<%dH" % (len(data) // 2), data[: len(data) // 2 * 2])
    header = words[0]
    max_char = words[2]
    default_char = words[3]
    uni_default = words[4]
    pos = header
    wc_start = pos + words[pos] + 1
    mb = words[pos + 1: pos + 257]
    pos += 257
    glyphs = words[pos]
    pos += 1 + (256 if glyphs else 0)
    dbcs = words[pos]
    pos += 1
    lead_tables = {}
    if dbcs:
        offsets = words[pos: pos + 256]
        for lead in range(256):
            if offsets[lead]:
                lead_tables[lead] = words[pos + offsets[lead]: pos + offsets[lead] + 256]
    if max_char == 1:
        wc = data[wc_start * 2: wc_start * 2 + 65536]
    else:
        wc = struct.unpack("<65536H", data[wc_start * 2: wc_start * 2 + 131072])

    def encode_raw(u):
        return bytes([wc[u]]) if wc[u] < 0x100 else bytes([wc[u] >> 8, wc[u] & 0xFF])

    def decodes(key, u):
        # The default character stands for "unmapped" unless it is the real mapping of the code.
        return u and (u != uni_default or encode_raw(u) == key) and not 0xD800 <= u <= 0xDFFF

    decode = {}
    for b in range(1, 256):
        if b in lead_tables:
            for trail in range(256):
                if decodes(bytes([b, trail]), lead_tables[b][trail]):
                    decode[bytes([b, trail])] = lead_tables[b][trail]
        elif decodes(bytes([b]), mb[b]):
            decode[bytes([b])] = mb[b]
    encode = {}
    for key, u in decode.items():
        if encode_raw(u) == key:
            encode[u] = key
    if best_fit:
        default = bytes([default_char]) if default_char < 0x100 else bytes([default_char >> 8, default_char & 0xFF])
        for u in bmp_units():
            key = encode_raw(u)
            if u not in encode and key != default and key in decode:
                encode[u] = key
    return decode, encode


# --- Derivations ---------------------------------------------------------------------------------

LATIN9_REPLACEMENTS = {0xA4: 0x20AC, 0xA6: 0x0160, 0xA8: 0x0161, 0xB4: 0x017D,
                       0xB8: 0x017E, 0xBC: 0x0152, 0xBD: 0x0153, 0xBE: 0x0178}


def sjis_to_euc(key):
    """The EUC-JP form of a Shift-JIS code: JIS X 0208 rows as two bytes with the high bit set,
    half-width katakana after 0x8E; None for codes outside JIS X 0208's 94 rows (user-defined and
    IBM extension codes)."""
    if len(key) == 1:
        b = key[0]
        if b < 0x80:
            return key
        return bytes([0x8E, b]) if 0xA1 <= b <= 0xDF else None
    s1, s2 = key
    if not (0x81 <= s1 <= 0x9F or 0xE0 <= s1 <= 0xEF) or not 0x40 <= s2 <= 0xFC or s2 == 0x7F:
        return None
    adjust = 1 if s2 < 0x9F else 0
    j1 = (s1 - (0x70 if s1 < 0xA0 else 0xB0)) * 2 - adjust
    j2 = s2 - ((0x1F if s2 < 0x80 else 0x20) if adjust else 0x7E)
    if not (0x21 <= j1 <= 0x7E and 0x21 <= j2 <= 0x7E):
        return None
    return bytes([j1 | 0x80, j2 | 0x80])


def euc_of(decode, encode):
    """A Shift-JIS page's repertoire in EUC form. A character whose own code has no EUC form is
    written by another code of the page that decodes to it and has one (the IBM extensions by their
    NEC-selected twins)."""
    euc_decode = {}
    for key, u in decode.items():
        euc = sjis_to_euc(key)
        if euc is not None:
            euc_decode[euc] = u
    euc_encode = {}
    twins = {}
    for key, u in sorted(decode.items()):
        if sjis_to_euc(key) is not None:
            twins.setdefault(u, sjis_to_euc(key))
    for u, key in encode.items():
        euc = sjis_to_euc(key)
        if euc is None:
            euc = twins.get(u)
        if euc is not None:
            euc_encode[u] = euc
    return euc_decode, euc_encode


def derived_maps(name, manifest):
    if name == "ia5-irv":
        # International Reference Version of ISO 646 (1983): ASCII with the currency sign at 0x24 and
        # the overline at 0x7E.
        decode = {bytes([b]): b for b in range(1, 128)}
        decode[b"\x24"] = 0x00A4
        decode[b"\x7e"] = 0x203E
    elif name == "ibm-thai":
        # EBCDIC Thai: IBM-1160 without the euro sign that 1160 adds at 0xFE.
        decode, _ = iconv_maps("IBM1160")
        decode.pop(b"\xfe", None)
    elif name == "ibm-latin9":
        # EBCDIC Latin-9: IBM-1047 with the eight characters that ISO 8859-15 changes from Latin-1.
        base, _ = iconv_maps("IBM1047")
        decode = {k: LATIN9_REPLACEMENTS.get(u, u) for k, u in base.items()}
    elif name == "euc-932":
        # Windows' EUC-JP: the Shift-JIS page's repertoire (with its one-way entries) in EUC form.
        return euc_of(*source_maps(manifest[932], manifest))
    else:
        raise RuntimeError("unknown derivation " + name)
    encode = {}
    for key, u in sorted(decode.items()):
        encode.setdefault(u, key)
    return decode, encode


def source_maps(entry, manifest):
    """(decode, encode): byte strings of 1-2 bytes -> UTF-16 unit, and unit -> byte string.
    Byte 0 and U+0000 are left out: they always map to each other. manifest: page -> Page, for
    derivations from another page."""
    multi = entry.page in MULTI_BYTE
    words = set(entry.extra)
    if entry.kind == "python":
        decode, encode = python_maps(entry.name, multi)
    elif entry.kind == "iconv":
        decode, encode = iconv_maps(entry.name, "accents" in words)
    elif entry.kind in ("wine", "wine-patch"):
        decode, encode = wine_maps(entry.name, "bestfit" in words)
    elif entry.kind == "derived":
        decode, encode = derived_maps(entry.name, manifest)
    else:
        raise RuntimeError("unknown source kind " + entry.kind)
    for word in entry.extra:
        if word.startswith("+"):
            # +UUUU=BB: a one-way mapping from a character the page lacks.
            unit, byte = word[1:].split("=")
            encode.setdefault(int(unit, 16), bytes.fromhex(byte))
    decode = {k: u for k, u in decode.items() if u != 0 and k != b"\x00"}
    encode = {u: k for u, k in encode.items() if u != 0 and k != b"\x00"}
    return decode, encode
