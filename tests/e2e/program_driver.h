// Drives the real ColorTintvane.exe from another process, as a person would:
// starts it in a folder of its own, finds its window and controls, moves the
// pointer, clicks and types through the system's input queue, and reads back
// what shows: rectangles, texts, list rows, screen pixels, the clipboard and
// the settings file the program leaves behind. Nothing here calls into the
// program.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/picker_icon.h"
#include "app/settings_record.h"
#include "runtime/image_decode.h"
#include "tests/e2e/alt_f4.h"
#include "tests/win/input.h"
#include "tests/win/temp_folder.h"

inline std::wstring g_programPath;  // ColorTintvane.exe, from the command line

// A full Windows path: a Unix path as Wine sees it, on drive Z:; any other
// path from the current folder.
inline std::wstring WindowsPath(const char* path) {
  std::wstring out;
  if (path[0] == '/') out = L"Z:";
  for (const char* p = path; *p; p++) out += *p == '/' ? L'\\' : (wchar_t)(unsigned char)*p;
  wchar_t full[MAX_PATH];
  return GetFullPathNameW(out.c_str(), MAX_PATH, full, nullptr) ? full : out;
}

//-----------------------------------------------------------------------------
// Waiting
//-----------------------------------------------------------------------------

// Polls `condition` until it holds or `ms` have passed, dispatching this
// process's own messages meanwhile (the driver's windows stay responsive).
inline bool WaitFor(const std::function<bool()>& condition, DWORD ms = 5000) {
  DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > ms) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(15);
  }
}

// Keeps this process's windows answering for `ms`: a pace for long runs
// (a soak, random input), never a wait for the program.
inline void PumpMessagesFor(DWORD ms) {
  WaitFor([] { return false; }, ms);
}

//-----------------------------------------------------------------------------
// Reading windows of another process
//-----------------------------------------------------------------------------

struct Rect {
  int x, y, w, h;  // screen pixels
  int cx() const { return x + w / 2; }
  int cy() const { return y + h / 2; }
  bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};
inline std::ostream& operator<<(std::ostream& out, const Rect& r) {
  return out << "(" << r.x << ", " << r.y << ", " << r.w << " x " << r.h << ")";
}

inline Rect WindowRectOf(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// The client area on the screen.
inline Rect ClientRectOf(HWND hwnd) {
  RECT r = {};
  GetClientRect(hwnd, &r);
  POINT origin = {0, 0};
  ClientToScreen(hwnd, &origin);
  return Rect{origin.x, origin.y, r.right, r.bottom};
}

inline std::wstring TextOf(HWND hwnd) {
  wchar_t text[512] = {};
  DWORD_PTR got = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &got);
  return text;
}

// The screen's pixels per inch, and logical units to pixels and back,
// rounded to nearest as the program does.
inline int Scale() {
  HDC screen = GetDC(nullptr);
  int scale = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return scale;
}

// The screen's pixels per inch that a run at several scales was asked to
// see (TINTVANE_EXPECT_PPI), or the screen's own when none was asked.
inline int ExpectedScale() {
  const char* expected = getenv("TINTVANE_EXPECT_PPI");
  return expected ? atoi(expected) : Scale();
}
inline int Scaled(int v) { return (int)floor(v * Scale() / 96.0 + 0.5); }
inline int Logical(int pixels) { return (int)floor(pixels / (Scale() / 96.0) + 0.5); }

inline int Rgb(int r, int g, int b) { return r | g << 8 | b << 16; }

// Settings to start from: a colour of its own, a history, the window
// expanded near the top left, wholly on the screen at every display scale
// (at 144 pixels per inch it is over 1,000 pixels wide).
inline ConfigRecord SampleSettings() {
  ConfigRecord c = {};
  c.validityMarker = kSettingsMarker;
  c.Color = Rgb(26, 43, 60);
  c.WinX = 20;
  c.WinY = 20;
  c.WinExpanded = 1;
  for (int i = 0; i < kRecentColorCount; i++) c.ColorRecent[i] = Rgb(10 * i, 255 - 10 * i, 7 * i);
  return c;
}

// A colour value as the "HTML/CSS hex" notation shows it.
inline std::wstring HtmlText(int color) {
  wchar_t text[16];
  swprintf(text, 16, L"#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
  return text;
}

inline std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

// Reads list view rows through a buffer in the list's own process. The
// LVITEMW written there is laid out for this process's pointer size, so the
// list's process must be of the same build: another one reads as "?".
class RemoteList {
 public:
  explicit RemoteList(HWND list) : list_(list) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                           FALSE, pid);
    BOOL ours = FALSE, theirs = TRUE;
    if (process_ && IsWow64Process(GetCurrentProcess(), &ours) && IsWow64Process(process_, &theirs) &&
        ours == theirs)
      memory_ = VirtualAllocEx(process_, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteList() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  int Count() { return (int)SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0); }
  int Selected() { return (int)SendMessageW(list_, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); }
  std::wstring Cell(int row, int column) {
    if (!memory_) return L"?";
    LVITEMW item = {};
    item.iSubItem = column;
    item.cchTextMax = 200;
    item.pszText = (wchar_t*)((char*)memory_ + 1024);
    SIZE_T done = 0;
    WriteProcessMemory(process_, memory_, &item, sizeof item, &done);
    SendMessageW(list_, LVM_GETITEMTEXTW, (WPARAM)row, (LPARAM)memory_);
    wchar_t text[201] = {};
    ReadProcessMemory(process_, (char*)memory_ + 1024, text, 200 * sizeof(wchar_t), &done);
    return text;
  }
  // The top of a row on the screen.
  Rect RowRect(int row) {
    RECT r = {LVIR_BOUNDS, 0, 0, 0};
    SIZE_T done = 0;
    WriteProcessMemory(process_, memory_, &r, sizeof r, &done);
    SendMessageW(list_, LVM_GETITEMRECT, (WPARAM)row, (LPARAM)memory_);
    ReadProcessMemory(process_, memory_, &r, sizeof r, &done);
    POINT p = {r.left, r.top};
    ClientToScreen(list_, &p);
    return Rect{p.x, p.y, r.right - r.left, r.bottom - r.top};
  }

 private:
  HWND list_;
  HANDLE process_ = nullptr;
  void* memory_ = nullptr;
};

//-----------------------------------------------------------------------------
// The screen and the clipboard
//-----------------------------------------------------------------------------

// A copy of a screen rectangle; Pixel answers colour values (0x00BBGGRR).
class Shot {
 public:
  explicit Shot(const Rect& r) : rect_(r), pixels_((size_t)std::max(r.w, 0) * std::max(r.h, 0)) {
    if (r.w <= 0 || r.h <= 0) return;
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof bi.bmiHeader, r.w, -r.h, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.w, r.h, screen, r.x, r.y, SRCCOPY);
    GdiFlush();
    for (size_t i = 0; i < pixels_.size(); i++) {
      uint32_t p = ((uint32_t*)bits)[i];  // B, G, R, unused
      pixels_[i] = (int)(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
  }
  // At (x, y) relative to the rectangle's corner; -1 outside.
  int Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= rect_.w || y >= rect_.h) return -1;
    return pixels_[(size_t)y * rect_.w + x];
  }
  const std::vector<int>& Pixels() const { return pixels_; }
  // The colours along row y, runs of one colour counted once, left to right.
  std::vector<int> RowRuns(int y) const {
    std::vector<int> runs;
    for (int x = 0; x < rect_.w; x++)
      if (runs.empty() || runs.back() != Pixel(x, y)) runs.push_back(Pixel(x, y));
    return runs;
  }
  bool AllPixels(int color) const {
    return std::all_of(pixels_.begin(), pixels_.end(), [=](int p) { return p == color; });
  }

 private:
  Rect rect_;
  std::vector<int> pixels_;
};

inline std::wstring ClipboardText() {
  for (int attempt = 0; attempt < 50; attempt++) {
    if (OpenClipboard(nullptr)) {
      std::wstring text;
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* p = (const wchar_t*)GlobalLock(data)) text = p;
        GlobalUnlock(data);
      }
      CloseClipboard();
      return text;
    }
    Sleep(10);
  }
  return L"<clipboard busy>";
}

inline bool SetClipboardText(const wchar_t* text) {
  for (int attempt = 0; attempt < 50; attempt++) {
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
      HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
      memcpy(GlobalLock(block), text, bytes);
      GlobalUnlock(block);
      bool ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
      CloseClipboard();
      return ok;
    }
    Sleep(10);
  }
  return false;
}

// A helper program beside this one.
inline std::wstring HelperPath(const wchar_t* name) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

// The system mouse speed, 0 when it cannot be read. Under Wine a process
// keeps the parameters it read first, so the system's answer here would
// never change; a change made for the session only (as the program makes
// it) is kept in Wine's key of temporary parameters, which is read afresh.
// Where there is no such key the system's answer is current.
inline int MouseSpeed() {
  wchar_t value[16];
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Temporary System Parameters\\Control Panel\\Mouse",
                   L"MouseSensitivity", RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS)
    return _wtoi(value);
  int speed = 0;
  return SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0) ? speed : 0;
}

inline bool PointerConfined() {
  RECT clip;
  GetClipCursor(&clip);
  return clip.left > 0 || clip.top > 0 || clip.right < GetSystemMetrics(SM_CXSCREEN) ||
         clip.bottom < GetSystemMetrics(SM_CYSCREEN);
}

//-----------------------------------------------------------------------------
// Input
//-----------------------------------------------------------------------------

// Moves the pointer to the screen pixel (x, y) through the input queue and
// waits until it rests there through two checks (or as near as a
// confinement allows). Under a virtual display a late echo of an earlier
// position can carry the pointer back: the move is then made again, and
// after a run of misses it steps off and comes back.
inline ::testing::AssertionResult MoveTo(int x, int y) {
  RECT clip;
  GetClipCursor(&clip);
  POINT want = {std::max(clip.left, std::min((LONG)x, clip.right - 1)), std::max(clip.top, std::min((LONG)y, clip.bottom - 1))};
  POINT now = {};
  int resting = 0, misses = 0;
  SlidePointerToScreen(x, y);
  for (DWORD start = GetTickCount(); GetTickCount() - start < 5000 && resting < 2;) {
    Sleep(25);
    bool here = GetCursorPos(&now) && now.x == want.x && now.y == want.y;
    resting = here ? resting + 1 : 0;
    if (here) continue;
    if (++misses % 6 == 0) {
      SlidePointerToScreen(x > 0 ? x - 1 : x + 1, y);
      Sleep(25);
    }
    SlidePointerToScreen(x, y);
  }
  if (resting >= 2) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pointer at " << now.x << "," << now.y << " for " << want.x << "," << want.y;
}

inline void MouseButton(DWORD flag) { SendMouse({flag}); }

// A click on the spot of the one before, sooner than the double-click time,
// would be taken as a double click: it waits that time out first.
inline void WaitOutDoubleClick(int x, int y) {
  static DWORD lastTime = 0;
  static POINT lastAt = {-1, -1};
  DWORD since = GetTickCount() - lastTime, limit = GetDoubleClickTime() + 50;
  if (lastAt.x == x && lastAt.y == y && since < limit) Sleep(limit - since);
  lastTime = GetTickCount();
  lastAt = {x, y};
}

inline ::testing::AssertionResult ClickAt(int x, int y, bool right = false) {
  ::testing::AssertionResult moved = MoveTo(x, y);
  if (!moved) return moved;
  WaitOutDoubleClick(x, y);
  SendMouse({right ? (DWORD)MOUSEEVENTF_RIGHTDOWN : (DWORD)MOUSEEVENTF_LEFTDOWN,
             right ? (DWORD)MOUSEEVENTF_RIGHTUP : (DWORD)MOUSEEVENTF_LEFTUP});
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult DoubleClickAt(int x, int y) {
  ::testing::AssertionResult moved = MoveTo(x, y);
  if (!moved) return moved;
  WaitOutDoubleClick(x, y);
  SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
  return ::testing::AssertionSuccess();
}

inline void PressKey(WORD key) { SendKeys({{key, false}, {key, true}}); }

// Digits typed one key at a time, as a person types.
inline void TypeDigits(const char* digits) {
  for (const char* d = digits; *d; d++) PressKey((WORD)*d);
}

inline void PressChord(WORD modifier, WORD key) {
  SendKeys({{modifier, false}, {key, false}, {key, true}, {modifier, true}});
}

//-----------------------------------------------------------------------------
// The program
//-----------------------------------------------------------------------------

const wchar_t kMainTitle[] = L"Color Tintvane [1.0.0.7]";

// The main window's controls, told apart as a person tells them apart: by
// kind, caption and place.
struct MainWindow {
  HWND window = nullptr;
  HWND capture = nullptr, strips[3] = {}, fields[3] = {}, colorText = nullptr, palette = nullptr;
  HWND options = nullptr, swatch = nullptr, picker = nullptr, pickerTemplate = nullptr, history = nullptr;
  HWND list = nullptr, panel = nullptr, channelPanel = nullptr;
};

inline BOOL CALLBACK CollectWindow(HWND child, LPARAM out) {
  ((std::vector<HWND>*)out)->push_back(child);
  return TRUE;
}

inline std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> all;
  EnumChildWindows(window, CollectWindow, (LPARAM)&all);
  return all;
}

inline MainWindow FindControls(HWND window) {
  MainWindow m;
  m.window = window;
  std::vector<HWND> canvases, edits;
  for (HWND child : Descendants(window)) {
    std::wstring cls = ClassOf(child);
    LONG style = GetWindowLongW(child, GWL_STYLE);
    if (cls == L"TintvaneCanvas") canvases.push_back(child);
    else if (cls == L"SysListView32") m.list = child;
    else if (cls == L"Edit") {
      if (style & ES_READONLY) m.colorText = child;
      else edits.push_back(child);
    } else if (cls == L"Button" && (style & BS_TYPEMASK) != BS_GROUPBOX) {
      if (TextOf(child) == L"Tintvane.ini") m.options = child;
      else m.pickerTemplate = child;
    }
  }
  auto top = [](HWND a, HWND b) { return WindowRectOf(a).y < WindowRectOf(b).y; };
  std::sort(edits.begin(), edits.end(), top);
  for (int i = 0; i < 3 && i < (int)edits.size(); i++) m.fields[i] = edits[(size_t)i];
  if (m.fields[0]) m.channelPanel = GetParent(m.fields[0]);
  if (m.options) m.panel = GetParent(m.options);
  std::vector<HWND> strips, bordered, inPanel;
  for (HWND c : canvases) {
    if (GetParent(c) == m.channelPanel) strips.push_back(c);
    else if (GetParent(c) == m.panel) inPanel.push_back(c);
    else bordered.push_back(c);
  }
  std::sort(strips.begin(), strips.end(), top);
  for (int i = 0; i < 3 && i < (int)strips.size(); i++) m.strips[i] = strips[(size_t)i];
  // Of the bordered canvases outside the panels: the capture view (top
  // left), the palette below it, the history below the right-hand panel.
  std::sort(bordered.begin(), bordered.end(), top);
  for (HWND c : bordered) {
    Rect r = WindowRectOf(c);
    if (m.panel && r.x >= WindowRectOf(m.panel).x) m.history = c;
    else if (!m.capture) m.capture = c;
    else m.palette = c;
  }
  // In the right-hand panel: the swatch, and the picker right of it.
  std::sort(inPanel.begin(), inPanel.end(), [](HWND a, HWND b) { return WindowRectOf(a).x < WindowRectOf(b).x; });
  if (inPanel.size() == 2) {
    m.swatch = inPanel[0];
    m.picker = inPanel[1];
  }
  return m;
}

struct FoundWindow {
  DWORD pid;
  const wchar_t* title;
  const wchar_t* className;
  HWND found;
};

inline BOOL CALLBACK MatchProcessWindow(HWND hwnd, LPARAM arg) {
  FoundWindow* f = (FoundWindow*)arg;
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != f->pid || !IsWindowVisible(hwnd)) return TRUE;
  if (f->title && TextOf(hwnd) != f->title) return TRUE;
  if (f->className && ClassOf(hwnd) != f->className) return TRUE;
  f->found = hwnd;
  return FALSE;
}

// The first visible top-level window of the process, in front-to-back
// order, with this title and class (any for null), or null.
inline HWND ProcessWindow(DWORD pid, const wchar_t* title, const wchar_t* className = nullptr) {
  FoundWindow f = {pid, title, className, nullptr};
  EnumWindows(MatchProcessWindow, (LPARAM)&f);
  return f.found;
}

// The running program, in a temporary folder of its own.
class ProgramTest : public TempFolderTest {
 protected:
  void TearDown() override {
    ReleaseHeldInput();
    if (process_.hProcess) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
      process_ = {};
    }
    ClipCursor(nullptr);
    TempFolderTest::TearDown();
  }

  std::wstring SettingsPath() const { return folder_ + L"\\ColorTintvane.bin"; }

  void WriteSettings(const ConfigRecord& record) {
    std::vector<unsigned char> bytes = EncodeSettingsFile(&record, kConfigDescriptor);
    ASSERT_TRUE(WriteWholeFile(SettingsPath().c_str(), std::string(bytes.begin(), bytes.end())));
  }

  // The settings file the program left, decoded; false when it is missing or damaged.
  bool ReadSettings(ConfigRecord* record) {
    std::string bytes = ReadWholeFile(SettingsPath().c_str());
    return !bytes.empty() && DecodeSettingsFile((const unsigned char*)bytes.data(), bytes.size(), record, kConfigDescriptor);
  }

  // Starts the program and waits until its main window shows, takes input
  // and has painted its picker button.
  ::testing::AssertionResult Start() {
    ::testing::AssertionResult launched = Launch();
    if (!launched) return launched;
    return AwaitMainWindow();
  }

  // Starts the program in the test's folder without waiting for anything.
  ::testing::AssertionResult Launch() {
    STARTUPINFOW startup = {sizeof startup};
    std::wstring command = L"\"" + g_programPath + L"\"";
    if (!CreateProcessW(g_programPath.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                        &startup, &process_))
      return ::testing::AssertionFailure() << "cannot start the program: error " << GetLastError();
    return ::testing::AssertionSuccess();
  }

  // Waits until the launched program's main window shows, takes input and
  // has painted its picker button.
  ::testing::AssertionResult AwaitMainWindow() {
    HWND window = nullptr;
    if (!WaitFor([&] { return (window = ProcessWindow(process_.dwProcessId, kMainTitle)) != nullptr; }, 30000))
      return ::testing::AssertionFailure() << "no main window";
    WaitForInputIdle(process_.hProcess, 10000);
    main_ = FindControls(window);
    if (!main_.list || !main_.picker || !main_.options || !main_.history || !main_.capture || !main_.palette ||
        !main_.strips[2] || !main_.fields[2] || !main_.colorText || !main_.swatch)
      return ::testing::AssertionFailure() << "controls missing";
    // The picker button takes its face once the native button beside it is hidden.
    if (!WaitFor([&] { return !IsWindowVisible(main_.pickerTemplate); }))
      return ::testing::AssertionFailure() << "the picker button never took its face";
    return ::testing::AssertionSuccess();
  }

  // Closes the window as a person does (Alt+F4 on the window in front) and
  // waits for the process to end; its exit code.
  int Close() {
    // Alt+F4 goes to the window in front. A click on the title brings the
    // window there; Wine's virtual desktop now and then keeps its own window
    // in front after another was brought there, and then it is asked for.
    if (!WaitFor([&] { return GetForegroundWindow() == main_.window; }, 2000)) ClickOnTitle();
    if (GetForegroundWindow() != main_.window) SetForegroundWindow(main_.window);
    if (!WaitFor([&] { return GetForegroundWindow() == main_.window; })) return -2;
    if (!PressAltF4UntilEnded(process_.hProcess, main_.window)) return -1;
    return ExitCode();
  }

  // The exit code of the program, which has ended; its handles are closed.
  int ExitCode() {
    DWORD code = 99;
    GetExitCodeProcess(process_.hProcess, &code);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = {};
    return (int)code;
  }

  // A click on the title bar brings the window to the front.
  void ClickOnTitle() {
    Rect outer = WindowRectOf(main_.window), client = ClientRectOf(main_.window);
    ClickAt(outer.x + 60, (outer.y + client.y) / 2);
    WaitFor([&] { return GetForegroundWindow() == main_.window; }, 2000);
  }

  bool Running() { return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

  // Returns once the program has handled all the input given so far: its
  // events are handled in order, and two right-clicks on the panel's
  // background, each seen to change the window's height, come after it.
  ::testing::AssertionResult Settle() {
    Rect panel = Of(main_.panel);
    for (int i = 0; i < 2; i++) {
      int height = ClientRectOf(main_.window).h;
      ::testing::AssertionResult clicked = ClickAt(panel.x + 3, panel.cy(), true);
      if (!clicked) return clicked;
      if (!WaitFor([&] { return ClientRectOf(main_.window).h != height; })) {
        GUITHREADINFO info = {sizeof info};
        GetGUIThreadInfo(GetWindowThreadProcessId(main_.window, nullptr), &info);
        POINT p;
        GetCursorPos(&p);
        return ::testing::AssertionFailure() << "a right-click on the panel changed nothing; capture "
                                             << info.hwndCapture << ", under the pointer " << WindowFromPoint(p)
                                             << ", panel " << main_.panel << ", in front " << GetForegroundWindow();
      }
    }
    return ::testing::AssertionSuccess();
  }

  // Presses on the strip, at `along` of its width, with Ctrl held: a
  // precision drag, which slows the mouse below `speed` and confines the
  // pointer. Ctrl and the button stay down.
  ::testing::AssertionResult StartPrecisionDrag(HWND strip, double along, int speed) {
    Rect r = Of(strip);
    ::testing::AssertionResult moved = MoveTo(r.x + (int)(r.w * along), r.cy());
    if (!moved) return moved;
    SendKeys({{VK_CONTROL, false}});
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    if (!WaitFor([&] { return MouseSpeed() < speed; }))
      return ::testing::AssertionFailure() << "the mouse kept its speed: " << MouseSpeed();
    if (!WaitFor(PointerConfined)) return ::testing::AssertionFailure() << "the pointer is free";
    return ::testing::AssertionSuccess();
  }

  std::wstring ColorText() { return TextOf(main_.colorText); }
  bool ShowsText(HWND control, const std::wstring& text, DWORD ms = 5000) {
    return WaitFor([&] { return TextOf(control) == text; }, ms);
  }

  // The colours of the history strip, runs of one colour counted once.
  std::vector<int> HistoryRuns() {
    Rect strip = ClientRectOf(main_.history);
    return Shot(strip).RowRuns(strip.h / 2);
  }

  Rect Of(HWND control) { return WindowRectOf(control); }

  PROCESS_INFORMATION process_ = {};
  MainWindow main_;
};

//-----------------------------------------------------------------------------
// Display scales and the window's layout
//-----------------------------------------------------------------------------

// The display scale new processes start with, set for as long as the
// object lives; the scale of the run is put back after it.
class ScaleForNewPrograms {
 public:
  explicit ScaleForNewPrograms(int ppi) { Set(ppi); }
  ~ScaleForNewPrograms() { Set(Scale()); }

 private:
  static void Set(int ppi) {
    DWORD value = (DWORD)ppi;
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &value, sizeof value);
  }
};

// The window as it shows: its client area and every control's rectangle
// relative to it, a list row's height and its colour icon's width and
// height, in pixels.
struct WindowLayout {
  std::vector<std::pair<const char*, Rect>> parts;
  int rowHeight = 0, iconWidth = 0, iconHeight = 0;
};

// The colour of a list row's "#RRGGBB" text.
inline int ColorOfHtml(const std::wstring& text) {
  unsigned value = (unsigned)wcstoul(text.c_str() + 1, nullptr, 16);
  return Rgb((int)(value >> 16), (int)(value >> 8) & 0xFF, (int)value & 0xFF);
}

inline WindowLayout LayoutOf(const MainWindow& m) {
  WindowLayout layout;
  Rect client = ClientRectOf(m.window);
  layout.parts.push_back({"client area", Rect{0, 0, client.w, client.h}});
  const std::pair<const char*, HWND> controls[] = {
      {"capture view", m.capture}, {"red strip", m.strips[0]}, {"green strip", m.strips[1]},
      {"blue strip", m.strips[2]}, {"red field", m.fields[0]}, {"green field", m.fields[1]},
      {"blue field", m.fields[2]}, {"colour text", m.colorText}, {"palette", m.palette},
      {"options button", m.options}, {"swatch", m.swatch}, {"picker", m.picker},
      {"history", m.history}, {"name list", m.list}, {"right-hand panel", m.panel},
      {"channel panel", m.channelPanel}};
  for (const auto& c : controls) {
    Rect r = WindowRectOf(c.second);
    layout.parts.push_back({c.first, Rect{r.x - client.x, r.y - client.y, r.w, r.h}});
  }
  // The icon is the one patch of the row's colour: counted across its
  // middle line, then down its middle column. The row below the top one, in
  // a list scrolled or not.
  RemoteList rows(m.list);
  int below = (int)SendMessageW(m.list, LVM_GETTOPINDEX, 0, 0) + 1;
  Rect row = rows.RowRect(below);
  layout.rowHeight = row.h;
  int color = ColorOfHtml(rows.Cell(below, 1));
  Shot shot(row);
  int first = -1;
  for (int x = 0; x < row.w; x++)
    if (shot.Pixel(x, row.h / 2) == color) {
      if (first < 0) first = x;
      layout.iconWidth++;
    }
  for (int y = 0; first >= 0 && y < row.h; y++)
    if (shot.Pixel(first + layout.iconWidth / 2, y) == color) layout.iconHeight++;
  return layout;
}

// Whether the picker button shows the picker icon over a native button's
// face, at its size: the icon is scaled without smoothing to the button, so
// the screen pixel at the centre of an icon pixel shows that icon pixel; its
// opaque ink shows as it is, and where it is clear a native push button of
// the picker's size shows, edge and face, as this process (with the
// program's manifest) draws one in the top right corner of the screen. The
// pointer must be off the button, which would show its hover look.
inline ::testing::AssertionResult PickerWearsTheIcon(const MainWindow& m) {
  DecodedImage icon;
  if (!DecodeImageData(kPickerIcon, kPickerIconSize, &icon) || icon.bitsPerPixel != 32)
    return ::testing::AssertionFailure() << "the icon does not decode";
  // The icon's colour and opacity at (x, y), counted from its top (the rows are stored bottom-up).
  auto at = [&](int x, int y) {
    const unsigned char* p = &icon.pixels[((size_t)(icon.height - 1 - y) * icon.width + x) * 4];
    return std::make_pair(Rgb(p[2], p[1], p[0]), (int)p[3]);
  };
  Rect picker = ClientRectOf(m.picker);
  Rect spot = {GetSystemMetrics(SM_CXSCREEN) - picker.w - 10, 10, picker.w, picker.h};
  HWND button = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"BUTTON", L"", WS_POPUP | BS_PUSHBUTTON, spot.x,
                                spot.y, spot.w, spot.h, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(button, SW_SHOWNOACTIVATE);
  UpdateWindow(button);
  int ink = 0, faces = 0;
  std::string wrongs;
  auto shows = [&](const Shot& shot, const Shot& face) {
    int wrong = 0;
    ink = faces = 0;
    wrongs.clear();
    for (int y = 0; y < icon.height; y++)
      for (int x = 0; x < icon.width; x++) {
        int sx = (int)((x + 0.5) * picker.w / icon.width), sy = (int)((y + 0.5) * picker.h / icon.height);
        int want;
        if (at(x, y).second == 255) want = at(x, y).first, ink++;
        else if (at(x, y).second == 0) want = face.Pixel(sx, sy), faces++;
        else continue;
        if (shot.Pixel(sx, sy) != want && wrong++ < 5) {
          char note[96];
          snprintf(note, sizeof note, "; icon pixel %d, %d shows as %x for %x", x, y, shot.Pixel(sx, sy), want);
          wrongs += note;
        }
      }
    return wrong == 0;
  };
  bool painted = WaitFor([&] { return shows(Shot(picker), Shot(spot)); });
  DestroyWindow(button);
  if (!painted) return ::testing::AssertionFailure() << "the picker of " << picker << " shows no icon" << wrongs;
  if (ink <= 20 || faces <= 400)
    return ::testing::AssertionFailure() << "too little of the icon checked: " << ink << " ink, " << faces << " face";
  if (IsWindowVisible(m.pickerTemplate)) return ::testing::AssertionFailure() << "the native button still shows";
  return ::testing::AssertionSuccess();
}

//-----------------------------------------------------------------------------
// Windows of the driver's own
//-----------------------------------------------------------------------------

// A window of this process showing a picture in which every pixel tells
// where it is: (x, y) is red x, green y, blue 128. Told to, it moves on to
// its next frame, in which every pixel changes: frame f shows (x, y) as red
// x + f, green y + 2f, blue 128 + 3f. Another picture may be given as the
// colour of each (x, y, frame).
class PatternWindow {
 public:
  typedef int (*Picture)(int x, int y, int frame);
  static int ColorAt(int x, int y, int frame = 0) {
    return ((x + frame) & 0xFF) | ((y + 2 * frame) & 0xFF) << 8 | ((128 + 3 * frame) & 0xFF) << 16;
  }

  explicit PatternWindow(const Rect& r, Picture picture = ColorAt) : rect_(r), picture_(picture) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TintvanePattern";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"TintvanePattern", L"Pattern", WS_POPUP, r.x, r.y, r.w, r.h,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetPropW(hwnd_, L"TintvanePicture", (HANDLE)(void*)picture);
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
  }
  ~PatternWindow() {
    RemovePropW(hwnd_, L"TintvanePicture");
    DestroyWindow(hwnd_);
  }
  void NextFrame() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, GetWindowLongPtrW(hwnd_, GWLP_USERDATA) + 1);
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
  HWND hwnd() const { return hwnd_; }
  const Rect& rect() const { return rect_; }
  // Waits until the screen shows the picture (and nothing covers it).
  bool Shows() {
    return WaitFor([&] {
      Shot shot(rect_);
      return shot.Pixel(0, 0) == picture_(0, 0, 0) && shot.Pixel(rect_.w - 1, rect_.h - 1) == picture_(rect_.w - 1, rect_.h - 1, 0);
    });
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_PAINT) return DefWindowProcW(hwnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    int frame = (int)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    Picture picture = (Picture)(void*)GetPropW(hwnd, L"TintvanePicture");
    std::vector<uint32_t> pixels((size_t)r.right * r.bottom);
    for (int y = 0; y < r.bottom; y++)
      for (int x = 0; x < r.right; x++) {
        int c = picture(x, y, frame);  // to B, G, R bytes
        pixels[(size_t)y * r.right + x] = (uint32_t)((c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF));
      }
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof bi.bmiHeader, r.right, -r.bottom, 1, 32, BI_RGB};
    SetDIBitsToDevice(dc, 0, 0, r.right, r.bottom, 0, 0, 0, r.bottom, pixels.data(), &bi, DIB_RGB_COLORS);
    EndPaint(hwnd, &ps);
    return 0;
  }
  Rect rect_;
  Picture picture_;
  HWND hwnd_ = nullptr;
};

// A picture for a window over the whole screen (or the virtual screen, its
// corner at (0, 0)), in which no two pixels of a screen of up to 3840 x 3072
// share a colour, and none is black: red x, green y, and blue from 64 up
// telling which 256-pixel square the pixel lies in.
inline int SquaresColorAt(int x, int y, int = 0) {
  return (x & 0xFF) | (y & 0xFF) << 8 | (64 + 12 * (x >> 8) + (y >> 8)) << 16;
}

inline BOOL CALLBACK CollectMonitorRect(HMONITOR, HDC, LPRECT r, LPARAM out) {
  ((std::vector<Rect>*)out)->push_back(Rect{r->left, r->top, r->right - r->left, r->bottom - r->top});
  return TRUE;
}

// SquaresColorAt over a rectangle of the screen (the whole screen, or the
// virtual screen with the gaps between its monitors), behind every other
// window, and what a copy of the screen reads there: the picture on a
// monitor, black where no monitor is.
class Backdrop {
 public:
  explicit Backdrop(const Rect& r) : rect_(r), window_(r, SquaresColorAt) {
    SetWindowPos(window_.hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitorRect, (LPARAM)&monitors_);
  }
  bool Shows() { return window_.Shows(); }
  int Read(int x, int y) const {
    for (const Rect& m : monitors_)
      if (x >= m.x && y >= m.y && x < m.x + m.w && y < m.y + m.h) return SquaresColorAt(x - rect_.x, y - rect_.y);
    return 0;
  }

 private:
  Rect rect_;
  PatternWindow window_;
  std::vector<Rect> monitors_;
};

// Whether the capture view shows the 31 x 21 screen pixels around (x, y)
// magnified, each as a copy of the screen over the backdrop reads it. Each
// block is read at its middle. With `crosshair` the four blocks next to the
// centre, which a live pick's crosshair covers, are not read.
inline ::testing::AssertionResult ShowsMagnified(HWND captureView, const Backdrop& backdrop, int x, int y,
                                                 bool crosshair) {
  const int width = 31, height = 21;
  Rect view = ClientRectOf(captureView);
  Shot shot(view);
  int wrong = 0;
  std::string notes;
  for (int j = 0; j < height; j++)
    for (int i = 0; i < width; i++) {
      int dx = i - width / 2, dy = j - height / 2;
      if (crosshair && abs(dx) + abs(dy) == 1) continue;
      int want = backdrop.Read(x + dx, y + dy);
      int shown = shot.Pixel((2 * i + 1) * view.w / (2 * width), (2 * j + 1) * view.h / (2 * height));
      if (shown != want && wrong++ < 4) {
        char note[96];
        snprintf(note, sizeof note, "; (%d, %d) shows %06x for %06x", x + dx, y + dy, shown, want);
        notes += note;
      }
    }
  if (!wrong) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << wrong << " pixels of the region around " << x << ", " << y << " wrong"
                                       << notes;
}

//-----------------------------------------------------------------------------
// Menus
//-----------------------------------------------------------------------------

// The visible pop-up menu windows of a process, in the order they opened.
struct MenuWindows {
  DWORD pid;
  std::vector<HWND> found;
};
inline BOOL CALLBACK CollectMenuWindow(HWND hwnd, LPARAM arg) {
  MenuWindows* m = (MenuWindows*)arg;
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == m->pid && IsWindowVisible(hwnd) && ClassOf(hwnd) == L"#32768") m->found.push_back(hwnd);
  return TRUE;
}
inline std::vector<HWND> OpenMenus(DWORD pid) {
  MenuWindows m = {pid, {}};
  EnumWindows(CollectMenuWindow, (LPARAM)&m);
  std::reverse(m.found.begin(), m.found.end());  // top of the z order last: the newest menu last
  return m.found;
}

// What a menu looks like on the screen: its window's pixels and where its
// items lie within it.
struct MenuPicture {
  int width = 0, height = 0;
  std::vector<int> pixels;
  std::vector<Rect> items;  // relative to the menu window
};

inline MenuPicture PictureOf(HWND menuWindow) {
  MenuPicture p;
  Rect r = WindowRectOf(menuWindow);
  p.width = r.w;
  p.height = r.h;
  p.pixels = Shot(r).Pixels();
  return p;
}

// An item of an expected menu: text, check mark, sub-menu entry or separator.
struct ExpectedItem {
  const wchar_t* text;  // null: a separator
  bool checked;
  bool submenu;
};

inline MenuPicture g_referencePicture;
inline HMENU g_referenceMenu;

inline void CALLBACK TakeReferencePicture(HWND, UINT, UINT_PTR timer, DWORD) {
  std::vector<HWND> menus = OpenMenus(GetCurrentProcessId());
  if (menus.empty()) return;
  HWND menu = menus.back();
  Rect at = WindowRectOf(menu);
  g_referencePicture = PictureOf(menu);
  for (int i = 0; i < GetMenuItemCount(g_referenceMenu); i++) {
    RECT item;
    GetMenuItemRect(nullptr, g_referenceMenu, (UINT)i, &item);
    g_referencePicture.items.push_back(Rect{item.left - at.x, item.top - at.y, item.right - item.left, item.bottom - item.top});
  }
  KillTimer(nullptr, timer);
  EndMenu();
}

// The picture a menu of these items has when this process shows it, away
// from the pointer so that no item is highlighted.
inline MenuPicture ReferenceMenu(const std::vector<ExpectedItem>& items) {
  HMENU menu = CreatePopupMenu();
  for (const ExpectedItem& item : items) {
    if (!item.text) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    else if (item.submenu) AppendMenuW(menu, MF_POPUP, (UINT_PTR)CreatePopupMenu(), item.text);
    else AppendMenuW(menu, MF_STRING | (item.checked ? MF_CHECKED : 0), 100, item.text);
  }
  static HWND owner = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  g_referenceMenu = menu;
  g_referencePicture = MenuPicture{};
  POINT pointer;
  GetCursorPos(&pointer);
  int x = pointer.x > GetSystemMetrics(SM_CXSCREEN) / 2 ? 10 : GetSystemMetrics(SM_CXSCREEN) / 2 + 10;
  SetTimer(nullptr, 0, 50, TakeReferencePicture);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, x, 10, 0, owner, nullptr);
  DestroyMenu(menu);
  return g_referencePicture;
}

// Whether two pictures show the same menu, with a note of the first difference.
inline ::testing::AssertionResult SameMenu(const MenuPicture& shown, const MenuPicture& expected);

// Whether the menu window comes to look exactly like the expected picture
// (a menu just opened may not have painted yet).
inline ::testing::AssertionResult ShowsMenu(HWND menuWindow, const MenuPicture& expected) {
  ::testing::AssertionResult same = ::testing::AssertionFailure();
  WaitFor([&] { return (same = SameMenu(PictureOf(menuWindow), expected)); });
  return same;
}

inline ::testing::AssertionResult SameMenu(const MenuPicture& shown, const MenuPicture& expected) {
  if (shown.width != expected.width || shown.height != expected.height)
    return ::testing::AssertionFailure() << "menu of " << shown.width << " x " << shown.height << ", expected "
                                         << expected.width << " x " << expected.height;
  for (size_t i = 0; i < shown.pixels.size(); i++)
    if (shown.pixels[i] != expected.pixels[i])
      return ::testing::AssertionFailure() << "menus differ at (" << i % shown.width << ", " << i / shown.width
                                           << "): " << std::hex << shown.pixels[i] << " for " << expected.pixels[i];
  return ::testing::AssertionSuccess();
}

//-----------------------------------------------------------------------------
// No test starts a browser: the https handler is a recorder while they run
//-----------------------------------------------------------------------------

inline std::wstring g_openedLog;  // where the stand-in browser writes the addresses it was given

class BrowserStandIn : public ::testing::Environment {
 public:
  explicit BrowserStandIn(const std::wstring& recorder) : recorder_(recorder) {}
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    g_openedLog = std::wstring(temp) + L"tintvane-opened-addresses.txt";
    std::wstring command = L"\"" + recorder_ + L"\" \"" + g_openedLog + L"\" \"%1\"";
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER}) {
      const wchar_t* key = root == HKEY_CLASSES_ROOT ? L"https\\shell\\open\\command"
                                                     : L"Software\\Classes\\https\\shell\\open\\command";
      Saved saved = {root, key, false, L""};
      wchar_t old[1024];
      DWORD size = sizeof old;
      if (RegGetValueW(root, key, nullptr, RRF_RT_REG_SZ, nullptr, old, &size) == ERROR_SUCCESS) {
        saved.existed = true;
        saved.value = old;
      }
      saved_.push_back(saved);
      RegSetKeyValueW(root, key, nullptr, REG_SZ, command.c_str(), (DWORD)((command.size() + 1) * sizeof(wchar_t)));
    }
  }
  void TearDown() override {
    for (const Saved& s : saved_) {
      if (s.existed) RegSetKeyValueW(s.root, s.key, nullptr, REG_SZ, s.value.c_str(), (DWORD)((s.value.size() + 1) * sizeof(wchar_t)));
      else RegDeleteKeyValueW(s.root, s.key, nullptr);
    }
    DeleteFileW(g_openedLog.c_str());
  }

 private:
  struct Saved {
    HKEY root;
    const wchar_t* key;
    bool existed;
    std::wstring value;
  };
  std::wstring recorder_;
  std::vector<Saved> saved_;
};

//-----------------------------------------------------------------------------
// A driver program's start
//-----------------------------------------------------------------------------

// DPI-aware as the program is, GoogleTest's flags taken, the program's path
// from the first argument, and the stand-in browser in place. False (with
// the usage printed) when no path is given.
inline bool StartDriver(int* argc, char** argv, const char* usage) {
  SetProcessDPIAware();
  ::testing::InitGoogleTest(argc, argv);
  if (*argc < 2) {
    fprintf(stderr, "usage: %s ColorTintvane.exe %s\n", argv[0], usage);
    return false;
  }
  g_programPath = WindowsPath(argv[1]);
  ::testing::AddGlobalTestEnvironment(new BrowserStandIn(HelperPath(L"url_recorder.exe")));
  return true;
}
