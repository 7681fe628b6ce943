#!/usr/bin/env bash
# Screenshots of the program's window at several display scales, for looking
# at side by side:
#   scripts/screenshots.sh BUILD_DIR PPI [PPI...]
# Each scale starts the program on its first start (no settings file) in
# BUILD_DIR/screenshots/PPI and keeps the window's picture as window-PPI.png;
# then side-by-side.png shows each window next to the first one magnified to
# its size. 96 pixels per inch is put back at the end.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
shift
out="$build/screenshots"
mkdir -p "$out"
bash "$here/wine-session.sh" "$build" bash -c '
  exe=$1 helper=$2 out=$3
  shift 3
  for ppi in "$@"; do
    wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$ppi" /f >/dev/null 2>&1
    rm -rf "$out/$ppi" && mkdir -p "$out/$ppi" && cd "$out/$ppi" || exit 1
    wine "$exe" >/dev/null 2>&1 &
    program=$!
    rect=$(wine "$helper" rect | tr -d "\r") || { echo "no window at $ppi" >&2; exit 1; }
    set -- $rect "$@"
    import -window root "$out/root-$ppi.png"
    convert "$out/root-$ppi.png" -crop "$3x$4+$1+$2" +repage "$out/window-$ppi.png"
    echo "$ppi pixels per inch: window at $1,$2, $3 x $4 pixels"
    shift 4
    wine "$helper" close >/dev/null || echo "the program did not close at $ppi" >&2
    wait $program
  done
  wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
' shots "$build/win/ColorTintvane.exe" "$build/win/program_window.exe" "$out" "$@" || exit $?
first=$1
for ppi in "$@"; do
  [ "$ppi" = "$first" ] && continue
  size=$(identify -format "%wx%h!" "$out/window-$ppi.png")
  convert "$out/window-$first.png" -filter point -resize "$size" "$out/magnified-$first-to-$ppi.png"
  convert "$out/magnified-$first-to-$ppi.png" "$out/window-$ppi.png" -background white -splice 10x0 +append \
    "$out/side-by-side-$first-$ppi.png"
done
ls "$out"/*.png
