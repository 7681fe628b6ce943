#!/usr/bin/env bash
# The long runs of the program's reliability tests, under Wine:
#   scripts/reliability.sh [BUILD] [--soak-seconds=600] [--events=10000] [--seed=N]
# The soak picks live from a changing picture for ten minutes while the
# program's memory is sampled; the random input sends ten thousand seeded
# events to its window. Both print their figures (docs/reliability.md keeps
# those of the last full run). `make test` runs short versions of both. They
# run with the 32-bit build where this machine runs it, else the 64-bit one.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=build
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then build=$1; shift; fi
build=$(cd "$build" && pwd)
args=(--soak-seconds=600 --events=10000 "$@")
windows_build=$(bash "$here/windows-builds.sh" --preferred)
tree="$build/${windows_build/win32/win}"
echo "Running the ${windows_build#win}-bit build: $tree/ColorTintvane.exe"
exec bash "$here/wine-session.sh" "$build" bash "$here/with-wine.sh" "$windows_build" \
  wine "$tree/e2e_reliability.exe" "$tree/ColorTintvane.exe" "${args[@]}"
