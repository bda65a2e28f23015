#!/bin/sh
# Makes the hand-made forms of edge_forms.py and copies of one packed into object streams by qpdf
# (one also encrypted with AES-256) whose startxref is then broken, and for the tests' reference: what pypdf reads from each
# (<name>-facts.txt, see pdf_facts.py), the shown part of its page as pdftoppm renders it (grey,
# 108 dots per inch, <name>-page.pgm) and its words as pdftotext finds them (<name>-words.html).
# Neither pypdf nor pdftoppm recovers a file of cross-reference streams only: the broken packed
# copies' references are those of the whole ones.
# Usage: make_edge_forms.sh OUTPUT_FOLDER PYTHON
set -eu
out="$1"; python="$2"; here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$out"
"$python" "$here/edge_forms.py" "$out"
qpdf --object-streams=generate "$out/cropbox.pdf" "$out/objstm-packed.pdf"
"$python" "$here/edge_forms.py" break-startxref "$out/objstm-packed.pdf" "$out/objstm-startxref.pdf"
qpdf --object-streams=generate --encrypt "" owner 256 -- "$out/cropbox.pdf" "$out/aes-packed.pdf"
"$python" "$here/edge_forms.py" break-startxref "$out/aes-packed.pdf" "$out/aes-objstm-startxref.pdf"
for pdf in "$out"/*.pdf; do
  name="${pdf%.pdf}"
  case "$name" in
    */objstm-startxref) pdf="$out/objstm-packed.pdf" ;;
    */aes-objstm-startxref) pdf="$out/aes-packed.pdf" ;;
  esac
  "$python" "$here/pdf_facts.py" "$pdf" "$name-facts.txt" 2>/dev/null
  pdftoppm -r 108 -gray -cropbox -hide-annotations -singlefile "$pdf" "$name-page" 2>/dev/null
  pdftotext -bbox -cropbox "$pdf" "$name-words.html" 2>/dev/null
done
for packed in objstm-packed aes-packed; do
  rm "$out/$packed.pdf" "$out/$packed-facts.txt" "$out/$packed-page.pgm" "$out/$packed-words.html"
done
touch "$out/stamp"
