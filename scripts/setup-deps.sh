#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine and builds the cross-compiled
# third-party libraries (SQLite amalgamation, libbzip2) into a cache outside the work tree.
# Idempotent: a second run with everything in place only checks and returns.
set -euo pipefail

DEPS_CACHE="${FORMSTEAD_DEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/formstead-deps}"
PACKAGES=(wine wine32:i386 g++-mingw-w64-i686-posix xvfb xauth fonts-liberation cmake ninja-build
          googletest tcl dpkg-dev python3 libz-mingw-w64-dev xdotool imagemagick poppler-utils
          cups printer-driver-cups-pdf ghostscript libxml2-utils fonts-wine libcups2:i386 python3-reportlab python3-pil
          qpdf python3-pypdf texlive-latex-base texlive-latex-recommended texlive-fonts-recommended lmodern
          python3-pycryptodome)
# The second independent writer of test forms, a package of the npm registry, kept in the cache.
PDF_LIB_VERSION=1.17.1
# ... and its font kit, which embeds TrueType fonts as two-byte fonts.
PDF_LIB_FONTKIT_VERSION=1.1.1

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

missing_packages() {
  local p out=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || out+=("$p")
  done
  echo "${out[@]:-}"
}

enable_sources() {
  local f=/etc/apt/sources.list.d/debian.sources
  if [ -f "$f" ] && ! grep -q '^Types:.*deb-src' "$f"; then
    as_root sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
    return 0
  fi
  if [ -f /etc/apt/sources.list ] && ! grep -q '^deb-src' /etc/apt/sources.list \
     && grep -q '^deb ' /etc/apt/sources.list; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | as_root tee -a /etc/apt/sources.list >/dev/null
    return 0
  fi
  return 1
}

need_update=0
dpkg --print-foreign-architectures | grep -qx i386 || { as_root dpkg --add-architecture i386; need_update=1; }
enable_sources && need_update=1
missing="$(missing_packages)"
if [ -n "$missing" ] || [ "$need_update" = 1 ] || [ ! -f "$DEPS_CACHE/.sources-fetched" ]; then
  as_root apt-get update -qq
fi
if [ -n "$missing" ]; then
  echo "setup: installing $missing"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

mkdir -p "$DEPS_CACHE"

# Node and npm come from Debian where the machine has none of its own.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "setup: installing nodejs npm"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends nodejs npm >/dev/null
fi
if [ "$(node -p "require('$DEPS_CACHE/npm/node_modules/pdf-lib/package.json').version" 2>/dev/null)" != "$PDF_LIB_VERSION" ]; then
  mkdir -p "$DEPS_CACHE/npm"
  npm install --prefix "$DEPS_CACHE/npm" --no-audit --no-fund --loglevel=error "pdf-lib@$PDF_LIB_VERSION" >/dev/null
fi
if [ "$(node -p "require('$DEPS_CACHE/npm/node_modules/@pdf-lib/fontkit/package.json').version" 2>/dev/null)" != "$PDF_LIB_FONTKIT_VERSION" ]; then
  mkdir -p "$DEPS_CACHE/npm"
  npm install --prefix "$DEPS_CACHE/npm" --no-audit --no-fund --loglevel=error "@pdf-lib/fontkit@$PDF_LIB_FONTKIT_VERSION" >/dev/null
fi

CXX_CROSS=i686-w64-mingw32-gcc-posix

# SQLite: the amalgamation is made by the source package's own build, then cross-compiled. A form may
# have up to 4,999 fields, each a column, so the column limit is raised above SQLite's default 2,000.
SQLITE_FLAGS="-O2 -DSQLITE_THREADSAFE=0 -DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_MAX_COLUMN=8192 -DSQLITE_WIN32_NO_OVERLAPPED"
if [ ! -f "$DEPS_CACHE/lib/libsqlite3.a" ] || [ "$(cat "$DEPS_CACHE/sqlite.flags" 2>/dev/null)" != "$SQLITE_FLAGS" ]; then
  work="$DEPS_CACHE/src-sqlite"; rm -rf "$work"; mkdir -p "$work"
  ( cd "$work" && apt-get source -qq --download-only sqlite3 >/dev/null 2>&1 && dpkg-source -x --no-check ./*.dsc src >/dev/null )
  mkdir -p "$work/native"
  ( cd "$work/native" && ../src/configure --disable-tcl >/dev/null && make -s sqlite3.c >/dev/null )
  mkdir -p "$DEPS_CACHE/include" "$DEPS_CACHE/lib"
  cp "$work/native/sqlite3.h" "$DEPS_CACHE/include/"
  $CXX_CROSS $SQLITE_FLAGS -c "$work/native/sqlite3.c" -o "$work/sqlite3.o"
  rm -f "$DEPS_CACHE/lib/libsqlite3.a"
  i686-w64-mingw32-ar rcs "$DEPS_CACHE/lib/libsqlite3.a" "$work/sqlite3.o"
  echo "$SQLITE_FLAGS" >"$DEPS_CACHE/sqlite.flags"
  rm -rf "$work"
fi

# libbzip2: its library sources cross-compile as they are.
if [ ! -f "$DEPS_CACHE/lib/libbz2.a" ]; then
  work="$DEPS_CACHE/src-bzip2"; rm -rf "$work"; mkdir -p "$work"
  ( cd "$work" && apt-get source -qq --download-only bzip2 >/dev/null 2>&1 && dpkg-source -x --no-check ./*.dsc src >/dev/null )
  objs=()
  for s in blocksort huffman crctable randtable compress decompress bzlib; do
    $CXX_CROSS -O2 -D_FILE_OFFSET_BITS=64 -c "$work/src/$s.c" -o "$work/$s.o"; objs+=("$work/$s.o")
  done
  mkdir -p "$DEPS_CACHE/include" "$DEPS_CACHE/lib"
  cp "$work/src/bzlib.h" "$DEPS_CACHE/include/"
  i686-w64-mingw32-ar rcs "$DEPS_CACHE/lib/libbz2.a" "${objs[@]}"
  rm -rf "$work"
fi
touch "$DEPS_CACHE/.sources-fetched"
echo "$DEPS_CACHE"
