#!/usr/bin/env python3
"""Writes the benchmark documents: 1, 10 and 50 MB each of many small elements, long texts and deep
nesting (chains of 200 levels, within the depth libxml2 accepts)."""
import os
import sys

MB = 1 << 20


def small(i):
    return ('<rec id="%d" kind="claim"><name>Patient %d</name><amount>%d.%02d</amount>'
            '<date>01/%02d/2026</date><flag/></rec>\n' % (i, i, i % 997, i % 100, i % 28 + 1))


def text(i):
    words = ('lorem ipsum dolor sit amet &amp; consectetur adipiscing elit sed do eiusmod tempor '
             'incididunt ut labore et dolore magna aliqua ')
    return '<para n="%d">%s</para>\n' % (i, words * 80)


def deep(i):
    depth = 200
    return ''.join('<n d="%d">' % k for k in range(depth)) + 'leaf %d' % i + '</n>' * depth + '\n'


def write(path, root, piece, size):
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write('<?xml version="1.0" encoding="utf-8"?>\n<%s>\n' % root)
        written, i = 0, 0
        while written < size:
            s = piece(i)
            f.write(s)
            written += len(s)
            i += 1
        f.write('</%s>\n' % root)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for mb in (1, 10, 50):
        for name, piece in (('small', small), ('text', text), ('deep', deep)):
            path = os.path.join(folder, '%s-%dmb.xml' % (name, mb))
            if not os.path.exists(path):
                write(path, 'doc', piece, mb * MB)
            print(path)


if __name__ == '__main__':
    main()
