#!/usr/bin/env bash
# Times the program's start-up to a painted form page that answers input, beside a bare Win32 window
# started in turn under the same Wine: lays out the user's form store with the sample claim form as the
# run command does, in a Wine prefix and on a display of its own, and starts each program there RUNS
# times (the first start also loads Wine's own libraries).
#   tests/pages/bench/run_startup.sh [build folder] [runs]     (after ./test.sh has built the project)
set -euo pipefail
trap 'echo "run_startup: failed at line $LINENO" >&2' ERR
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${2:-7}"
program="$build/program/Formstead.exe"
bench="$build/tests/pages/bench/startup_bench.exe"
bare="$build/tests/pages/bench/bare_window.exe"
for needed in "$program" "$build/app/ProgramDriver.exe" "$build/program/container.htm" "$build/program/Vantorel.gdb" "$build/samples/cms1500.pdf" "$bench" "$bare"; do
  [ -f "$needed" ] || { echo "run_startup: $needed is missing; build the project first (./test.sh)" >&2; exit 1; }
done
. "$root/scripts/wine-env.sh"
unset FORMSTEAD_WINEPREFIX
trap wine_env_stop EXIT
FORMSTEAD_OWN_DISPLAY=1 wine_env_start

appdata="$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')"
store="$(winepath -u "$appdata" 2>/dev/null)/Formstead/0x03/Formstead"
mkdir -p "$store"
cp "$build/samples/cms1500.pdf" "$store/"
# The first start registers the new form (its dialog answered with the default button, as the run
# command's driver does); the timed starts find it registered.
driver="$build/app/ProgramDriver.exe"
report="$(mktemp)"
(cd "$build/program" && wine "$driver" start "$(winepath -w "$program")" >"$report" 2>&1 </dev/null) \
  || { cat "$report"; rm -f "$report"; echo "run_startup: the registration start failed" >&2; exit 1; }
pid="$(tr -d '\r' <"$report" | sed -n 's/^pid //p')"
rm -f "$report"
wine "$driver" close "$pid" </dev/null >/dev/null
wine "$bench" "$(winepath -w "$program")" "$(winepath -w "$bare")" "$runs" </dev/null
