#!/usr/bin/env bash
# The Windows benchmarks under Wine, each beside its floor:
#   scripts/bench.sh BUILD
# with the 32-bit build where this machine runs it, else the 64-bit one.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
windows_build=$(bash "$here/windows-builds.sh" --preferred)
tree="$build/${windows_build/win32/win}"
echo "Running the ${windows_build#win}-bit build: $tree"
wine=(bash "$here/wine-session.sh" "$build" bash "$here/with-wine.sh" "$windows_build" wine)
"${wine[@]}" "$tree/picker_tick_bench.exe" || exit $?
"${wine[@]}" "$tree/picker_tick_bench.exe" 10 100 autocopy || exit $?
"${wine[@]}" "$tree/startup_bench.exe" "$tree/ColorTintvane.exe" "$tree/bare_window.exe" "$tree/controls_window.exe"
