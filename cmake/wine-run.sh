#!/usr/bin/env bash
# Runs one Windows executable under Wine for CTest. Wine's helper processes inherit the output
# descriptors, so wine writes to a file that is streamed here; the exit code is wine's own.
# A hung program is ended by the timeout (exit 124).
#   wine-run.sh EXE ARGS...          any program
#   wine-run.sh --gtest EXE ARGS...  a GoogleTest program: besides its exit code, it fails when the program
#                                    ends before GoogleTest's summary, runs fewer tests than it lists or
#                                    skips one (skips pass only with FORMSTEAD_ALLOW_SKIPS=1, which CI
#                                    never sets)
gtest=0
if [ "${1:-}" = --gtest ]; then gtest=1; shift; fi
timeout_s="${FORMSTEAD_TEST_TIMEOUT:-900}"

# Runs wine with the given arguments, streaming its output and keeping a copy in $2; returns wine's code.
run_streamed() {
  local copy="$1"; shift
  timeout --kill-after=10 "$timeout_s" wine "$@" >"$copy" 2>&1 </dev/null &
  local runner=$!
  tail -n +1 -f --pid="$runner" "$copy" 2>/dev/null &
  local streamer=$!
  wait "$runner"; local rc=$?
  wait "$streamer" 2>/dev/null
  return "$rc"
}

out="$(mktemp)"
trap 'rm -f "$out" "${list:-}"' EXIT
if [ "$gtest" = 0 ]; then
  run_streamed "$out" "$@"
  exit $?
fi

fail() { echo "wine-run: $*" >&2; exit 1; }

# The tests the program lists for these arguments; those named DISABLED_ are listed but never run.
list="$(mktemp)"
timeout --kill-after=10 "$timeout_s" wine "$@" --gtest_list_tests >"$list" 2>&1 </dev/null \
  || fail "listing the tests failed: $(tr -d '\r' <"$list" | tail -n 5)"
listed=0; disabled=0; suite=""
while IFS= read -r line; do
  line="${line%$'\r'}"
  case "$line" in
    "  "*) name="${line#  }"; name="${name%%  #*}"
           listed=$((listed + 1))
           case "$suite$name" in DISABLED_*|*.DISABLED_*) disabled=$((disabled + 1)) ;; esac ;;
    [A-Za-z_]*.*) suite="${line%%  #*}" ;;
  esac
done <"$list"
expected=$((listed - disabled))

run_streamed "$out" "$@"; rc=$?
[ "$rc" = 0 ] || [ "$rc" = 1 ] || fail "exit code $rc (a test program exits with 0 or 1)"

summary="$(tr -d '\r' <"$out")"
ran="$(sed -n -E 's/^\[==========\] ([0-9]+) tests? from .* ran\..*/\1/p' <<<"$summary" | tail -n 1)"
passed="$(sed -n -E 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' <<<"$summary" | tail -n 1)"
skipped="$(sed -n -E 's/^\[  SKIPPED \] ([0-9]+) tests?, listed below:.*/\1/p' <<<"$summary" | tail -n 1)"
[ -n "$ran" ] && [ -n "$passed" ] || fail "the program ended before GoogleTest's summary (exit code $rc)"
[ "$ran" = "$expected" ] || fail "$ran tests ran of the $expected listed"
[ "$rc" = 0 ] || exit 1
skipped="${skipped:-0}"
if [ "$skipped" != 0 ] && [ "${FORMSTEAD_ALLOW_SKIPS:-0}" != 1 ]; then
  fail "$skipped tests skipped (allowed only with FORMSTEAD_ALLOW_SKIPS=1)"
fi
[ $((passed + skipped)) = "$ran" ] || fail "$passed tests passed and $skipped skipped of the $ran that ran"
exit 0
