#!/usr/bin/env bash
# Prints the Windows builds this machine can run under Wine, one per line:
# "win32" when 32-bit programs run here, then "win64". It finds out by
# running the 32-bit Wine loader: hosts that run 64-bit programs only refuse
# it with "Exec format error".
#   --preferred              print only the build to run the program with: the
#                            32-bit one where it runs, else the 64-bit one
#   TINTVANE_HOST_64_ONLY=1  act as such a host would (a switch of the test
#                            bed, to prove that path on a host that runs both)
set -uo pipefail
if [ "${1:-}" = --preferred ]; then
  bash "$0" | head -n1
  exit
fi
if [ "${TINTVANE_HOST_64_ONLY:-0}" != 1 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo win32
fi
echo win64
