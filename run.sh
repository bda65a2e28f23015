#!/usr/bin/env bash
# Sets up everything on a Debian 12 machine, builds Formstead, lays out its program folder, installs the
# sample claim form into the user's form store when that holds no form, and starts the program under
# Wine in a prefix kept inside the build folder (the user's own Wine prefix is never touched).
#   ./run.sh                    runs it on the user's display (under Xvfb when there is none)
#   ./run.sh --screenshot FILE  starts it on a private display, answers start-up messages as a user
#                               would, saves a PNG of the screen with the main window to FILE and
#                               closes the program; exit code 0 only when all of that worked
set -euo pipefail
cd "$(dirname "$0")"
root="$PWD"

screenshot=""
while [ $# -gt 0 ]; do
  case "$1" in
    --screenshot)
      [ $# -ge 2 ] || { echo "run: --screenshot needs a file name" >&2; exit 2; }
      screenshot="$(realpath -m "$2")"; shift 2 ;;
    -h|--help)
      sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *)
      echo "run: unknown argument: $1" >&2; exit 2 ;;
  esac
done

deps="$(bash scripts/setup-deps.sh | tail -n 1)"
build="${FORMSTEAD_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" -DFORMSTEAD_DEPS="$deps" >/dev/null
cmake --build "$build"

program="$build/program"
for needed in Formstead.exe container.htm Vantorel.gdb; do
  [ -f "$program/$needed" ] || { echo "run: the build did not lay out $program/$needed" >&2; exit 1; }
done

export FORMSTEAD_WINEPREFIX="$build/wineprefix"
. scripts/wine-env.sh
trap wine_env_stop EXIT
if [ -n "$screenshot" ]; then
  FORMSTEAD_OWN_DISPLAY=1 wine_env_start
else
  wine_env_start
fi

# The installer's part: the sample claim form goes into the user's form store when it holds no form.
appdata="$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')"
store="$(winepath -u "$appdata" 2>/dev/null)/Formstead/0x03/Formstead"
mkdir -p "$store"
sample="$build/samples/cms1500.pdf"
if ! compgen -G "$store/*.pdf" >/dev/null; then
  if [ -f "$sample" ]; then
    cp "$sample" "$store/"
    echo "run: installed the sample claim form into $store"
  else
    echo "run: no sample claim form was built; the form store stays empty" >&2
  fi
fi

if [ -z "$screenshot" ]; then
  cd "$program"
  set +e
  wine Formstead.exe
  status=$?
  set -e
  exit "$status"
fi

driver="$(winepath -w "$build/app/ProgramDriver.exe")"
# The program inherits the driver's output, so the driver writes to a file, never into a pipe that
# would stay open while the program runs.
report="$(mktemp)"
if ! (cd "$program" && wine "$driver" start "$(winepath -w "$program/Formstead.exe")" >"$report" 2>&1 </dev/null); then
  cat "$report"; rm -f "$report"
  echo "run: the program did not start" >&2; exit 1
fi
tr -d '\r' <"$report" | grep -v '^pid '
pid="$(tr -d '\r' <"$report" | sed -n 's/^pid //p')"
rm -f "$report"
sleep 1   # let the last paint reach the screen
mkdir -p "$(dirname "$screenshot")"
shot_ok=0
import -window root "png:$screenshot" && shot_ok=1
wine "$driver" close "$pid" </dev/null || { echo "run: the program did not end cleanly" >&2; exit 1; }
[ "$shot_ok" = 1 ] || { echo "run: the screenshot could not be saved" >&2; exit 1; }
echo "run: screenshot saved to $screenshot"
