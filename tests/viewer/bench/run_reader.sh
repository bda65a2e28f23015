#!/usr/bin/env bash
# Runs the reader benchmark under Wine, in a prefix and on a display of its own: make_reader_files.py
# writes a form of 20,000 fields in an object stream and a file of 40,000 objects that only the repair
# scan can read into a temporary folder; reader_bench reads each RUNS times in one process (the
# first run is as cold as the rest: the file is read into memory before any is timed), and prints
# the median and the slowest. The folder is removed.
#   tests/viewer/bench/run_reader.sh [build folder] [runs]   (after ./test.sh built the project; 7 runs)
set -euo pipefail
trap 'echo "run_reader: failed at line $LINENO" >&2' ERR
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${2:-7}"
bench="$build/tests/viewer/bench/reader_bench.exe"
[ -f "$bench" ] || { echo "run_reader: $bench is missing; build the project first (./test.sh)" >&2; exit 1; }
work="$(mktemp -d /tmp/formstead-reader-bench.XXXXXX)"
. "$root/scripts/wine-env.sh"
unset FORMSTEAD_WINEPREFIX
cleanup() { wine_env_stop; rm -rf "$work"; }
trap cleanup EXIT
FORMSTEAD_OWN_DISPLAY=1 wine_env_start

/usr/bin/python3 "$here/make_reader_files.py" "$work"
wine "$bench" form "$(winepath -w "$work/form20000.pdf")" 20000 "$runs" </dev/null | tr -d '\r'
wine "$bench" repair "$(winepath -w "$work/repair40000.pdf")" 40000 "$runs" </dev/null | tr -d '\r'
