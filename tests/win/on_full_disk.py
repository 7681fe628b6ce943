#!/usr/bin/env python3
"""Runs a Windows test executable under Wine with a small file system of its
own, which the test fills up:
    on_full_disk.py FOLDER TEST.exe [ARGUMENTS...]
FOLDER becomes a 256 KiB tmpfs for the run and is unmounted afterwards; the
executable finds it through TINTVANE_FULL_DISK (a Windows path). Mounting
needs root: elsewhere the test is reported as skipped (exit status 77)."""
import os
import subprocess
import sys

SKIPPED = 77
RUN_TIMEOUT = 120


def unmount(folder):
    if os.path.ismount(folder):
        # Lazily if a process that has just ended still holds it.
        if subprocess.run(["umount", folder], stderr=subprocess.DEVNULL).returncode != 0:
            subprocess.run(["umount", "-l", folder], check=False)


def main():
    folder, command = os.path.abspath(sys.argv[1]), sys.argv[2:]
    os.makedirs(folder, exist_ok=True)
    unmount(folder)  # left mounted by a run that was killed
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=256k,mode=0755", "tmpfs", folder],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if mounted.returncode != 0:
        print("skipped: a small file system cannot be mounted here:",
              mounted.stdout.decode(errors="replace").strip())
        return SKIPPED
    try:
        env = dict(os.environ, TINTVANE_FULL_DISK="Z:" + folder.replace("/", "\\"))
        return subprocess.run(["wine"] + command, env=env, timeout=RUN_TIMEOUT).returncode
    finally:
        unmount(folder)


if __name__ == "__main__":
    sys.exit(main())
