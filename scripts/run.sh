#!/usr/bin/env bash
# Starts ColorTintvane.exe under Wine from BUILD/run, so that its settings file
# lands there: the 32-bit build where this machine runs 32-bit programs, the
# 64-bit one where it does not. With a display (DISPLAY set) it runs there until you close it.
# Without one it runs in a Wine virtual desktop on a virtual display: once its
# window has painted, a screenshot is taken, and the program is closed as a
# person would close it, so that it saves its settings.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
windows_build=$(bash "$here/windows-builds.sh" --preferred)
tree="$build/${windows_build/win32/win}"
exe="$tree/ColorTintvane.exe"
helper="$tree/program_window.exe"
with_wine=(bash "$here/with-wine.sh" "$windows_build")
echo "Running the ${windows_build#win}-bit build: $exe"
mkdir -p "$build/run"
cd "$build/run" || exit 1

if [ -n "${DISPLAY:-}" ]; then
  TINTVANE_USE_DISPLAY=1 exec bash "$here/wine-session.sh" "$build" "${with_wine[@]}" wine "$exe"
fi

shot="$build/run/screenshot.png"
rm -f "$shot"
bash "$here/wine-session.sh" "$build" "${with_wine[@]}" bash -c '
  wine "$1" >/dev/null 2>&1 &
  program=$!
  wine "$2" wait || { echo "The program showed no window." >&2; exit 1; }
  import -window root "$3"
  wine "$2" close || { echo "The program did not close." >&2; exit 1; }
  wait $program
' run "$exe" "$helper" "$shot" || exit $?
# The window alone, its frame included: the virtual desktop around it is one colour.
convert "$shot" -trim +repage "$build/run/window.png"
echo "Screenshot of the program's window on the virtual display: $shot"
echo "The window alone (docs/screenshot.png is a copy of one at a first start): $build/run/window.png"
echo "Settings file it saved when closed: $build/run/ColorTintvane.bin"
