#!/usr/bin/env bash
# Runs a command with the Wine of one Windows build:
#   scripts/with-wine.sh win32|win64 COMMAND [ARGS...]
# Each build has its own prefix in the session's build folder
# (TINTVANE_WINE_ROOT, set by scripts/wine-session.sh): BUILD/wineprefix32
# or BUILD/wineprefix64, and its own display (TINTVANE_DISPLAY_win32 or
# _win64). For win64, `wine` on the PATH is the 64-bit loader.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
arch=$1
shift
root=${TINTVANE_WINE_ROOT:?run inside scripts/wine-session.sh}
case "$arch" in
  win32) export WINEARCH=win32 WINEPREFIX="$root/wineprefix32"
         unset WINELOADER
         PATH=$(echo "$PATH" | sed "s|$here/wine64-loader:||g") ;;
  win64) export WINEARCH=win64 WINEPREFIX="$root/wineprefix64" WINELOADER=/usr/lib/wine/wine64
         export PATH="$here/wine64-loader:$PATH" ;;
  *) echo "with-wine.sh: unknown build '$arch'" >&2; exit 2 ;;
esac
display_of_build="TINTVANE_DISPLAY_$arch"
export DISPLAY="${!display_of_build:?run inside scripts/wine-session.sh}"
exec "$@"
