#!/usr/bin/env python3
"""Fails when an include runs against the layers:

    scripts/check_layers.py [SOURCE_DIR]

runtime/ (the OS layer) at the bottom; dialog/ and color/ above it, neither
knowing the other; app/ on top; tests, benchmarks, fuzz targets and the
resource script above all. A file includes headers of its own folder and of
lower layers only. color/ is the pure colour model: of runtime/ it takes only
the headers whose code needs no operating system. Win32 headers only in the
files named *_win.cpp of runtime/ and dialog/, in app/main_win.cpp and in
runtime/win32_internal.h, which only those files include. The resource
script (resources/) takes the resource compiler's constants from windows.h.

Every include is resolved to its file as the compiler finds it before it is
judged: a quoted name beside the including file first, then either kind in
the build's include roots (the source folder), `../` and all. An include that
names no file of the tree is a system or library header. Every file of the
layers' folders that the preprocessor reads is checked, whatever its kind
(.cpp, .h, .c, .inl, .rc, ...). Prints each offending include and exits 1.
"""
import os
import re
import sys

LAYERS = {"runtime": 0, "dialog": 1, "color": 1, "app": 2, "tests": 3, "bench": 3, "fuzz": 3, "resources": 3}
PRODUCT = ("runtime", "dialog", "color", "app")
# The Win32 SDK's headers that this code base could reach for.
WIN32_HEADERS = {
    "windows.h", "windowsx.h", "winbase.h", "winuser.h", "wingdi.h", "winnt.h", "winreg.h", "commctrl.h",
    "commdlg.h", "shellapi.h", "shlobj.h", "shlwapi.h", "shellscalingapi.h", "uxtheme.h", "vssym32.h",
    "dwmapi.h", "objbase.h", "ole2.h", "oleacc.h", "olectl.h", "unknwn.h", "psapi.h", "mmsystem.h",
    "tlhelp32.h", "winsock2.h", "richedit.h", "uiautomation.h", "wincodec.h",
}
# Files whose `#` opens a comment: an "#include" line there is no include.
NOT_PREPROCESSED = (".py", ".sh", ".cmake")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
WIN32_INTERNAL = "runtime/win32_internal.h"


def is_text(path):
    with open(path, "rb") as f:
        return b"\0" not in f.read(8192)


def sources(root):
    """Every file of the layers' folders that the preprocessor reads: each
    file with an include line, but scripts (and binary files)."""
    for folder in LAYERS:
        for base, dirs, names in os.walk(os.path.join(root, folder)):
            dirs.sort()
            for name in sorted(names):
                path = os.path.join(base, name)
                if name.endswith(NOT_PREPROCESSED) or not is_text(path):
                    continue
                relative = os.path.relpath(path, root).replace(os.sep, "/")
                if any(True for _ in includes(root, relative)):
                    yield relative


def includes(root, path):
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if m:
                yield number, m.group(1) == "<", m.group(2).strip()


def resolve(root, path, angle, name):
    """The tree's file that `#include` of `name` in `path` reads, as the
    compiler finds it: a quoted name beside the including file first, then
    either kind in the include roots; None for a file outside the tree."""
    bases = ([os.path.dirname(path)] if not angle else []) + [""]  # "": the source folder, the build's include root
    for base in bases:
        target = os.path.normpath(os.path.join(base, name)).replace(os.sep, "/")
        if target == ".." or target.startswith("../") or os.path.isabs(target):
            continue
        if os.path.isfile(os.path.join(root, target)):
            return target
    return None


def names_win32_header(name):
    return os.path.basename(name).lower() in WIN32_HEADERS


def may_use_win32(path):
    folder, name = path.split("/")[0], os.path.basename(path)
    return (folder in ("runtime", "dialog") and name.endswith("_win.cpp")) or path in ("app/main_win.cpp", WIN32_INTERNAL)


def runtime_header_is_os_free(root, header, seen=None):
    """A runtime header whose code needs no operating system: no *_win.cpp
    beside it, no Win32 header in it, and only such runtime headers taken."""
    seen = set() if seen is None else seen
    if header in seen:
        return True
    seen.add(header)
    stem = os.path.splitext(header)[0]
    if header == WIN32_INTERNAL or os.path.exists(os.path.join(root, stem + "_win.cpp")):
        return False
    for _, angle, name in includes(root, header):
        target = resolve(root, header, angle, name)
        if target is None:
            if names_win32_header(name):
                return False
        elif target.split("/")[0] == "runtime" and not runtime_header_is_os_free(root, target, seen):
            return False
    return True


def check(root):
    faults = []
    for path in sources(root):
        folder = path.split("/")[0]
        for line, angle, name in includes(root, path):
            where = f"{path}:{line}: includes {name}"
            target = resolve(root, path, angle, name)
            if target is None:
                if folder in PRODUCT and names_win32_header(name) and not may_use_win32(path):
                    faults.append(f"{where}: Win32 only in *_win.cpp of runtime/ and dialog/ and in app/main_win.cpp")
                continue
            into = target.split("/")[0]
            if into not in LAYERS:
                continue  # a file at the top of the tree, of no layer
            if folder in PRODUCT and target == WIN32_INTERNAL and not may_use_win32(path):
                faults.append(f"{where}: the scope guards and windows.h are for the *_win.cpp files")
            elif LAYERS[into] > LAYERS[folder] or (LAYERS[into] == LAYERS[folder] and into != folder and folder in PRODUCT):
                faults.append(f"{where}: {folder}/ may not include {into}/, which is not below it")
            elif folder == "color" and into == "runtime" and not runtime_header_is_os_free(root, target):
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
