#!/usr/bin/env python3
"""Writes the benchmark documents: 1, 10 and 50 MB each of many small elements, long real-language
texts (translated messages from Debian's message catalogues in four languages, in a seeded random
order, escaped) and deep nesting (chains of 200 levels, within the depth libxml2 accepts); and the
text of one element in 2,000,000 pieces split by empty comments, processing instructions or empty
elements. Beside each document, <name>.expect holds a summary of its elements that the benchmark
compares with what the toolkit parsed and wrote (see summarize)."""
import glob
import os
import random
import re
import struct
import sys

MB = 1 << 20


def small(i):
    return ('<rec id="%d" kind="claim"><name>Patient %d</name><amount>%d.%02d</amount>'
            '<date>01/%02d/2026</date><flag/></rec>\n' % (i, i, i % 997, i % 100, i % 28 + 1))


def catalogue_texts(languages):
    """The translated messages of the languages' message catalogues (.mo files)."""
    texts = []
    for language in languages:
        for path in sorted(glob.glob('/usr/share/locale/%s/LC_MESSAGES/*.mo' % language)):
            data = open(path, 'rb').read()
            if len(data) < 28:
                continue
            order = '<' if struct.unpack('<I', data[:4])[0] == 0x950412DE else '>'
            count, _, table = struct.unpack(order + '3I', data[8:20])
            for k in range(count):
                length, offset = struct.unpack(order + '2I', data[table + 8 * k:table + 8 * k + 8])
                try:
                    message = data[offset:offset + length].decode('utf-8')
                except UnicodeDecodeError:
                    continue
                # Plural forms are separated by NULs; control characters have no place in XML.
                for form in message.split('\0'):
                    texts.append(''.join(c for c in form if c >= ' ' or c in '\t\n'))
    return [t for t in texts if t.strip()]


MESSAGES = None
RNG = random.Random(7)


def text(i):
    global MESSAGES
    if MESSAGES is None:
        MESSAGES = catalogue_texts(('fr', 'de', 'ja', 'zh_CN'))
        if len(MESSAGES) < 10000:
            sys.exit('too few translated messages under /usr/share/locale to make realistic text')
    body = []
    while sum(map(len, body)) < 4000:
        body.append(RNG.choice(MESSAGES).replace('&', '&amp;').replace('<', '&lt;').replace('>', '&gt;'))
    return '<para n="%d">%s</para>\n' % (i, ' '.join(body))


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
            written += len(s.encode('utf-8'))
            i += 1
        f.write('</%s>\n' % root)


# A deliberately naive reading of the documents written here (no DOCTYPE, no CDATA): comments and
# processing instructions skipped, start, end and empty tags, text between them.
TOKEN = re.compile(rb'<!--.*?-->|<\?.*?\?>|<(/?)([^\s/>]+)([^>]*?)(/?)>|[^<]+', re.S)
ATTRIBUTE = re.compile(rb'([^\s=]+)\s*=\s*(?:"([^"]*)"|\'([^\']*)\')')
BLANKS = re.compile(rb'[ \t\r\n]+')


def decode(b):
    for entity, char in ((b'&lt;', b'<'), (b'&gt;', b'>'), (b'&quot;', b'"'), (b'&apos;', b"'")):
        b = b.replace(entity, char)
    return b.replace(b'&amp;', b'&')


def summarize(path):
    """Writes path.expect: the number of elements and an FNV-1a hash of each element, in the order
    they close, as b'<tag name=value ...>text' with entities decoded and blanks left out of the text
    (the benchmark's xml_bench summarises the toolkit's tree the same way)."""
    if os.path.exists(path + '.expect'):
        return
    data = open(path, 'rb').read()
    elements, h = 0, 14695981039346656037
    open_elements = []  # [tag, attributes, text pieces]

    def close(tag, attributes, pieces):
        nonlocal elements, h
        element = b'<' + tag + b''.join(b' ' + n + b'=' + v for n, v in attributes) + b'>'
        element += BLANKS.sub(b'', decode(b''.join(pieces)))
        for c in element:
            h = ((h ^ c) * 1099511628211) & 0xFFFFFFFFFFFFFFFF
        elements += 1

    for m in TOKEN.finditer(data):
        token = m.group(0)
        if token.startswith(b'<!--') or token.startswith(b'<?'):
            continue
        if m.group(2) is None:
            if open_elements:
                open_elements[-1][2].append(token)
        elif m.group(1):
            close(*open_elements.pop())
        else:
            attributes = [(a.group(1), decode(a.group(2) if a.group(2) is not None else a.group(3)))
                          for a in ATTRIBUTE.finditer(m.group(3))]
            if m.group(4):
                close(m.group(2), attributes, [])
            else:
                open_elements.append([m.group(2), attributes, []])
    if open_elements:
        sys.exit('%s: %d elements left open' % (path, len(open_elements)))
    with open(path + '.expect', 'w') as f:
        f.write('elements %d checksum %016x\n' % (elements, h))


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for mb in (1, 10, 50):
        for name, piece in (('small', small), ('prose', text), ('deep', deep)):
            path = os.path.join(folder, '%s-%dmb.xml' % (name, mb))
            if not os.path.exists(path):
                write(path + '.part', 'doc', piece, mb * MB)
                os.replace(path + '.part', path)
            summarize(path)
            print(path)
    for name, split in (('comment', '<!---->'), ('pi', '<?p?>'), ('element', '<b/>')):
        path = os.path.join(folder, 'pieces-%s-2m.xml' % name)
        if not os.path.exists(path):
            with open(path + '.part', 'w', encoding='utf-8', newline='\n') as f:
                f.write('<?xml version="1.0" encoding="utf-8"?>\n<doc><t>')
                f.write(('x' + split) * 2000000)
                f.write('</t></doc>\n')
            os.replace(path + '.part', path)
        summarize(path)
        print(path)


if __name__ == '__main__':
    main()
