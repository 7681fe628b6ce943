#!/usr/bin/env python3
"""Runs a Windows test executable under Wine once per display scale:
    at_display_scales.py TEST.exe PPI [PPI...] [-- ARGUMENTS...]
with the arguments after "--" passed to the executable. The scale is the Wine prefix's LogPixels, read by each process at its start;
the executable checks it through TINTVANE_EXPECT_PPI. 96 is put back in all
cases."""
import os
import signal
import subprocess
import sys
import tempfile

# Each run's limit: four runs stay well inside the test's own 900 s limit.
RUN_TIMEOUT = 180


def set_pixels_per_inch(ppi):
    subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                    "/t", "REG_DWORD", "/d", str(ppi), "/f"],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def run(command, env):
    """Runs the test program once and prints its output. Returns None when it
    passed, else the reason and the failures it reported. The output goes
    through a file: a process Wine starts on the way may keep a pipe open."""
    with tempfile.TemporaryFile() as out:
        try:
            code = subprocess.run(command, env=env, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=RUN_TIMEOUT).returncode
            reason = None if code == 0 else f"exit status {code}"
        except subprocess.TimeoutExpired:
            reason = f"no end within {RUN_TIMEOUT} s"
        out.seek(0)
        text = out.read().decode("utf-8", "replace")
    sys.stdout.write(text)
    sys.stdout.flush()
    if reason is None:
        return None
    # GoogleTest's failure messages (from "file:line: Failure" to the next
    # "[" line) and the names of the failed tests.
    failures, inside = [], False
    for line in text.splitlines():
        if line.startswith("["):
            inside = False
            if line.startswith("[  FAILED  ]") and "listed below" not in line:
                failures.append(line)
        elif ": Failure" in line:
            inside = True
        if inside:
            failures.append(line)
    return reason, failures


def report(ppi, what, failure):
    reason, failures = failure
    print(f"--- {ppi} pixels per inch: {what} failed ({reason})", flush=True)
    for line in failures[:40]:
        print("    " + line)
    if len(failures) > 40:
        print(f"    ... {len(failures) - 40} more lines above")
    sys.stdout.flush()


def main():
    args = sys.argv[1:]
    split = args.index("--") if "--" in args else len(args)
    exe, scales, extra = args[0], args[1:split], args[split + 1:]
    # A run stopped from outside still puts 96 back, for the tests after it.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    failed, passed_again = [], []
    try:
        for ppi in scales:
            set_pixels_per_inch(ppi)
            print(f"--- {ppi} pixels per inch", flush=True)
            env = dict(os.environ, TINTVANE_EXPECT_PPI=ppi)
            first = run(["wine", exe] + extra, env)
            if first is None:
                continue
            # At a scaled display, Wine's virtual desktop now and then echoes a
            # pointer position back rounded by one pixel, and the input-driven
            # test then waits in vain for the exact position. One more run
            # tells that apart from a fault, which fails every time. The first
            # failure is reported either way, with its reason, so a real fault
            # that comes and goes stays visible.
            report(ppi, "the first run", first)
            print(f"--- {ppi} pixels per inch, once more", flush=True)
            second = run(["wine", exe] + extra, env)
            if second is None:
                passed_again.append((ppi, first))
            else:
                report(ppi, "the second run", second)
                failed.append(ppi)
    finally:
        set_pixels_per_inch(96)
    for ppi, first in passed_again:
        report(ppi, "passed only on the second run; the first run", first)
    if failed:
        print("failed at " + ", ".join(failed) + " pixels per inch")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
