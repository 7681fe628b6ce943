#!/usr/bin/env python3
"""Checks the release that `make dist` makes of one build, made twice into
two folders: the same bytes both times, a zip of the built program, the user
guide and the licence with Windows line ends, and checksums that match.
    dist_test.py BUILD_DIR win32|win64"""
import hashlib
import io
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

BUILD = sys.argv.pop(1) if len(sys.argv) > 1 else "build"
WINDOWS_BUILD = sys.argv.pop(1) if len(sys.argv) > 1 else "win32"
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DIST = os.path.join(ROOT, "scripts", "dist.py")
EXE = os.path.join(BUILD, {"win32": "win", "win64": "win64"}[WINDOWS_BUILD], "ColorTintvane.exe")


def make_dist(out):
    subprocess.run([sys.executable, DIST, BUILD, out, WINDOWS_BUILD], check=True, capture_output=True)
    return {name: open(os.path.join(out, name), "rb").read() for name in os.listdir(out)
            if os.path.isfile(os.path.join(out, name))}


class DistTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folders = [tempfile.TemporaryDirectory() for _ in range(2)]
        cls.first, cls.second = (make_dist(f.name) for f in cls.folders)
        cls.zips = [n for n in cls.first if n.endswith(".zip")]

    @classmethod
    def tearDownClass(cls):
        for f in cls.folders:
            f.cleanup()

    def test_one_zip_named_after_the_version_and_build(self):
        with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
            version = f.read().split("project(ColorTintvane VERSION ")[1].split()[0]
        self.assertEqual(self.zips, ["ColorTintvane-%s-%s.zip" % (version, WINDOWS_BUILD)])

    def test_made_twice_the_bytes_are_the_same(self):
        self.assertEqual(sorted(self.first), sorted(self.second))
        for name in self.first:
            self.assertEqual(self.first[name], self.second[name], name)

    def test_the_zip_holds_the_built_program_the_guide_and_the_licence(self):
        z = zipfile.ZipFile(io.BytesIO(self.first[self.zips[0]]))
        self.assertEqual(z.namelist(), ["ColorTintvane.exe", "README.txt", "LICENSE.txt"])
        self.assertIsNone(z.testzip())
        with open(EXE, "rb") as f:
            self.assertEqual(z.read("ColorTintvane.exe"), f.read())
        for name in ("README.txt", "LICENSE.txt"):
            text = z.read(name)
            # Windows line ends only: every line feed after a carriage return.
            self.assertEqual(text.count(b"\n"), text.count(b"\r\n"), name)
            self.assertTrue(text.endswith(b"\r\n"), name)
        guide = z.read("README.txt").decode("utf-8")
        self.assertTrue(guide.startswith("Color Tintvane\r\n"))
        self.assertIn("Using it", guide)
        self.assertNotIn("For developers\r\n---", guide)
        self.assertNotIn("screenshot.png", guide)
        self.assertNotIn("`", guide)
        licence = z.read("LICENSE.txt").decode("utf-8")
        self.assertTrue(licence.startswith("MIT License\r\n"))
        self.assertIn("Copyright (c) ", licence)
        # The folder beside the zip holds the same files.
        folder = os.path.join(self.folders[0].name, self.zips[0][:-4])
        self.assertEqual(sorted(os.listdir(folder)), sorted(z.namelist()))
        for name in z.namelist():
            with open(os.path.join(folder, name), "rb") as f:
                self.assertEqual(f.read(), z.read(name), name)

    def test_checksums_match_the_zips(self):
        lines = self.first["SHA256SUMS"].decode("ascii").splitlines()
        self.assertEqual(len(lines), len(self.zips))
        for line in lines:
            digest, name = line.split("  ")
            self.assertEqual(hashlib.sha256(self.first[name]).hexdigest(), digest)


if __name__ == "__main__":
    unittest.main()
