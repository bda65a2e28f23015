#!/usr/bin/env bash
# Runs the export benchmark under Wine, in a prefix and on a display of its own: for each record count
# a form database is made in a temporary folder, then one process exports every record RUNS times
# (median, slowest, its peak working set, page building beside a plain copy). The folder is removed.
#   tests/export/bench/run_bench.sh [build folder] [runs] [record counts]
#   (after ./test.sh has built the project; defaults: build, 5 runs, "1000 10000")
set -euo pipefail
trap 'echo "run_bench: failed at line $LINENO" >&2' ERR
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${2:-5}"
counts="${3:-1000 10000}"
bench="$build/tests/export/bench/export_bench.exe"
form="$build/samples/cms1500.pdf"
for file in "$bench" "$form"; do
  [ -f "$file" ] || { echo "run_bench: $file is missing; build the project first (./test.sh)" >&2; exit 1; }
done
work="$(mktemp -d /tmp/formstead-export-bench.XXXXXX)"
. "$root/scripts/wine-env.sh"
unset FORMSTEAD_WINEPREFIX
cleanup() { wine_env_stop; rm -rf "$work"; }
trap cleanup EXIT
FORMSTEAD_OWN_DISPLAY=1 wine_env_start
for count in $counts; do
  folder="$work/$count"
  mkdir "$folder"
  wine "$bench" make "$(winepath -w "$folder")" "$(winepath -w "$form")" "$count" </dev/null | tr -d '\r'
  wine "$bench" export "$(winepath -w "$folder")" "$count" "$runs" </dev/null | tr -d '\r'
  rm -rf "$folder"
done
