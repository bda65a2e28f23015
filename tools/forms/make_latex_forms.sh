#!/bin/sh
# Makes the forms pdflatex writes (every latex/*.tex), the variants other tools make of them, and for
# the tests' reference: what pypdf reads from each (<name>-facts.txt, see pdf_facts.py) and, for
# the forms in RENDERED, the page as pdftoppm renders it (grey, 108 dots per inch, <name>-page.pgm).
# To add a form: put its .tex in latex/, and add its variants below.
# Usage: make_latex_forms.sh OUTPUT_FOLDER PYTHON
set -eu
out="$1"; python="$2"; here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export SOURCE_DATE_EPOCH=1700000000 FORCE_SOURCE_DATE=1

for tex in "$here"/latex/*.tex; do
  name="$(basename "$tex" .tex)"
  (cd "$work" && pdflatex -interaction=nonstopmode -halt-on-error "$tex" >"$name.log" 2>&1) ||
    { cat "$work/$name.log"; exit 1; }
  cp "$work/$name.pdf" "$out/$name.pdf"
done

# Restructured, turned and updated copies.
qpdf --object-streams=generate "$out/portrait.pdf" "$out/portrait-objstm.pdf"
qpdf --qdf "$out/portrait.pdf" "$out/portrait-qdf.pdf"
qpdf --qdf "$out/landscape.pdf" "$out/landscape-qdf.pdf"
qpdf --rotate=+180:1 "$out/portrait.pdf" "$out/portrait-rotate180.pdf"
qpdf --rotate=+270:1 --object-streams=generate "$out/portrait.pdf" "$out/portrait-rotate270.pdf"
"$python" "$here/form_variants.py" tree-rotate "$out/portrait.pdf" "$out/portrait-treerotate90.pdf" 90
"$python" "$here/form_variants.py" incremental "$out/portrait.pdf" "$out/portrait-incremental.pdf"
"$python" "$here/form_variants.py" kids-tree "$out/kidstree.pdf"

RENDERED="portrait landscape portrait-rotate180 portrait-rotate270 portrait-treerotate90"
for pdf in "$out"/*.pdf; do
  "$python" "$here/pdf_facts.py" "$pdf" "${pdf%.pdf}-facts.txt"
done
for name in $RENDERED; do
  pdftoppm -r 108 -gray -singlefile "$out/$name.pdf" "$out/$name-page" 2>/dev/null
done
touch "$out/stamp"
