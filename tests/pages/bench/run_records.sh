#!/usr/bin/env bash
# Runs the records page benchmark under Wine, in a prefix and on a display of its own. For each record
# count the claim database is made in a temporary folder as the program writes it; the page's delete of
# 1,000 rows runs once on a copy. Then, for each page size (the file rebuilt at that size by the sqlite3
# shell's VACUUM when it differs), RUNS cold and RUNS warm rounds, each a process of its own: showing the
# records page, the native sqlite3 shell's read of the same columns of submissions (the anchor), and
# the clearinghouse export of every record (export_bench). Cold: the system's page cache is dropped
# before each measurement (`sync; echo 3 > /proc/sys/vm/drop_caches` as root, else the file's pages with
# `dd iflag=nocache count=0`). Medians, slowest in brackets. The folder is removed.
#   tests/pages/bench/run_records.sh [build folder] [runs] [record counts] [page sizes]
#   (after ./test.sh has built the project and scripts/bench-deps.sh installed the shell; defaults:
#   build, 5 runs, "10000 50000", "65536 4096"; the 50,000-record database takes 3 GB in /tmp, and as
#   much again while VACUUM rebuilds it)
set -euo pipefail
trap 'echo "run_records: failed at line $LINENO" >&2' ERR
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${2:-5}"
counts="${3:-10000 50000}"
page_sizes="${4:-65536 4096}"
bench="$build/tests/pages/bench/records_bench.exe"
export_bench="$build/tests/export/bench/export_bench.exe"
form="$build/samples/cms1500.pdf"
for file in "$bench" "$export_bench" "$form"; do
  [ -f "$file" ] || { echo "run_records: $file is missing; build the project first (./test.sh)" >&2; exit 1; }
done
command -v sqlite3 >/dev/null || { echo "run_records: no sqlite3 shell; run scripts/bench-deps.sh" >&2; exit 1; }
work="$(mktemp -d /tmp/formstead-records-bench.XXXXXX)"
. "$root/scripts/wine-env.sh"
unset FORMSTEAD_WINEPREFIX
cleanup() { wine_env_stop; rm -rf "$work"; }
trap cleanup EXIT
FORMSTEAD_OWN_DISPLAY=1 wine_env_start

drop_cache() {
  if [ -w /proc/sys/vm/drop_caches ]; then
    sync; echo 3 >/proc/sys/vm/drop_caches
  else
    dd if="$1" iflag=nocache count=0 status=none
  fi
}
warm_cache() { cat "$1" >/dev/null; }
set_temperature() { if [ "$2" = cold ]; then drop_cache "$1"; else warm_cache "$1"; fi; }

# The shell's read of the list's columns from submissions, its output thrown away; milliseconds.
shell_read() {
  local db="$1" columns start end
  columns="$(sqlite3 "$db" "select group_concat('['||name||']') from pragma_table_info('submissions') \
                            where name not in ('submdate','fxml')")"
  set_temperature "$db" "$2"
  start=$(date +%s%N)
  sqlite3 "$db" "select _ROWID_, submdate, $columns from submissions" >/dev/null
  end=$(date +%s%N)
  echo "shell read of submissions ($2): $(( (end - start) / 1000000 ))"
}

# Median and slowest of every "name: value" line of a results file.
summary() {
  python3 - "$1" <<'PY'
import sys, collections
values = collections.OrderedDict()
for line in open(sys.argv[1]):
    name, _, value = line.rpartition(": ")
    try:
        values.setdefault(name, []).append(float(value))
    except ValueError:
        pass
for name, v in values.items():
    v.sort()
    median = v[len(v) // 2] if len(v) % 2 else (v[len(v) // 2 - 1] + v[len(v) // 2]) / 2
    print("  %-40s median %9.1f  (slowest %9.1f, %d runs)" % (name, median, v[-1], len(v)))
PY
}

run_page() { # db folder, records, cold|warm, results file
  set_temperature "$1/CMS1500.gdb" "$3"
  wine "$bench" show "$(winepath -w "$1")" "$2" </dev/null | tr -d '\r' >>"$4"
}

run_export() { # db folder, records, cold|warm, results file
  set_temperature "$1/CMS1500.gdb" "$3"
  wine "$export_bench" export "$(winepath -w "$1")" "$2" 1 timed </dev/null | tr -d '\r' |
    sed -n 's/^  run 1: \([0-9.]*\) ms$/export of every record: \1/p; s/.*peak working set \([0-9.]*\) MB$/export peak working set: \1/p' >>"$4"
}

for count in $counts; do
  folder="$work/$count"
  mkdir "$folder"
  db="$folder/CMS1500.gdb"
  wine "$bench" make "$(winepath -w "$folder")" "$(winepath -w "$form")" "$count" </dev/null | tr -d '\r'
  echo "file: $(du -h "$db" | cut -f1), page size $(sqlite3 "$db" 'PRAGMA page_size')," \
       "tables: $(sqlite3 "$db" "select group_concat(name, ' ') from sqlite_master")"
  # The delete changes the file: it runs on a copy, once, warm.
  mkdir "$folder/copy"
  cp "$db" "$folder/copy/"
  results="$work/$count-delete.txt"
  wine "$bench" show "$(winepath -w "$folder/copy")" "$count" delete </dev/null | tr -d '\r' | grep delete >"$results"
  rm -rf "$folder/copy"
  echo "$count records, as made, warm file:"; summary "$results"
  for size in $page_sizes; do
    if [ "$(sqlite3 "$db" 'PRAGMA page_size')" != "$size" ]; then
      sqlite3 "$db" "PRAGMA page_size = $size; VACUUM;"
    fi
    echo "page size $(sqlite3 "$db" 'PRAGMA page_size'): $(du -h "$db" | cut -f1)"
    for temperature in cold warm; do
      results="$work/$count-$size-$temperature.txt"
      : >"$results"
      for _ in $(seq "$runs"); do
        run_page "$folder" "$count" "$temperature" "$results"
        shell_read "$db" "$temperature" >>"$results"
        run_export "$folder" "$count" "$temperature" "$results"
      done
      echo "$count records, page size $size, $temperature file:"
      summary "$results"
    done
  done
  rm -rf "$folder"
done
