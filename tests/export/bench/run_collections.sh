#!/usr/bin/env bash
# Runs the collections benchmark under Wine, in a prefix and on a display of its own: a form database of
# RECORDS claims is made in a temporary folder, then one process builds the collection data from it RUNS
# times and checks each result. The folder is removed.
#   tests/export/bench/run_collections.sh [build folder] [runs] [records]
#   (after ./test.sh has built the project; defaults: build, 5 runs, 10000 records)
set -euo pipefail
trap 'echo "run_collections: failed at line $LINENO" >&2' ERR
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${2:-5}"
records="${3:-10000}"
bench="$build/tests/export/bench/collections_bench.exe"
form="$build/samples/cms1500.pdf"
for file in "$bench" "$form"; do
  [ -f "$file" ] || { echo "run_collections: $file is missing; build the project first (./test.sh)" >&2; exit 1; }
done
work="$(mktemp -d /tmp/formstead-collections-bench.XXXXXX)"
. "$root/scripts/wine-env.sh"
unset FORMSTEAD_WINEPREFIX
cleanup() { wine_env_stop; rm -rf "$work"; }
trap cleanup EXIT
FORMSTEAD_OWN_DISPLAY=1 wine_env_start
wine "$bench" "$(winepath -w "$work")" "$(winepath -w "$form")" "$records" "$runs" </dev/null | tr -d '\r'
