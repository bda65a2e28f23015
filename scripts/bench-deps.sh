#!/usr/bin/env bash
# Installs what only the benchmarks' native anchors need (never linked into the program): a C and C++
# compiler, pkg-config, libxml2, pugixml and ICU development packages, and the sqlite3 shell (the
# records page's anchor). Idempotent: with everything in
# place it only checks and returns.
set -euo pipefail

PACKAGES=(gcc g++ pkg-config python3 libxml2-dev libpugixml-dev libicu-dev sqlite3)

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
