// The whole program, end to end: ColorTintvane.exe started in a folder of its
// own, driven by real input only, read back as a person sees it.
//   e2e_shell.exe PATH/TO/ColorTintvane.exe [gtest flags]
// with its helper url_recorder.exe beside it.
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <zlib.h>

#include <map>
#include <memory>

#include "tests/e2e/program_driver.h"  // windows.h first

#include <tlhelp32.h>

#include "app/startup.h"

//-----------------------------------------------------------------------------
// Start-up and placement
//-----------------------------------------------------------------------------

using StartTest = ProgramTest;

TEST_F(StartTest, FirstStartShowsTheDefaultsAndSavesThem) {
  ASSERT_EQ(Scale(), ExpectedScale());
  ASSERT_TRUE(Start());
  // At (320, 240) logical units: (480, 360) pixels at 144 pixels per inch.
  Rect outer = Of(main_.window);
  EXPECT_EQ(outer.x, Scaled(320));
  EXPECT_EQ(outer.y, Scaled(240));
  EXPECT_FALSE(GetWindowLongW(main_.window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // Expanded: the whole name list shows.
  Rect client = ClientRectOf(main_.window), list = Of(main_.list);
  EXPECT_GT(client.y + client.h, list.y + list.h);
  // A grey, and everything else black: history, capture, palette.
  std::wstring text = ColorText();
  ASSERT_EQ(text.size(), 7u);
  EXPECT_EQ(text.substr(1, 2), text.substr(3, 2));
  EXPECT_EQ(text.substr(1, 2), text.substr(5, 2));
  EXPECT_TRUE(Shot(ClientRectOf(main_.history)).AllPixels(0));
  EXPECT_TRUE(Shot(ClientRectOf(main_.capture)).AllPixels(0));
  EXPECT_TRUE(Shot(ClientRectOf(main_.palette)).AllPixels(0));
  RemoteList rows(main_.list);
  EXPECT_EQ(rows.Count(), 34);
  EXPECT_EQ(rows.Cell(0, 1), text);

  ASSERT_EQ(Close(), 0);
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved));
  EXPECT_EQ(saved.validityMarker, kSettingsMarker);
  EXPECT_EQ(HtmlText(saved.Color), text);
  EXPECT_EQ(saved.WinX, 320);
  EXPECT_EQ(saved.WinY, 240);
  EXPECT_EQ(saved.WinExpanded, 1);
  EXPECT_EQ(saved.WinTopmost, 0);
  EXPECT_EQ(saved.Autocopy, 0);
  EXPECT_EQ(saved.ColorFormat, 0);
  for (int c : saved.ColorRecent) EXPECT_EQ(c, 0);
}

TEST_F(StartTest, ThePickerButtonWearsTheIconOverTheButtonFace) {
  // The pointer kept off the button, which would otherwise show its hover look.
  ASSERT_TRUE(MoveTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1));
  WriteSettings(SampleSettings());  // wholly on the screen at every display scale
  ASSERT_TRUE(Start());
  EXPECT_TRUE(PickerWearsTheIcon(main_));
}

// Every length is scaled once: the window at this scale is the window at
// 96 pixels per inch magnified, each rectangle within a pixel of its
// magnified self for every box it is nested in (the layout rounds each
// box's lengths to whole pixels), and the rows and text grow alike.
TEST_F(StartTest, TheWindowIsItsSizeAt96MagnifiedByTheScale) {
  ASSERT_EQ(Scale(), ExpectedScale());
  WriteSettings(SampleSettings());
  WindowLayout at96;
  {
    ScaleForNewPrograms reference(96);
    ASSERT_TRUE(Start());
    at96 = LayoutOf(main_);
    ASSERT_EQ(Close(), 0);
  }
  ASSERT_EQ(at96.parts[1].second.w, 156) << "the reference run was not at 96 pixels per inch";
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  WindowLayout here = LayoutOf(main_);
  double scale = Scale() / 96.0;
  const int kNesting = 4;  // the deepest control sits in as many boxes that round its place
  // The system's edges (a sunken panel's, a text field's) keep their pixels
  // at every scale, and lengths measured around them take them as they are:
  // across the window two panel edges lie side by side, and down it up to
  // eight (the panel's and the three channel fields', top and bottom).
  double edge = GetSystemMetrics(SM_CYEDGE) * (scale - 1);
  double across = kNesting + 2 * edge, down = kNesting + 8 * edge;
  for (size_t i = 0; i < here.parts.size(); i++) {
    const Rect &small = at96.parts[i].second, &large = here.parts[i].second;
    SCOPED_TRACE(testing::Message() << here.parts[i].first << " " << large << " at 96: " << small);
    EXPECT_NEAR(large.x, small.x * scale, across);
    EXPECT_NEAR(large.y, small.y * scale, down);
    EXPECT_NEAR(large.w, small.w * scale, across);
    EXPECT_NEAR(large.h, small.h * scale, down);
  }
  // The colour icons grow with the text; the rows hold them and the text
  // (whose pixel size follows the font's points, rounded).
  EXPECT_EQ(at96.iconWidth, 16);
  EXPECT_EQ(at96.iconHeight, 16);
  EXPECT_EQ(here.iconWidth, (int)floor(16 * scale + 0.5));
  EXPECT_EQ(here.iconHeight, (int)floor(16 * scale + 0.5));
  EXPECT_GT(here.rowHeight, here.iconHeight);
  EXPECT_GE(here.rowHeight, at96.rowHeight * scale * 0.85) << "rows of " << at96.rowHeight << " at 96";
}

// The program's icon on its window, as a person sees it: the small one drawn
// in the title bar, where its orange swatch shows (nothing else in a title
// bar is orange). The icon handles themselves are checked inside a process
// (tests/win/windows_test.cpp): Wine answers no other process's questions
// about a window's icons.
TEST_F(StartTest, TheWindowWearsTheProgramIcon) {
  ASSERT_TRUE(Start());
  HWND window = main_.window;
  Rect outer = WindowRectOf(window), client = ClientRectOf(window);
  Rect titleStart = {outer.x, outer.y, std::min(outer.w, 4 * GetSystemMetrics(SM_CXSMICON)), client.y - outer.y};
  auto orange = [](int c) {
    int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    return r > 190 && g > 50 && g < 150 && b < 70;
  };
  EXPECT_TRUE(WaitFor([&] {
    Shot shot(titleStart);
    return std::count_if(shot.Pixels().begin(), shot.Pixels().end(), orange) >= GetSystemMetrics(SM_CXSMICON);
  })) << "no icon in the title bar at " << titleStart;
}

TEST_F(StartTest, StoredPositionsFarOffTheDisplayArePulledBack) {
  int displayW = GetSystemMetrics(SM_CXSCREEN), displayH = GetSystemMetrics(SM_CYSCREEN);
  struct Case {
    int x, y;
  } cases[] = {{-5000, -5000}, {100000, 100000}, {-2147483647 - 1, 2147483647}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
    ConfigRecord settings = SampleSettings();
    settings.WinX = c.x;
    settings.WinY = c.y;
    WriteSettings(settings);
    ASSERT_TRUE(Start());
    Rect outer = Of(main_.window);
    // At least 40 % of the window on the display: the limit itself, rounded.
    int x = c.x < 0 ? (int)nearbyint(-0.6 * outer.w) : (int)nearbyint(displayW - 0.4 * outer.w);
    int y = c.y < 0 ? (int)nearbyint(-0.6 * outer.h) : (int)nearbyint(displayH - 0.4 * outer.h);
    EXPECT_EQ(outer.x, x);
    EXPECT_EQ(outer.y, y);
    ASSERT_EQ(Close(), 0);
    ConfigRecord saved;
    ASSERT_TRUE(ReadSettings(&saved));
    EXPECT_EQ(saved.WinX, x);
    EXPECT_EQ(saved.WinY, y);
  }
}

// Window creation in the program fails for real: a global hook refuses its
// windows, as the system does when the desktop heap runs out. The start ends
// at once with its own exit code, and the settings file stays as it was.
TEST_F(StartTest, AStartWhoseWindowCannotBeCreatedEndsAtOnceAndSavesNothing) {
  WriteSettings(SampleSettings());
  std::string before = ReadWholeFile(SettingsPath().c_str());
  HMODULE hooks = LoadLibraryW(HelperPath(L"program_hooks.dll").c_str());
  ASSERT_TRUE(hooks);
  HOOKPROC refuse = (HOOKPROC)(void*)GetProcAddress(hooks, "RefuseEveryWindow");
  ASSERT_TRUE(refuse);
  HHOOK hook = SetWindowsHookExW(WH_CBT, refuse, hooks, 0);
  ASSERT_TRUE(hook);
  ASSERT_TRUE(Launch());
  // Waited for with this thread's messages answered, as a hooking thread must.
  bool ended = WaitFor([&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }, 10000);
  UnhookWindowsHookEx(hook);
  FreeLibrary(hooks);
  ASSERT_TRUE(ended) << "the program is still running";
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  EXPECT_EQ(code, (DWORD)kExitNoMainWindow);
  EXPECT_TRUE(ReadWholeFile(SettingsPath().c_str()) == before) << "the settings file changed";
  CloseHandle(process_.hProcess);
  CloseHandle(process_.hThread);
  process_ = {};
  // Nothing is left behind: the next start opens as usual.
  ASSERT_TRUE(Start());
  EXPECT_EQ(ColorText(), L"#1A2B3C");
}

//-----------------------------------------------------------------------------
// Collapsing
//-----------------------------------------------------------------------------

using CollapseTest = ProgramTest;

TEST_F(CollapseTest, RightClicksOnTheRightPanelCollapseAndExpandNothingElseDoes) {
  if (Scale() != 96) GTEST_SKIP() << "the bounds are checked where a logical unit is a pixel";
  ConfigRecord settings = SampleSettings();
  settings.WinExpanded = 0;
  WriteSettings(settings);
  ASSERT_TRUE(Start());
  Rect client = ClientRectOf(main_.window), list = Of(main_.list), panel = Of(main_.panel);
  // Collapsed: the window ends just above the list.
  EXPECT_EQ(client.y + client.h, list.y);
  int collapsed = client.h;

  // Outside the panel: the window's margin left of everything, one pixel
  // past the panel's right bound, and a canvas inside the panel. After
  // each, a new red typed into its field changes the colour: once that
  // shows, the right-click before it has been handled, and the window must
  // still be collapsed.
  const POINT outside[] = {{client.x + 2, client.y + client.h / 2},
                           {panel.x + panel.w + 1, panel.cy()},
                           {Of(main_.swatch).cx(), Of(main_.swatch).cy()}};
  const char* reds[] = {"51", "102", "153"};
  for (int i = 0; i < 3; i++) {
    SCOPED_TRACE(testing::Message() << "right-click at " << outside[i].x << ", " << outside[i].y);
    ASSERT_TRUE(ClickAt(outside[i].x, outside[i].y, true));
    // Into the field (a press on the swatch, which takes the keyboard, gave it the focus).
    ASSERT_TRUE(ClickAt(Of(main_.fields[0]).cx(), Of(main_.fields[0]).cy()));
    PressKey(VK_END);
    for (int k = 0; k < 3; k++) PressKey(VK_BACK);
    TypeDigits(reds[i]);
    ASSERT_TRUE(WaitFor([&] { return ColorText() == HtmlText(Rgb(atoi(reds[i]), 43, 60)); })) << ColorText().c_str();
    EXPECT_EQ(ClientRectOf(main_.window).h, collapsed);
  }
  // On the panel's background: expands.
  ASSERT_TRUE(ClickAt(panel.x + 3, panel.cy(), true));
  ASSERT_TRUE(WaitFor([&] { return ClientRectOf(main_.window).h > collapsed; }));
  Rect expanded = ClientRectOf(main_.window);
  EXPECT_GT(expanded.y + expanded.h, list.y + list.h);
  // On the panel's right bound itself, which counts as inside: collapses again.
  ASSERT_TRUE(ClickAt(panel.x + panel.w, panel.cy(), true));
  ASSERT_TRUE(WaitFor([&] { return ClientRectOf(main_.window).h == collapsed; }));

  ASSERT_EQ(Close(), 0);
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved));
  EXPECT_EQ(saved.WinExpanded, 0);
}

// The panel's sunken edge is part of the panel: a right-click on each of
// its four sides folds or unfolds the list, at every display scale.
TEST_F(CollapseTest, TheRightHandPanelsSunkenEdgeTakesTheRightClick) {
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  Rect panel = Of(main_.panel);
  int expanded = ClientRectOf(main_.window).h, collapsed = Logical(Of(main_.list).y - ClientRectOf(main_.window).y);
  const struct {
    const char* side;
    int x, y;
  } edges[] = {{"left", panel.x, panel.cy()},
               {"top", panel.cx(), panel.y + 1},
               {"right", panel.x + panel.w - 1, panel.cy()},
               {"bottom", panel.cx(), panel.y + panel.h - 2}};
  bool folded = false;
  for (const auto& e : edges) {
    SCOPED_TRACE(e.side);
    ASSERT_TRUE(ClickAt(e.x, e.y, true));
    folded = !folded;
    int want = folded ? Scaled(collapsed) : expanded;
    ASSERT_TRUE(WaitFor([&] { return ClientRectOf(main_.window).h == want; })) << ClientRectOf(main_.window).h;
  }
}

//-----------------------------------------------------------------------------
// Moving and closing
//-----------------------------------------------------------------------------

using WindowTest = ProgramTest;

TEST_F(WindowTest, AMovedWindowOpensWhereItWasLeft) {
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  Rect before = Of(main_.window), client = ClientRectOf(main_.window);
  // Dragged by its title bar.
  int grabX = before.x + 60, grabY = (before.y + client.y) / 2;
  ASSERT_TRUE(MoveTo(grabX, grabY));
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(MoveTo(grabX + 20, grabY + 10));
  ASSERT_TRUE(MoveTo(grabX + 37, grabY + 23));
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(WaitFor([&] { return Of(main_.window).x == before.x + 37 && Of(main_.window).y == before.y + 23; }))
      << Of(main_.window);
  ASSERT_EQ(Close(), 0);
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved));
  EXPECT_EQ(saved.WinX, before.x + 37);
  EXPECT_EQ(saved.WinY, before.y + 23);

  ASSERT_TRUE(Start());
  EXPECT_EQ(Of(main_.window).x, before.x + 37);
  EXPECT_EQ(Of(main_.window).y, before.y + 23);
}

TEST_F(WindowTest, AWindowClosedWhileMinimisedOpensWhereItWasShown) {
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  Rect shown = Of(main_.window);
  // Minimised from its system menu, then closed.
  PressChord(VK_MENU, VK_SPACE);
  PressKey('N');
  ASSERT_TRUE(WaitFor([&] { return IsIconic(main_.window) != 0; }));
  if (GetForegroundWindow() != main_.window) SetForegroundWindow(main_.window);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == main_.window; }));
  ASSERT_TRUE(PressAltF4UntilEnded(process_.hProcess, main_.window));
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved));
  EXPECT_EQ(saved.WinX, Logical(shown.x));
  EXPECT_EQ(saved.WinY, Logical(shown.y));
}

TEST_F(WindowTest, TheSessionEndingSavesTheSettingsAtOnce) {
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  ASSERT_TRUE(ClickAt(Of(main_.fields[0]).cx(), Of(main_.fields[0]).cy()));
  PressKey(VK_END);
  for (int i = 0; i < 3; i++) PressKey(VK_BACK);
  TypeDigits("99");
  ASSERT_TRUE(WaitFor([&] { return ColorText() == L"#632B3C"; })) << ColorText().c_str();
  // What the system sends at a log-off; after it the process may be ended at any moment.
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(main_.window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
  EXPECT_TRUE(answer);
  ASSERT_TRUE(SendMessageTimeoutW(main_.window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved));
  EXPECT_EQ(saved.Color, Rgb(99, 43, 60));
}

TEST_F(WindowTest, TheOptionsCaptionTakesANewColorAtEveryStart) {
  std::vector<int> seen[2];
  for (auto& colors : seen) {
    ASSERT_TRUE(Start());
    colors = Shot(ClientRectOf(main_.options)).Pixels();
    std::sort(colors.begin(), colors.end());
    colors.erase(std::unique(colors.begin(), colors.end()), colors.end());
    ASSERT_EQ(Close(), 0);
  }
  // The face is the same both times; the caption's colours are not.
  EXPECT_NE(seen[0], seen[1]);
}

TEST_F(WindowTest, HostileSettingsGiveAUsableWindowAndAreSavedBackValid) {
  std::string text = "<CONFIG><CRC>1111638594</CRC><Color>-1</Color><ColorFormat>99</ColorFormat>"
                     "<ColorFormatLCase>7</ColorFormatLCase><CapturedImg>12345</CapturedImg>"
                     "<WinX>-2147483648</WinX><WinY>2147483647</WinY><WinTopmost>9</WinTopmost>"
                     "<WinExpanded>3</WinExpanded><Autocopy>0</Autocopy>"
                     "<ColorRecent><element>abc</element><element>-5</element><bogus/>"
                     "<element>99999999999</element></ColorRecent>"
                     "<CapturedImgData><element>$FF</element><element>%101</element></CapturedImgData></CONFIG>";
  uLongf size = compressBound((uLong)text.size());
  std::string file(8 + size, '\0');
  int64_t length = (int64_t)text.size();
  memcpy(&file[0], &length, 8);
  ASSERT_EQ(compress2((Bytef*)&file[8], &size, (const Bytef*)text.data(), (uLong)text.size(), 6), Z_OK);
  file.resize(8 + size);
  ASSERT_TRUE(WriteWholeFile(SettingsPath().c_str(), file));

  ASSERT_TRUE(Start());
  // On the display, on top (any non-zero flag), and answering: a typed channel shows at once.
  EXPECT_TRUE(GetWindowLongW(main_.window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  Rect outer = Of(main_.window);
  EXPECT_GE(outer.x + outer.w, 0);
  EXPECT_LT(outer.y, GetSystemMetrics(SM_CYSCREEN));
  ASSERT_TRUE(ClickAt(Of(main_.fields[1]).cx(), Of(main_.fields[1]).cy()));
  PressKey(VK_END);
  for (int i = 0; i < 3; i++) PressKey(VK_BACK);
  TypeDigits("77");
  // Notation 99 reads as the decimal notation.
  ASSERT_TRUE(WaitFor([&] { return ColorText() == L"255,077,255"; })) << ColorText().c_str();
  ASSERT_EQ(Close(), 0);
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved));
  EXPECT_EQ(saved.validityMarker, kSettingsMarker);
  EXPECT_EQ(saved.Color, Rgb(255, 77, 255));
  EXPECT_EQ(saved.WinX, outer.x);
  EXPECT_EQ(saved.WinY, outer.y);
}

//-----------------------------------------------------------------------------
// A settings file another program holds
//-----------------------------------------------------------------------------

// This process holds the settings file as a sync client, a backup tool or a
// virus scanner does for a moment: open, sharing nothing.
class HeldSettingsTest : public ProgramTest {
 protected:
  void Hold() {
    held_ = CreateFileW(SettingsPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held_, INVALID_HANDLE_VALUE);
  }
  void LetGo() {
    if (held_ != INVALID_HANDLE_VALUE) CloseHandle(held_);
    held_ = INVALID_HANDLE_VALUE;
  }
  void TearDown() override {
    LetGo();
    ProgramTest::TearDown();
  }

  // Starts the program with this process as its debugger, which only
  // watches: a breakpoint at CreateFileW sees the program ask for its
  // settings file by name, one at that call's return sees the answer. Once
  // the program has asked and been turned away without a handle, `then`
  // runs while it is stopped there; then the breakpoints go, the debugger
  // leaves, and the program goes on by itself. The same calls watch the
  // program on Windows.
  ::testing::AssertionResult LaunchUntilTurnedAway(const std::function<void()>& then) {
    STARTUPINFOW startup = {sizeof startup};
    std::wstring command = L"\"" + g_programPath + L"\"";
    if (!CreateProcessW(g_programPath.c_str(), &command[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                        folder_.c_str(), &startup, &process_))
      return ::testing::AssertionFailure() << "cannot start the program: error " << GetLastError();
    DebugSetProcessKillOnExit(FALSE);
    HANDLE program = process_.hProcess;
    // The system's libraries lie at the same place in every process; this
    // one's copy of CreateFileW's first bytes tells when the program has it.
    uintptr_t createFile = (uintptr_t)(void*)GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CreateFileW");
    Breakpoint entry, back;
    std::map<DWORD, HANDLE> threads;
    DWORD steppingThread = 0;  // stepped over CreateFileW for another file, to arm it again
    std::string seen;          // the files the program asked for, for a failure's message
    auto leave = [&](DWORD thread, const char* why) {
      ContinueDebugEvent(process_.dwProcessId, thread, DBG_CONTINUE);
      DebugActiveProcessStop(process_.dwProcessId);
      return ::testing::AssertionFailure() << why << "; files asked for:" << (seen.empty() ? " none" : seen);
    };
    for (DWORD start = GetTickCount(); GetTickCount() - start < 30000;) {
      DEBUG_EVENT event;
      if (!WaitForDebugEvent(&event, 500)) continue;
      DWORD status = DBG_CONTINUE;
      switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
          if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
          threads[event.dwThreadId] = event.u.CreateProcessInfo.hThread;
          break;
        case CREATE_THREAD_DEBUG_EVENT: threads[event.dwThreadId] = event.u.CreateThread.hThread; break;
        case EXIT_THREAD_DEBUG_EVENT: threads.erase(event.dwThreadId); break;
        case LOAD_DLL_DEBUG_EVENT:
          if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
          break;
        case EXIT_PROCESS_DEBUG_EVENT: return leave(event.dwThreadId, "the program ended");
        case EXCEPTION_DEBUG_EVENT: {
          const EXCEPTION_RECORD& r = event.u.Exception.ExceptionRecord;
          uintptr_t at = (uintptr_t)r.ExceptionAddress;
          HANDLE thread = threads[event.dwThreadId];
          alignas(16) CONTEXT context = {};
          context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
          bool atEntry = r.ExceptionCode == EXCEPTION_BREAKPOINT && entry.Hit(at);
          bool atReturn = r.ExceptionCode == EXCEPTION_BREAKPOINT && back.Hit(at);
          bool ours = atEntry || atReturn;
          if (ours && !GetThreadContext(thread, &context)) return leave(event.dwThreadId, "no thread context");
          if (atEntry) {
            std::wstring name = ReadWideString(program, FirstArgument(program, context));
            seen += " \"" + std::string(name.begin(), name.end()) + "\"";
            entry.Disarm(program);
            if (EndsWith(name, L"ColorTintvane.bin")) {
              if (!back.Arm(program, ReturnAddress(program, context))) return leave(event.dwThreadId, "no return breakpoint");
            } else {
              steppingThread = event.dwThreadId;  // once past the call's first instruction, armed again
              context.EFlags |= 0x100;            // the trap flag
            }
            InstructionPointer(context) = entry.at;
            SetThreadContext(thread, &context);
          } else if (ours) {
            back.Disarm(program);
            InstructionPointer(context) = back.at;
            SetThreadContext(thread, &context);
            if ((HANDLE)ReturnValue(context) != INVALID_HANDLE_VALUE)
              return leave(event.dwThreadId, "the program opened the held settings file");
            then();
            ContinueDebugEvent(process_.dwProcessId, event.dwThreadId, DBG_CONTINUE);
            if (!DebugActiveProcessStop(process_.dwProcessId))
              return ::testing::AssertionFailure() << "the debugger cannot leave: error " << GetLastError();
            return ::testing::AssertionSuccess();
          } else if (r.ExceptionCode == EXCEPTION_SINGLE_STEP && event.dwThreadId == steppingThread) {
            steppingThread = 0;
            entry.Arm(program, createFile);
          } else if (r.ExceptionCode != EXCEPTION_BREAKPOINT) {
            status = DBG_EXCEPTION_NOT_HANDLED;  // the program's own to handle
          }
          break;
        }
        default: break;
      }
      if (!entry.at && !back.at && SameBytes(program, createFile)) entry.Arm(program, createFile);
      ContinueDebugEvent(process_.dwProcessId, event.dwThreadId, status);
    }
    DebugActiveProcessStop(process_.dwProcessId);
    return ::testing::AssertionFailure() << "the program was not turned away from its settings file within 30 s; "
                                         << (entry.at || back.at ? "files asked for:" + seen : "CreateFileW never armed");
  }

  // A one-byte breakpoint (int3) in the program's code.
  struct Breakpoint {
    uintptr_t at = 0;
    BYTE saved = 0;
    bool Arm(HANDLE process, uintptr_t where) {
      BYTE int3 = 0xCC;
      SIZE_T n = 0;
      if (!ReadProcessMemory(process, (void*)where, &saved, 1, &n) || !WriteProcessMemory(process, (void*)where, &int3, 1, &n))
        return false;
      FlushInstructionCache(process, (void*)where, 1);
      at = where;
      return true;
    }
    // Whether an exception at `where` is this breakpoint's: the address of the
    // int3, or the one after it where the thread stopped.
    bool Hit(uintptr_t where) const { return at && (where == at || where == at + 1); }
    void Disarm(HANDLE process) {
      SIZE_T n = 0;
      WriteProcessMemory(process, (void*)at, &saved, 1, &n);
      FlushInstructionCache(process, (void*)at, 1);
    }
  };
  // Whether the program holds this process's bytes at `at` (its library is loaded).
  static bool SameBytes(HANDLE process, uintptr_t at) {
    BYTE theirs[16], ours[16];
    SIZE_T n = 0;
    memcpy(ours, (const void*)at, sizeof ours);
    return ReadProcessMemory(process, (const void*)at, theirs, sizeof theirs, &n) && n == sizeof theirs &&
           !memcmp(theirs, ours, sizeof ours);
  }
  static uintptr_t ReadPointer(HANDLE process, uintptr_t at) {
    uintptr_t value = 0;
    SIZE_T n = 0;
    ReadProcessMemory(process, (const void*)at, &value, sizeof value, &n);
    return value;
  }
  // A function's first argument, its return address and a call's return
  // value, at the function's first instruction and at the return.
#ifdef _WIN64
  static uintptr_t FirstArgument(HANDLE, const CONTEXT& c) { return (uintptr_t)c.Rcx; }
  static uintptr_t ReturnAddress(HANDLE process, const CONTEXT& c) { return ReadPointer(process, (uintptr_t)c.Rsp); }
  static uintptr_t ReturnValue(const CONTEXT& c) { return (uintptr_t)c.Rax; }
  static DWORD64& InstructionPointer(CONTEXT& c) { return c.Rip; }
#else
  static uintptr_t FirstArgument(HANDLE process, const CONTEXT& c) { return ReadPointer(process, (uintptr_t)c.Esp + 4); }
  static uintptr_t ReturnAddress(HANDLE process, const CONTEXT& c) { return ReadPointer(process, (uintptr_t)c.Esp); }
  static uintptr_t ReturnValue(const CONTEXT& c) { return (uintptr_t)c.Eax; }
  static DWORD& InstructionPointer(CONTEXT& c) { return c.Eip; }
#endif
  // A string of the program's, read page by page up to its end (at most 1,024 characters).
  static std::wstring ReadWideString(HANDLE process, uintptr_t at) {
    std::wstring text;
    while (at && text.size() < 1024) {
      size_t room = 4096 - at % 4096;
      std::vector<wchar_t> chunk(room / sizeof(wchar_t));
      SIZE_T n = 0;
      if (!ReadProcessMemory(process, (const void*)at, chunk.data(), chunk.size() * sizeof(wchar_t), &n)) break;
      for (wchar_t c : chunk) {
        if (!c) return text;
        text += c;
      }
      at += room;
    }
    return text;
  }
  static bool EndsWith(const std::wstring& text, const wchar_t* tail) {
    size_t n = wcslen(tail);
    return text.size() >= n && _wcsicmp(text.c_str() + text.size() - n, tail) == 0;
  }

  HANDLE held_ = INVALID_HANDLE_VALUE;
};

// The holder lets go as soon as the program has asked for the file once and
// been turned away: the next try loads it.
TEST_F(HeldSettingsTest, SettingsHeldThroughTheFirstTryOfAStartAreLoaded) {
  WriteSettings(SampleSettings());
  ASSERT_NO_FATAL_FAILURE(Hold());
  ASSERT_TRUE(LaunchUntilTurnedAway([&] { LetGo(); }));
  ASSERT_TRUE(AwaitMainWindow());
  EXPECT_EQ(ColorText(), L"#1A2B3C");
  EXPECT_EQ(HistoryRuns()[1], Rgb(10, 245, 7));
}

// Held for longer than the start waits: the program runs on defaults, and
// neither the session's end nor the close replaces the file, though the
// holder has let go by then.
TEST_F(HeldSettingsTest, SettingsHeldThroughTheStartAreNeverReplaced) {
  WriteSettings(SampleSettings());
  std::string before = ReadWholeFile(SettingsPath().c_str());
  ASSERT_NO_FATAL_FAILURE(Hold());
  ASSERT_TRUE(Start());
  LetGo();
  std::wstring text = ColorText();  // a default grey
  ASSERT_EQ(text.size(), 7u);
  EXPECT_EQ(text.substr(1, 2), text.substr(3, 2));
  EXPECT_EQ(text.substr(1, 2), text.substr(5, 2));

  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(main_.window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
  ASSERT_TRUE(SendMessageTimeoutW(main_.window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
  EXPECT_TRUE(ReadWholeFile(SettingsPath().c_str()) == before) << "replaced at the session's end";
  ASSERT_EQ(Close(), 0);
  EXPECT_TRUE(ReadWholeFile(SettingsPath().c_str()) == before) << "replaced at the close";
}

//-----------------------------------------------------------------------------
// The colour: typed, listed, chosen in the dialog
//-----------------------------------------------------------------------------

using ColorTest = ProgramTest;

TEST_F(ColorTest, TypedChannelsTakeEffectAsTheyAreTyped) {
  ConfigRecord settings = SampleSettings();
  settings.Color = Rgb(0, 0, 0);
  WriteSettings(settings);
  ASSERT_TRUE(Start());
  HWND green = main_.fields[1];
  // Empties the field, and waits until the program has taken that in: on the
  // way through the field reads as numbers that later checks look for.
  auto clear = [&] {
    PressKey(VK_END);
    for (int i = 0; i < 3; i++) PressKey(VK_BACK);
    return WaitFor([&] { return TextOf(green).empty() && ColorText() == L"#000000"; });
  };
  ASSERT_TRUE(ClickAt(Of(green).cx(), Of(green).cy()));
  ASSERT_TRUE(clear());
  TypeDigits("25");
  EXPECT_TRUE(WaitFor([&] { return ColorText() == L"#001900"; })) << ColorText().c_str();
  TypeDigits("5");
  EXPECT_TRUE(WaitFor([&] { return ColorText() == L"#00FF00"; })) << ColorText().c_str();
  EXPECT_EQ(TextOf(green), L"255");
  // Above 255: ignored, and the field keeps what was typed until it is left.
  ASSERT_TRUE(clear());
  TypeDigits("25");
  ASSERT_TRUE(WaitFor([&] { return ColorText() == L"#001900"; })) << ColorText().c_str();
  TypeDigits("6");
  PressKey(VK_TAB);
  EXPECT_TRUE(ShowsText(green, L"25"));
  EXPECT_EQ(ColorText(), L"#001900");
  // Leading zeros stay while typing, the number shows once the field is left.
  ASSERT_TRUE(ClickAt(Of(green).cx(), Of(green).cy()));
  ASSERT_TRUE(clear());
  TypeDigits("007");
  ASSERT_TRUE(WaitFor([&] { return ColorText() == L"#000700"; })) << ColorText().c_str();
  EXPECT_EQ(TextOf(green), L"007");
  PressKey(VK_TAB);
  EXPECT_TRUE(ShowsText(green, L"7"));
  // An emptied field counts as 0 and shows it when left.
  ASSERT_TRUE(ClickAt(Of(green).cx(), Of(green).cy()));
  ASSERT_TRUE(clear()) << ColorText().c_str();
  PressKey(VK_TAB);
  EXPECT_TRUE(ShowsText(green, L"0"));
}

TEST_F(ColorTest, ARowChosenFromTheNameListBecomesTheColor) {
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  RemoteList rows(main_.list);
  ASSERT_EQ(rows.Count(), 34);
  std::wstring source = rows.Cell(0, 1), second = rows.Cell(2, 1), third = rows.Cell(3, 1);
  std::vector<int> history = HistoryRuns();
  // A click selects: the colour changes, the history does not.
  Rect row = rows.RowRect(2);
  ASSERT_TRUE(ClickAt(row.x + 20, row.cy()));
  ASSERT_TRUE(WaitFor([&] { return ColorText() == second; })) << ColorText().c_str();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(HistoryRuns(), history);
  // A double click also puts it first in the history; the list stays.
  row = rows.RowRect(3);
  ASSERT_TRUE(DoubleClickAt(row.x + 20, row.cy()));
  ASSERT_TRUE(WaitFor([&] { return ColorText() == third && HistoryRuns() != history; })) << ColorText().c_str();
  EXPECT_EQ(HtmlText(HistoryRuns()[0]), third);
  EXPECT_EQ(HistoryRuns()[1], history[0]);
  EXPECT_EQ(rows.Cell(0, 1), source);
}

// The colour dialog the program opened, or null.
static HWND ColorDialogOf(DWORD pid) {
  HWND dialog = ProcessWindow(pid, nullptr);
  return dialog && ClassOf(dialog) == L"#32770" ? dialog : nullptr;
}

TEST_F(ColorTest, TheColorDialogChangesTheColorOnlyWhenConfirmed) {
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  std::wstring before = ColorText();
  std::vector<int> history = HistoryRuns();
  Rect swatch = Of(main_.swatch);
  HWND dialog = nullptr;

  ASSERT_TRUE(ClickAt(swatch.cx(), swatch.cy()));
  ASSERT_TRUE(WaitFor([&] { return (dialog = ColorDialogOf(process_.dwProcessId)) != nullptr; }));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  // Cancelled: the window shows what it showed before (once it has painted
  // where the dialog was).
  EXPECT_TRUE(WaitFor([&] { return HistoryRuns() == history; }));
  EXPECT_EQ(ColorText(), before);
  EXPECT_EQ(RemoteList(main_.list).Cell(0, 1), before);

  ASSERT_TRUE(ClickAt(swatch.cx(), swatch.cy()));
  ASSERT_TRUE(WaitFor([&] { return (dialog = ColorDialogOf(process_.dwProcessId)) != nullptr; }));

  // Red, green and blue typed into the dialog's fields, then OK.
  const struct {
    int id;
    const char* digits;
  } fields[] = {{706, "12"}, {707, "34"}, {708, "56"}};
  for (const auto& f : fields) {
    Rect field = Of(GetDlgItem(dialog, f.id));
    ASSERT_TRUE(ClickAt(field.cx(), field.cy()));
    PressKey(VK_END);
    for (int i = 0; i < 3; i++) PressKey(VK_BACK);
    TypeDigits(f.digits);
    ASSERT_TRUE(ShowsText(GetDlgItem(dialog, f.id), std::wstring(f.digits, f.digits + strlen(f.digits))));
  }
  Rect ok = Of(GetDlgItem(dialog, IDOK));
  ASSERT_TRUE(ClickAt(ok.cx(), ok.cy()));
  ASSERT_TRUE(WaitFor([&] { return ColorText() == L"#0C2238"; })) << ColorText().c_str();
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == Rgb(12, 34, 56); }));
  EXPECT_EQ(HistoryRuns()[1], history[0]);
  EXPECT_EQ(RemoteList(main_.list).Cell(0, 1), L"#0C2238");
}

TEST_F(ColorTest, WithAutomaticCopyingNothingIsCopiedAtStartUp) {
  ConfigRecord settings = SampleSettings();
  settings.Autocopy = 1;
  WriteSettings(settings);
  ASSERT_TRUE(SetClipboardText(L"left by the user"));
  ASSERT_TRUE(Start());
  // Started, refreshed and ticking: the picker's face shows, the list is full.
  ASSERT_EQ(RemoteList(main_.list).Count(), 34);
  EXPECT_EQ(ClipboardText(), L"left by the user");
  // A change of colour does copy.
  ASSERT_TRUE(ClickAt(Of(main_.fields[2]).cx(), Of(main_.fields[2]).cy()));
  PressKey(VK_END);
  PressKey(VK_BACK);
  ASSERT_TRUE(WaitFor([&] { return ClipboardText() == ColorText() && ColorText() != L"#1A2B3C"; }))
      << ColorText().c_str();
}

//-----------------------------------------------------------------------------
// Picking from the screen
//-----------------------------------------------------------------------------

class PickTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // Low on the left, clear of the program's window at every display scale:
    // it opens at x = 320 or more by default, and ends above y = 750 from the
    // sample settings.
    int height = GetSystemMetrics(SM_CYSCREEN);
    pattern_.reset(new PatternWindow(Rect{20, height - 200, 200, 150}));
    ASSERT_TRUE(pattern_->Shows());
  }
  void TearDown() override {
    ProgramTest::TearDown();
    pattern_.reset();
  }
  std::unique_ptr<PatternWindow> pattern_;
};

TEST_F(PickTest, AReleasedPickTakesTheExactPixelUnderThePointer) {
  ASSERT_EQ(Scale(), ExpectedScale());
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  Rect picker = Of(main_.picker), swatch = ClientRectOf(main_.swatch);
  ASSERT_TRUE(MoveTo(picker.cx(), picker.cy()));
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  const Rect& area = pattern_->rect();
  const struct {
    int x, y;
  } points[] = {{10, 20}, {123, 77}, {199, 149}, {57, 3}};
  int color = 0;
  for (const auto& p : points) {
    ASSERT_TRUE(MoveTo(area.x + p.x, area.y + p.y));
    color = PatternWindow::ColorAt(p.x, p.y);
    // Live: the colour text and the swatch follow the pointer.
    EXPECT_TRUE(WaitFor([&] {
      return ColorText() == HtmlText(color) && Shot(swatch).Pixel(swatch.w / 2, swatch.h / 2) == color;
    })) << p.x << ", " << p.y << ": " << ColorText().c_str();
  }
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == color; }));
  EXPECT_EQ(RemoteList(main_.list).Cell(0, 1), HtmlText(color));
  // The capture view shows the region magnified, its centre block the picked pixel.
  Rect view = ClientRectOf(main_.capture);
  EXPECT_EQ(Shot(view).Pixel(view.w / 2, view.h / 2), color);
  ASSERT_EQ(Close(), 0);
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved));
  EXPECT_EQ(saved.Color, color);
  EXPECT_EQ(saved.ColorRecent[0], color);
}

// At the screen's edges and corners the region around the pointer reaches
// off the screen: the pick still takes the pixel under the pointer, live and
// at the release, and the view shows the region's pixels on the screen as
// they are and black beyond its edges. Over a picture of the whole screen,
// behind the program's window, in which every pixel has a colour of its own.
TEST_F(PickTest, PicksAtTheScreensEdgesAndCornersTakeThePixelUnderThePointer) {
  ASSERT_EQ(Scale(), ExpectedScale());
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  Backdrop backdrop(Rect{0, 0, width, height});
  ASSERT_TRUE(backdrop.Shows());
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  // The edges' middles, then the corners; the last one is released on.
  const POINT points[] = {{width / 2, 0},         {width / 2, height - 1}, {0, height / 2},
                          {width - 1, height / 2}, {0, 0},                  {width - 1, 0},
                          {0, height - 1},         {width - 1, height - 1}};
  // Nothing but the picture lies under the regions: the program's window and
  // the fixture's pattern are clear of them.
  for (HWND other : {main_.window, pattern_->hwnd()}) {
    Rect r = WindowRectOf(other);
    for (const POINT& p : points)
      ASSERT_TRUE(p.x + 15 < r.x || p.x - 15 >= r.x + r.w || p.y + 10 < r.y || p.y - 10 >= r.y + r.h)
          << p.x << ", " << p.y << " under " << r;
  }
  Rect picker = Of(main_.picker), swatch = ClientRectOf(main_.swatch);
  ASSERT_TRUE(MoveTo(picker.cx(), picker.cy()));
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  for (const POINT& p : points) {
    ASSERT_TRUE(MoveTo(p.x, p.y));
    int color = backdrop.Read(p.x, p.y);
    ::testing::AssertionResult magnified = ::testing::AssertionFailure();
    EXPECT_TRUE(WaitFor([&] {
      return ColorText() == HtmlText(color) && Shot(swatch).Pixel(swatch.w / 2, swatch.h / 2) == color &&
             (magnified = ShowsMagnified(main_.capture, backdrop, p.x, p.y, true));
    })) << p.x << ", " << p.y << ": " << ColorText().c_str() << " for " << HtmlText(color).c_str() << "; "
        << magnified.message();
  }
  MouseButton(MOUSEEVENTF_LEFTUP);
  const POINT& last = points[7];
  int color = backdrop.Read(last.x, last.y);
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == color; })) << ColorText().c_str();
  EXPECT_EQ(RemoteList(main_.list).Cell(0, 1), HtmlText(color));
  EXPECT_TRUE(ShowsMagnified(main_.capture, backdrop, last.x, last.y, false));
  ASSERT_EQ(Close(), 0);
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved));
  EXPECT_EQ(saved.Color, color);
}

// Counts the clipboard's changes as a clipboard manager sees them: one
// WM_CLIPBOARDUPDATE for each, while this thread's messages are answered.
class ClipboardWatch {
 public:
  ClipboardWatch() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TintvaneClipboardWatch";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowW(L"TintvaneClipboardWatch", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    listening_ = hwnd_ && AddClipboardFormatListener(hwnd_);
  }
  ~ClipboardWatch() {
    if (listening_) RemoveClipboardFormatListener(hwnd_);
    DestroyWindow(hwnd_);
  }
  bool listening() const { return listening_; }
  // The changes so far. Each one's notification is posted to this thread as
  // the clipboard closes, so once the queue is drained the count is exact.
  int Changes() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    return changes;
  }
  static int changes;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLIPBOARDUPDATE) changes++;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  HWND hwnd_ = nullptr;
  bool listening_ = false;
};
int ClipboardWatch::changes = 0;

// Whether the clipboard holds the two formats that keep its content out of
// clipboard history and away from clipboard monitors, history's set to 0.
static ::testing::AssertionResult ClipboardKeptOutOfHistory() {
  UINT exclude = RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
  UINT history = RegisterClipboardFormatW(L"CanIncludeInClipboardHistory");
  // What the clipboard holds, for a failure's message.
  auto holds = [&] {
    std::string formats;
    if (OpenClipboard(nullptr)) {
      for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) {
        wchar_t name[80] = L"";
        GetClipboardFormatNameW(f, name, 80);
        formats += " " + std::to_string(f) + (name[0] ? "=" + std::string(name, name + wcslen(name)) : "");
      }
      CloseClipboard();
    }
    HWND front = GetForegroundWindow();
    return "; the clipboard holds" + formats + " (change " + std::to_string(GetClipboardSequenceNumber()) +
           "), in front \"" + [&] { std::wstring t = TextOf(front); return std::string(t.begin(), t.end()); }() + "\"";
  };
  // Read with the clipboard open: a copy of the program's that is under way
  // (a live copy tried again on a tick, say) shows its formats one by one,
  // and a look from outside in between would find the text without its
  // markers.
  if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 2000))
    return ::testing::AssertionFailure() << "the clipboard could not be opened" << holds();
  bool marked = IsClipboardFormatAvailable(exclude) && IsClipboardFormatAvailable(history);
  bool zero = false;
  if (HANDLE data = GetClipboardData(history)) {
    if (const DWORD* value = (const DWORD*)GlobalLock(data)) {
      zero = GlobalSize(data) >= sizeof(DWORD) && *value == 0;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  if (!marked) return ::testing::AssertionFailure() << "a marker is missing" << holds();
  if (!zero) return ::testing::AssertionFailure() << "history's marker is not 0" << holds();
  return ::testing::AssertionSuccess();
}

static bool ClipboardHasAMarker() {
  if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 2000)) return true;  // unknown: no pass
  bool marked =
      IsClipboardFormatAvailable(RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing")) ||
      IsClipboardFormatAvailable(RegisterClipboardFormatW(L"CanIncludeInClipboardHistory"));
  CloseClipboard();
  return marked;
}

// With "Copy automatically" on, a pick copies while it runs only when the
// colour's text changes, marked so that clipboard history and managers pass
// it by; the release leaves the final text as an ordinary copy.
TEST_F(PickTest, AutomaticCopiesDuringAPickAreFewAndKeptOutOfHistory) {
  ConfigRecord settings = SampleSettings();
  settings.Autocopy = 1;
  WriteSettings(settings);
  ASSERT_TRUE(SetClipboardText(L"left by the user"));
  ASSERT_TRUE(Start());
  ClipboardWatch watch;
  ASSERT_TRUE(watch.listening());
  int atStart = watch.Changes();

  // Held on the picker button: a still picture under the pointer, its centre
  // the icon's grey ink. Each tick pulses the capture view's crosshair; ten
  // changes of the view are ten ticks or more.
  Rect picker = Of(main_.picker), view = ClientRectOf(main_.capture);
  ASSERT_TRUE(MoveTo(picker.cx(), picker.cy()));
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(WaitFor([&] { return ClipboardText() == L"#484848"; })) << ClipboardText().c_str();
  std::vector<int> shown = Shot(view).Pixels();
  int ticks = 0;
  ASSERT_TRUE(WaitFor([&] {
    std::vector<int> now = Shot(view).Pixels();
    if (now != shown) ticks++;
    shown = now;
    return ticks >= 10;
  }));
  EXPECT_EQ(watch.Changes() - atStart, 1);
  EXPECT_EQ(ClipboardText(), L"#484848");
  EXPECT_TRUE(ClipboardKeptOutOfHistory());

  // Over the picture: the new text, still kept out of history.
  const Rect& area = pattern_->rect();
  ASSERT_TRUE(MoveTo(area.x + 40, area.y + 30));
  int color = PatternWindow::ColorAt(40, 30);
  ASSERT_TRUE(WaitFor([&] { return ClipboardText() == HtmlText(color); })) << ClipboardText().c_str();
  EXPECT_TRUE(ClipboardKeptOutOfHistory());

  // Released: the final text as an ordinary copy, once.
  int before = watch.Changes();
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == color; }));
  EXPECT_EQ(ClipboardText(), HtmlText(color));
  EXPECT_FALSE(ClipboardHasAMarker());
  ASSERT_TRUE(Settle());
  EXPECT_EQ(watch.Changes(), before + 1);
}

//-----------------------------------------------------------------------------
// Drags that lose the window's place in front
//-----------------------------------------------------------------------------

class SwitchAwayTest : public PickTest {
 protected:
  void SetUp() override {
    PickTest::SetUp();
    speed_ = MouseSpeed();
  }
  // A failure must not leave the tests after it with a slowed mouse.
  void TearDown() override {
    PickTest::TearDown();
    if (speed_ && MouseSpeed() != speed_)
      SystemParametersInfoW(SPI_SETMOUSESPEED, (UINT)speed_, (void*)(INT_PTR)speed_, SPIF_SENDCHANGE);
  }
  int speed_ = 0;

  // Another window comes to the front, as a task switcher brings one. A
  // virtual desktop has no Alt+Tab switcher: the window comes forward itself.
  ::testing::AssertionResult SwitchAway() {
    SetForegroundWindow(pattern_->hwnd());
    if (!WaitFor([&] { return GetForegroundWindow() == pattern_->hwnd(); }, 1000)) {
      PressChord(VK_MENU, VK_TAB);
      if (!WaitFor([&] { return GetForegroundWindow() != main_.window; }, 2000))
        return ::testing::AssertionFailure() << "the program's window stayed in front";
    }
    return ::testing::AssertionSuccess();
  }
};

TEST_F(SwitchAwayTest, ACaptureViewDragEndsOnceWhenAnotherWindowComesToTheFront) {
  ConfigRecord settings = SampleSettings();
  for (int i = 0; i < kCapturedPixelCount; i++) settings.CapturedImgData[i] = Rgb(200, 100 + i % 50, 50);
  WriteSettings(settings);
  ASSERT_TRUE(Start());
  std::vector<int> history = HistoryRuns();
  Rect view = Of(main_.capture);
  ASSERT_TRUE(MoveTo(view.cx(), view.cy()));
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(WaitFor(PointerConfined));
  ASSERT_TRUE(MoveTo(view.cx() + 5, view.cy() + 3));
  // The colour under the pointer; the pointer itself never shows in a copy of the screen.
  std::wstring dragged = HtmlText(Shot(Rect{view.cx() + 5, view.cy() + 3, 1, 1}).Pixel(0, 0));
  ASSERT_TRUE(WaitFor([&] { return ColorText() == dragged; })) << ColorText().c_str();

  ASSERT_TRUE(SwitchAway());
  ASSERT_TRUE(WaitFor([] { return !PointerConfined(); }));
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns() != history; }));
  // The colour current at the end went into the history, once.
  std::vector<int> after = HistoryRuns();
  std::wstring committed = ColorText();
  EXPECT_EQ(HtmlText(after[0]), committed);
  EXPECT_EQ(std::vector<int>(after.begin() + 1, after.end()), std::vector<int>(history.begin(), history.end() - 1));
  // The button let go later, over the program on a pixel of another
  // colour, neither picks it nor commits again.
  ASSERT_TRUE(MoveTo(view.cx() - 30, view.cy() - 20));
  ASSERT_NE(HtmlText(Shot(Rect{view.cx() - 30, view.cy() - 20, 1, 1}).Pixel(0, 0)), committed);
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(Settle());
  EXPECT_EQ(HistoryRuns(), after);
  EXPECT_EQ(ColorText(), committed);
}

TEST_F(SwitchAwayTest, APrecisionSliderDragGivesTheMouseItsSpeedBack) {
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  int speed = speed_;
  ASSERT_GE(speed, 4);
  std::vector<int> history = HistoryRuns();
  ASSERT_TRUE(StartPrecisionDrag(main_.strips[0], 1 / 3.0, speed));
  SendKeys({{VK_CONTROL, true}});
  ASSERT_TRUE(WaitFor([&] { return ColorText() != L"#1A2B3C"; }));
  std::wstring dragged = ColorText();

  ASSERT_TRUE(SwitchAway());
  EXPECT_TRUE(WaitFor([&] { return MouseSpeed() == speed; })) << MouseSpeed();
  // Free again, as a person needs it; the system frees it too when another
  // window comes to the front (the program's own release is checked in the
  // canvas tests).
  EXPECT_TRUE(WaitFor([] { return !PointerConfined(); }));
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns() != history; }));
  EXPECT_EQ(HtmlText(HistoryRuns()[0]), dragged);
  EXPECT_EQ(HistoryRuns()[1], history[0]);
  MouseButton(MOUSEEVENTF_LEFTUP);
}

TEST_F(SwitchAwayTest, ClosingDuringAPrecisionDragGivesTheMouseItsSpeedBack) {
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  int speed = speed_;
  ASSERT_GE(speed, 4);
  ASSERT_TRUE(StartPrecisionDrag(main_.strips[1], 0.5, speed));
  SendKeys({{VK_CONTROL, true}});
  // Alt+F4 with the button still held.
  ASSERT_TRUE(PressAltF4UntilEnded(process_.hProcess, main_.window));
  MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(MouseSpeed(), speed);
  // The system frees the pointer when the process ends, whatever it did.
  EXPECT_FALSE(PointerConfined());
}

TEST_F(SwitchAwayTest, APickEndsWhenAnotherWindowComesToTheFront) {
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  Rect picker = Of(main_.picker);
  ASSERT_TRUE(MoveTo(picker.cx(), picker.cy()));
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  const Rect& area = pattern_->rect();
  ASSERT_TRUE(MoveTo(area.x + 40, area.y + 30));
  int color = PatternWindow::ColorAt(40, 30);
  ASSERT_TRUE(WaitFor([&] { return ColorText() == HtmlText(color); })) << ColorText().c_str();
  ASSERT_TRUE(SwitchAway());
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == color; }));
  EXPECT_EQ(RemoteList(main_.list).Cell(0, 1), HtmlText(color));
  // Ended: moving on changes nothing.
  ASSERT_TRUE(MoveTo(area.x + 90, area.y + 60));
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(Settle());
  EXPECT_EQ(ColorText(), HtmlText(color));
}

//-----------------------------------------------------------------------------
// The options menu
//-----------------------------------------------------------------------------

static const wchar_t kHomepage[] = L"https://colortintvane.example/";

static bool RecorderRunning() {
  HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (all == INVALID_HANDLE_VALUE) return true;
  PROCESSENTRY32W entry = {sizeof entry};
  bool running = false;
  for (BOOL more = Process32FirstW(all, &entry); more && !running; more = Process32NextW(all, &entry))
    running = _wcsicmp(entry.szExeFile, L"url_recorder.exe") == 0;
  CloseHandle(all);
  return running;
}

// The addresses the stand-in browser was given, once it has written one and
// no recorder is still running (a second start would add a line).
static std::wstring OpenedAddresses() {
  std::string opened;
  WaitFor([&] { return !(opened = ReadWholeFile(g_openedLog.c_str())).empty() && !RecorderRunning(); }, 10000);
  opened = ReadWholeFile(g_openedLog.c_str());
  return std::wstring((const wchar_t*)opened.data(), opened.size() / sizeof(wchar_t));
}

class MenuTest : public ProgramTest {
 protected:
  // The menu that opens on a click of the options button, or null.
  HWND OpenOptions() {
    Rect button = Of(main_.options);
    std::vector<HWND> menus;
    if (!ClickAt(button.cx(), button.cy())) return nullptr;
    if (!WaitFor([&] { return (menus = OpenMenus(process_.dwProcessId)).size() == 1; })) return nullptr;
    return menus[0];
  }
  // Opens the "Color format" sub-menu of an open options menu: the pointer
  // resting on its entry opens it, and a click does when that is slow.
  HWND OpenFormats(HWND menu, const MenuPicture& layout) {
    Rect at = Of(menu), item = layout.items[4];
    std::vector<HWND> menus;
    auto open = [&] { return (menus = OpenMenus(process_.dwProcessId)).size() == 2; };
    if (!MoveTo(at.x + item.cx(), at.y + item.cy())) return nullptr;
    if (!WaitFor(open, 2000)) {
      SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
      if (!WaitFor(open)) return nullptr;
    }
    // The other one, whatever their order: under load the system may raise
    // the options menu above its sub-menu again.
    return menus[0] == menu ? menus[1] : menus[0];
  }
  ::testing::AssertionResult Choose(HWND menu, const MenuPicture& layout, int index, bool right = false) {
    Rect at = Of(menu), item = layout.items[(size_t)index];
    ::testing::AssertionResult moved = MoveTo(at.x + item.cx(), at.y + item.cy());
    if (!moved) return moved;
    SendMouse({right ? (DWORD)MOUSEEVENTF_RIGHTDOWN : (DWORD)MOUSEEVENTF_LEFTDOWN,
               right ? (DWORD)MOUSEEVENTF_RIGHTUP : (DWORD)MOUSEEVENTF_LEFTUP});
    if (!WaitFor([&] { return OpenMenus(process_.dwProcessId).empty(); }))
      return ::testing::AssertionFailure() << "the menu stayed open";
    return ::testing::AssertionSuccess();
  }
  static MenuPicture Options(bool onTop, bool autocopy, bool lowercase) {
    return ReferenceMenu({{L"Stay on top", onTop, false},
                          {L"Copy automatically", autocopy, false},
                          {L"Use lowercase", lowercase, false},
                          {nullptr, false, false},
                          {L"Color format", false, true},
                          {nullptr, false, false},
                          {L"Program homepage", false, false}});
  }
  static MenuPicture Formats(int checked) {
    return ReferenceMenu({{L"HTML/CSS hex\t(#RRGGBB)", checked == 0, false},
                          {L"C hex\t(0xBBGGRR)", checked == 1, false},
                          {L"PB hex\t($BBGGRR)", checked == 2, false},
                          {L"VB hex\t(&&HBBGGRR)", checked == 3, false},
                          {nullptr, false, false},
                          {L"RGB int\t(RRR,GGG,BBB)", checked == 4, false}});
  }
};

TEST_F(MenuTest, TheDefaultsShowUnderTheButton) {
  MenuPicture options = Options(false, false, false), formats = Formats(0);
  ASSERT_FALSE(options.items.empty());
  ASSERT_FALSE(formats.items.empty());
  WriteSettings(SampleSettings());  // the menu's settings as at a first start
  ASSERT_TRUE(Start());
  HWND menu = OpenOptions();
  ASSERT_TRUE(menu);
  // Three logical units under the button, the position taken through logical units.
  Rect button = Of(main_.options), at = Of(menu);
  EXPECT_EQ(at.x, Scaled(Logical(button.x)));
  EXPECT_EQ(at.y, Scaled(Logical(button.y) + Logical(button.h) + 3));
  EXPECT_TRUE(ShowsMenu(menu, options));
  HWND sub = OpenFormats(menu, options);
  ASSERT_TRUE(sub);
  EXPECT_TRUE(ShowsMenu(sub, formats));
  PressKey(VK_ESCAPE);
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return OpenMenus(process_.dwProcessId).empty(); }));
}

TEST_F(MenuTest, ANotationOrCaseChosenShowsAtOnceAndCopiesNothing) {
  MenuPicture options = Options(false, true, false), formats = Formats(0);
  ConfigRecord settings = SampleSettings();
  settings.Color = Rgb(0, 128, 255);
  settings.Autocopy = 1;
  WriteSettings(settings);
  ASSERT_TRUE(SetClipboardText(L"left by the user"));
  ASSERT_TRUE(Start());
  RemoteList rows(main_.list);
  ASSERT_EQ(ColorText(), L"#0080FF");

  HWND menu = OpenOptions();
  ASSERT_TRUE(menu);
  HWND sub = OpenFormats(menu, options);
  ASSERT_TRUE(sub);
  ASSERT_TRUE(Choose(sub, formats, 1));
  ASSERT_TRUE(WaitFor([&] { return ColorText() == L"0xFF8000"; })) << ColorText().c_str();
  EXPECT_EQ(rows.Cell(0, 1), L"0xFF8000");
  EXPECT_EQ(rows.Cell(1, 1).substr(0, 2), L"0x");

  menu = OpenOptions();
  ASSERT_TRUE(menu);
  ASSERT_TRUE(ShowsMenu(menu, options));
  ASSERT_TRUE(Choose(menu, options, 2));
  ASSERT_TRUE(WaitFor([&] { return ColorText() == L"0xff8000"; })) << ColorText().c_str();
  EXPECT_EQ(rows.Cell(0, 1), L"0xff8000");
  EXPECT_EQ(ClipboardText(), L"left by the user");

  ASSERT_EQ(Close(), 0);
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved));
  EXPECT_EQ(saved.ColorFormat, 1);
  EXPECT_EQ(saved.ColorFormatLCase, 1);
  EXPECT_EQ(ClipboardText(), L"left by the user");
}

TEST_F(MenuTest, StayOnTopTakesEffectAtOnceBothWays) {
  MenuPicture off = Options(false, false, false), on = Options(true, false, false);
  ASSERT_TRUE(Start());
  HWND menu = OpenOptions();
  ASSERT_TRUE(menu);
  ASSERT_TRUE(Choose(menu, off, 0, true));  // the right button chooses too
  ASSERT_TRUE(WaitFor([&] { return (GetWindowLongW(main_.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
  menu = OpenOptions();
  ASSERT_TRUE(menu);
  EXPECT_TRUE(ShowsMenu(menu, on));
  ASSERT_TRUE(Choose(menu, on, 0));
  ASSERT_TRUE(WaitFor([&] { return (GetWindowLongW(main_.window, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0; }));
  ASSERT_EQ(Close(), 0);
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved));
  EXPECT_EQ(saved.WinTopmost, 0);
}

TEST_F(MenuTest, AChoiceActsOnceHoweverOftenTheMenuWasOpened) {
  MenuPicture options = Options(false, false, false);
  ASSERT_TRUE(Start());
  std::wstring upper = ColorText(), lower = upper;
  for (wchar_t& c : lower) c = (wchar_t)towlower(c);
  for (int i = 0; i < 5; i++) {
    ASSERT_TRUE(OpenOptions());
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return OpenMenus(process_.dwProcessId).empty(); }));
  }
  ASSERT_TRUE(Settle());
  EXPECT_EQ(ColorText(), upper);
  // "Use lowercase" twice, the case checked after each: a choice that acted
  // twice would leave it as it was.
  for (const std::wstring& expected : {lower, upper}) {
    HWND menu = OpenOptions();
    ASSERT_TRUE(menu);
    ASSERT_TRUE(Choose(menu, options, 2));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(ColorText(), expected);
  }
  // A toggle cannot tell one action from three: the homepage is counted.
  // A browser may come up over the window, so the panel is asked only once
  // the browser has come and gone; whatever else the choice did has been
  // done when the panel answers.
  DeleteFileW(g_openedLog.c_str());
  HWND menu = OpenOptions();
  ASSERT_TRUE(menu);
  ASSERT_TRUE(Choose(menu, options, 6));
  EXPECT_EQ(OpenedAddresses(), std::wstring(kHomepage) + L"\n");
  ASSERT_TRUE(Settle());
  EXPECT_EQ(OpenedAddresses(), std::wstring(kHomepage) + L"\n");
  ASSERT_EQ(Close(), 0);
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved));
  EXPECT_EQ(saved.ColorFormatLCase, 0);
}

TEST_F(MenuTest, TheHomepageGoesToTheBrowser) {
  MenuPicture options = Options(false, false, false);
  DeleteFileW(g_openedLog.c_str());
  ASSERT_TRUE(Start());
  HWND menu = OpenOptions();
  ASSERT_TRUE(menu);
  ASSERT_TRUE(Choose(menu, options, 6));
  EXPECT_EQ(OpenedAddresses(), std::wstring(kHomepage) + L"\n");
}

//-----------------------------------------------------------------------------
// Entry point: the program's path comes first on the command line
//-----------------------------------------------------------------------------

int main(int argc, char** argv) {
  if (!StartDriver(&argc, argv, "[gtest flags]")) return 2;
  return RUN_ALL_TESTS();
}
