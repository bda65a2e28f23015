#!/bin/sh
# Makes the forms for the tests of page text and page parts: pdflatex forms in T1-encoded Type 1 fonts
# (with and without ToUnicode maps) and in bitmap Type 3 fonts, a pdf-lib form in a two-byte TrueType
# font (also with the whole font and without its ToUnicode map), pdf-lib and ReportLab forms drawn
# through nested form XObjects, and each of them restructured by qpdf (object streams).
# For every form: the page rendered by pdftoppm (grey, 108 dots per inch) and its words' places as
# pdftotext finds them.
# Usage: make_font_forms.sh OUTPUT_FOLDER PYTHON NODE_MODULES
set -eu
out="$1"; python="$2"; modules="$3"; here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$out/latex"
# Bitmap fonts are made by METAFONT into the build folder, not the user's TeX cache.
export TEXMFVAR="$out/texmf-var"
for variant in t1 t1-nomap type3; do
  case "$variant" in
    t1) preamble='\def\withlmodern{}' ;;
    t1-nomap) preamble='\pdfgentounicode=0\def\withlmodern{}' ;;  # no ToUnicode maps: read by glyph names
    type3) preamble="" ;;
  esac
  ( cd "$out/latex" && pdflatex -interaction=batchmode -halt-on-error -jobname="latex-$variant" \
      "$preamble\\input{$here/latex_fonts.tex}" >/dev/null 2>&1 ) || {
    cat "$out/latex/latex-$variant.log" >&2; exit 1; }
  cp "$out/latex/latex-$variant.pdf" "$out/"
done
node "$here/pdflib_fonts.mjs" "$modules" /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf \
  "$out/pdflib-type0.pdf" "$out/pdflib-type0-nomap.pdf" "$out/pdflib-parts.pdf"
"$python" "$here/reportlab_parts.py" "$out/reportlab-parts.pdf"
for form in latex-t1 latex-t1-nomap latex-type3 pdflib-type0 pdflib-type0-nomap pdflib-parts reportlab-parts; do
  qpdf --object-streams=generate "$out/$form.pdf" "$out/$form-qpdf.pdf"
  pdftoppm -r 108 -gray -singlefile "$out/$form.pdf" "$out/$form-page"
  pdftotext -bbox "$out/$form.pdf" "$out/$form-words.html"
done
