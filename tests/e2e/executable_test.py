#!/usr/bin/env python3
"""Checks ColorTintvane.exe as a file: a GUI program for its build's processor
(PE32 for i386, PE32+ for x86-64) of at most 768 KiB that imports only DLLs
that no file beside it can replace and has the loader look for their own
dependencies in the system folder only, imports nothing newer than Windows 7,
keeps ASLR and DEP on, carries its manifest (per-monitor DPI aware, with
its fallbacks) and version resources, and none of the start-up stamps of the
benchmark's build beside it.
    executable_test.py PATH/ColorTintvane.exe win32|win64"""
import os
import re
import struct
import sys
import unittest
from xml.etree import ElementTree

EXE = sys.argv.pop(1) if len(sys.argv) > 1 else "ColorTintvane.exe"
BUILD = sys.argv.pop(1) if len(sys.argv) > 1 else "win32"
# machine, optional header magic, the manifest's name for the processor
PROCESSORS = {"win32": (0x14C, 0x10B, "x86"), "win64": (0x8664, 0x20B, "amd64")}

# Windows takes a DLL that a program imports from the program's own folder
# first, unless it is one of the system's known DLLs, which always come from
# the system folder. These are known DLLs on every Windows from 7 on.
KNOWN_DLLS = {
    "advapi32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll",
    "msvcrt.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll",
    "sechost.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
    "ws2_32.dll",
}
# Not a known DLL, but the manifest asks for common controls version 6, which
# Windows resolves side by side from its own store before any folder.
SIDE_BY_SIDE_DLLS = {"comctl32.dll": 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'}

# Every function the two builds import, each of which Windows 7 exports from
# that DLL; what is newer (the per-monitor scale calls of Windows 8.1 and 10)
# is looked up at run time, so the program starts on Windows 7. An import not
# listed fails the test below until it is checked against Windows 7 and
# added here.
WINDOWS_7_IMPORTS = {
    "comctl32.dll": set("""
        _TrackMouseEvent DefSubclassProc ImageList_Add ImageList_Create
        ImageList_Destroy ImageList_Draw ImageList_GetIconSize ImageList_GetImageCount
        ImageList_Remove InitCommonControlsEx RemoveWindowSubclass SetWindowSubclass
    """.split()),
    "gdi32.dll": set("""
        BitBlt CombineRgn CreateCompatibleBitmap CreateCompatibleDC CreateDIBSection CreateRectRgn
        CreateFontIndirectW CreateFontW CreateSolidBrush DeleteDC DeleteObject GdiFlush
        GdiSetBatchLimit GetDeviceCaps GetDIBits GetObjectW GetStockObject
        GetTextMetricsW RestoreDC SaveDC SelectObject SetBkColor SetBkMode SetTextColor
    """.split()),
    "kernel32.dll": set("""
        __C_specific_handler AddVectoredExceptionHandler CloseHandle CreateEventA
        CreateFileW CreateSemaphoreA DeleteCriticalSection DeleteFileW DuplicateHandle
        EnterCriticalSection FindClose FindFirstFileW FindNextFileW FlushFileBuffers
        FormatMessageW FreeLibrary GetCurrentProcess GetCurrentProcessId
        GetCurrentThread GetCurrentThreadId GetEnvironmentVariableW GetFileAttributesExW
        GetFileAttributesW GetFileSizeEx GetFullPathNameW GetHandleInformation
        GetLastError GetLogicalDriveStringsW GetModuleFileNameW GetModuleHandleA
        GetModuleHandleW GetProcAddress GetProcessAffinityMask GetStartupInfoA
        GetSystemDirectoryW GetSystemTimeAsFileTime GetThreadContext GetThreadPriority
        GetTickCount GetTickCount64 GlobalAlloc GlobalFree GlobalLock GlobalSize GlobalUnlock
        InitializeCriticalSection IsDBCSLeadByteEx IsDebuggerPresent
        LeaveCriticalSection LoadLibraryA LoadLibraryExW LoadLibraryW LocalFree MulDiv
        MultiByteToWideChar OpenProcess OutputDebugStringA QueryPerformanceCounter
        QueryPerformanceFrequency RaiseException ReadFile ReleaseSemaphore
        RemoveVectoredExceptionHandler ResetEvent ResumeThread RtlCaptureContext
        RtlLookupFunctionEntry RtlUnwindEx RtlVirtualUnwind SetDllDirectoryW
        SetEnvironmentVariableW SetEvent SetFileAttributesW SetFileInformationByHandle
        SetLastError SetProcessAffinityMask SetThreadContext SetThreadPriority
        SetUnhandledExceptionFilter Sleep SuspendThread TlsAlloc TlsGetValue TlsSetValue
        TryEnterCriticalSection VirtualProtect VirtualQuery WaitForMultipleObjects
        WaitForSingleObject WideCharToMultiByte WriteFile
    """.split()),
    "msvcrt.dll": set("""
        ___lc_codepage_func ___mb_cur_max_func __getmainargs __initenv __iob_func
        __mb_cur_max __p__acmdln __p__commode __p__fmode __set_app_type __setusermatherr
        _acmdln _amsg_exit _beginthreadex _cexit _commode _endthreadex _errno _fmode
        _initterm _iob _lock _onexit _setjmp _setjmp3 _strdup _ultoa _unlock _wcsicmp
        _wcsnicmp abort atoi calloc exit fprintf fputc fputwc free fwprintf fwrite
        getenv localeconv longjmp malloc memchr memcmp memcpy memmove memset printf
        realloc setlocale signal strchr strcmp strerror strlen strncmp strtoul vfprintf
        wcscmp wcslen
    """.split()),
    "user32.dll": set("""
        AdjustWindowRectEx AnimateWindow AppendMenuW BeginPaint CallWindowProcW ClipCursor
        CloseClipboard CreatePopupMenu CreateWindowExW DefWindowProcW DestroyMenu
        DestroyWindow DispatchMessageW DrawEdge DrawFocusRect DrawFrameControl DrawTextW
        EmptyClipboard EnableWindow EndPaint EnumChildWindows EnumDisplayMonitors
        EnumThreadWindows EqualRect FillRect FrameRect GetAncestor GetCapture GetClassLongPtrW
        GetClassLongW GetClientRect GetClipboardData GetCursorPos GetDC GetFocus
        GetForegroundWindow GetKeyboardState GetKeyState GetMessagePos GetMonitorInfoW
        GetParent GetPropW GetScrollInfo GetSysColor GetSysColorBrush GetSystemMetrics
        GetWindow GetWindowLongPtrW GetWindowLongW GetWindowRect GetWindowTextLengthW
        GetWindowTextW InflateRect InvalidateRect IsChild IsDialogMessageW IsIconic
        IsWindow IsWindowEnabled IsWindowVisible KillTimer LoadCursorW LoadImageW MapWindowPoints
        MessageBoxW MonitorFromWindow MoveWindow MsgWaitForMultipleObjectsEx NotifyWinEvent OffsetRect
        OpenClipboard PeekMessageW PostMessageW PtInRect RedrawWindow RegisterClassExW
        RegisterClipboardFormatW ReleaseCapture ReleaseDC ScreenToClient SendMessageW
        SetCapture SetClipboardData SetCursor SetCursorPos SetFocus SetForegroundWindow SetWindowRgn
        SetPropW SetScrollInfo SetScrollPos SetTimer SetWindowLongPtrW SetWindowLongW
        SetWindowPos SetWindowTextW ShowWindow SystemParametersInfoW TrackMouseEvent
        TrackPopupMenu TranslateMessage
    """.split()),
}
# Newer than Windows 7, looked up at run time: named so that a failure says so.
NEWER_THAN_WINDOWS_7 = {
    "GetDpiForWindow", "AdjustWindowRectExForDpi", "GetSystemMetricsForDpi", "SystemParametersInfoForDpi",
    "EnableNonClientDpiScaling", "SetThreadDpiAwarenessContext", "SetProcessDpiAwarenessContext",
    "GetDpiForMonitor", "SetProcessDpiAwareness", "SetDefaultDllDirectories",
}

# docs/exe-size.md says what makes up the file and what was taken out.
MAX_FILE_SIZE = 768 * 1024

IMAGE_FILE_RELOCS_STRIPPED = 0x0001
DLLCHARACTERISTICS_HIGH_ENTROPY_VA = 0x0020
DLLCHARACTERISTICS_DYNAMIC_BASE = 0x0040
DLLCHARACTERISTICS_NX_COMPAT = 0x0100
PE32_PLUS = 0x20B
BASE_RELOCATION_DIRECTORY = 5
LOAD_CONFIG_DIRECTORY = 10
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        assert d[:2] == b"MZ"
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        assert d[pe:pe + 4] == b"PE\0\0"
        self.machine, nsections, _, _, _, optsize, self.characteristics = struct.unpack_from("<HHIIIHH", d, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", d, opt)[0]
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", d, opt + 68)
        # The data directories follow the sizes of stack and heap, which are
        # 64 bits wide in a PE32+ file.
        dirs = opt + (112 if self.magic == PE32_PLUS else 96)
        ndirs = struct.unpack_from("<I", d, dirs - 4)[0]
        self.dirs = [struct.unpack_from("<II", d, dirs + 8 * i) for i in range(ndirs)]
        self.sections = []
        sec = opt + optsize
        for i in range(nsections):
            _, vsize, vaddr, rawsize, rawptr = struct.unpack_from("<8sIIII", d, sec + 40 * i)
            self.sections.append((vaddr, max(vsize, rawsize), rawptr))

    def offset(self, rva):
        for vaddr, size, rawptr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + rawptr
        raise ValueError(hex(rva))

    def cstring(self, rva):
        o = self.offset(rva)
        return self.data[o:self.data.index(b"\0", o)].decode("ascii")

    def imported_dlls(self):
        rva = self.dirs[1][0]
        names = []
        while True:
            desc = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if desc[3] == 0:
                return names
            names.append(self.cstring(desc[3]))
            rva += 20

    def imported_functions(self):
        """{dll name in lower case: set of the names it imports, "#n" for ordinal n}."""
        plus = self.magic == PE32_PLUS
        size, ordinal_flag = (8, 1 << 63) if plus else (4, 1 << 31)
        out = {}
        rva = self.dirs[1][0]
        while True:
            desc = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if desc[3] == 0:
                return out
            names = out.setdefault(self.cstring(desc[3]).lower(), set())
            thunk = desc[0] or desc[4]  # the lookup table, else the address table before binding
            while True:
                entry = struct.unpack_from("<Q" if plus else "<I", self.data, self.offset(thunk))[0]
                if entry == 0:
                    break
                if entry & ordinal_flag:
                    names.add("#%d" % (entry & 0xFFFF))
                else:
                    names.add(self.cstring((entry & 0x7FFFFFFF) + 2))  # past the hint
                thunk += size
            rva += 20

    def load_config(self):
        """(directory size, the structure's bytes as its Size field counts
        them), or None without a load configuration."""
        rva, size = self.dirs[LOAD_CONFIG_DIRECTORY]
        if not rva:
            return None
        o = self.offset(rva)
        counted = struct.unpack_from("<I", self.data, o)[0]
        return size, self.data[o:o + counted]

    def resources(self):
        """{(type, id): bytes} for numeric types and ids."""
        base = self.dirs[2][0]
        out = {}

        def entries(rva):
            o = self.offset(rva)
            named, ids = struct.unpack_from("<HH", self.data, o + 12)
            for i in range(named + ids):
                ident, target = struct.unpack_from("<II", self.data, o + 16 + 8 * i)
                yield ident, target

        for rtype, t in entries(base):
            for rid, n in entries(base + (t & 0x7FFFFFFF)):
                for _, leaf in entries(base + (n & 0x7FFFFFFF)):
                    data_rva, size = struct.unpack_from("<II", self.data, self.offset(base + leaf))
                    o = self.offset(data_rva)
                    out[(rtype, rid)] = self.data[o:o + size]
        return out


class ExecutableTest(unittest.TestCase):
    pe = PeFile(EXE)

    def test_is_a_gui_program_for_its_processor(self):
        machine, magic, _ = PROCESSORS[BUILD]
        self.assertEqual(self.pe.machine, machine)
        self.assertEqual(self.pe.magic, magic)
        self.assertEqual(self.pe.subsystem, 2)

    def test_stays_within_its_size(self):
        self.assertLessEqual(len(self.pe.data), MAX_FILE_SIZE,
                             "scripts/exe_size.py with the link map shows what grew")

    def test_imports_only_dlls_that_no_file_beside_it_can_replace(self):
        dlls = {n.lower() for n in self.pe.imported_dlls()}
        self.assertIn("kernel32.dll", dlls)
        manifest = self.pe.resources()[(24, 1)].decode("utf-8")
        for dll in dlls - KNOWN_DLLS:
            with self.subTest(dll=dll):
                self.assertIn(dll, SIDE_BY_SIDE_DLLS, "neither a known DLL nor resolved side by side")
                self.assertIn(SIDE_BY_SIDE_DLLS[dll], manifest)

    def test_imports_nothing_newer_than_windows_7(self):
        imports = self.pe.imported_functions()
        self.assertNotIn("shcore.dll", imports)
        for dll, names in sorted(imports.items()):
            with self.subTest(dll=dll):
                self.assertEqual(sorted(names & NEWER_THAN_WINDOWS_7), [], "newer than Windows 7: look it up at run time")
                self.assertEqual(sorted(names - WINDOWS_7_IMPORTS.get(dll, set())), [],
                                 "not known to be in Windows 7's " + dll)

    def test_the_loader_looks_for_the_imports_dependencies_in_the_system_folder_only(self):
        # DependentLoadFlags of the load configuration, which Windows 10 reads
        # for every DLL it loads to resolve the imports, those of the imports too.
        config = self.pe.load_config()
        self.assertIsNotNone(config, "no load configuration")
        directory_size, data = config
        plus = self.pe.magic == PE32_PLUS
        flags_at = 78 if plus else 54
        self.assertEqual(directory_size, len(data), "the header and the structure disagree on its size")
        self.assertGreaterEqual(len(data), flags_at + 2, "the size leaves DependentLoadFlags out")
        self.assertEqual(struct.unpack_from("<H", data, flags_at)[0], LOAD_LIBRARY_SEARCH_SYSTEM32)
        if not plus:
            # A 32-bit structure long enough to hold the SafeSEH fields would
            # declare a handler table; this one ends before them, so every
            # handler stays allowed, as without a load configuration.
            self.assertLessEqual(len(data), 64)

    def test_keeps_aslr_and_dep_on(self):
        flags = self.pe.dll_characteristics
        self.assertTrue(flags & DLLCHARACTERISTICS_DYNAMIC_BASE, "no ASLR")
        self.assertTrue(flags & DLLCHARACTERISTICS_NX_COMPAT, "no DEP")
        if self.pe.magic == PE32_PLUS:
            self.assertTrue(flags & DLLCHARACTERISTICS_HIGH_ENTROPY_VA, "no 64-bit ASLR")
        # Without its relocations the program cannot be moved, whatever the flag says.
        self.assertFalse(self.pe.characteristics & IMAGE_FILE_RELOCS_STRIPPED)
        self.assertGreater(self.pe.dirs[BASE_RELOCATION_DIRECTORY][1], 0)

    def test_manifest_declares_per_monitor_awareness_and_common_controls_6(self):
        manifest = self.pe.resources()[(24, 1)].decode("utf-8")
        root = ElementTree.fromstring(manifest)
        settings = root.find("{urn:schemas-microsoft-com:asm.v3}application/"
                             "{urn:schemas-microsoft-com:asm.v3}windowsSettings")
        self.assertIsNotNone(settings, "no windowsSettings")
        # Windows 10 1607 on reads dpiAwareness, a list of which it takes the
        # first value it knows: per-monitor v2 from 1703, per-monitor before.
        awareness = settings.find("{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness")
        self.assertIsNotNone(awareness, "no dpiAwareness")
        self.assertEqual([v.strip().lower() for v in awareness.text.split(",")], ["permonitorv2", "permonitor"])
        # Older systems read dpiAware: "true/pm" is per-monitor on 8.1 and
        # system-wide ("true") on 7 and 8.
        aware = settings.find("{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware")
        self.assertIsNotNone(aware, "no dpiAware")
        self.assertEqual(aware.text.strip().lower(), "true/pm")
        self.assertIn('name="Microsoft.Windows.Common-Controls" version="6.0.0.0"', manifest)
        # A processor named in the manifest must be this build's, or any.
        for named in re.findall(r'processorArchitecture="([^"]*)"', manifest):
            self.assertIn(named, ("*", PROCESSORS[BUILD][2]))

    def test_version_resource(self):
        version = self.pe.resources()[(16, 1)]
        fixed = version.index(struct.pack("<I", 0xFEEF04BD))
        file_ms, file_ls, prod_ms, prod_ls = struct.unpack_from("<IIII", version, fixed + 8)
        self.assertEqual((file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16, file_ls & 0xFFFF), (1, 0, 0, 7))
        self.assertEqual((prod_ms, prod_ls), (file_ms, file_ls))
        text = version.decode("utf-16-le", "replace")
        # Keys and values are padded to 32-bit boundaries with zeros.
        self.assertRegex(text, "ProductName\0+Color Tintvane\0")
        self.assertRegex(text, "ProductVersion\0+1\\.0\\.0\\.7\0")

    def test_first_icon_group_holds_the_program_icon_at_every_size(self):
        resources = self.pe.resources()
        groups = sorted(rid for rtype, rid in resources if rtype == 14)
        # Explorer shows the first group: named groups would come before id 1.
        self.assertEqual(groups[:1], [1])
        group = resources[(14, 1)]
        _, kind, count = struct.unpack_from("<HHH", group, 0)
        self.assertEqual(kind, 1)
        sizes = []
        for i in range(count):
            width, height, _, _, _, bits, size, image_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
            width, height = width or 256, height or 256
            image = resources[(3, image_id)]
            self.assertEqual(len(image), size)
            self.assertEqual(bits, 32)
            # The image itself: a PNG, or a bitmap of twice the height (image and mask).
            if image[:8] == b"\x89PNG\r\n\x1a\n":
                self.assertEqual(struct.unpack_from(">II", image, 16), (width, height))
            else:
                self.assertEqual(struct.unpack_from("<Iii", image, 0), (40, width, 2 * height))
                pixels = image[40:40 + 4 * width * height]
                alphas = pixels[3::4]
                # Drawn, not blank: some pixels opaque, some clear.
                self.assertIn(255, alphas)
                self.assertIn(0, alphas)
            sizes.append(width)
            self.assertEqual(width, height)
        self.assertEqual(sorted(sizes), [16, 20, 24, 32, 40, 48, 64, 256])

    def test_carries_no_start_up_stamps(self):
        # The benchmark's build of the same sources, beside it, stamps its
        # start-up steps and writes them out; here every mark is nothing.
        report = b"frequency %lld"
        with open(os.path.join(os.path.dirname(os.path.abspath(EXE)), "ColorTintvane_timed.exe"), "rb") as timed:
            self.assertIn(report, timed.read())
        self.assertNotIn(report, self.pe.data)

    def test_version_resource_names_the_licence(self):
        text = self.pe.resources()[(16, 1)].decode("utf-16-le", "replace")
        self.assertRegex(text, "LegalCopyright\0+Copyright \\(c\\) [0-9]{4} Color Tintvane\\. MIT License\\.\0")


if __name__ == "__main__":
    unittest.main()
