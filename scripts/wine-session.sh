#!/usr/bin/env bash
# Runs a command with Wine ready for every Windows build this machine can run
# (scripts/windows-builds.sh says which):
#   scripts/wine-session.sh BUILD_DIR COMMAND [ARGS...]
# Each build gets its own Wine prefix in BUILD_DIR and its own virtual X
# display, so that the two builds' programs never share a screen, a pointer or
# a clipboard. Inside, `scripts/with-wine.sh win32|win64 CMD` runs CMD with
# that build's Wine; COMMAND itself runs with the first build's (the 32-bit
# one where it runs), so `wine` in it is that build's. Everything started here (Xvfb, the Wine servers and their
# processes) is stopped when the command ends, pass or fail. With
# TINTVANE_USE_DISPLAY=1 an existing DISPLAY is used as it is; with
# TINTVANE_SESSION_BUILD=win32 or win64 only that build is made ready.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build_dir=$(mkdir -p "$1" && cd "$1" && pwd)
shift
export TINTVANE_WINE_ROOT="$build_dir"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
builds=$(bash "$here/windows-builds.sh")
# A session for one build only (TINTVANE_SESSION_BUILD=win32 or win64).
if [ -n "${TINTVANE_SESSION_BUILD:-}" ]; then
  echo "$builds" | grep -qx "$TINTVANE_SESSION_BUILD" || { echo "This machine does not run the $TINTVANE_SESSION_BUILD build." >&2; exit 1; }
  builds=$TINTVANE_SESSION_BUILD
fi

xvfb_pids=()
cleanup() {
  local build
  for build in $builds; do
    bash "$here/with-wine.sh" "$build" wineserver -k >/dev/null 2>&1 || true
    # The server writes the registry back as it goes: the next session must
    # not start on the prefix before it is done.
    bash "$here/with-wine.sh" "$build" wineserver -w >/dev/null 2>&1 || true
  done
  local pid
  for pid in "${xvfb_pids[@]}"; do
    kill "$pid" >/dev/null 2>&1 || true
    wait "$pid" 2>/dev/null || true
  done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Starts Xvfb on a free display number (no lock file and no socket) and
# prints ":N". Another session may take the same number at the same moment;
# then the next one is tried.
new_display() {
  local n=90 pid
  while :; do
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      xvfb_pids+=("$pid")
      display=":$n"
      return
    fi
    wait "$pid" 2>/dev/null
    n=$((n + 1))
  done
}

own_display=1
[ "${TINTVANE_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ] && own_display=0

# Programs ask for the display scale and the virtual desktop at their start.
session_settings() {
  local wine="bash $here/with-wine.sh $1 wine"
  # Tests that change the display scale put it back; start from 96 regardless.
  $wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
  # On the virtual display every program runs inside a Wine virtual desktop,
  # which manages windows as Windows does; on bare Xvfb (no window manager)
  # hiding a window stalls for seconds. On a real display windows are native.
  if [ $own_display = 1 ]; then
    $wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    $wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  else
    $wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1
  fi
}

for build in $builds; do
  if [ $own_display = 1 ]; then
    new_display
    export "TINTVANE_DISPLAY_$build=$display"
  else
    export "TINTVANE_DISPLAY_$build=$DISPLAY"
  fi
  prefix="$build_dir/wineprefix${build#win}"
  if [ ! -f "$prefix/system.reg" ]; then
    # A new prefix initialises itself once (10 to 20 seconds). That starts the
    # desktop before the settings exist, and every program would then wait
    # seconds for the desktop it asks for: the prefix starts over with them.
    bash "$here/with-wine.sh" "$build" wineboot -i >/dev/null 2>&1
    session_settings "$build"
    bash "$here/with-wine.sh" "$build" wineserver -k >/dev/null 2>&1
    bash "$here/with-wine.sh" "$build" wineserver -w >/dev/null 2>&1
  fi
  bash "$here/with-wine.sh" "$build" wineserver -p >/dev/null 2>&1
  session_settings "$build"
done

bash "$here/with-wine.sh" "$(echo "$builds" | head -n1)" "$@"
