#!/usr/bin/env bash
# Runs a command under Wine on four monitors, as a person with several
# screens has them:
#   scripts/monitor-session.sh win32|win64 BUILD_DIR COMMAND [ARGS...]
# One Xvfb screen split by xrandr into four monitors, which Wine reports as
#   the primary, 1280 x 1024 at (0, 0)
#   one to its right, 1280 x 1024 at (1280, 0)
#   one to its left, 1024 x 768 at (-1024, 0)
#   one above it, 1280 x 720 at (0, -720)
# Wine reads them through Xinerama (UseXRandR off) and shows windows natively,
# without a virtual desktop. The Wine prefix of the given build lies in
# BUILD_DIR, apart from the ordinary session's; scripts/wine-session.sh runs
# the command with that build's Wine and stops what it started. The display started here is stopped at the end.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
windows_build=$1
build=$2
shift 2

xvfb_pid=
stop_display() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" >/dev/null 2>&1 || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap stop_display EXIT
trap 'exit 130' INT TERM

# A free display number, as scripts/wine-session.sh finds one. -noreset keeps
# the monitors when the last client leaves.
n=150
while :; do
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 3584x1744x24 -noreset -nolisten tcp >/dev/null 2>&1 &
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

# The primary takes the screen's output (so the whole screen is no monitor of
# its own) and comes first; the others lie around it in X's coordinates.
xrandr --setmonitor primary 1280/0x1024/0+1024+720 screen >/dev/null &&
  xrandr --setmonitor right 1280/0x1024/0+2304+720 none &&
  xrandr --setmonitor left 1024/0x768/0+0+720 none &&
  xrandr --setmonitor above 1280/0x720/0+1024+0 none || { echo "xrandr could not make the monitors" >&2; exit 1; }

# Wine takes the monitors from Xinerama only when told not to use XRandR; the
# setting must be in place before Wine's first process on the display starts.
TINTVANE_USE_DISPLAY=1 TINTVANE_SESSION_BUILD=$windows_build bash "$here/wine-session.sh" "$build" bash -c '
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v UseXRandR /d N /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  "$@"
' monitors "$@"
