#!/usr/bin/env python3
"""Runs the main window's dialog tests of win_dialog.exe with the display
scaled to 120 and 144 pixels per inch, and puts 96 back in all cases."""
import os
import subprocess
import sys
import unittest

EXE = os.path.abspath(sys.argv.pop(1) if len(sys.argv) > 1 else "win_dialog.exe")


def set_pixels_per_inch(ppi):
    subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                    "/t", "REG_DWORD", "/d", str(ppi), "/f"],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class DialogScaleTest(unittest.TestCase):
    def tearDown(self):
        set_pixels_per_inch(96)

    def test_main_window_at_larger_scales(self):
        for ppi in (120, 144):
            with self.subTest(ppi=ppi):
                set_pixels_per_inch(ppi)
                run = subprocess.run(["wine", EXE, "--gtest_filter=MainWindowTest.*:ScaledDialogTest.*"],
                                     env=dict(os.environ, TINTVANE_EXPECT_PPI=str(ppi)),
                                     capture_output=True, text=True, timeout=240)
                self.assertEqual(run.returncode, 0, run.stdout[-3000:])
                self.assertIn("[  PASSED  ]", run.stdout)


if __name__ == "__main__":
    unittest.main()
