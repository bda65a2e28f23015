#!/usr/bin/env python3
"""Runs the converter benchmark and glibc's iconv on the same data and prints both throughputs and
their ratio. usage: run_bench.py EMULATOR BENCH_EXE [WORK_DIR]
(e.g. tests/charset/bench/run_bench.py cmake/wine-run.sh build/tests/charset/charset_bench.exe)"""
import ctypes
import ctypes.util
import os
import random
import subprocess
import sys
import tempfile
import time

SIZE = 20 * 1024 * 1024
ICONV_NAMES = {1252: "CP1252", 65001: "UTF-8", 1200: "UTF-16LE", 932: "CP932", 936: "GBK"}


def text_of(rng, common, rare, rare_share, size_hint):
    words = []
    length = 0
    while length < size_hint:
        pool = rare if rng.random() < rare_share else common
        w = "".join(rng.choice(pool) for _ in range(rng.randint(1, 8)))
        words.append(w)
        length += len(w) + 1
    return " ".join(words)


def make_data(work):
    rng = random.Random(20)
    ascii_letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,;"
    latin = "àáâãäåæçèéêëìíîïñòóôõöùúûüýÿ€“”"
    kanji = [c for c in map(chr, range(0x4E00, 0x9FA0)) if len(c.encode("cp932", "ignore")) == 2][:3000]
    kana = [chr(c) for c in range(0x3041, 0x3094)]
    hanzi = [c for c in map(chr, range(0x4E00, 0x9FA0)) if len(c.encode("gbk", "ignore")) == 2][:4000]

    def write(name, text, codec):
        data = text.encode(codec)
        while len(data) < SIZE:
            data += data
        data = data[:SIZE]
        # Cut at a character boundary of the codec.
        while True:
            try:
                data.decode(codec)
                break
            except UnicodeDecodeError as e:
                data = data[: e.start]
        with open(os.path.join(work, name), "wb") as f:
            f.write(data)

    latin_text = text_of(rng, ascii_letters, latin, 0.05, 400000)
    write("latin.1252", latin_text, "cp1252")
    write("latin.utf8", latin_text, "utf-8")
    jp_ascii = text_of(rng, ascii_letters, kanji + kana, 0.05, 400000)
    jp_cjk = text_of(rng, kanji + kana, ascii_letters, 0.05, 400000)
    write("ascii.932", jp_ascii, "cp932")
    write("cjk.932", jp_cjk, "cp932")
    write("ascii.932.utf16", jp_ascii, "utf-16-le")
    write("cjk.932.utf16", jp_cjk, "utf-16-le")
    zh_ascii = text_of(rng, ascii_letters, hanzi, 0.05, 400000)
    zh_cjk = text_of(rng, hanzi, ascii_letters, 0.05, 400000)
    write("ascii.gbk", zh_ascii, "gbk")
    write("cjk.gbk", zh_cjk, "gbk")


def iconv_seconds(path, from_page, to_page):
    libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
    libc.iconv_open.restype = ctypes.c_void_p
    libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
    pp, ps = ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t)
    libc.iconv.argtypes = [ctypes.c_void_p, pp, ps, pp, ps]
    libc.iconv.restype = ctypes.c_size_t
    data = open(path, "rb").read()
    cd = libc.iconv_open(ICONV_NAMES[to_page].encode(), ICONV_NAMES[from_page].encode())
    inbuf = ctypes.create_string_buffer(data, len(data))
    outbuf = ctypes.create_string_buffer(len(data) * 4 + 16)
    best = 1e30
    for _ in range(3):
        libc.iconv(cd, None, None, None, None)
        ip, il = ctypes.c_char_p(ctypes.addressof(inbuf)), ctypes.c_size_t(len(data))
        op, ol = ctypes.c_char_p(ctypes.addressof(outbuf)), ctypes.c_size_t(len(outbuf))
        start = time.perf_counter()
        libc.iconv(cd, ctypes.byref(ip), ctypes.byref(il), ctypes.byref(op), ctypes.byref(ol))
        best = min(best, time.perf_counter() - start)
        if il.value:
            sys.exit("iconv stopped with %d bytes left in %s" % (il.value, path))
    return best


CASES = {"1252-to-utf8": ("latin.1252", 1252, 65001), "utf8-to-1252": ("latin.utf8", 65001, 1252),
         "932-to-utf16-ascii": ("ascii.932", 932, 1200), "932-to-utf16-cjk": ("cjk.932", 932, 1200),
         "utf16-to-932-ascii": ("ascii.932.utf16", 1200, 932), "utf16-to-932-cjk": ("cjk.932.utf16", 1200, 932),
         "gbk-to-utf8-ascii": ("ascii.gbk", 936, 65001), "gbk-to-utf8-cjk": ("cjk.gbk", 936, 65001)}


def main():
    emulator, bench = sys.argv[1:3]
    work = sys.argv[3] if len(sys.argv) > 3 else tempfile.mkdtemp(prefix="charset-bench.")
    os.makedirs(work, exist_ok=True)
    make_data(work)
    out = subprocess.run([emulator, os.path.abspath(bench), "."], cwd=work, stdout=subprocess.PIPE, check=True)
    print("%-20s %10s %10s %8s" % ("case", "ours MB/s", "iconv MB/s", "ratio"))
    for line in out.stdout.decode().splitlines():
        words = line.split()
        name, size, took = words[0], int(words[1]), float(words[2])
        if name.startswith("first-use"):
            print("%-20s %.1f ms" % (name, took * 1000))
            continue
        file, src, dst = CASES[name]
        theirs = iconv_seconds(os.path.join(work, file), src, dst)
        mb = size / 1e6
        print("%-20s %10.1f %10.1f %8.2f%s" % (name, mb / took, mb / theirs, theirs / took, " ".join([""] + words[3:])))


if __name__ == "__main__":
    main()
