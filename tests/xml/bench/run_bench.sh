#!/usr/bin/env bash
# Runs the XML benchmark: the toolkit (under Wine) and, natively on the same documents, Debian's
# libxml2 tree parser and pugixml; one process per file and side. Prints the median and the slowest
# run of each step, peak memory and the ratios; then the parse timed two ways on every side: the
# first parse in the fresh process, and the median (slowest) of the parses after it.
#   tests/xml/bench/run_bench.sh [build folder]     (after ./test.sh has built the project; the
#   anchors' packages come from scripts/bench-deps.sh)
set -euo pipefail
trap 'echo "run_bench: failed at line $LINENO" >&2' ERR
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
bench="$build/tests/xml/bench/xml_bench.exe"
[ -f "$bench" ] || { echo "run_bench: $bench is missing; build the project first (./test.sh)" >&2; exit 1; }
work="${FORMSTEAD_BENCH_DIR:-/tmp/formstead-xml-bench}"
mkdir -p "$work"
gcc -O2 -o "$work/xml2_bench" "$here/libxml2_bench.c" $(xml2-config --cflags --libs)
g++ -O2 -o "$work/pugixml_bench" "$here/pugixml_bench.cpp" $(pkg-config --cflags --libs pugixml)
files="$(python3 "$here/make_documents.py" "$work/docs")"
. "$root/scripts/wine-env.sh"
# A prefix and a display of its own: a Wine server already running for the user's prefix is neither
# reused (the benchmark would compete with that program) nor stopped.
unset FORMSTEAD_WINEPREFIX
trap wine_env_stop EXIT
FORMSTEAD_OWN_DISPLAY=1 wine_env_start

ratio() { python3 -c "import sys; a, b = sys.argv[1:]; print('%.2f' % (float(a) / float(b)) if '-' not in (a, b) and float(b) else '-')" "$1" "$2"; }
echo "times in ms: median/slowest of the runs; ratio = anchor's median time / ours (above 1: ours is faster);"
echo "mem = our peak / the anchor's peak (MB)"
printf '%-13s %4s | %-17s %-17s %6s | %-17s %-17s %6s | %-17s %-17s %6s | %-11s %-11s %-9s\n' file runs \
       ours_parse ours_write MB xml2_parse xml2_write MB pugi_parse pugi_write MB \
       parse:xml2/pugi write:xml2/pugi mem:xml2/pugi
first() { python3 -c "import sys; print('%.1f' % (float(sys.argv[1]) * 1000))" "$1"; }
# Median/slowest in ms; "-" where there is none (a single run has no repeated parse).
ms() { python3 -c "import sys; print('-' if '-' in sys.argv[1:] else '%.1f/%.1f' % (float(sys.argv[1]) * 1000, float(sys.argv[2]) * 1000))" "$1" "$2"; }
twoways=""
for f in $files; do
  size=$(stat -c %s "$f")
  repeats=7; [ "$size" -gt 20000000 ] && repeats=5
  # Written with indentation, a deep document grows some 25-fold: the larger ones run once, and the
  # 50 MB one is parsed only, so that the 32-bit process stays within its address space.
  case "$(basename "$f")" in *deep-1mb*) repeats=5 ;; *deep-*) repeats=1 ;; *pieces-*) repeats=5 ;; esac
  mode=""; case "$(basename "$f")" in *deep-50mb*) mode=parse-only ;; esac
  ours="$(wine "$bench" "$(winepath -w "$f")" "$repeats" $mode </dev/null 2>&1 | tr -d '\r')" || true
  case "$ours" in parse*) ;; *) echo "$(basename "$f" .xml): the toolkit run failed: $ours"; continue ;; esac
  # Every run's result against the input's summary (make_documents.py): a mismatch ends the benchmark.
  xml2="$("$work/xml2_bench" "$f" "$repeats")"
  pugi="$("$work/pugixml_bench" "$f" "$repeats")"
  for side in ours xml2 pugi; do
    got="$(sed -n -E 's/.* (elements [0-9]+ checksum [0-9a-f]+)$/\1/p' <<<"${!side}")"
    if [ "$got" != "$(cat "$f.expect")" ]; then
      echo "run_bench: $(basename "$f"): the $side side's result is not the document: '$got', expected '$(cat "$f.expect")'" >&2
      exit 1
    fi
  done
  set -- $ours; op=$2 ops=$3 ow=$5 ows=$6 of=${11} orp=${13} orps=${14} om=${16}
  set -- $xml2; xp=$2 xps=$3 xw=$5 xws=$6 xf=${11} xrp=${13} xrps=${14} xm=${16}
  set -- $pugi; pp=$2 pps=$3 pw=$5 pws=$6 pf=${11} prp=${13} prps=${14} pm=${16}
  if [ -n "$mode" ]; then xw=0 xws=0 pw=0 pws=0; fi
  printf '%-13s %4s | %-17s %-17s %6s | %-17s %-17s %6s | %-17s %-17s %6s | %-11s %-11s %-9s\n' \
         "$(basename "$f" .xml)" "$repeats" "$(ms "$op" "$ops")" "$(ms "$ow" "$ows")" "$om" \
         "$(ms "$xp" "$xps")" "$(ms "$xw" "$xws")" "$xm" "$(ms "$pp" "$pps")" "$(ms "$pw" "$pws")" "$pm" \
         "$(ratio "$xp" "$op")/$(ratio "$pp" "$op")" "$(ratio "$xw" "$ow")/$(ratio "$pw" "$ow")" \
         "$(ratio "$om" "$xm")/$(ratio "$om" "$pm")"
  twoways+="$(printf '%-17s %4s | %9s %-17s | %9s %-17s | %9s %-17s | %-11s %-11s' \
              "$(basename "$f" .xml)" "$repeats" "$(first "$of")" "$(ms "$orp" "$orps")" \
              "$(first "$xf")" "$(ms "$xrp" "$xrps")" "$(first "$pf")" "$(ms "$prp" "$prps")" \
              "$(ratio "$xf" "$of")/$(ratio "$pf" "$of")" "$(ratio "$xrp" "$orp")/$(ratio "$prp" "$orp")")"$'\n'
done
echo
echo "parse timed two ways, in ms: first = the first parse in a fresh process; repeated = median/slowest"
echo "of the parses after it in that process; ratio = anchor's time / ours"
printf '%-17s %4s | %9s %-17s | %9s %-17s | %9s %-17s | %-11s %-11s\n' file runs ours_first ours_repeated \
       xml2_first xml2_repeated pugi_first pugi_repeated first:x2/pu repeat:x2/pu
printf '%s' "$twoways"
