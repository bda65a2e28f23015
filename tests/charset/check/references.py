"""Reference mappings of the converted code pages, computed straight from the sources that the
manifest names (Python's codecs, glibc's iconv, Wine's code-page files), with readers of this
check's own: nothing here goes through the table generator.

reference_maps(page) -> (decode, encode): byte strings of 1-2 bytes -> UTF-16 unit and unit -> byte
string, without byte 0 and U+0000."""
import ctypes
import ctypes.util
import os
import struct

NLS_FOLDERS = ["/usr/share/wine/nls", "/usr/lib/wine/nls"]
DOUBLE_BYTE = {932, 936, 949, 950, 1361, 10001, 20261, 20269, 51932, 51936, 51949}


def is_character(u):
    return 0 < u < 0x10000 and not 0xD800 <= u <= 0xDFFF


def read_manifest(path):
    lines = {}
    with open(path, encoding="ascii") as f:
        for raw in f:
            words = raw.split("#", 1)[0].split()
            if words:
                lines[int(words[0])] = (words[1], words[2], words[3:])
    return lines


# --- Python's codecs: every byte, every pair after a byte that does not decode alone, every unit ---

def from_python(codec, double):
    decode, encode = {}, {}
    for b in range(1, 256):
        try:
            decode[bytes([b])] = ord(bytes([b]).decode(codec))
        except (UnicodeDecodeError, TypeError):
            if double:
                for t in range(256):
                    try:
                        text = bytes([b, t]).decode(codec)
                    except UnicodeDecodeError:
                        continue
                    if len(text) == 1:
                        decode[bytes([b, t])] = ord(text)
    for u in range(1, 0x10000):
        if not is_character(u):
            continue
        try:
            data = chr(u).encode(codec)
        except UnicodeEncodeError:
            continue
        if len(data) <= (2 if double else 1):
            encode[u] = data
    return decode, encode


# --- glibc's iconv through its C interface ----------------------------------------------------------

_libc = ctypes.CDLL(ctypes.util.find_library("c"))
_libc.iconv_open.restype = ctypes.c_void_p
_libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
_libc.iconv.restype = ctypes.c_size_t
_libc.iconv.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t),
                        ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t)]
_libc.iconv_close.argtypes = [ctypes.c_void_p]


def _iconv_all(to_code, from_code, inputs):
    """Each input converted on its own; None where any of it fails."""
    cd = _libc.iconv_open(to_code.encode(), from_code.encode())
    if cd in (None, ctypes.c_void_p(-1).value):
        raise RuntimeError("iconv lacks %s -> %s" % (from_code, to_code))
    error = ctypes.c_size_t(-1).value
    results = []
    for data in inputs:
        _libc.iconv(cd, None, None, None, None)
        src = ctypes.create_string_buffer(data, len(data))
        dst = ctypes.create_string_buffer(32)
        sp, sl = ctypes.c_char_p(ctypes.addressof(src)), ctypes.c_size_t(len(data))
        dp, dl = ctypes.c_char_p(ctypes.addressof(dst)), ctypes.c_size_t(32)
        ok = _libc.iconv(cd, ctypes.byref(sp), ctypes.byref(sl), ctypes.byref(dp), ctypes.byref(dl)) != error
        ok = ok and _libc.iconv(cd, None, None, ctypes.byref(dp), ctypes.byref(dl)) != error
        results.append(dst.raw[: 32 - dl.value] if ok else None)
    _libc.iconv_close(cd)
    return results


def from_iconv(name, accents):
    decode, encode = {}, {}
    singles = [bytes([b]) for b in range(1, 256)]
    leads = []
    for data, out in zip(singles, _iconv_all("UTF-16LE", name, singles)):
        if out is None:
            leads.append(data[0])
        elif len(out) == 2 and is_character(struct.unpack("<H", out)[0]):
            decode[data] = struct.unpack("<H", out)[0]
    if accents:
        pairs = [bytes([lead, t]) for lead in leads for t in range(256)]
        for data, out in zip(pairs, _iconv_all("UTF-16LE", name, pairs)):
            if out and len(out) == 2 and is_character(struct.unpack("<H", out)[0]):
                decode[data] = struct.unpack("<H", out)[0]
    units = [u for u in range(1, 0x10000) if is_character(u)]
    for u, out in zip(units, _iconv_all(name, "UTF-16LE", [struct.pack("<H", u) for u in units])):
        if out and len(out) <= (2 if accents else 1):
            encode[u] = out
    return decode, encode


# --- Wine's code-page files ------------------------------------------------------------------------

class NlsFile:
    """A Wine code-page file: header, byte table, lead-byte tables and the table from UTF-16."""

    def __init__(self, name):
        path = next((os.path.join(f, name) for f in NLS_FOLDERS if os.path.exists(os.path.join(f, name))), None)
        if path is None:
            raise RuntimeError("no Wine file " + name)
        raw = open(path, "rb").read()
        w = lambda i: struct.unpack_from("<H", raw, 2 * i)[0]
        header_words = w(0)
        self.char_size = w(2)
        self.default_code = w(3)
        self.default_unit = w(4)
        at = header_words
        to_page_at = at + w(at) + 1
        self.bytes = [w(at + 1 + b) for b in range(256)]
        at += 257
        at += 1 + (256 if w(at) else 0)
        self.leads = {}
        if w(at):
            base = at + 1
            for lead in range(256):
                offset = w(base + lead)
                if offset:
                    self.leads[lead] = [w(base + offset + t) for t in range(256)]
        if self.char_size == 1:
            self.to_page = list(raw[2 * to_page_at: 2 * to_page_at + 65536])
        else:
            self.to_page = [w(to_page_at + u) for u in range(65536)]

    def code_bytes(self, code):
        return bytes([code]) if code < 0x100 else bytes([code >> 8, code & 0xFF])

    def maps(self, best_fit):
        decode = {}
        for b in range(1, 256):
            keys = [(bytes([b, t]), self.leads[b][t]) for t in range(256)] if b in self.leads else [(bytes([b]), self.bytes[b])]
            for key, u in keys:
                # The default unit means "unmapped" unless the code is where that unit is written.
                if is_character(u) and (u != self.default_unit or self.code_bytes(self.to_page[u]) == key):
                    decode[key] = u
        encode = {}
        unmapped = self.code_bytes(self.default_code)
        for u in range(1, 0x10000):
            if not is_character(u):
                continue
            key = self.code_bytes(self.to_page[u])
            if decode.get(key) == u or (best_fit and key != unmapped and key in decode):
                encode[u] = key
        return decode, encode


# --- Derivations -------------------------------------------------------------------------------------

def euc_row_cell_to_sjis(e1, e2):
    """JIS X 0208 row and cell of an EUC pair, written as Shift-JIS."""
    row, cell = e1 - 0xA0, e2 - 0xA0
    lead = (row + 1) // 2 + (0x80 if row <= 62 else 0xC0)
    if row % 2:
        trail = cell + 0x3F + (1 if cell >= 64 else 0)
    else:
        trail = cell + 0x9E
    return bytes([lead, trail])


def euc_of_932(sjis_decode, sjis_encode):
    euc_of_sjis = {}
    for e1 in range(0xA1, 0xFF):
        for e2 in range(0xA1, 0xFF):
            euc_of_sjis[euc_row_cell_to_sjis(e1, e2)] = bytes([e1, e2])
    for k in range(0xA1, 0xE0):
        euc_of_sjis[bytes([k])] = bytes([0x8E, k])
    for b in range(1, 0x80):
        euc_of_sjis[bytes([b])] = bytes([b])
    decode = {euc_of_sjis[k]: u for k, u in sjis_decode.items() if k in euc_of_sjis}
    encode = {}
    for u, k in sjis_encode.items():
        if k in euc_of_sjis:
            encode[u] = euc_of_sjis[k]
        else:
            twins = sorted(euc_of_sjis[t] for t, v in sjis_decode.items() if v == u and t in euc_of_sjis)
            if twins:
                encode[u] = twins[0]
    return decode, encode


def derive(name, manifest):
    if name == "euc-932":
        return euc_of_932(*reference_maps(932, manifest))
    if name == "ia5-irv":
        decode = {bytes([b]): b for b in range(1, 0x80)}
        decode[b"$"], decode[b"~"] = 0xA4, 0x203E
    elif name == "ibm-thai":
        decode, _ = from_iconv("IBM1160", False)
        del decode[b"\xfe"]
    elif name == "ibm-latin9":
        base, _ = from_iconv("IBM1047", False)
        swap = {0xA4: 0x20AC, 0xA6: 0x160, 0xA8: 0x161, 0xB4: 0x17D, 0xB8: 0x17E, 0xBC: 0x152, 0xBD: 0x153, 0xBE: 0x178}
        decode = {k: swap.get(u, u) for k, u in base.items()}
    else:
        raise RuntimeError("unknown derivation " + name)
    encode = {}
    for k in sorted(decode):
        encode.setdefault(decode[k], k)
    return decode, encode


_cache = {}


def reference_maps(page, manifest):
    if page in _cache:
        return _cache[page]
    kind, name, extra = manifest[page]
    if kind == "python":
        decode, encode = from_python(name, page in DOUBLE_BYTE)
    elif kind == "iconv":
        decode, encode = from_iconv(name, "accents" in extra)
    elif kind in ("wine", "wine-patch"):
        decode, encode = NlsFile(name).maps("bestfit" in extra)
    else:
        decode, encode = derive(name, manifest)
    for word in extra:
        if word.startswith("+"):
            unit, code = word[1:].split("=")
            encode.setdefault(int(unit, 16), bytes.fromhex(code))
    _cache[page] = ({k: u for k, u in decode.items() if k != b"\0"}, encode)
    return _cache[page]
