#!/usr/bin/env python3
"""Reference checks of the XML toolkit against independent readers.

1. Well-formed XML 1.0 documents without mixed content (hand-written and seeded random ones) go
   through the toolkit (load, then getXml). Python's parser must accept every output and see the
   same tree in input and output (texts stripped of surrounding blanks).
2. Files with each byte-order mark and with declared encodings (ISO-8859-1, Shift_JIS made as CP932,
   UTF-7), made with iconv, are loaded by file name; the texts must equal those of iconv's UTF-8, and
   the written declaration must name utf-8.
3. With --real-files: a fixed sample of the XML files that Debian packages installed for the build
   ship under /usr/share and /etc is loaded by file name, and the tree written back must equal the
   tree Python's minidom reads from the file (names, attributes and texts; see real_tree).
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import xml.dom.minidom
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


# Folders of packages the build installs (shared-mime-info, xkb-data, iso-codes, imagemagick, wine,
# glib), searched for *.xml files below 2 MB.
REAL_ROOTS = ['/usr/share/mime', '/usr/share/X11/xkb', '/usr/share/xml', '/usr/share/ImageMagick-6',
              '/etc/ImageMagick-6', '/usr/share/metainfo', '/usr/share/glib-2.0', '/usr/share/dbus-1',
              '/etc/fonts', '/usr/share/gdb']
REAL_SAMPLE = 400
REAL_MINIMUM = 100
NUMERIC_REFERENCE = re.compile(r'&#(x[0-9a-fA-F]+|[0-9]+);')


def real_files():
    found = []
    for root in REAL_ROOTS:
        for folder, _, names in os.walk(root):
            for name in names:
                path = os.path.join(folder, name)
                if name.endswith('.xml') and os.path.isfile(path) and os.path.getsize(path) < 2 * 1024 * 1024:
                    found.append(path)
    found.sort()
    step = max(1, len(found) // REAL_SAMPLE)
    return found[::step]


def decode_numeric_references(text):
    """The toolkit keeps character references as written; Python's parser decodes them."""
    return NUMERIC_REFERENCE.sub(lambda m: chr(int(m.group(1)[1:], 16) if m.group(1)[0] == 'x'
                                              else int(m.group(1))), text)


def real_tree(element, from_toolkit):
    """Tag, attributes and the element's own text as nested tuples. Blanks are left out of texts and
    values: the toolkit trims and joins text chunks with one space, a conforming parser normalises
    blanks in attribute values. Comments and processing instructions inside elements are dropped."""
    def squeeze(text):
        if from_toolkit:
            text = decode_numeric_references(text)
        return ''.join(text.split())
    text = ''.join(n.data for n in element.childNodes
                   if n.nodeType in (n.TEXT_NODE, n.CDATA_SECTION_NODE))
    attrs = sorted((name, squeeze(value)) for name, value in element.attributes.items())
    children = [real_tree(n, from_toolkit) for n in element.childNodes if n.nodeType == n.ELEMENT_NODE]
    return (element.tagName, attrs, squeeze(text), children)


def first_difference(want, got, path=''):
    here = path + '/' + want[0]
    if want[0] != got[0]:
        return '%s: tag %r' % (here, got[0])
    if want[1] != got[1]:
        return '%s: attributes\n    want %r\n    got  %r' % (here, want[1], got[1])
    if want[2] != got[2]:
        return '%s: text\n    want %r\n    got  %r' % (here, want[2][:300], got[2][:300])
    if len(want[3]) != len(got[3]):
        return '%s: %d children, toolkit %d' % (here, len(want[3]), len(got[3]))
    for a, b in zip(want[3], got[3]):
        d = first_difference(a, b, here)
        if d:
            return d
    return None


def check_real_files(args, work, failures):
    files = real_files()
    if len(files) < REAL_MINIMUM:
        failures.append('only %d XML files found under %s; the check needs %d' %
                        (len(files), ', '.join(REAL_ROOTS), REAL_MINIMUM))
        return
    references, pairs, skipped = [], [], 0
    for i, path in enumerate(files):
        with open(path, 'rb') as f:
            data = f.read()
        # Entities declared in a DTD are expanded by a validating reader only; the toolkit keeps
        # references as written.
        if b'<!ENTITY' in data:
            skipped += 1
            continue
        try:
            reference = real_tree(xml.dom.minidom.parseString(data).documentElement, False)
        except Exception:
            skipped += 1   # not well-formed for the reference either
            continue
        references.append((path, reference))
        pairs.append((path, os.path.join(work, 'real%04d.xml' % i)))
    code, output = run_tool(args, 'file', pairs, work)
    if code != 0:
        failures.append('toolkit gave no document for %d real files: %s' % (code, output[-2000:]))
    for (path, reference), (_, dst) in zip(references, pairs):
        if not os.path.exists(dst):
            continue
        with open(dst, 'rb') as f:
            written = f.read()
        try:
            got = real_tree(xml.dom.minidom.parseString(written).documentElement, True)
        except Exception as e:
            failures.append('%s: toolkit output unreadable: %s %r' % (path, e, written[:300]))
            continue
        difference = first_difference(reference, got)
        if difference:
            failures.append('%s: differs from the reference at %s' % (path, difference))
    print('real files checked: %d (%d not comparable)' % (len(pairs), skipped))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--tool', required=True)
    parser.add_argument('--runner', required=True)
    parser.add_argument('--random', type=int, default=300)
    parser.add_argument('--real-files', action='store_true', help='check the sample of installed XML files only')
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix='xmlref-')
    failures = []
    try:
        if args.real_files:
            check_real_files(args, work, failures)
        else:
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
