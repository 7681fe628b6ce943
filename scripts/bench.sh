#!/usr/bin/env bash
# The Windows benchmarks under Wine, each beside its floor, for every Windows
# build this machine runs (scripts/windows-builds.sh); a build it cannot run
# is named as not run here:
#   scripts/bench.sh BUILD
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
runs=$(bash "$here/windows-builds.sh")
status=0
for windows_build in win32 win64; do
  tree="$build/${windows_build/win32/win}"
  bits=${windows_build#win}
  if ! echo "$runs" | grep -qx "$windows_build"; then
    echo "== The $bits-bit build: not run here (this machine runs 64-bit programs only)"
    continue
  fi
  echo "== The $bits-bit build: $tree"
  wine=(env TINTVANE_SESSION_BUILD="$windows_build" bash "$here/wine-session.sh" "$build" bash "$here/with-wine.sh" "$windows_build" wine)
  "${wine[@]}" "$tree/picker_tick_bench.exe" || status=1
  "${wine[@]}" "$tree/picker_tick_bench.exe" 10 100 autocopy || status=1
  "${wine[@]}" "$tree/startup_bench.exe" "$tree/ColorTintvane.exe" "$tree/bare_window.exe" \
    "$tree/controls_window.exe" "$tree/ColorTintvane_timed.exe" "$tree/controls_window_timed.exe" 15 || status=1
done
exit $status
