#!/bin/sh
# Makes the forms of other PDF writers for the tests: a blank and a filled copy from each writer,
# and, from the blank copies, the page rendered by pdftoppm (grey, 108 dots per inch) and the
# places of its words found by pdftotext.
# Usage: make_foreign_forms.sh OUTPUT_FOLDER PYTHON PDF_LIB_MODULES
set -eu
out="$1"; python="$2"; modules="$3"; here="$(dirname "$0")"
mkdir -p "$out"
"$python" "$here/reportlab_referral.py" "$out/referral-blank.pdf" "$out/referral-filled.pdf"
node "$here/pdflib_intake.mjs" "$modules" "$out/intake-blank.pdf" "$out/intake-filled.pdf"
for form in referral intake; do
  pdftoppm -r 108 -gray -singlefile "$out/$form-blank.pdf" "$out/$form-page"
  pdftotext -bbox "$out/$form-blank.pdf" "$out/$form-words.html"
done
