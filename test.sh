#!/usr/bin/env bash
# Sets up everything on a Debian 12 machine (packages, cross-built libraries, Wine prefix, display),
# builds Formstead and its tests, and runs the whole suite under Wine. Extra arguments go to ctest
# (for example: ./test.sh -R charset).
set -euo pipefail
cd "$(dirname "$0")"
root="$PWD"
deps="$(bash scripts/setup-deps.sh | tail -n 1)"
build="${FORMSTEAD_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" -DFORMSTEAD_DEPS="$deps" >/dev/null
cmake --build "$build"
. scripts/wine-env.sh
trap wine_env_stop EXIT
FORMSTEAD_OWN_DISPLAY=1 wine_env_start
cd "$build"
ctest --output-on-failure --timeout 900 -j "${FORMSTEAD_TEST_JOBS:-4}" "$@"
