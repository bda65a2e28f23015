#!/usr/bin/env bash
# Runs the converter benchmark: the converter under Wine and, natively on the same files, glibc's
# iconv and ICU; prints the throughputs (median and slowest of the runs) and the ratios.
#   tests/charset/bench/run_bench.sh [build folder] [runs]     (after ./test.sh has built the project;
#   the anchors' packages come from scripts/bench-deps.sh)
set -euo pipefail
trap 'echo "run_bench: failed at line $LINENO" >&2' ERR
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${2:-7}"
bench="$build/tests/charset/charset_bench.exe"
[ -f "$bench" ] || { echo "run_bench: $bench is missing; build the project first (./test.sh)" >&2; exit 1; }
work="$(mktemp -d /tmp/formstead-charset-bench.XXXXXX)"
. "$root/scripts/wine-env.sh"
# A prefix and a display of its own: a Wine server already running for the user's prefix is neither
# reused nor stopped.
unset FORMSTEAD_WINEPREFIX
cleanup() { wine_env_stop; rm -rf "$work"; }
trap cleanup EXIT

g++ -O2 -o "$work/anchor_bench" "$here/anchor_bench.cpp" $(pkg-config --cflags --libs icu-uc)
python3 "$here/run_bench.py" data "$work/data"
"$work/anchor_bench" "$work/data" "$runs" >"$work/anchors.txt"
FORMSTEAD_OWN_DISPLAY=1 wine_env_start
wine "$bench" "$(winepath -w "$work/data")" "$runs" </dev/null >"$work/ours.txt"
python3 "$here/run_bench.py" report "$work/ours.txt" "$work/anchors.txt"
