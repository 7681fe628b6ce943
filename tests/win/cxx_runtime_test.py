#!/usr/bin/env python3
"""The shipped program's C++ runtime failure paths (runtime/cxx_runtime.cpp),
run for real under Wine through tests/win/cxx_runtime_failures.exe: a failed
allocation, a container's length error and std::terminate end the process
as abort() does (exit code 3), as the library's own paths did, but without
the library's message, which only its verbose terminate handler writes; a
nothrow allocation that fails gives null and the program goes on.
    cxx_runtime_test.py PATH/cxx_runtime_failures.exe"""
import subprocess
import sys
import unittest

HELPER = sys.argv.pop(1) if len(sys.argv) > 1 else "cxx_runtime_failures.exe"
ABORT_EXIT_CODE = 3  # what the C runtime's abort() ends a process with


def run(path):
    return subprocess.run(["wine", HELPER, path], capture_output=True, text=True, timeout=120)


class CxxRuntimeTest(unittest.TestCase):
    def test_failures_end_the_process_as_abort_does(self):
        for path in ("new", "vector", "string", "terminate"):
            with self.subTest(path=path):
                done = run(path)
                self.assertEqual(done.returncode, ABORT_EXIT_CODE, done.stdout + done.stderr)
                self.assertNotIn("survived", done.stdout)
                self.assertNotIn("terminate called", done.stderr)

    def test_nothrow_allocation_fails_with_null_and_goes_on(self):
        done = run("nothrow")
        self.assertEqual((done.returncode, done.stdout.strip()), (0, "survived"), done.stderr)

    def test_allocation_works(self):
        done = run("fine")
        self.assertEqual((done.returncode, done.stdout.strip()), (0, "survived"), done.stderr)


if __name__ == "__main__":
    unittest.main()
