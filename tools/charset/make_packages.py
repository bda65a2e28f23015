#!/usr/bin/env python3
"""Makes the packed mapping tables of the character-set converter and the C++ source that carries
them. Each page's mapping comes from the source its line in manifest.txt names. Every package is
unpacked again by an independent reader and indexed first-match-wins; the build fails unless that
gives back exactly the intended mapping.

usage: make_packages.py MANIFEST OUTPUT.cpp"""
import base64
import bz2
import struct
import sys

sys.dont_write_bytecode = True
import sources  # noqa: E402

MAGIC = struct.pack("<I", 0xB394A7E1)
SINGLE_BYTE_PAGES = [
    37, 437, 500, 708, 720, 737, 775, 850, 852, 855, 857, 858, 860, 861, 862, 863, 864, 865, 866, 869, 870, 874,
    875, 1026, 1047, 1140, 1141, 1142, 1143, 1144, 1145, 1146, 1147, 1148, 1149, 1250, 1251, 1252, 1253, 1254,
    1255, 1256, 1257, 1258, 10000, 10004, 10005, 10006, 10007, 10010, 10017, 10021, 10029, 10079, 10081, 10082,
    20105, 20106, 20107, 20108, 20127, 20273, 20277, 20278, 20280, 20284, 20285, 20290, 20297,
    20420, 20423, 20424, 20838, 20866, 20871, 20880, 20905, 20924, 21025, 21866, 28591, 28592, 28593, 28594,
    28595, 28596, 28597, 28598, 28599, 28600, 28601, 28603, 28605, 38598]
ALL_PAGES = sorted(SINGLE_BYTE_PAGES + sorted(sources.MULTI_BYTE))
TO_BUCKETS = {932: 7669, 949: 7669, 51949: 7669, 1361: 7669, 936: 7649, 950: 7649, 51936: 7649,
              51932: 4919, 10001: 4919, 20261: 269, 20269: 269}


def fail(message):
    sys.stderr.write("make_packages: %s\n" % message)
    sys.exit(1)


# --- Building a table ----------------------------------------------------------------------------

def is_ascii_compatible(decode, encode):
    return all(decode.get(bytes([b])) == b and encode.get(b) == bytes([b]) for b in range(1, 128))


def ordered_records(decode, encode, ascii):
    """(key, unit) records: round-trip pairs first, then decode-only, then encode-only, so that the
    first match in either direction is the intended one."""
    def bypassed(key, unit):
        return ascii and len(key) == 1 and key[0] < 0x80 and unit < 0x80

    round_trip = sorted((k, u) for k, u in decode.items() if encode.get(u) == k and not bypassed(k, u))
    decode_only = sorted((k, u) for k, u in decode.items() if encode.get(u) != k)
    encode_only = sorted((k, u) for u, k in encode.items() if decode.get(k) != u and not bypassed(k, u))
    return round_trip + decode_only + encode_only


def delta_section(records, width):
    """Records as running deltas; a record whose key repeats the running one is preceded by a
    repeat of another record already inserted (harmless, since the first match wins)."""
    mask = 0xFF if width == 1 else 0xFFFF
    out = bytearray()
    code = unit = 0
    seen = []

    def put(k, u):
        nonlocal code, unit
        out.extend(((k - code) & mask).to_bytes(width, "little"))
        out.extend(struct.pack("<H", (u - unit) & 0xFFFF))
        code, unit = k, u
        seen.append((k, u))

    for key, u in records:
        k = int.from_bytes(key, "big")
        if k == code:
            filler = next((s for s in seen if s[0] != code), None)
            if filler is None:
                fail("no record to step over a repeated key")
            put(*filler)
        put(k, u)
    out.extend(b"\x00" * width)
    return bytes(out)


def delta_table(decode, encode, extras=()):
    """extras: (key, unit) records put last, where they never win a lookup of this page."""
    ascii = is_ascii_compatible(decode, encode)
    records = ordered_records(decode, encode, ascii) + list(extras)
    singles = [(k, u) for k, u in records if len(k) == 1]
    doubles = [(k, u) for k, u in records if len(k) == 2]
    return (b"a" if ascii else b"n") + b"u" + delta_section(singles, 1) + delta_section(doubles, 2)


def carried_maps(decode, encode):
    """What a table carries: both directions read the same records, so a one-way mapping also
    serves the other direction when that direction has nothing of its own for it."""
    carried_decode = dict(decode)
    for u, k in encode.items():
        carried_decode.setdefault(k, u)
    carried_encode = dict(encode)
    for k, u in sorted(decode.items()):
        carried_encode.setdefault(u, k)
    return carried_decode, carried_encode


def package_text(table, plain=False):
    if plain:
        return "x" + base64.b64encode(table).decode("ascii")
    payload = MAGIC + struct.pack("<I", len(table)) + bz2.compress(table, 9)
    return "c" + base64.b64encode(payload).decode("ascii")


# --- Reading a package back (independent of the C++ reader) ---------------------------------------

class Index:
    """First-match-wins view of a table: the entries in insertion order, and the bucket layout
    where it matters (the inverted Mac Japanese table is built bucket by bucket)."""

    def __init__(self, buckets=1):
        self.ascii = False
        self.buckets = buckets
        self.entries = []

    def insert(self, key, value):
        self.entries.append((key, value))

    def remove(self, key):
        self.entries = [(k, v) for k, v in self.entries if k != key]

    def first(self):
        found = {}
        for k, v in self.entries:
            found.setdefault(k, v)
        return found

    def inverted(self, buckets):
        def bucket(key):
            return int.from_bytes(key.ljust(4, b"\0")[:4], "little") % self.buckets
        ordered = sorted(enumerate(self.entries), key=lambda e: (bucket(e[1][0]), e[0]))
        result = Index(buckets)
        for _, (k, v) in ordered:
            result.insert(v, k)
        return result


def read_package(text, index, to_page):
    data = base64.b64decode(text[1:])
    if text[0] != "x":
        if data[:4] != MAGIC:
            fail("bad magic")
        size = struct.unpack("<I", data[4:8])[0]
        data = bz2.decompress(data[8:])
        if len(data) != size:
            fail("unpacked size differs")
    index.ascii = data[0:1] == b"a"
    pos = 2
    if data[1:2] == b"d":
        if not to_page:
            return
        while True:
            u = data[pos: pos + 2]
            pos += 2
            if u == b"\0\0":
                break
            index.remove(u)
        while data[pos] != 0:
            index.remove(data[pos + 1: pos + 3])
            index.insert(data[pos + 1: pos + 3], data[pos: pos + 1])
            pos += 3
        pos += 1
        while data[pos: pos + 2] != b"\0\0":
            index.remove(data[pos + 2: pos + 4])
            index.insert(data[pos + 2: pos + 4], data[pos: pos + 2])
            pos += 4
        return
    byte = unit = 0
    while data[pos] != 0:
        byte = (byte + data[pos]) & 0xFF
        unit = (unit + struct.unpack("<H", data[pos + 1: pos + 3])[0]) & 0xFFFF
        pos += 3
        key, value = bytes([byte]), struct.pack("<H", unit)
        index.insert(value, key) if to_page else index.insert(key, value)
    pos += 1
    code = unit = 0
    while True:
        delta = struct.unpack("<H", data[pos: pos + 2])[0]
        if delta == 0:
            break
        code = (code + delta) & 0xFFFF
        unit = (unit + struct.unpack("<H", data[pos + 2: pos + 4])[0]) & 0xFFFF
        pos += 4
        key, value = struct.pack(">H", code), struct.pack("<H", unit)
        index.insert(value, key) if to_page else index.insert(key, value)


def rebuilt_maps(page, packages, patch=None):
    """decode and encode maps as the converter will see them."""
    to_index = Index(TO_BUCKETS.get(page, 269))
    read_package(packages, to_index, True)
    if patch:
        read_package(patch, to_index, True)
        from_index = to_index.inverted(4919)
        from_index.ascii = False
    else:
        from_index = Index()
        read_package(packages, from_index, False)
    decode = {k: struct.unpack("<H", v)[0] for k, v in from_index.first().items() if len(v) == 2}
    if from_index.ascii:
        decode.update({bytes([b]): b for b in range(1, 128)})
    encode = {struct.unpack("<H", k)[0]: v for k, v in to_index.first().items()}
    if to_index.ascii:
        encode.update({u: bytes([u]) for u in range(1, 128)})
    decode = {k: u for k, u in decode.items() if u != 0 and k != b"\x00"}
    encode = {u: k for u, k in encode.items() if u != 0 and k != b"\x00"}
    return decode, encode


# --- Mac Japanese: Shift-JIS plus a patch --------------------------------------------------------

def mac_japanese_extras(sjis_maps, mac_decode, mac_encode):
    """Records for the Shift-JIS package that serve Mac Japanese alone: a code that Mac Japanese
    decodes one way only (8791 as U+5927 while U+5927 is written 91E5) can only come from a second
    entry of its unit in the page-direction table, which the patch cannot add (it keeps one entry per
    unit). Put after everything else, where Shift-JIS already has an entry for both the code and the
    unit, such a record never wins a Shift-JIS lookup in either direction."""
    sjis_decode, sjis_encode = sjis_maps
    extras = []
    for key, u in sorted(mac_decode.items()):
        if key[0] < 0x80 or u < 0x80 or mac_encode.get(u) == key:
            continue
        if key in sjis_decode and u in sjis_encode and sjis_decode[key] != u and sjis_encode[u] != key \
                and len(key) >= len(sjis_encode[u]):
            extras.append((key, u))
    return extras


def mac_japanese_patch(sjis_package, mac_decode, wanted_encode, ascii):
    """The patch that turns the Shift-JIS page-direction table into Mac Japanese's: every unit whose
    entries differ from [its Mac Japanese code, then codes that Mac Japanese decodes to it] is set to
    its code alone (or removed). The decoding table is the inverse, so a one-way entry that would take
    the place of a code's own character there is left out."""
    index = Index(4919)
    read_package(sjis_package, index, True)
    entries = {}
    for k, v in index.entries:
        entries.setdefault(struct.unpack("<H", k)[0], []).append(v)
    wanted = dict(wanted_encode)
    while True:
        removals, singles, doubles = bytearray(), bytearray(), bytearray()
        for u in range(1, 0x10000):
            want = wanted.get(u)
            have = entries.get(u, [])
            first_right = have[:1] == [want] if want else not have
            # ASCII entries are written out: the inverted table that decodes this page has no bypass.
            if first_right and all(mac_decode.get(k) == u for k in have[1:]) and not (u < 0x80 and want):
                continue
            if want is None:
                removals += struct.pack("<H", u)
            elif len(want) == 1:
                singles += want + struct.pack("<H", u)
            else:
                doubles += want + struct.pack("<H", u)
        table = (b"a" if ascii else b"n") + b"d" + removals + b"\0\0" + singles + b"\0" + doubles + b"\0\0"
        patch = package_text(table)
        got_decode, _ = rebuilt_maps(10001, sjis_package, patch)
        displaced = [u for u, k in wanted.items()
                     if mac_decode.get(k) != u and got_decode.get(k) == u and k in mac_decode]
        if not displaced:
            return patch, wanted
        for u in displaced:
            del wanted[u]


# --- Output --------------------------------------------------------------------------------------

def pieces_of(text, multi):
    if not multi:
        return [text]
    count = min(84, max(44, (len(text) + 1999) // 2000))
    size = (len(text) + count - 1) // count
    return [text[i: i + size] for i in range(0, len(text), size)]


def write_source(path, packages):
    lines = ["// Made by the build from the code-page sources; not edited by hand.",
             '#include "charset/CodePagePackages.h"', "", "namespace {", ""]
    entries = []
    for name, page, text in packages:
        parts = pieces_of(text, page in sources.MULTI_BYTE)
        lines.append("const char* const %s[] = {" % name)
        lines.extend('    "%s",' % p for p in parts)
        lines.append("};")
        entries.append("    {%d, %d, %s}," % (page, len(parts), name))
    lines += ["", "const CodePagePackage kPackages[] = {"] + entries[:-1] + ["};", "",
              "const CodePagePackage kMacJapanesePatch = " + entries[-1].strip().rstrip(",") + ";", "",
              "} // namespace", "",
              "const CodePagePackage* findCodePagePackage(int page)", "{",
              "    if (page == 10001)", "        page = 932;",
              "    for (const CodePagePackage& p : kPackages)", "        if (p.page == page)",
              "            return &p;", "    return nullptr;", "}", "",
              "const CodePagePackage* findMacJapanesePatch() { return &kMacJapanesePatch; }", ""]
    with open(path, "w", encoding="ascii") as f:
        f.write("\n".join(lines))


def main():
    if len(sys.argv) != 3:
        fail(__doc__)
    manifest = {e.page: e for e in sources.load_manifest(sys.argv[1])}
    missing = [p for p in ALL_PAGES if p not in manifest]
    if missing:
        fail("manifest lacks pages %s" % missing)
    packages = []
    sjis = None
    mac_decode, mac_encode = sources.source_maps(manifest[10001], manifest)
    for page in ALL_PAGES:
        if page == 10001:
            continue
        decode, encode = sources.source_maps(manifest[page], manifest)
        extras = []
        if page == 932:
            extras = mac_japanese_extras(carried_maps(decode, encode), mac_decode, mac_encode)
        table = delta_table(decode, encode, extras)
        text = package_text(table, plain=(page == 20127))
        got_decode, got_encode = rebuilt_maps(page, text)
        decode, encode = carried_maps(decode, encode)
        if (got_decode, got_encode) != (decode, encode):
            bad = sorted(set(got_decode.items()) ^ set(decode.items()))[:5]
            bad_enc = sorted(set(got_encode.items()) ^ set(encode.items()))[:5]
            fail("page %d does not rebuild: %s %s" % (page, bad, bad_enc))
        if page == 20127 and text != "xYXUgoAAAAAA=":
            fail("US-ASCII package is %s" % text)
        if page == 932:
            sjis = text
        packages.append(("kPage%d" % page, page, text))

    patch, kept_encode = mac_japanese_patch(sjis, mac_decode, mac_encode, is_ascii_compatible(mac_decode, mac_encode))
    _, got_encode = rebuilt_maps(10001, sjis, patch)
    if got_encode != kept_encode:
        fail("Mac Japanese patch does not rebuild its encoding")
    packages.append(("kMacJapanesePatchPieces", 10001, patch))
    write_source(sys.argv[2], packages)


if __name__ == "__main__":
    main()
