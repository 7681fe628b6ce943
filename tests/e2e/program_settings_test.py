#!/usr/bin/env python3
"""Runs ColorTintvane.exe under Wine and reads and writes its settings file
with Python's own zlib and XML parser, independently of the program's code."""
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "win"))
from at_display_scales import set_pixels_per_inch  # noqa: E402

EXE = os.path.abspath(sys.argv.pop(1) if len(sys.argv) > 1 else "ColorTintvane.exe")
MARKER = 0x42424242
FIELDS = ["CRC", "Color", "ColorFormat", "ColorFormatLCase", "CapturedImg", "WinX", "WinY",
          "WinTopmost", "WinExpanded", "Autocopy", "ColorRecent", "CapturedImgData"]
ARRAYS = {"ColorRecent": 16, "CapturedImgData": 651}


def read_settings(path):
    """(fields, text): every field by name; arrays as lists."""
    with open(path, "rb") as f:
        data = f.read()
    length = struct.unpack_from("<q", data)[0]
    assert data[8:10] == b"\x78\x9c", data[8:10]
    text = zlib.decompress(data[8:])
    assert len(text) == length, (len(text), length)
    root = ET.fromstring(text)
    assert root.tag == "CONFIG"
    assert [child.tag for child in root] == FIELDS
    fields = {}
    for child in root:
        if child.tag in ARRAYS:
            items = list(child)
            assert len(items) == ARRAYS[child.tag] and all(i.tag == "element" for i in items)
            fields[child.tag] = [int(i.text) for i in items]
        else:
            fields[child.tag] = int(child.text)
    return fields, text


def settings_text(fields, pretty=False):
    root = ET.Element("CONFIG")
    for name in FIELDS:
        el = ET.SubElement(root, name)
        if name in ARRAYS:
            for v in fields[name]:
                ET.SubElement(el, "element").text = str(v)
        else:
            el.text = str(fields[name])
    if pretty:
        ET.indent(root)
        return b'<?xml version="1.0" encoding="UTF-8"?>\n' + ET.tostring(root)
    return ET.tostring(root)


def write_settings(path, fields, pretty=False):
    text = settings_text(fields, pretty)
    with open(path, "wb") as f:
        f.write(struct.pack("<q", len(text)) + zlib.compress(text, 6))


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def sample_fields():
    return {
        "CRC": MARKER, "Color": 0x3C2B1A, "ColorFormat": 3, "ColorFormatLCase": 1,
        "CapturedImg": 0, "WinX": 40, "WinY": 77, "WinTopmost": 1, "WinExpanded": 0,
        "Autocopy": 1, "ColorRecent": [i * 0x050403 for i in range(16)],
        "CapturedImgData": [(i * 2654435761) & 0xFFFFFF for i in range(651)],
    }


WINDOW_HELPER = os.path.join(os.path.dirname(EXE), "program_window.exe")


def run_program(folder):
    """Starts the program in the folder, closes its window as a person does
    once it shows, and checks that it ended with exit code 0."""
    program = subprocess.Popen(["wine", EXE], cwd=folder,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        closed = subprocess.run(["wine", WINDOW_HELPER, "close"], timeout=120,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        assert closed.returncode == 0, (closed.returncode, closed.stderr.decode(errors="replace"))
        assert program.wait(timeout=60) == 0
    finally:
        if program.poll() is None:
            program.kill()


class ProgramSettingsTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="tintvane-e2e-")
        self.file = os.path.join(self.folder, "ColorTintvane.bin")

    def tearDown(self):
        set_pixels_per_inch(96)
        for name in os.listdir(self.folder):
            os.remove(os.path.join(self.folder, name))
        os.rmdir(self.folder)

    def assert_defaults(self, fields, win_x=320, win_y=240):
        grey = fields["Color"] & 0xFF
        self.assertEqual(fields["Color"], grey * 0x010101)
        self.assertEqual(fields["CRC"], MARKER)
        expected = {"ColorFormat": 0, "ColorFormatLCase": 0, "WinTopmost": 0, "WinExpanded": 1,
                    "Autocopy": 0, "WinX": win_x, "WinY": win_y,
                    "ColorRecent": [0] * 16, "CapturedImgData": [0] * 651}
        self.assertEqual({k: fields[k] for k in expected}, expected)

    def test_first_start_leaves_the_defaults(self):
        run_program(self.folder)
        fields, text = read_settings(self.file)
        self.assert_defaults(fields)
        self.assertTrue(text.startswith(b"<CONFIG><CRC>1111638594</CRC><Color>"))
        self.assertEqual(sorted(os.listdir(self.folder)), ["ColorTintvane.bin"])

    def test_first_start_stores_the_same_logical_position_at_every_scale(self):
        # (320, 240) logical units: the windowing layer scales it to pixels,
        # and the file keeps the logical units at every display scale.
        for ppi, x, y in [(120, 320, 240), (144, 320, 240), (192, 320, 240)]:
            with self.subTest(ppi=ppi):
                set_pixels_per_inch(ppi)
                if os.path.exists(self.file):
                    os.remove(self.file)
                run_program(self.folder)
                self.assert_defaults(read_settings(self.file)[0], x, y)

    def test_valid_file_keeps_every_field(self):
        write_settings(self.file, sample_fields())
        run_program(self.folder)
        fields, text = read_settings(self.file)
        self.assertEqual(fields, sample_fields())
        self.assertEqual(text, settings_text(sample_fields()))

    def test_pretty_printed_file_loads_like_the_compact_form(self):
        write_settings(self.file, sample_fields(), pretty=True)
        run_program(self.folder)
        fields, text = read_settings(self.file)
        self.assertEqual(fields, sample_fields())
        self.assertNotIn(b"\n", text)

    def test_foreign_or_damaged_files_give_defaults(self):
        wrong_marker = dict(sample_fields(), CRC=MARKER - 1)
        cases = {
            "wrong marker": lambda: write_settings(self.file, wrong_marker),
            "damaged stream": lambda: write_bytes(self.file, b"\x10\0\0\0\0\0\0\0\x78\x9cgarbage!"),
            "too short": lambda: write_bytes(self.file, b"\x01\x02"),
        }
        for what, make in cases.items():
            with self.subTest(what):
                make()
                run_program(self.folder)
                self.assert_defaults(read_settings(self.file)[0])


if __name__ == "__main__":
    unittest.main()
