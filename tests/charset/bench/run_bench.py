#!/usr/bin/env python3
"""Helper of run_bench.sh: writes the benchmark's input files and prints the comparison.
  run_bench.py data WORK_DIR           writes the files (real-language text, every double-byte character)
  run_bench.py report OURS ANCHORS     prints ours beside iconv and ICU from the two programs' outputs
The text is made of the translated messages that Debian's packages install under /usr/share/locale,
drawn in a seeded random order until each file holds 20 MB, so no block repeats."""
import glob
import os
import random
import struct
import sys

SIZE = 20 * 1024 * 1024
LOCALES = "/usr/share/locale"


def catalogue_texts(language):
    """Every translated message of the language's message catalogues (.mo files)."""
    texts = []
    for path in sorted(glob.glob(os.path.join(LOCALES, language, "LC_MESSAGES", "*.mo"))):
        data = open(path, "rb").read()
        if len(data) < 28:
            continue
        order = "<" if struct.unpack("<I", data[:4])[0] == 0x950412DE else ">"
        count, _, translations = struct.unpack(order + "3I", data[8:20])
        for i in range(count):
            length, offset = struct.unpack(order + "2I", data[translations + 8 * i:translations + 8 * i + 8])
            for part in data[offset:offset + length].split(b"\0"):
                try:
                    text = part.decode("utf-8").strip()
                except UnicodeDecodeError:
                    continue
                if text:
                    texts.append(text)
    return texts


def encodable(texts, codec):
    out = []
    for t in texts:
        try:
            t.encode(codec)
            out.append(t)
        except UnicodeEncodeError:
            pass
    return out


def double_byte_characters(codec):
    """Every character the code page writes with two bytes, once (all of its kanji or hanzi)."""
    chars = set()
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0xFF):
            try:
                c = bytes([lead, trail]).decode(codec)
            except UnicodeDecodeError:
                continue
            if len(c) == 1 and len(c.encode(codec)) == 2:
                chars.add(c)
    return sorted(chars)


def fill(rng, lines, codec, extra=None):
    """Random messages until SIZE bytes in the codec; with extra, every 20th line is a run of 40
    characters taken in turn from that list, so the whole list is covered again and again."""
    parts, size, at, n = [], 0, 0, 0
    while size < SIZE:
        if extra and n % 20 == 19:
            line = "".join(extra[(at + k) % len(extra)] for k in range(40))
            at = (at + 40) % len(extra)
        else:
            line = rng.choice(lines)
        n += 1
        parts.append(line)
        size += len(line.encode(codec)) + 1
    return "\n".join(parts)


def write(work, name, text, codec):
    with open(os.path.join(work, name), "wb") as f:
        f.write(text.encode(codec))


def make_data(work):
    os.makedirs(work, exist_ok=True)
    rng = random.Random(20)
    latin = encodable(sum((catalogue_texts(l) for l in ("fr", "de", "es", "it", "pt_BR")), []), "cp1252")
    japanese = encodable(catalogue_texts("ja"), "cp932")
    chinese = encodable(catalogue_texts("zh_CN"), "gbk")
    for what, texts in (("Western European", latin), ("Japanese", japanese), ("Chinese", chinese)):
        if sum(len(t) for t in texts) < 200000:
            sys.exit("too little %s text under %s to make realistic input" % (what, LOCALES))

    text = fill(rng, latin, "utf-8")
    write(work, "latin.1252", text, "cp1252")
    write(work, "latin.utf8", text, "utf-8")
    for page, codec, texts, suffix in ((932, "cp932", japanese, "932"), (936, "gbk", chinese, "gbk")):
        every = double_byte_characters(codec)
        text = fill(rng, texts, codec, every)
        write(work, "text." + suffix, text, codec)
        shuffled = []
        while sum(map(len, shuffled)) * 2 < SIZE:
            block = list(every)
            rng.shuffle(block)
            shuffled.append("".join(block))
        text = "".join(shuffled)
        write(work, "all." + suffix, text, codec)
        if page == 932:
            write(work, "text.932.utf16", fill(rng, texts, "utf-16-le", every), "utf-16-le")
            write(work, "all.932.utf16", text, "utf-16-le")
    # ISO-2022-JP both ways, on Japanese text that it can hold (no half-width kana or vendor extras).
    text = fill(rng, encodable(japanese, "iso2022_jp"), "iso2022_jp")
    write(work, "text.2022jp", text, "iso2022_jp")
    write(work, "text.2022jp.utf16", text, "utf-16-le")


def read_lines(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return [line.split() for line in f.read().replace("\r", "").splitlines() if line.strip()]


def report(ours_path, anchors_path):
    anchors = {}
    for words in read_lines(anchors_path):
        anchors[(words[0], words[1])] = (float(words[3]), float(words[4]), words[5])
    print("MB/s from the median run (slowest run's MB/s in brackets); ratio = anchor's median time / ours")
    print("%-18s %17s %17s %17s %10s %10s" % ("case", "ours", "iconv", "ICU", "vs iconv", "vs ICU"))
    for words in read_lines(ours_path):
        name, size, median, slowest = words[0], int(words[1]), float(words[2]), float(words[3])
        if name.startswith("first-use"):
            print("%-18s %.1f ms" % (name, median * 1000))
            continue
        mb = size / 1e6

        def rate(m, s):
            return "%7.1f (%6.1f)" % (mb / m, mb / s)

        iconv, icu = anchors[(name, "iconv")], anchors[(name, "icu")]
        notes = " ".join(words[4:] + ["iconv " + iconv[2]] * (iconv[2] != "ok") + ["ICU " + icu[2]] * (icu[2] != "ok"))
        print("%-18s %17s %17s %17s %10.2f %10.2f %s" % (name, rate(median, slowest), rate(iconv[0], iconv[1]),
                                                          rate(icu[0], icu[1]), iconv[0] / median, icu[0] / median, notes))


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "data":
        make_data(sys.argv[2])
    elif len(sys.argv) == 4 and sys.argv[1] == "report":
        report(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
