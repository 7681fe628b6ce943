#!/usr/bin/env python3
"""Fails when an include runs against the layers:

    scripts/check_layers.py [SOURCE_DIR]

runtime/ (the OS layer) at the bottom; dialog/ and color/ above it, neither
knowing the other; app/ on top; tests, benchmarks and fuzz targets above all.
A file includes headers of its own folder and of lower layers only. color/
is the pure colour model: of runtime/ it takes only the headers whose code
needs no operating system. Win32 headers only in the files named *_win.cpp of
runtime/ and dialog/, in app/main_win.cpp and in runtime/win32_internal.h,
which only those files include. Prints each offending include and exits 1.
"""
import os
import re
import sys

LAYERS = {"runtime": 0, "dialog": 1, "color": 1, "app": 2, "tests": 3, "bench": 3, "fuzz": 3}
PRODUCT = ("runtime", "dialog", "color", "app")
# The Win32 SDK's headers that this code base could reach for.
WIN32_HEADERS = {
    "windows.h", "windowsx.h", "winbase.h", "winuser.h", "wingdi.h", "winnt.h", "winreg.h", "commctrl.h",
    "commdlg.h", "shellapi.h", "shlobj.h", "shlwapi.h", "shellscalingapi.h", "uxtheme.h", "vssym32.h",
    "dwmapi.h", "objbase.h", "ole2.h", "oleacc.h", "olectl.h", "unknwn.h", "psapi.h", "mmsystem.h",
    "tlhelp32.h", "winsock2.h", "richedit.h", "uiautomation.h", "wincodec.h",
}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def sources(root):
    for folder in LAYERS:
        for base, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                if name.endswith((".h", ".cpp", ".c")):
                    path = os.path.join(base, name)
                    yield os.path.relpath(path, root).replace(os.sep, "/")


def includes(root, path):
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if m:
                yield number, m.group(1) == "<", m.group(2)


def may_use_win32(path):
    folder, name = path.split("/")[0], os.path.basename(path)
    return (folder in ("runtime", "dialog") and name.endswith("_win.cpp")) or path in (
        "app/main_win.cpp", "runtime/win32_internal.h")


def runtime_header_is_os_free(root, header):
    """A runtime header whose code needs no operating system: no *_win.cpp
    beside it, and no Win32 header in it."""
    stem = header[: -len(".h")]
    if os.path.exists(os.path.join(root, stem + "_win.cpp")):
        return False
    return not any(angle and name.lower() in WIN32_HEADERS for _, angle, name in includes(root, header))


def check(root):
    faults = []
    for path in sources(root):
        folder = path.split("/")[0]
        for line, angle, name in includes(root, path):
            where = f"{path}:{line}: includes {name}"
            if angle:
                if folder in PRODUCT and name.lower() in WIN32_HEADERS and not may_use_win32(path):
                    faults.append(f"{where}: Win32 only in *_win.cpp of runtime/ and dialog/ and in app/main_win.cpp")
                continue
            target = name.split("/")[0]
            if target not in LAYERS:
                continue  # a generated header or one beside the file
            if folder in PRODUCT and name == "runtime/win32_internal.h" and not may_use_win32(path):
                faults.append(f"{where}: the scope guards and windows.h are for the *_win.cpp files")
            elif LAYERS[target] > LAYERS[folder] or (
                    LAYERS[target] == LAYERS[folder] and target != folder and folder in PRODUCT):
                faults.append(f"{where}: {folder}/ may not include {target}/, which is not below it")
            elif folder == "color" and target == "runtime" and not runtime_header_is_os_free(root, name):
                faults.append(f"{where}: color/ takes only the runtime's headers that need no operating system")
    return faults


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    faults = check(root)
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) against the layers")
        return 1
    print("every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
