#!/usr/bin/env bash
# Runs the grid benchmark RUNS times under Wine, in a prefix and on a display of its own.
#   tests/grid/bench/run_bench.sh [build folder] [runs] [scroll steps of each kind]
#   (after ./test.sh has built the project)
set -euo pipefail
trap 'echo "run_bench: failed at line $LINENO" >&2' ERR
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${2:-3}"
steps="${3:-60}"
bench="$build/tests/grid/bench/grid_bench.exe"
[ -f "$bench" ] || { echo "run_bench: $bench is missing; build the project first (./test.sh)" >&2; exit 1; }
. "$root/scripts/wine-env.sh"
unset FORMSTEAD_WINEPREFIX
trap wine_env_stop EXIT
FORMSTEAD_OWN_DISPLAY=1 wine_env_start
for run in $(seq "$runs"); do
  echo "run $run:"
  wine "$bench" "$steps" </dev/null | tr -d '\r'
done
