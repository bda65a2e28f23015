#!/bin/sh
# Makes the hand-made forms of edge_forms.py and a copy of one packed into object streams by qpdf
# whose startxref is then broken, and for the tests' reference: what pypdf reads from each
# (<name>-facts.txt, see pdf_facts.py), the shown part of its page as pdftoppm renders it (grey,
# 108 dots per inch, <name>-page.pgm) and its words as pdftotext finds them (<name>-words.html).
# Neither pypdf nor pdftoppm recovers a file of cross-reference streams only: the broken packed
# copy's references are those of the whole one.
# Usage: make_edge_forms.sh OUTPUT_FOLDER PYTHON
set -eu
out="$1"; python="$2"; here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$out"
"$python" "$here/edge_forms.py" "$out"
qpdf --object-streams=generate "$out/cropbox.pdf" "$out/objstm-packed.pdf"
"$python" "$here/edge_forms.py" break-startxref "$out/objstm-packed.pdf" "$out/objstm-startxref.pdf"
for pdf in "$out"/*.pdf; do
  name="${pdf%.pdf}"
  [ "$name" = "$out/objstm-startxref" ] && pdf="$out/objstm-packed.pdf"
  "$python" "$here/pdf_facts.py" "$pdf" "$name-facts.txt" 2>/dev/null
  pdftoppm -r 108 -gray -cropbox -hide-annotations -singlefile "$pdf" "$name-page" 2>/dev/null
  pdftotext -bbox -cropbox "$pdf" "$name-words.html" 2>/dev/null
done
rm "$out/objstm-packed.pdf" "$out/objstm-packed-facts.txt" "$out/objstm-packed-page.pgm" "$out/objstm-packed-words.html"
touch "$out/stamp"
