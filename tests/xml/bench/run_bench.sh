#!/usr/bin/env bash
# Runs the XML benchmark: the toolkit (under Wine) and Debian's libxml2 tree parser (native) on the
# same documents, one process per file and side, and prints times, peak memory and the ratios.
#   tests/xml/bench/run_bench.sh [build folder]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
build="${1:-$root/build}"
work="${FORMSTEAD_BENCH_DIR:-/tmp/formstead-xml-bench}"
mkdir -p "$work"
gcc -O2 -o "$work/xml2_bench" "$here/libxml2_bench.c" $(xml2-config --cflags --libs)
files="$(python3 "$here/make_documents.py" "$work/docs")"
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start
printf '%-14s %9s %9s %7s | %9s %9s %7s | %11s %11s %9s\n' file ours_parse ours_write ours_MB \
       xml2_parse xml2_write xml2_MB parse_ratio write_ratio mem_ratio
for f in $files; do
  size=$(stat -c %s "$f")
  repeats=3; [ "$size" -gt 20000000 ] && repeats=1
  # Written with indentation, a deep document grows some 25-fold: one run each keeps the 32-bit
  # process within its address space.
  case "$f" in *deep-*) repeats=1 ;; esac
  mode=""; case "$f" in *deep-50mb*) mode=parse-only ;; esac
  ours="$(wine "$build/tests/xml/bench/xml_bench.exe" "Z:${f//\//\\}" "$repeats" $mode 2>/dev/null | tr -d '\r')"
  ref="$("$work/xml2_bench" "$f" "$repeats")"
  if [ -z "$ours" ]; then echo "$(basename "$f" .xml): the toolkit run failed"; continue; fi
  set -- $ours; op=$2 ow=$4 om=$8
  set -- $ref; rp=$2 rw=$4 rm=$8
  printf '%-14s %9.4f %9.4f %7s | %9.4f %9.4f %7s | %11s %11s %9s\n' "$(basename "$f" .xml)" "$op" "$ow" "$om" \
         "$rp" "$rw" "$rm" \
         "$(python3 -c "print('%.2f' % ($rp/$op))")" "$(python3 -c "print('%.2f' % ($rw/$ow) if $ow else '-')")" \
         "$(python3 -c "print('%.2f' % ($om/$rm))")"
done
echo "ratios: parse and write = libxml2 time / toolkit time (above 1: the toolkit is faster);"
echo "        mem = toolkit peak / libxml2 peak"
