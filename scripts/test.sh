#!/usr/bin/env bash
# Runs every test of the built trees in one ctest run:
#   scripts/test.sh BUILD_DIR JOBS
# The native, sanitizer and fuzz trees, and each Windows build: its Windows
# tests run under Wine where this machine can run that build; where it cannot
# (the 32-bit build on a host that runs 64-bit programs only), the build is
# checked as a file and its Windows tests are listed as not run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
jobs=$2

builds=$(bash "$here/windows-builds.sh")
if echo "$builds" | grep -qx win32; then
  statement="This machine runs 32-bit and 64-bit programs: the Windows tests ran against both builds (build/win and build/win64)."
else
  statement="This machine runs 64-bit programs only: the 32-bit build (build/win) was built and checked as a file; its Windows tests did not run. The 64-bit build's (build/win64) did."
fi
echo "$statement"

# The scaled runs note each retry of theirs here, e2e.monitors' (which runs in
# a Wine session of its own) too: one per make test at most.
export TINTVANE_SCALED_RETRIES="$(cd "$build" && pwd)/scaled-retries.txt"
rm -f "$TINTVANE_SCALED_RETRIES"
printf 'subdirs("native")\nsubdirs("asan")\nsubdirs("fuzz")\nsubdirs("win")\nsubdirs("win64")\n' > "$build/CTestTestfile.cmake"
bash "$here/wine-session.sh" "$build" ctest --test-dir "$build" --output-on-failure -j"$jobs"
status=$?
echo "$statement"
exit $status
