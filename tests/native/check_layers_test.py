#!/usr/bin/env python3
"""scripts/check_layers.py on small trees of its own: a clean tree, whose
includes take every allowed spelling, passes; each include against the
layers, planted in a copy of it in each spelling and kind of file, fails it.
    check_layers_test.py"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")
sys.path.insert(0, SCRIPTS)
import check_layers  # noqa: E402

# A tree that keeps every rule, with the spellings the rules must accept:
# quoted and angled names from the source folder, names beside the file,
# `../`, Win32 where it belongs, and an include line in a script.
CLEAN = {
    "runtime/raster.h": "#include <stdint.h>\n",
    "runtime/raster.cpp": '#include "runtime/raster.h"\n',
    "runtime/windowing.h": '#include "raster.h"\n',
    "runtime/windowing_win.cpp": '#include <windows.h>\n#include "runtime/win32_internal.h"\n#include "windowing.h"\n',
    "runtime/win32_internal.h": "#include <windows.h>\n#include <commctrl.h>\n",
    "runtime/pixels.inl": '#include "raster.h"\n',
    "runtime/probe.c": '#include "runtime/raster.h"\n',
    "runtime/wrapper.h": '#include "windowing.h"\n',
    "dialog/layout.h": "#include <runtime/raster.h>\n",
    "dialog/dialog_win.cpp": '#include <windows.h>\n#include "../runtime/win32_internal.h"\n#include "layout.h"\n',
    "color/model.h": '#include "../runtime/raster.h"\n',
    "color/model.cpp": '#include "model.h"\n#include "runtime/raster.h"\n#include <string>\n',
    "app/program.h": '#include "color/model.h"\n#include "dialog/layout.h"\n#include "runtime/windowing.h"\n',
    "app/program.cpp": '#include "program.h"\n#include <app/program.h>\n#include "../color/model.h"\n',
    "app/main_win.cpp": '#include <windows.h>\n#include "app/program.h"\n',
    "tests/helper.h": '#include "app/program.h"\n',
    "tests/program_test.cpp": '#include <windows.h>\n#include "tests/helper.h"\n#include "runtime/win32_internal.h"\n',
    "resources/program.rc": "#include <windows.h>\n",
    "runtime/make_table.py": '#include "app/program.h" is a comment here\nprint("table")\n',
}

# (what, the file planted, its text): each must fail the check on that file.
UPWARD = [
    ("quoted, from the source folder", "runtime/bad.cpp", '#include "app/program.h"\n'),
    ("angled", "runtime/bad.cpp", "#include <app/program.h>\n"),
    ("through ../", "runtime/bad.cpp", '#include "../app/program.h"\n'),
    ("through ../ from a subfolder", "runtime/deep/bad.cpp", '#include "../../color/model.h"\n'),
    ("through ./ and ../ inside the name", "dialog/bad.cpp", '#include "./../app/../app/program.h"\n'),
    ("sideways, colour to dialog", "color/bad.cpp", '#include "../dialog/layout.h"\n'),
    ("sideways, dialog to colour, angled", "dialog/bad.h", "#include <color/model.h>\n"),
    ("the program into the tests", "app/bad.cpp", '#include "tests/helper.h"\n'),
    ("spaced out", "runtime/bad.cpp", '  #  include   "app/program.h"\n'),
    ("in a header", "runtime/bad.h", '#include "app/program.h"\n'),
    ("in a C file", "runtime/bad.c", '#include "app/program.h"\n'),
    ("in an inline file", "runtime/bad.inl", '#include "app/program.h"\n'),
    ("in a resource script", "runtime/bad.rc", '#include "app/program.h"\n'),
    ("in a file of another kind", "color/bad.ipp", "#include <app/program.h>\n"),
]
WIN32 = [
    ("windows.h in runtime/ outside *_win.cpp", "runtime/bad.cpp", "#include <windows.h>\n"),
    ("quoted", "runtime/bad.cpp", '#include "windows.h"\n'),
    ("spelt in capitals", "dialog/bad.cpp", "#include <Windows.h>\n"),
    ("another Win32 header, in a header", "runtime/bad.h", "#include <commctrl.h>\n"),
    ("in an inline file", "runtime/bad.inl", "#include <windows.h>\n"),
    ("in a C file", "dialog/bad.c", "#include <windows.h>\n"),
    ("in a resource script of the program's code", "runtime/bad.rc", "#include <windows.h>\n"),
    ("in app/ beside main_win.cpp", "app/bad_win.cpp", "#include <windows.h>\n"),
    ("in color/, named *_win.cpp", "color/bad_win.cpp", "#include <windows.h>\n"),
    ("the scope guards outside *_win.cpp", "app/bad.cpp", '#include "runtime/win32_internal.h"\n'),
    ("the scope guards beside the file", "runtime/bad.cpp", '#include "win32_internal.h"\n'),
]
COLOR_TAKES_WIN32 = [
    ("quoted", "color/bad.cpp", '#include "runtime/windowing.h"\n'),
    ("angled", "color/bad.h", "#include <runtime/windowing.h>\n"),
    ("through ../", "color/bad.cpp", '#include "../runtime/windowing.h"\n'),
    ("through a runtime header that takes one", "color/bad.cpp", '#include "runtime/wrapper.h"\n'),
    ("the scope guards", "color/bad.cpp", '#include "../runtime/win32_internal.h"\n'),
]


def plant(root, files):
    for path, text in files.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w") as f:
            f.write(text)


class CheckLayers(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="layers.")
        plant(self.root, CLEAN)

    def tearDown(self):
        shutil.rmtree(self.root)

    def run_script(self):
        return subprocess.run([sys.executable, os.path.join(SCRIPTS, "check_layers.py"), self.root],
                              capture_output=True, text=True)

    def test_a_clean_tree_passes(self):
        self.assertEqual(check_layers.check(self.root), [])
        self.assertEqual(self.run_script().returncode, 0)

    def test_every_bad_form_fails_on_its_file(self):
        for rule, cases in (("upward", UPWARD), ("Win32", WIN32), ("colour takes Win32", COLOR_TAKES_WIN32)):
            for what, path, text in cases:
                with self.subTest(rule=rule, what=what, path=path):
                    full = os.path.join(self.root, path)
                    plant(self.root, {path: text})
                    try:
                        faults = check_layers.check(self.root)
                        self.assertTrue(any(f.startswith(path + ":") for f in faults), faults)
                    finally:
                        os.remove(full)

    def test_the_script_fails_and_names_the_include(self):
        plant(self.root, {"runtime/bad.inl": '#include "../app/program.h"\n'})
        result = self.run_script()
        self.assertEqual(result.returncode, 1)
        self.assertIn("runtime/bad.inl:1: includes ../app/program.h", result.stdout)


if __name__ == "__main__":
    unittest.main()
