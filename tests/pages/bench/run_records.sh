#!/usr/bin/env bash
# Runs the records page benchmark under Wine, in a prefix and on a display of its own. For each record
# count the claim database is made in a temporary folder as the program writes it; then each run is a
# process of its own, RUNS on a cold file (its pages dropped from the system's page cache before the
# run with `dd iflag=nocache count=0`) and RUNS on a warm one, and the native sqlite3 shell reads the
# same columns (cold and warm) as the anchor. Then the same database without the list columns' copy
# (the layout of files made before): the page and the shell's read of submissions, cold and warm.
# Medians, slowest in brackets. The folder is removed.
#   tests/pages/bench/run_records.sh [build folder] [runs] [record counts]
#   (after ./test.sh has built the project and scripts/bench-deps.sh installed the shell; defaults:
#   build, 5 runs, "10000 50000"; the 50,000-record database takes 3.3 GB in /tmp for the run)
set -euo pipefail
trap 'echo "run_records: failed at line $LINENO" >&2' ERR
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${2:-5}"
counts="${3:-10000 50000}"
bench="$build/tests/pages/bench/records_bench.exe"
form="$build/samples/cms1500.pdf"
for file in "$bench" "$form"; do
  [ -f "$file" ] || { echo "run_records: $file is missing; build the project first (./test.sh)" >&2; exit 1; }
done
command -v sqlite3 >/dev/null || { echo "run_records: no sqlite3 shell; run scripts/bench-deps.sh" >&2; exit 1; }
work="$(mktemp -d /tmp/formstead-records-bench.XXXXXX)"
. "$root/scripts/wine-env.sh"
unset FORMSTEAD_WINEPREFIX
cleanup() { wine_env_stop; rm -rf "$work"; }
trap cleanup EXIT
FORMSTEAD_OWN_DISPLAY=1 wine_env_start

drop_cache() { dd if="$1" iflag=nocache count=0 status=none; }
warm_cache() { cat "$1" >/dev/null; }

# The shell's read of the list's columns from a table, its output thrown away; milliseconds.
shell_read() {
  local db="$1" table="$2" columns start end
  columns="$(sqlite3 "$db" "select group_concat('['||name||']') from pragma_table_info('submissions') \
                            where name not in ('submdate','fxml')")"
  [ "$3" = cold ] && drop_cache "$db"
  start=$(date +%s%N)
  sqlite3 "$db" "select _ROWID_, submdate, $columns from $table" >/dev/null
  end=$(date +%s%N)
  echo "shell read of $table ($3): $(( (end - start) / 1000000 ))"
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
  [ "$3" = cold ] && drop_cache "$1/CMS1500.gdb"
  [ "$3" = warm ] && warm_cache "$1/CMS1500.gdb"
  wine "$bench" show "$(winepath -w "$1")" "$2" </dev/null | tr -d '\r' >>"$4"
}

for count in $counts; do
  folder="$work/$count"
  mkdir "$folder"
  db="$folder/CMS1500.gdb"
  wine "$bench" make "$(winepath -w "$folder")" "$(winepath -w "$form")" "$count" </dev/null | tr -d '\r'
  echo "file: $(du -h "$db" | cut -f1), page size $(sqlite3 "$db" 'PRAGMA page_size')," \
       "list copy $(sqlite3 "$db" "select count(*) from sqlite_master where name like 'submissions_list%'") of 4"
  # The delete changes the file: it runs on a copy, once, warm.
  mkdir "$folder/copy"
  cp "$db" "$folder/copy/"
  results="$work/$count-delete.txt"
  wine "$bench" show "$(winepath -w "$folder/copy")" "$count" delete </dev/null | tr -d '\r' | grep delete >"$results"
  rm -rf "$folder/copy"
  echo "$count records, new layout, warm file:"; summary "$results"
  for layout in new old; do
    if [ "$layout" = old ]; then
      sqlite3 "$db" "DROP TRIGGER submissions_list_insert; DROP TRIGGER submissions_list_update;
                     DROP TRIGGER submissions_list_delete; DROP TABLE submissions_list;"
      table=submissions
    else
      table=submissions_list
    fi
    for temperature in cold warm; do
      results="$work/$count-$layout-$temperature.txt"
      : >"$results"
      for _ in $(seq "$runs"); do
        run_page "$folder" "$count" "$temperature" "$results"
        shell_read "$db" "$table" "$temperature" >>"$results"
      done
      echo "$count records, $layout layout (list read from $table), $temperature file:"
      summary "$results"
    done
  done
  rm -rf "$folder"
done
