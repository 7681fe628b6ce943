#!/usr/bin/env bash
# Runs a command with a private Wine prefix and a virtual X display:
#   scripts/wine-session.sh BUILD_DIR COMMAND [ARGS...]
# The prefix lives in BUILD_DIR/wineprefix. Everything started here (Xvfb,
# the Wine server and its processes) is stopped when the command ends, pass
# or fail. An existing DISPLAY is used as it is when TINTVANE_USE_DISPLAY=1.
set -uo pipefail

build_dir=$(mkdir -p "$1" && cd "$1" && pwd)
shift
export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win32

xvfb_pid=
own_display=0
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" >/dev/null 2>&1 || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "${TINTVANE_USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
  # A free display number: no lock file and no socket. Another session may
  # take the same number at the same moment; then the next one is tried.
  n=90
  while :; do
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.05
    done
    kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ] && break
    wait "$xvfb_pid" 2>/dev/null
    n=$((n + 1))
  done
  export DISPLAY=":$n"
  own_display=1
fi

# Programs ask for the display scale and the virtual desktop at their start.
session_settings() {
  # Tests that change the display scale put it back; start from 96 regardless.
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
  # On the virtual display every program runs inside a Wine virtual desktop,
  # which manages windows as Windows does; on bare Xvfb (no window manager)
  # hiding a window stalls for seconds. On a real display windows are native.
  if [ $own_display = 1 ]; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1
  fi
}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # A new prefix initialises itself once (10 to 20 seconds). That starts the
  # desktop before the settings exist, and every program would then wait
  # seconds for the desktop it asks for: the prefix starts over with them.
  wineboot -i >/dev/null 2>&1
  session_settings
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
fi
wineserver -p >/dev/null 2>&1
session_settings

"$@"
