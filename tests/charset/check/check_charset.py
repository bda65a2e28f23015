#!/usr/bin/env python3
"""Agreement check of the character-set converter against independent references: runs the dump
program under the emulator and compares what it did, in both directions of every page, with the
sources that the manifest names read by this check's own readers (references.py), Python's base64
and quopri, and Unicode's case data.

usage: check_charset.py EMULATOR DUMP_EXE TOOL_DIR WORK_DIR"""
import base64
import os
import quopri
import random
import struct
import subprocess
import sys
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
EMULATOR, DUMP, TOOL_DIR, WORK = sys.argv[1:5]
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True
import references  # noqa: E402

SINGLE_BYTE = [37, 437, 500, 708, 720, 737, 775, 850, 852, 855, 857, 858, 860, 861, 862, 863, 864, 865, 866, 869,
               870, 874, 875, 1026, 1047, 1140, 1141, 1142, 1143, 1144, 1145, 1146, 1147, 1148, 1149, 1250, 1251,
               1252, 1253, 1254, 1255, 1256, 1257, 1258, 10000, 10004, 10005, 10006, 10007, 10010, 10017, 10021,
               10029, 10079, 10081, 10082, 20105, 20106, 20107, 20108, 20127, 20273, 20277, 20278, 20280,
               20284, 20285, 20290, 20297, 20420, 20423, 20424, 20838, 20866, 20871, 20880, 20905, 20924,
               21025, 21866, 28591, 28592, 28593, 28594, 28595, 28596, 28597, 28598, 28599, 28603, 28605, 38598]
MULTI_BYTE = [932, 936, 949, 950, 1361, 10001, 20261, 20269, 51932, 51936, 51949]
failures = []


def fail(message):
    failures.append(message)


def run_dump(*args):
    result = subprocess.run([EMULATOR, DUMP] + list(args), cwd=WORK, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, timeout=600)
    if result.returncode != 0:
        sys.exit("dump %s failed (%d): %s" % (args[0], result.returncode, result.stdout.decode(errors="replace")))


def read_lines(name):
    with open(os.path.join(WORK, name), encoding="ascii") as f:
        return [l.rstrip("\n") for l in f]


def write_lines(name, lines):
    with open(os.path.join(WORK, name), "w", encoding="ascii") as f:
        f.write("".join(l + "\n" for l in lines))


# --- Tables --------------------------------------------------------------------------------------

MAC_ARABIC_LOWERED = set(range(0xA0, 0xA5)) | set(range(0xA6, 0xAC)) | set(range(0xAD, 0xBF)) - {0xBB} \
    | set(range(0xDB, 0xE0)) | set(range(0xFB, 0xFE))


def mac_arabic_byte(b):
    if b in MAC_ARABIC_LOWERED and b != 0xBB:
        return b - 0x80
    return 0xA0 if b == 0x81 else b


def records(data, count, pos):
    out = []
    for _ in range(count):
        ok, n = data[pos], data[pos + 1]
        out.append((bool(ok), data[pos + 2: pos + 2 + n]))
        pos += 2 + n
    return out, pos


def units(values):
    return b"".join(struct.pack("<H", u) for u in values)


def load_known():
    known = set()
    with open(os.path.join(HERE, "known_differences.txt"), encoding="ascii") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                known.add(line)
    return known


def check_tables():
    run_dump("tables", ".")
    manifest = references.read_manifest(os.path.join(TOOL_DIR, "manifest.txt"))
    known = load_known()
    seen = set()
    for page in SINGLE_BYTE + MULTI_BYTE:
        decode, encode = references.reference_maps(page, manifest)
        data = open(os.path.join(WORK, "page_%d.bin" % page), "rb").read()
        singles, pos = records(data, 256, 0)
        multi = page in MULTI_BYTE
        pairs = []
        if multi:
            pairs, pos = records(data, 128 * 256, pos)
        encodes, pos = records(data, 65536, pos)

        def single(b):
            if b == 0:
                return True, b"\0\0"
            u = decode.get(bytes([b]))
            return (True, units([u])) if u else (False, b"")

        def report(kind, key, got, want):
            line = "%d %s %s %s %s" % (page, kind, key, got[1].hex() + ("" if got[0] else "!"),
                                       want[1].hex() + ("" if want[0] else "!"))
            if line in known:
                seen.add(line)
            else:
                fail(line)

        for b in range(256):
            want = single(mac_arabic_byte(b) if page == 10004 else b)
            if singles[b] != want:
                report("byte", "%02x" % b, singles[b], want)
        for i, got in enumerate(pairs):
            lead, trail = 0x80 + i // 256, i % 256
            u = decode.get(bytes([lead, trail]))
            if u:
                want = (True, units([u]))
            else:
                a, b = single(lead), single(trail)
                want = (a[0] and b[0], a[1] + b[1])
            if got != want:
                report("pair", "%02x%02x" % (lead, trail), got, want)
        for u in range(65536):
            v = u
            if page in (1256, 28596) and (0x660 <= u <= 0x669 or 0x6F0 <= u <= 0x6F9):
                v = 0x30 + (u & 0xF)
            if v == 0:
                want = (True, b"\0")
            else:
                k = encode.get(v)
                want = (True, k) if k else (False, b"")
            if encodes[u] != want:
                report("unit", "%04x" % u, encodes[u], want)
    for line in sorted(known - seen):
        fail("listed difference no longer seen: " + line)


# --- Conversions ---------------------------------------------------------------------------------

def random_text(rng, alphabet, length):
    return "".join(rng.choice(alphabet) for _ in range(length))


def encodable(c, codec):
    try:
        c.encode(codec)
        return True
    except UnicodeEncodeError:
        return False


def check_conversions():
    rng = random.Random(6)
    bmp = [chr(u) for u in range(0x20, 0xD800)] + [chr(u) for u in range(0xE000, 0xFFFE)]
    astral = [chr(u) for u in (0x1F600, 0x10000, 0x10FFFF, 0x2A6D6, 0x1D11E)]
    mixed = list("abc \r\n<>&+-!~") * 20 + bmp[:2000] + astral * 30 + rng.sample(bmp, 3000)
    cases = []  # (from, to, input bytes, expected bytes or a check function, expected result)

    def add(src, dst, data, want, ok=True):
        cases.append((src, dst, data, want, ok))

    for _ in range(40):
        t = random_text(rng, mixed, rng.randint(0, 300))
        forms = {1200: t.encode("utf-16-le"), 1201: t.encode("utf-16-be"), 65001: t.encode("utf-8"),
                 65005: t.encode("utf-32-le"), 65006: t.encode("utf-32-be")}
        for src, a in forms.items():
            for dst, b in forms.items():
                if src != dst:
                    add(src, dst, a, b)
        # UTF-7: our encoding must decode to the text; Python's encoding must decode back with us.
        add(1200, 65000, forms[1200], lambda out, t=t: out.decode("utf-7") == t)
        add(65000, 1200, t.encode("utf-7"), forms[1200])
        add(65000, 65001, t.encode("utf-7"), forms[65001])

    latin = [chr(u) for u in range(0x20, 0x7F)] + [bytes([b]).decode("cp1252") for b in range(0xA0, 0x100)] + list("€‚ƒ„…†‡")
    # Windows writes the IBM extension kanji with their own FA-FC codes, Python's codec with their
    # NEC-selected twins: the random texts keep to the codes below both (the tables check the rest).
    sjis = [c for c in bmp if len(c.encode("cp932", "ignore")) == 2 and c.encode("cp932").decode("cp932") == c
            and c.encode("cp932")[0] < 0xED]
    gbk = [c for c in bmp[:0x9FA5] if len(c.encode("gbk", "ignore")) == 2]
    jis = [c for c in sjis if (0x3000 <= ord(c) < 0x3100 or 0x4E00 <= ord(c) <= 0x9FA0) and encodable(c, "iso2022_jp")]
    ksc = [c for c in bmp if 0xAC00 <= ord(c) <= 0xD7A3 and len(c.encode("euc_kr", "ignore")) == 2][:2000]
    ascii_words = list("The quick brown fox, 12 + 3 = 15.\r\n")
    for _ in range(30):
        t = random_text(rng, latin, rng.randint(1, 400))
        add(1252, 65001, t.encode("cp1252"), t.encode("utf-8"))
        add(65001, 1252, t.encode("utf-8"), t.encode("cp1252"))
        t = random_text(rng, sjis + ascii_words * 30, rng.randint(1, 400))
        add(932, 1200, t.encode("cp932"), t.encode("utf-16-le"))
        add(1200, 932, t.encode("utf-16-le"), t.encode("cp932"))
        t = random_text(rng, gbk + ascii_words * 30, rng.randint(1, 400))
        add(936, 65001, t.encode("gbk"), t.encode("utf-8"))
        t = random_text(rng, jis + ascii_words * 10, rng.randint(1, 200))
        add(50220, 65001, t.encode("iso2022_jp"), t.encode("utf-8"))
        add(65001, 50220, t.encode("utf-8"), lambda out, t=t: out.decode("iso2022_jp") == t)
        t = random_text(rng, ksc + ascii_words * 10, rng.randint(1, 200))
        add(50225, 65001, t.encode("iso2022_kr"), t.encode("utf-8"))
        add(65001, 50225, t.encode("utf-8"), lambda out, t=t: out.decode("iso2022_kr") == t)
    # Half-width katakana are widened on the way to ISO-2022-JP; Python reads them as full-width.
    kana = "ｱｲｳｴｵｶﾞﾊﾟｳﾞ ｶﾞｷﾞ"
    add(1200, 50220, kana.encode("utf-16-le"),
        lambda out: out.decode("iso2022_jp") == "アイウエオガパヴ ガギ")
    # Bad input: replaced or dropped, and reported.
    add(65001, 1200, b"a\xffb\xc3", "a\0b\0".encode("latin-1"), False)
    add(1200, 65001, "\ud800x".encode("utf-16-le", "surrogatepass"), "\ufffdx".encode("utf-8"), False)
    add(65005, 65001, struct.pack("<I", 0x110000) + b"A\0\0\0", "\ufffdA".encode("utf-8"), False)
    add(65001, 65005, "é".encode("utf-8") + b"\xff", "é".encode("utf-32-le"), False)

    lines = []
    for src, dst, data, _, _ in cases:
        lines.append("%d %d %s" % (src, dst, data.hex()))
    write_lines("convert_in.txt", lines)
    run_dump("convert", "convert_in.txt", "convert_out.txt")
    for (src, dst, data, want, ok), line in zip(cases, read_lines("convert_out.txt")):
        hexout, result = (line.split(" ") + [""])[:2]
        out = bytes.fromhex(hexout)
        good = want(out) if callable(want) else out == want
        if not good or (result == "1") != ok:
            fail("convert %d -> %d of %s gave %s %s" % (src, dst, data[:40].hex(), hexout[:80], result))


# --- Names, case mapping, base64, quoted-printable -------------------------------------------------

def check_names():
    entries = []
    with open(os.path.join(HERE, "charset_names.txt"), encoding="ascii") as f:
        for line in f:
            if not line.startswith("#"):
                name, page = line.rstrip("\n").split("\t")
                entries.append((name, int(page)))
    if len(entries) != 413:
        fail("name list holds %d names" % len(entries))
    cases = []
    for name, page in entries:
        cases.append((name, page))
        cases.append((" \t" + name.upper().replace("-", "_") + "\r\n", page))
    cases += [("us", 0), ("ansi1", 0), ("utf-9", 0), ("ANSI", 1252), ("", 0), ("ut", 0)]
    write_lines("names_in.txt", [n.encode("latin-1").hex() for n, _ in cases])
    run_dump("names", "names_in.txt", "names_out.txt")
    for (name, page), got in zip(cases, read_lines("names_out.txt")):
        if int(got) != page:
            fail("name %r gave %s, not %d" % (name, got, page))


LOWER_RANGES = ("0041-005A 00C0-00DE 0100-0136 0139-0147 014A-017D 0181-018B 018E-0198 019C-01A9 01AC-01B8 "
                "01BC 01C4 01C7 01CA 01CD-01DB 01DE-01EE 01F1 01F4-0232 023A-023E 0241-024E 0386-03AB "
                "03D8-03EE 03F4 03F7-03FA 03FD-042F 0460-0480 048A-04CD 04D0-0512 0531-0556 10A0-10C5 "
                "1E00-1E94 1EA0-1EF8 1F08-1F0F 1F18-1F1D 1F28-1F2F 1F38-1F3F 1F48-1F4D 1F59-1F5F 1F68-1F6F "
                "1FB8-1FBB 1FC8-1FCB 1FD8-1FDB 1FE8-1FEC 1FF8-1FFB 2126 212A-212B 2132 2183 2C00-2C2E "
                "2C60-2C64 2C67-2C6B 2C75 2C80-2CE2 FF21-FF3A")


def check_lower():
    run_dump("lower", "lower.bin")
    got = struct.unpack("<65536i", open(os.path.join(WORK, "lower.bin"), "rb").read())
    mapped = set()
    for r in LOWER_RANGES.split():
        a, b = (r.split("-") + [r])[:2]
        mapped.update(range(int(a, 16), int(b, 16) + 1))
    for u in range(65536):
        want = u
        if 0x41 <= u <= 0x5A or (0xC0 <= u <= 0xDE and u != 0xD7):
            want = u + 0x20
        elif u in mapped and unicodedata.category(chr(u)) == "Lu":
            lower = chr(u).lower()
            want = 0x69 if u == 0x130 else (ord(lower) if len(lower) == 1 else u)
        if got[u] != want:
            fail("toLowerCodePoint(%04x) = %04x, not %04x" % (u, got[u], want))


def check_coding():
    rng = random.Random(3)
    blobs = [bytes(rng.randrange(256) for _ in range(rng.randint(1, 500))) for _ in range(60)]
    texts = [base64.encodebytes(b).decode("ascii").replace("\n", "\r\n") for b in blobs[:30]]
    texts += [base64.b64encode(b).decode("ascii") for b in blobs[30:]]
    write_lines("b64_in.txt", [t.encode("ascii").hex() for t in texts])
    run_dump("base64", "b64_in.txt", "b64_out.txt")
    for blob, got in zip(blobs, read_lines("b64_out.txt")):
        if bytes.fromhex(got) != blob:
            fail("base64 of %s decoded as %s" % (blob[:20].hex(), got[:40]))

    pieces = [b"From here", b".", b"\r\n", b" ", b"\t", b"=", b"abc", b"x" * 90, b"\xc3\xa9", b"\x00\x7f",
              b"From", b"\r", b"\n", b"end "]
    datas = [b"".join(rng.choice(pieces) for _ in range(rng.randint(1, 60))) for _ in range(200)]
    write_lines("qp_in.txt", [d.hex() for d in datas])
    run_dump("qp", "qp_in.txt", "qp_out.txt")
    for data, got in zip(datas, read_lines("qp_out.txt")):
        text = bytes.fromhex(got)
        if quopri.decodestring(text) != data:
            fail("quoted-printable of %r does not decode back: %r" % (data[:60], text[:80]))
        if any(len(line) > 76 for line in text.split(b"\r\n")):
            fail("quoted-printable line too long for %r" % data[:60])


def main():
    os.makedirs(WORK, exist_ok=True)
    check_names()
    check_lower()
    check_coding()
    check_conversions()
    check_tables()
    for f in failures[:200]:
        print(f)
    if os.environ.get("CHARSET_WRITE_DIFFERENCES"):
        write_lines("differences.txt", failures)
    print("%d differences" % len(failures))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
