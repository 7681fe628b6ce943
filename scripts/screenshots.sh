#!/usr/bin/env bash
# Screenshots of the program's window at several display scales, for looking
# at side by side:
#   scripts/screenshots.sh BUILD_DIR PPI [PPI...]
# It takes the build this machine runs, as `make run` does: the 32-bit one
# where 32-bit programs run, else the 64-bit one (scripts/windows-builds.sh).
# Each scale starts the program on its first start (no settings file) in
# BUILD_DIR/screenshots/PPI and keeps the window's picture as window-PPI.png;
# then side-by-side-FIRST-PPI.png shows each window next to the first one
# magnified to its size. 96 pixels per inch is put back at the end. Any step that fails
# (no window, no picture, a picture of one colour, no close) ends the run
# with a non-zero exit status.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -lt 2 ]; then
  echo "usage: scripts/screenshots.sh BUILD_DIR PPI [PPI...]" >&2
  exit 2
fi
build=$(cd "$1" && pwd) || exit 1
shift
windows_build=$(bash "$here/windows-builds.sh" --preferred)
tree="$build/${windows_build/win32/win}"
exe="$tree/ColorTintvane.exe"
helper="$tree/program_window.exe"
for file in "$exe" "$helper"; do
  [ -f "$file" ] || { echo "$file is missing: build the ${windows_build#win}-bit tree first" >&2; exit 1; }
done
echo "Screenshots of the ${windows_build#win}-bit build: $exe"
out="$build/screenshots"
mkdir -p "$out" || exit 1
bash "$here/wine-session.sh" "$build" bash "$here/with-wine.sh" "$windows_build" bash -c '
  set -euo pipefail
  exe=$1 helper=$2 out=$3
  shift 3
  scale() { wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
  trap "scale 96 || echo \"96 pixels per inch could not be put back\" >&2" EXIT
  for ppi in "$@"; do
    scale "$ppi" || { echo "cannot set $ppi pixels per inch" >&2; exit 1; }
    rm -rf "$out/$ppi" && mkdir -p "$out/$ppi" && cd "$out/$ppi"
    wine "$exe" >/dev/null 2>&1 &
    program=$!
    rect=$(wine "$helper" rect | tr -d "\r") || { echo "no window at $ppi pixels per inch" >&2; exit 1; }
    read -r x y width height <<<"$rect"
    [[ "$x $y $width $height" =~ ^-?[0-9]+\ -?[0-9]+\ [0-9]+\ [0-9]+$ ]] ||
      { echo "no rectangle for the window at $ppi pixels per inch: \"$rect\"" >&2; exit 1; }
    import -window root "$out/root-$ppi.png"
    convert "$out/root-$ppi.png" -crop "${width}x${height}+${x}+${y}" +repage "$out/window-$ppi.png"
    # A window that never painted, or a screen without it, is one colour.
    colours=$(identify -format %k "$out/window-$ppi.png")
    [ "$colours" -gt 1 ] || { echo "the picture at $ppi pixels per inch is of one colour" >&2; exit 1; }
    echo "$ppi pixels per inch: window at $x,$y, $width x $height pixels"
    wine "$helper" close >/dev/null || { echo "the program did not close at $ppi pixels per inch" >&2; exit 1; }
    wait "$program" || { echo "the program ended with exit status $? at $ppi pixels per inch" >&2; exit 1; }
  done
' shots "$exe" "$helper" "$out" "$@" || exit $?
set -e
first=$1
for ppi in "$@"; do
  [ "$ppi" = "$first" ] && continue
  size=$(identify -format "%wx%h!" "$out/window-$ppi.png")
  convert "$out/window-$first.png" -filter point -resize "$size" "$out/magnified-$first-to-$ppi.png"
  convert "$out/magnified-$first-to-$ppi.png" "$out/window-$ppi.png" -background white -splice 10x0 +append \
    "$out/side-by-side-$first-$ppi.png"
done
ls "$out"/*.png
