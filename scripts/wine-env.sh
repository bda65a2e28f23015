# Sourced by test.sh and run.sh: a 32-bit Wine prefix (C.UTF-8 locale: ANSI code page 1252 and
# non-ASCII file names work; it exists on every Debian machine), one wineserver kept alive and, when there is
# no display, an Xvfb on a free display number. wine_env_stop ends what wine_env_start started.
#   FORMSTEAD_WINEPREFIX  keep the prefix at this path (created when missing); else a fresh temporary one

export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8 LC_ALL=
WINE_ENV_TEMP_PREFIX=""
WINE_ENV_XVFB_PID=""

wine_env_start() {
  if [ -z "${DISPLAY:-}" ] || [ "${FORMSTEAD_OWN_DISPLAY:-0}" = 1 ]; then
    local fifo; fifo="$(mktemp -u)"; mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    WINE_ENV_XVFB_PID=$!
    local num; read -r -t 20 num <"$fifo" || { echo "wine-env: Xvfb did not start" >&2; rm -f "$fifo"; return 1; }
    rm -f "$fifo"
    export DISPLAY=":$num"
  fi
  if [ -n "${FORMSTEAD_WINEPREFIX:-}" ]; then
    export WINEPREFIX="$FORMSTEAD_WINEPREFIX"
  else
    WINE_ENV_TEMP_PREFIX="$(mktemp -d /tmp/formstead-wine.XXXXXX)"
    export WINEPREFIX="$WINE_ENV_TEMP_PREFIX"
  fi
  mkdir -p "$WINEPREFIX"
  wineserver -p
  if [ ! -f "$WINEPREFIX/.formstead-ready" ]; then
    wineboot --init >/dev/null 2>&1
    local reg; reg="$(mktemp --suffix=.reg)"
    # The virtual desktop's size, and no crash dialog (it would hang a test run).
    printf '%s\r\n' 'REGEDIT4' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1280x1024"' '' \
      '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' >"$reg"
    wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
    rm -f "$reg"
    # Wine's own fonts (Tahoma for dialogs, Marlett for caption buttons) are not found where Debian
    # installs them; the prefix's font folder is searched.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -k; wineserver -w
    touch "$WINEPREFIX/.formstead-ready"
    wineserver -p
  fi
  # On Xvfb there is no window manager and hiding a top-level window stalls: there the program runs
  # in a virtual desktop. On the user's own display it gets real top-level windows.
  local want=0 have=0
  [ -n "$WINE_ENV_XVFB_PID" ] && want=1
  [ -f "$WINEPREFIX/.formstead-desktop" ] && have=1
  if [ "$want" != "$have" ]; then
    if [ "$want" = 1 ]; then
      wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
      touch "$WINEPREFIX/.formstead-desktop"
    else
      wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1
      rm -f "$WINEPREFIX/.formstead-desktop"
    fi
    wineserver -k; wineserver -w; wineserver -p
  fi
  # Start Wine's services now, so that no test's output pipe is inherited by them.
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; fi
  [ -n "$WINE_ENV_TEMP_PREFIX" ] && rm -rf "$WINE_ENV_TEMP_PREFIX"
  [ -n "$WINE_ENV_XVFB_PID" ] && kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
  WINE_ENV_TEMP_PREFIX=""; WINE_ENV_XVFB_PID=""
}
