#!/bin/sh
# Makes encrypted copies of the forms of other PDF writers, as qpdf writes them with each method of
# the standard security handler and an empty user password, and beside each copy the fields pypdf
# reads from it (".fields"); from each blank copy the page rendered by pdftoppm (grey, 108 dots per
# inch) and the places of its words found by pdftotext. Also copies that need a password or name
# another security handler, which readers refuse, and copies with XMP metadata kept in clear or not.
# Usage: make_encrypted_forms.sh OUTPUT_FOLDER FOREIGN_FORMS_FOLDER PYTHON LATEX_FORMS_FOLDER
set -eu
out="$1"; forms="$2"; python="$3"; latex="$4"; here="$(dirname "$0")"
mkdir -p "$out"

# encrypt SOURCE TARGET [qpdf options before the encryption] -- [encryption options]
encrypt() {
  source="$1"; target="$2"; shift 2
  before=""
  while [ "$1" != "--" ]; do before="$before $1"; shift; done
  shift
  # shellcheck disable=SC2086
  qpdf $before --allow-weak-crypto --encrypt "$@" -- "$source" "$target"
}

for form in referral intake; do
  for kind in blank filled; do
    src="$forms/$form-$kind.pdf"
    encrypt "$src" "$out/$form-rc4-40-$kind.pdf" --object-streams=disable -- "" owner 40
    encrypt "$src" "$out/$form-rc4-128-$kind.pdf" --object-streams=generate -- "" owner 128 --use-aes=n
    encrypt "$src" "$out/$form-rc4-128-filters-$kind.pdf" -- "" owner 128 --use-aes=n --cleartext-metadata
    encrypt "$src" "$out/$form-aes-128-$kind.pdf" --object-streams=generate -- "" owner 128 --use-aes=y
    encrypt "$src" "$out/$form-aes-256-$kind.pdf" --object-streams=generate -- "" owner 256
    encrypt "$src" "$out/$form-aes-256-classic-$kind.pdf" --object-streams=disable -- "" owner 256
  done
done

# Forms pdflatex wrote.
encrypt "$latex/portrait.pdf" "$out/latex-portrait-aes-256.pdf" --object-streams=generate -- "" owner 256
encrypt "$latex/manyfields.pdf" "$out/latex-manyfields-rc4-40.pdf" -- "" owner 40

# Refused: a user password (AES-256 and RC4), and a security handler other than the standard one
# (the same bytes with the handler's name changed, so every offset stays right).
encrypt "$forms/referral-blank.pdf" "$out/password-aes-256.pdf" -- secret owner 256
encrypt "$forms/referral-blank.pdf" "$out/password-rc4-128.pdf" --object-streams=disable -- secret owner 128 --use-aes=n
"$python" -c 'import sys; data = open(sys.argv[1], "rb").read(); assert data.count(b"/Standard") == 1; open(sys.argv[2], "wb").write(data.replace(b"/Standard", b"/PubSec  "))' \
  "$out/referral-rc4-128-filters-blank.pdf" "$out/other-handler.pdf"

# Metadata in clear (the file key then covers that choice) and encrypted.
"$python" "$here/add_metadata.py" "$forms/referral-blank.pdf" "$out/metadata-source.pdf"
encrypt "$out/metadata-source.pdf" "$out/metadata-clear-aes-128.pdf" -- "" owner 128 --use-aes=y --cleartext-metadata
encrypt "$out/metadata-source.pdf" "$out/metadata-clear-aes-256.pdf" --object-streams=generate -- "" owner 256 --cleartext-metadata
encrypt "$out/metadata-source.pdf" "$out/metadata-encrypted-rc4-128.pdf" -- "" owner 128 --use-aes=n

for pdf in "$out"/*.pdf; do
  "$python" "$here/form_fields.py" "$pdf" "${pdf%.pdf}.fields"
  case "$pdf" in
    *-blank.pdf)
      stem="${pdf%-blank.pdf}"
      pdftoppm -r 108 -gray -singlefile "$pdf" "$stem-page"
      pdftotext -bbox "$pdf" "$stem-words.html" ;;
  esac
done
