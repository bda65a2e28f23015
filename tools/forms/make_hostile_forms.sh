#!/bin/sh
# Makes the hostile forms of make_hostile_forms.py, each with what pypdf reads from it
# (<name>-facts.txt), into the build's hostile_forms folder.
# Usage: make_hostile_forms.sh OUTPUT_FOLDER PYTHON
set -eu
out="$1"; python="$2"; here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$out"
"$python" "$here/make_hostile_forms.py" "$out" 2>/dev/null
touch "$out/stamp"
