#!/usr/bin/env bash
# Starts ColorTintvane.exe under Wine from BUILD/run, so that its settings file
# lands there. With a display (DISPLAY set) it runs there; without one it runs
# in a Wine virtual desktop on a virtual display and a screenshot is written.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
exe="$build/win/ColorTintvane.exe"
mkdir -p "$build/run"
cd "$build/run" || exit 1

if [ -n "${DISPLAY:-}" ]; then
  TINTVANE_USE_DISPLAY=1 exec bash "$here/wine-session.sh" "$build" wine "$exe"
fi

shot="$build/run/screenshot.png"
bash "$here/wine-session.sh" "$build" bash -c '
  wine explorer /desktop=ColorTintvane,1024x768 "$1" >/dev/null 2>&1 &
  # Give the program time to start and draw (it may also have ended by then).
  sleep 5
  import -window root "$2"
' run "$exe" "$shot" || exit $?
echo "Screenshot of the virtual desktop: $shot"
echo "Settings file: $build/run/ColorTintvane.bin"
