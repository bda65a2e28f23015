#!/usr/bin/env python3
"""Reference checks of the XML toolkit against independent readers.

1. Well-formed XML 1.0 documents without mixed content (hand-written and seeded random ones) go
   through the toolkit (load, then getXml). xmllint --noout must accept every output, and Python's
   ElementTree must see the same tree in input and output (texts stripped of surrounding blanks).
2. Files with each byte-order mark and with declared encodings (ISO-8859-1, Shift_JIS made as CP932,
   UTF-7), made with iconv, are loaded by file name; the texts must equal those of iconv's UTF-8, and
   the written declaration must name utf-8.
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

HAND_WRITTEN = [
    '<r/>',
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?><r a="1"><b>text</b></r>',
    '<?xml version="1.0"?><?xml-stylesheet type="text/xsl" href="s.xsl"?><!DOCTYPE r><r><c/></r>',
    '<r><a x="&lt;&amp;&gt;&quot;&apos;">&lt;b&gt; &amp; "q" \'s\'</a></r>',
    '<r><a><![CDATA[raw <markup> & ]] ]]></a><b><![CDATA[x]]]]><![CDATA[>y]]></b></r>',
    '<r>\n  <!-- a comment -->\n  <a>1</a>\n  <?pi some data?>\n  <b>2</b>\n</r>',
    '<records><rec id="1"><name>Ann</name><amt>10.50</amt></rec><rec id="2"><name>Bob</name></rec></records>',
    '<r><t>caf\u00e9 \u20ac \u65e5\u672c</t><u a="\u00fc\u00df"/></r>',
    '<r><t>line one\nline two\ttabbed</t></r>',
    '<r><a.b-c_d e.f="1"/></r>',
    '<r><t>]]&gt; and &amp;amp;</t></r>',
]

NAME_START = 'abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_'
NAME_REST = NAME_START + '0123456789.-'
# No ';' or '#': an '&' before a name and ';', or before '#', is kept raw by the toolkit by design.
TEXT_CHARS = 'abc xyz XYZ 0123 <>&"\'=/?!\u00e9\u00fc\u20ac\u65e5'


def escape_text(s):
    return s.replace('&', '&amp;').replace('<', '&lt;').replace('>', '&gt;')


def escape_attr(s):
    return escape_text(s).replace('"', '&quot;')


def random_name(rng):
    return rng.choice(NAME_START) + ''.join(rng.choice(NAME_REST) for _ in range(rng.randint(0, 8)))


def random_text(rng):
    return ''.join(rng.choice(TEXT_CHARS) for _ in range(rng.randint(1, 20)))


def random_element(rng, depth):
    name = random_name(rng)
    attrs = {}
    for _ in range(rng.randint(0, 3)):
        attrs[random_name(rng)] = random_text(rng)
    s = '<' + name + ''.join(' %s="%s"' % (k, escape_attr(v)) for k, v in attrs.items())
    kind = rng.randint(0, 3)
    if kind == 0:
        return s + '/>'
    if kind == 1 or depth > 5:
        if rng.randint(0, 4) == 0:
            body = '<![CDATA[' + random_text(rng).replace(']]>', '') + ']]>'
        else:
            body = escape_text(random_text(rng))
        return s + '>' + body + '</' + name + '>'
    children = []
    for _ in range(rng.randint(1, 4)):
        children.append(random_element(rng, depth + 1))
        if rng.randint(0, 5) == 0:
            children.append('<!-- c -->')
    sep = rng.choice(['', '\n', '\n  '])
    return s + '>' + sep + sep.join(children) + sep + '</' + name + '>'


def random_documents(count):
    rng = random.Random(1206)
    docs = []
    for _ in range(count):
        prolog = ''
        if rng.randint(0, 1):
            prolog = '<?xml version="1.0" encoding="UTF-8"?>\n'
        docs.append(prolog + random_element(rng, 0))
    return docs


def canonical(elem):
    """The element tree as nested tuples: tag, sorted attributes, stripped text, children."""
    return (elem.tag, sorted(elem.attrib.items()), (elem.text or '').strip(),
            [canonical(child) for child in elem])


def windows_path(path):
    return 'Z:' + path.replace('/', '\\')


def run_tool(args, mode, pairs, work):
    listing = os.path.join(work, mode + '-list.txt')
    with open(listing, 'w', newline='\n') as f:
        for src, dst in pairs:
            f.write('%s\t%s\n' % (windows_path(src), windows_path(dst)))
    result = subprocess.run([args.runner, args.tool, mode, windows_path(listing)],
                            capture_output=True, text=True, errors='replace')
    return result.returncode, result.stdout + result.stderr


def check_round_trips(args, work, failures):
    docs = HAND_WRITTEN + random_documents(args.random)
    pairs = []
    for i, doc in enumerate(docs):
        src = os.path.join(work, 'in%04d.txt' % i)
        with open(src, 'wb') as f:
            f.write(doc.encode('utf-8'))
        pairs.append((src, os.path.join(work, 'out%04d.xml' % i)))
    code, output = run_tool(args, 'text', pairs, work)
    if code != 0:
        failures.append('toolkit gave no document for %d inputs: %s' % (code, output[-2000:]))
        return
    lint = subprocess.run(['xmllint', '--noout'] + [dst for _, dst in pairs], capture_output=True, text=True)
    if lint.returncode != 0:
        failures.append('xmllint rejects output: ' + lint.stderr[-3000:])
    for (src, dst), doc in zip(pairs, docs):
        with open(dst, 'rb') as f:
            written = f.read()
        try:
            got = canonical(ET.fromstring(written))
        except ET.ParseError as e:
            failures.append('ElementTree cannot read output of %s: %s\n%r' % (src, e, written[:500]))
            continue
        want = canonical(ET.fromstring(doc.encode('utf-8')))
        if got != want:
            failures.append('tree differs for %s:\ninput  %r\noutput %r' % (src, doc[:500], written[:500]))
    print('round trips checked: %d documents' % len(docs))


def iconv(data, source, target):
    return subprocess.run(['iconv', '-f', source, '-t', target], input=data, capture_output=True,
                          check=True).stdout


ENCODED_BODY = '<r><t>%s</t><u a="%s"/></r>'
ENCODED_CASES = [
    # name, declared encoding, iconv target, byte-order mark, text
    ('utf16le-bom', 'UTF-16', 'UTF-16LE', b'\xff\xfe', 'caf\u00e9 \u20ac \u65e5\u672c'),
    ('utf16be-bom', 'utf-16', 'UTF-16BE', b'\xfe\xff', 'caf\u00e9 \u20ac \u65e5\u672c'),
    ('utf8-bom', 'UTF-8', 'UTF-8', b'\xef\xbb\xbf', 'caf\u00e9 \u20ac \u65e5\u672c'),
    ('latin1', 'ISO-8859-1', 'ISO-8859-1', b'', 'caf\u00e9 \u00ff\u00e0 \u00a9'),
    ('shiftjis', 'Shift_JIS', 'CP932', b'', '\u65e5\u672c\u8a9e\u30c6\u30ad\u30b9\u30c8 \uff76\uff85'),
    ('utf7', 'UTF-7', 'UTF-7', b'', 'caf\u00e9 \u65e5\u672c'),
]


def check_encoded_files(args, work, failures):
    pairs, expected = [], []
    for name, declared, target, bom, text in ENCODED_CASES:
        source = '<?xml version="1.0" encoding="%s"?>' % declared + ENCODED_BODY % (text, text)
        if target == 'UTF-7':
            # iconv writes even the markup characters of UTF-7 in base64, where no reader finds the
            # declaration; the markup is written directly (also valid UTF-7) and iconv encodes the texts.
            encoded = iconv(text.encode('utf-8'), 'UTF-8', target).decode('ascii')
            raw = ('<?xml version="1.0" encoding="%s"?>' % declared + ENCODED_BODY % (encoded, encoded)).encode('ascii')
        else:
            raw = bom + iconv(source.encode('utf-8'), 'UTF-8', target)
        src = os.path.join(work, name + '.xml')
        with open(src, 'wb') as f:
            f.write(raw)
        # What iconv reads back from the file is the reference.
        reference = iconv(raw[len(bom):], target, 'UTF-8').decode('utf-8')
        reference = reference[reference.index('?>') + 2:]
        pairs.append((src, os.path.join(work, name + '-out.xml')))
        expected.append((name, canonical(ET.fromstring(reference.encode('utf-8')))))
    code, output = run_tool(args, 'file', pairs, work)
    if code != 0:
        failures.append('toolkit could not load %d encoded files: %s' % (code, output[-2000:]))
    for (src, dst), (name, want) in zip(pairs, expected):
        if not os.path.exists(dst):
            continue
        with open(dst, 'rb') as f:
            written = f.read()
        if b'encoding="utf-8"' not in written.split(b'?>')[0].lower():
            failures.append('%s: declaration does not name utf-8: %r' % (name, written[:120]))
        body = written[written.index(b'?>') + 2:] if written.startswith(b'<?xml') else written
        try:
            got = canonical(ET.fromstring(body.decode('utf-8')))
        except (ET.ParseError, UnicodeDecodeError) as e:
            failures.append('%s: output unreadable: %s %r' % (name, e, written[:300]))
            continue
        if got != want:
            failures.append('%s: texts differ from iconv:\n  want %r\n  got  %r' % (name, want, got))
    print('encoded files checked: %d' % len(pairs))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--tool', required=True)
    parser.add_argument('--runner', required=True)
    parser.add_argument('--random', type=int, default=300)
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix='xmlref-')
    failures = []
    try:
        check_round_trips(args, work, failures)
        check_encoded_files(args, work, failures)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures[:20]:
        print('FAIL:', failure)
    print('%d failures' % len(failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
