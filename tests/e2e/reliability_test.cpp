// The real program under long use and under random input, driven from
// another process by real input only:
//   e2e_reliability.exe ColorTintvane.exe [--soak-seconds=N] [--events=N] [--seed=N] [gtest flags]
// The soak picks live from a changing picture for N seconds (60 unless
// given) while the program's working set and private bytes are sampled; the
// random input sends N seeded events (500 unless given) to the window and
// checks after every batch that it still answers and that input still takes
// effect. Both print their figures.
#include <math.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <deque>
#include <set>
#include <string>

#include "tests/e2e/program_driver.h"  // windows.h first

#include <psapi.h>

static int g_soakSeconds = 60;
static int g_events = 500;
static unsigned g_seed = 0;  // 0: a new seed each run, printed

static double MiB(size_t bytes) { return bytes / (1024.0 * 1024.0); }

// Settings that put the window near the top left, wholly on the screen.
static ConfigRecord PlacedSettings() {
  ConfigRecord c = {};
  c.validityMarker = kSettingsMarker;
  c.Color = 0x3C2B1A;
  c.WinX = 20;
  c.WinY = 20;
  c.WinExpanded = 1;
  return c;
}

//-----------------------------------------------------------------------------
// Soak
//-----------------------------------------------------------------------------

// The resident private memory of the program a test started, as the host
// system counts it, where the process runs on one (a Wine process shows in
// Z:\proc); 0 when it cannot be read. Used where the platform answers no
// private bytes. Another run's program may be running on the same machine:
// this one is told apart by its current folder, the test's own, in which
// `marker` (a file name no other folder holds) shows through Z:\proc\N\cwd.
static size_t HostPrivateBytes(const wchar_t* exeName, const std::wstring& marker) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  size_t bytes = 0;
  do {
    if (found.cFileName[0] < L'0' || found.cFileName[0] > L'9') continue;
    std::wstring folder = std::wstring(L"Z:\\proc\\") + found.cFileName;
    // The program itself: its first argument names it (others may carry its path as an argument).
    std::string command = ReadWholeFile((folder + L"\\cmdline").c_str()).c_str();
    std::string name(exeName, exeName + wcslen(exeName));
    if (command.size() < name.size() || command.compare(command.size() - name.size(), name.size(), name)) continue;
    if (GetFileAttributesW((folder + L"\\cwd\\" + marker).c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    std::string status = ReadWholeFile((folder + L"\\status").c_str());
    size_t at = status.find("RssAnon:");
    if (at != std::string::npos) bytes = (size_t)strtoull(status.c_str() + at + 8, nullptr, 10) * 1024;
    break;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return bytes;
}

struct MemorySample {
  double seconds;
  size_t workingSet, privateBytes;
  DWORD gdiObjects, userObjects;
};

static MemorySample SampleMemory(HANDLE process, const std::wstring& marker, double seconds) {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(process, (PROCESS_MEMORY_COUNTERS*)&counters, sizeof counters);
  size_t privateBytes = counters.PrivateUsage ? counters.PrivateUsage : HostPrivateBytes(L"ColorTintvane.exe", marker);
  return MemorySample{seconds, counters.WorkingSetSize, privateBytes, GetGuiResources(process, GR_GDIOBJECTS),
                      GetGuiResources(process, GR_USEROBJECTS)};
}

using SoakTest = ProgramTest;

TEST_F(SoakTest, PickingLiveForLongKeepsMemoryFlat) {
  WriteSettings(PlacedSettings());
  std::wstring marker = L"soak-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
  ASSERT_TRUE(WriteWholeFile((folder_ + L"\\" + marker).c_str(), "the soak's program runs here"));
  int height = GetSystemMetrics(SM_CYSCREEN);
  PatternWindow picture(Rect{20, height - 260, 240, 200});
  ASSERT_TRUE(Start());
  Rect picker = Of(main_.picker);
  ASSERT_TRUE(MoveTo(picker.cx(), picker.cy()));
  MouseButton(MOUSEEVENTF_LEFTDOWN);

  // The first quarter, at most a minute, is warm-up: caches fill, the list
  // of allocations settles. Growth counts from its end.
  const double warmUp = std::min(60.0, g_soakSeconds / 4.0);
  std::vector<MemorySample> samples;
  // The colour text, read after every step: how often it changed, and the
  // longest time it went without a new colour.
  std::set<std::wstring> colorsSeen;
  std::wstring shown = TextOf(main_.colorText);
  int changes = 0;
  DWORD longestStill = 0;
  const Rect& area = picture.rect();
  DWORD start = GetTickCount(), lastSample = start - 5000, lastChange = start;
  bool inFront = true;
  for (int step = 0; GetTickCount() - start < (DWORD)g_soakSeconds * 1000; step++) {
    // Round and round the picture, which changes every step.
    double angle = step * 0.05;
    int x = area.x + area.w / 2 + (int)(area.w / 3 * cos(angle)), y = area.y + area.h / 2 + (int)(area.h / 3 * sin(angle));
    SlidePointerToScreen(x, y);
    picture.NextFrame();
    PumpMessagesFor(30);  // this process paints the picture
    std::wstring text = TextOf(main_.colorText);
    DWORD now = GetTickCount();
    longestStill = std::max(longestStill, now - lastChange);
    if (text != shown) {
      shown = text;
      colorsSeen.insert(text);
      changes++;
      lastChange = now;
    }
    if (now - lastSample >= 5000) {
      samples.push_back(SampleMemory(process_.hProcess, marker, (now - start) / 1000.0));
      lastSample = now;
      inFront = GetForegroundWindow() == main_.window;
      if (!inFront || !Running()) break;
    }
  }
  samples.push_back(SampleMemory(process_.hProcess, marker, (GetTickCount() - start) / 1000.0));
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(inFront) << "the pick ended: the program's window left the front";
  ASSERT_TRUE(Running());

  size_t baseWorking = 0, basePrivate = 0, maxWorking = 0, maxPrivate = 0;
  bool objectsCounted = false;
  printf("  seconds  working set MiB  private MiB  GDI  USER\n");
  for (const MemorySample& s : samples) {
    printf("  %7.1f  %15.2f  %11.2f  %3lu  %4lu\n", s.seconds, MiB(s.workingSet), MiB(s.privateBytes), s.gdiObjects,
           s.userObjects);
    ASSERT_GT(s.privateBytes, 0u) << "the program's private bytes cannot be read";
    objectsCounted = objectsCounted || s.gdiObjects || s.userObjects;
    if (s.seconds < warmUp) continue;
    if (!baseWorking) baseWorking = s.workingSet, basePrivate = s.privateBytes;
    maxWorking = std::max(maxWorking, s.workingSet);
    maxPrivate = std::max(maxPrivate, s.privateBytes);
  }
  double growWorking = MiB(maxWorking - baseWorking), growPrivate = MiB(maxPrivate - basePrivate);
  printf("soak: %d s picking live, the colour text changed %d times (%zu colours), at most %lu ms without a new "
         "colour; growth after %.0f s: working set %.2f MiB, private bytes %.2f MiB\n",
         g_soakSeconds, changes, colorsSeen.size(), longestStill, warmUp, growWorking, growPrivate);
  // The picture changed under the pointer all along: the pick stayed live,
  // a new colour at least once a second.
  EXPECT_LE(longestStill, 1000u);
  EXPECT_LE(growWorking, 1.0);
  EXPECT_LE(growPrivate, 1.0);
  // Where the platform counts GDI and USER objects, they stay flat.
  if (objectsCounted) {
    EXPECT_EQ(samples.back().gdiObjects, samples.front().gdiObjects);
    EXPECT_EQ(samples.back().userObjects, samples.front().userObjects);
  } else {
    printf("soak: GDI and USER objects not counted: the platform answers 0 for both\n");
  }
  ASSERT_EQ(Close(), 0);
}

//-----------------------------------------------------------------------------
// Random input
//-----------------------------------------------------------------------------

// xorshift32, for a run that can be repeated from its seed.
struct Random {
  unsigned state;
  unsigned Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  int Below(int n) { return (int)(Next() % (unsigned)n); }
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
};

class RandomInputTest : public ProgramTest {
 protected:
  // The last events, for the report of a failure.
  void Log(const char* format, ...) {
    char line[200];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    recent_.push_back(std::to_string(count_) + ": " + line);
    if (recent_.size() > 25) recent_.pop_front();
  }
  std::string Recent() const {
    std::string all;
    for (const std::string& line : recent_) all += "    " + line + "\n";
    return all;
  }

  // A point on the window: its client area, or (when the caption is
  // allowed) its caption between the window's icon and the buttons. The
  // close box, a double click on the icon, and the window's menu (the
  // icon's, or the caption's under the right button) would close the
  // program as a person asked.
  POINT PointOnWindow(bool withCaption = true) {
    Rect outer = Of(main_.window), client = ClientRectOf(main_.window);
    int caption = client.y - outer.y;
    if (withCaption && random_.Below(8) == 0 && caption > 8)
      return OnScreen(Rect{outer.x + caption + 8, outer.y + 4, outer.w / 2 - caption - 8, caption - 6});
    return OnScreen(client);
  }
  POINT PointOn(HWND control) { return OnScreen(Of(control)); }
  // A point of the rectangle that lies on the screen (the window may have
  // been dragged partly off it).
  POINT OnScreen(Rect r) {
    int left = std::max(r.x, 0), top = std::max(r.y, 0);
    int right = std::min(r.x + r.w, GetSystemMetrics(SM_CXSCREEN)), bottom = std::min(r.y + r.h, GetSystemMetrics(SM_CYSCREEN));
    if (right <= left || bottom <= top) return POINT{left, top};
    return POINT{left + random_.Below(right - left), top + random_.Below(bottom - top)};
  }
  HWND AnyControl() {
    HWND controls[] = {main_.capture, main_.strips[0], main_.strips[1], main_.strips[2], main_.fields[0],
                       main_.fields[1], main_.fields[2], main_.colorText, main_.palette, main_.options,
                       main_.swatch, main_.picker, main_.history, main_.list, main_.panel};
    return controls[random_.Below((int)(sizeof controls / sizeof controls[0]))];
  }
  // Random input needs no pointer at rest: a move goes into the input queue
  // like any other, and the program takes it in order.
  static void Glide(int x, int y) {
    SlidePointerToScreen(x, y);
    PumpMessagesFor(15);
  }
  void Click(POINT p, DWORD down, DWORD up) {
    Glide(p.x, p.y);
    SendMouse({down, up});
  }

  void OneEvent() {
    static const WORD kKeys[] = {'0', '1', '2', '5', '7', '9', 'A', 'G', 'Z', VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN,
                                 VK_HOME, VK_END, VK_PRIOR, VK_NEXT, VK_TAB, VK_RETURN, VK_ESCAPE, VK_BACK,
                                 VK_DELETE, VK_SPACE};
    int kind = random_.Below(100);
    if (kind < 20) {
      POINT p = PointOnWindow();
      Log("click at %ld,%ld", p.x, p.y);
      Click(p, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    } else if (kind < 27) {
      POINT p = random_.Below(2) ? PointOn(main_.list) : PointOnWindow();
      Log("double click at %ld,%ld", p.x, p.y);
      Glide(p.x, p.y);
      SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    } else if (kind < 34) {
      POINT p = PointOnWindow(false);
      Log("right-click at %ld,%ld", p.x, p.y);
      Click(p, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    } else if (kind < 44) {
      POINT from = random_.Below(2) ? PointOn(AnyControl()) : PointOnWindow();
      bool precise = random_.Below(4) == 0;
      Log("drag from %ld,%ld%s", from.x, from.y, precise ? " with Ctrl" : "");
      Glide(from.x, from.y);
      if (precise) SendKeys({{VK_CONTROL, false}});
      SendMouse({MOUSEEVENTF_LEFTDOWN});
      for (int i = random_.Between(1, 3); i > 0; i--) {
        POINT to = random_.Below(3) ? PointOnWindow()
                                    : POINT{random_.Below(GetSystemMetrics(SM_CXSCREEN)), random_.Below(GetSystemMetrics(SM_CYSCREEN))};
        Glide(to.x, to.y);
      }
      if (precise) SendKeys({{VK_CONTROL, true}});
      SendMouse({MOUSEEVENTF_LEFTUP});
    } else if (kind < 50) {
      POINT p = PointOnWindow();
      int steps = random_.Below(2) ? 120 : -120;
      Log("wheel %d at %ld,%ld", steps, p.x, p.y);
      Glide(p.x, p.y);
      INPUT wheel = {};
      wheel.type = INPUT_MOUSE;
      wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
      wheel.mi.mouseData = (DWORD)steps;
      SendInput(1, &wheel, sizeof wheel);
    } else if (kind < 72) {
      HWND control = AnyControl();
      POINT p = PointOn(control);
      int n = random_.Between(1, 5);
      Log("%d keys into the control at %ld,%ld", n, p.x, p.y);
      Click(p, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
      for (int i = 0; i < n; i++) {
        WORD key = kKeys[random_.Below((int)(sizeof kKeys / sizeof kKeys[0]))];
        if (random_.Below(6) == 0) PressChord(random_.Below(2) ? VK_CONTROL : VK_SHIFT, key);
        else PressKey(key);
      }
    } else if (kind < 82) {
      // The options menu, and maybe one of its items (the homepage goes to the stand-in browser).
      Rect button = Of(main_.options);
      Log("options menu");
      Click(POINT{button.cx(), button.cy()}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
      std::vector<HWND> menus;
      if (WaitFor([&] { return !(menus = OpenMenus(process_.dwProcessId)).empty(); }, 500)) {
        Rect menu = Of(menus.back());
        POINT item = {menu.x + menu.w / 2, menu.y + random_.Below(std::max(menu.h, 1))};
        bool left = random_.Below(2);
        Log("  choose at %ld,%ld with the %s button", item.x, item.y, left ? "left" : "right");
        if (left) Click(item, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
        else Click(item, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        if (OpenMenus(process_.dwProcessId).size() > 0 && random_.Below(2)) PressKey(VK_ESCAPE);
      }
    } else if (kind < 87) {
      Log("colour dialog");
      Click(PointOn(main_.swatch), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
      HWND dialog = nullptr;
      if (WaitFor([&] {
            HWND w = ProcessWindow(process_.dwProcessId, nullptr);
            return w && ClassOf(w) == L"#32770" && (dialog = w);
          }, 1000)) {
        bool ok = random_.Below(2);
        Log("  %s", ok ? "OK" : "cancel");
        if (ok) {
          Rect button = Of(GetDlgItem(dialog, IDOK));
          Click(POINT{button.cx(), button.cy()}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
        } else {
          PressKey(VK_ESCAPE);
        }
      }
    } else if (kind < 92) {
      Log("another window to the front");
      SetForegroundWindow(other_);
    } else {
      // Moved by its title bar, staying mostly on the screen.
      Rect outer = Of(main_.window), client = ClientRectOf(main_.window);
      int grabX = outer.x + std::min(60, outer.w / 4), grabY = (outer.y + client.y) / 2;
      int toX = random_.Between(20, GetSystemMetrics(SM_CXSCREEN) / 2), toY = random_.Between(10, GetSystemMetrics(SM_CYSCREEN) / 3);
      Log("move the window from %d,%d by its title to %d,%d", grabX, grabY, toX, toY);
      Glide(grabX, grabY);
      SendMouse({MOUSEEVENTF_LEFTDOWN});
      Glide((grabX + toX) / 2, (grabY + toY) / 2);
      Glide(toX, toY);
      SendMouse({MOUSEEVENTF_LEFTUP});
    }
    count_++;
  }

  // Closes what the random input left open, menus and the colour dialog,
  // one Escape at a time, each seen to close something: an Escape that
  // closes nothing is a failure. Each goes to a window seen in front.
  ::testing::AssertionResult CloseWhatIsOpen() {
    for (int escapes = 0, looks = 0; escapes < 5 && looks < 10; looks++) {
      // Input sent before may still wait in the program's queue: a click or a
      // key on the swatch opens the colour dialog when the program's loop
      // reaches it. The window is disabled from then on, and the dialog shows
      // only once the input queued before it has been taken in. So what is
      // open and whether the window takes input are read in one look, the
      // latter last (a dialog that came after the first reads has disabled
      // the window by then), and a disabled window with nothing on show is
      // looked at again.
      HWND dialog = nullptr;
      size_t menus = 0;
      bool enabled = false;
      if (!WaitFor([&] {
            dialog = ColorDialog();
            menus = OpenMenus(process_.dwProcessId).size();
            enabled = IsWindowEnabled(main_.window);
            return dialog || menus || enabled;
          }, 15000))
        return ::testing::AssertionFailure() << "the window stays disabled for 15 s, with nothing open; the program's windows:"
                                             << ProgramWindowsNote();
      if (!dialog && !menus) return ::testing::AssertionSuccess();
      // The keys go to the window in front: the dialog, or the window whose
      // menu is open (another window may have come to the front over it).
      // Coming to the front may itself close a menu, and what is open may
      // close by itself (input still on its way): then look again.
      HWND target = dialog ? dialog : main_.window;
      // A menu may be the dialog's own (its window menu, from a right-click on
      // its title): an Escape closes that first.
      auto closed = [&] {
        return (dialog && !IsWindowVisible(dialog)) || OpenMenus(process_.dwProcessId).size() < menus;
      };
      if (GetForegroundWindow() != target) {
        SetForegroundWindow(target);
        if (!WaitFor([&] { return GetForegroundWindow() == target || closed(); }))
          return ::testing::AssertionFailure() << (dialog ? "the colour dialog" : "the window with the menu")
                                               << " does not come to the front; " << FrontNote();
        continue;
      }
      PressKey(VK_ESCAPE);
      escapes++;
      if (!WaitFor(closed))
        return ::testing::AssertionFailure() << "Escape " << escapes << " closed nothing: "
                                             << (dialog ? "the colour dialog" : "") << (dialog && menus ? " and " : "")
                                             << (menus ? std::to_string(menus) + " menus" : "") << " still open; " << FrontNote();
    }
    return ::testing::AssertionFailure() << "a menu or the colour dialog stays open after five Escapes";
  }

  // Every top-level window of the program, front to back, hidden ones too,
  // for a failure's message: class, title, shown or hidden, enabled or not.
  struct WindowsNote {
    DWORD pid;
    std::string text;
  };
  static BOOL CALLBACK AddToWindowsNote(HWND hwnd, LPARAM arg) {
    WindowsNote* n = (WindowsNote*)arg;
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != n->pid) return TRUE;
    std::wstring text = TextOf(hwnd), cls = ClassOf(hwnd);
    n->text += " [" + std::string(cls.begin(), cls.end()) + " \"" + std::string(text.begin(), text.end()) + "\"" +
               (IsWindowVisible(hwnd) ? " shown" : " hidden") + (IsWindowEnabled(hwnd) ? "" : " disabled") + "]";
    return TRUE;
  }
  std::string ProgramWindowsNote() {
    WindowsNote note = {process_.dwProcessId, ""};
    EnumWindows(AddToWindowsNote, (LPARAM)&note);
    return note.text.empty() ? " none" : note.text;
  }

  // The window in front, for a failure's message.
  static std::string FrontNote() {
    HWND front = GetForegroundWindow();
    std::wstring text = TextOf(front), cls = ClassOf(front);
    return "in front \"" + std::string(text.begin(), text.end()) + "\" of class " + std::string(cls.begin(), cls.end());
  }

  // The program's colour dialog when it shows, wherever it lies among the
  // windows, or null.
  HWND ColorDialog() { return ProcessWindow(process_.dwProcessId, nullptr, L"#32770"); }

  // Nothing open, the window on the screen and in front.
  void BringToKnownState() {
    ReleaseHeldInput();
    ASSERT_TRUE(CloseWhatIsOpen()) << Recent();
    // Random drags may have left the window partly off the screen, where no
    // click reaches what the checks click: it is put back, not by input.
    auto onScreen = [&] {
      Rect r = Of(main_.window);
      return r.x >= 0 && r.y >= 0 && r.x + r.w <= GetSystemMetrics(SM_CXSCREEN) &&
             r.y + r.h <= GetSystemMetrics(SM_CYSCREEN);
    };
    if (!onScreen()) {
      SetWindowPos(main_.window, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      ASSERT_TRUE(WaitFor(onScreen)) << Of(main_.window);
    }
    // A click on the title brings the window to the front; Wine's virtual
    // desktop now and then keeps its own desktop window in front after
    // another window was brought there, and then the window is asked for.
    ClickOnTitle();
    if (GetForegroundWindow() != main_.window) SetForegroundWindow(main_.window);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == main_.window; }))
        << "the window does not come to the front: at " << Of(main_.window) << (IsIconic(main_.window) ? ", minimised" : "")
        << (IsWindowEnabled(main_.window) ? "" : ", disabled") << "; in front \"" << TextOf(GetForegroundWindow()).c_str()
        << "\" of class " << ClassOf(GetForegroundWindow()).c_str();
  }

  // Input still takes effect: from a known state (nothing open, the window
  // in front, its loop free), one of three things a person does, in turn
  // from batch to batch, must show its effect.
  void CheckInputTakesEffect(int batch) {
    // A click on the swatch may still be on its way to the colour dialog: the
    // program opens it when its loop reaches the click, and until then nothing
    // shows it is coming. The window's own answer to right-clicks on its panel
    // proves its loop is free; when it does not answer, what came up is
    // closed and the window asked again.
    for (int round = 1;; round++) {
      ASSERT_NO_FATAL_FAILURE(BringToKnownState());
      ::testing::AssertionResult answered = Settle();
      if (answered) break;
      if (round == 1) busyChecks_++;
      ASSERT_LT(round, 3) << answered.message() << Recent();
    }
    switch (batch % 3) {
      case 0: {  // clicks at both ends of the red strip change the red field and the colour text
        // The end far from the colour's red comes first, so that each click
        // must change the colour, whatever red it had. The swatch shows the
        // colour; the red field may still hold a number typed and rejected.
        Rect red = Of(main_.strips[0]), swatch = ClientRectOf(main_.swatch);
        bool leftFirst = (Shot(swatch).Pixel(swatch.w / 2, swatch.h / 2) & 0xFF) >= 128;
        for (bool left : {leftFirst, !leftFirst}) {
          int x = left ? red.x + 1 : red.x + red.w - 2;
          std::wstring before = TextOf(main_.colorText);
          ASSERT_TRUE(ClickAt(x, red.cy()));
          ASSERT_TRUE(WaitFor([&] {
            int value = _wtoi(TextOf(main_.fields[0]).c_str());
            return (left ? value < 16 : value > 239) && TextOf(main_.colorText) != before;
          })) << "after a click on the red strip's " << (left ? "left" : "right") << " end: red "
              << TextOf(main_.fields[0]).c_str() << ", colour text " << TextOf(main_.colorText).c_str() << " (before "
              << before.c_str() << ")" << CaptureNote() << UnderNote(x, red.cy());
          ASSERT_TRUE(WaitFor([] { return !PointerConfined(); }));  // the release taken in too
        }
        break;
      }
      case 1: {  // a drag by the title bar moves the window as far as the pointer
        Rect outer = Of(main_.window), client = ClientRectOf(main_.window);
        int dx = outer.x > GetSystemMetrics(SM_CXSCREEN) / 2 ? -40 : 40;
        int dy = outer.y > GetSystemMetrics(SM_CYSCREEN) / 3 ? -25 : 25;
        int grabX = outer.x + std::min(60, outer.w / 4), grabY = (outer.y + client.y) / 2;
        ASSERT_TRUE(MoveTo(grabX, grabY));
        WaitOutDoubleClick(grabX, grabY);  // the click that brought the window to the front was there
        MouseButton(MOUSEEVENTF_LEFTDOWN);
        // The system's move starts when the program has handled the press,
        // and measures the way from where the pointer is then: a pointer
        // sent on before that would move the window by less, or not at all.
        ASSERT_TRUE(WaitFor([&] { return InMove(); }))
            << "a press on the title started no move" << CaptureNote() << UnderNote(grabX, grabY);
        // While the system moves the window it may set the pointer itself,
        // a few pixels from where it was sent under load: the window must
        // follow the pointer's own way, wherever it came to rest.
        MoveTo(grabX + dx / 2, grabY + dy / 2);
        MoveTo(grabX + dx, grabY + dy);
        POINT rest;
        GetCursorPos(&rest);
        MouseButton(MOUSEEVENTF_LEFTUP);
        dx = rest.x - grabX;
        dy = rest.y - grabY;
        ASSERT_TRUE(dx != 0 || dy != 0) << "the pointer did not move";
        ASSERT_TRUE(WaitFor([&] { return Of(main_.window).x == outer.x + dx && Of(main_.window).y == outer.y + dy; }))
            << "moved by the title from " << outer << " to " << Of(main_.window) << " for " << dx << ", " << dy
            << CaptureNote() << UnderNote(grabX, grabY);
        break;
      }
      default: {  // "Stay on top", chosen with either button, turns over
        bool onTop = (GetWindowLongW(main_.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, left = batch % 2 == 0;
        Rect button = Of(main_.options);
        std::vector<HWND> menus;
        ASSERT_TRUE(ClickAt(button.cx(), button.cy()));
        ASSERT_TRUE(WaitFor([&] { return (menus = OpenMenus(process_.dwProcessId)).size() == 1; }))
            << menus.size() << " menus open; in front \"" << TextOf(GetForegroundWindow()).c_str() << "\"";
        Rect menu = Of(menus[0]), item = options_.items[0];
        ASSERT_TRUE(MoveTo(menu.x + item.cx(), menu.y + item.cy()));
        if (left) SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
        else SendMouse({MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP});
        ASSERT_TRUE(WaitFor([&] { return ((GetWindowLongW(main_.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) != onTop; }))
            << "\"Stay on top\" chosen with the " << (left ? "left" : "right") << " button changed nothing";
        break;
      }
    }
  }

  // What window lies at a screen point, for a failure's message.
  std::string UnderNote(int x, int y) {
    HWND under = WindowFromPoint(POINT{x, y});
    DWORD pid = 0;
    GetWindowThreadProcessId(under, &pid);
    std::wstring cls = ClassOf(under), text = TextOf(under);
    return "; at " + std::to_string(x) + "," + std::to_string(y) + " a window of class " +
           std::string(cls.begin(), cls.end()) + " \"" + std::string(text.begin(), text.end()) + "\"" +
           (pid == process_.dwProcessId ? " of the program" : " of another process") +
           (IsWindowEnabled(main_.window) ? "" : "; the window disabled");
  }

  // Whether the system is moving or sizing one of the program's windows.
  bool InMove() {
    GUITHREADINFO info = {sizeof info};
    return GetGUIThreadInfo(GetWindowThreadProcessId(main_.window, nullptr), &info) && (info.flags & GUI_INMOVESIZE);
  }

  // Which window of the program holds the mouse, for a failure's message.
  std::string CaptureNote() {
    GUITHREADINFO info = {sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(main_.window, nullptr), &info);
    if (!info.hwndCapture) return "; no window holds the mouse";
    std::wstring cls = ClassOf(info.hwndCapture);
    return "; the mouse held by a window of class " + std::string(cls.begin(), cls.end()) +
           (info.flags & GUI_INMOVESIZE ? ", in a move" : "");
  }

  MenuPicture options_;  // where the options menu's items lie
  Random random_ = {1};
  int count_ = 0;
  int busyChecks_ = 0;  // checks whose window did not answer at first
  std::deque<std::string> recent_;
  HWND other_ = nullptr;
};

TEST_F(RandomInputTest, TheWindowKeepsAnsweringAndSavesValidSettings) {
  unsigned seed = g_seed ? g_seed : (unsigned)GetTickCount() | 1;
  random_.state = seed;
  printf("random input: seed %u, %d events (repeat with --seed=%u --events=%d)\n", seed, g_events, seed, g_events);
  WriteSettings(PlacedSettings());
  // Another application's window, to come to the front now and then.
  other_ = CreateWindowExW(0, L"STATIC", L"Another application", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           GetSystemMetrics(SM_CXSCREEN) - 320, GetSystemMetrics(SM_CYSCREEN) - 240, 300, 200, nullptr,
                           nullptr, nullptr, nullptr);
  options_ = ReferenceMenu({{L"Stay on top", false, false},
                            {L"Copy automatically", false, false},
                            {L"Use lowercase", false, false},
                            {nullptr, false, false},
                            {L"Color format", false, true},
                            {nullptr, false, false},
                            {L"Program homepage", false, false}});
  ASSERT_FALSE(options_.items.empty());
  ASSERT_TRUE(Start());
  const int kBatch = 25;
  int slowest = 0, batches = 0;
  while (count_ < g_events) {
    for (int i = 0; i < kBatch && count_ < g_events; i++) OneEvent();
    // After every batch the window answers within a second.
    DWORD asked = GetTickCount();
    DWORD_PTR answer = 0;
    bool answered = Running() && SendMessageTimeoutW(main_.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer);
    slowest = std::max(slowest, (int)(GetTickCount() - asked));
    DWORD exitCode = 0;
    if (!Running()) GetExitCodeProcess(process_.hProcess, &exitCode);
    ASSERT_TRUE(answered) << (Running() ? "the window did not answer within a second"
                                        : "the program ended with exit code " + std::to_string(exitCode))
                          << " after event " << count_ << "; seed " << seed << "; the last events:\n"
                          << Recent();
    SCOPED_TRACE(testing::Message() << "after event " << count_ << "; seed " << seed);
    ASSERT_NO_FATAL_FAILURE(CheckInputTakesEffect(batches++)) << "the last events:\n" << Recent();
  }
  ReleaseHeldInput();
  ASSERT_TRUE(CloseWhatIsOpen()) << "seed " << seed << "; the last events:\n" << Recent();
  ClickOnTitle();
  int code = Close();
  DestroyWindow(other_);
  ASSERT_EQ(code, 0) << "seed " << seed << "; the last events:\n" << Recent();
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved)) << "seed " << seed;
  EXPECT_EQ(saved.validityMarker, kSettingsMarker);
  EXPECT_EQ(saved.Color & ~0xFFFFFF, 0);
  EXPECT_GE(saved.ColorFormat, 0);
  EXPECT_LE(saved.ColorFormat, 4);
  EXPECT_LE(saved.ColorFormatLCase, 1);
  EXPECT_LE(saved.WinTopmost, 1);
  EXPECT_LE(saved.WinExpanded, 1);
  EXPECT_LE(saved.Autocopy, 1);
  for (int c : saved.ColorRecent) EXPECT_EQ(c & ~0xFFFFFF, 0);
  for (int c : saved.CapturedImgData) EXPECT_EQ(c & ~0xFFFFFF, 0);
  printf("random input: %d events, the window answered after every batch of %d (slowest answer %d ms) and input "
         "took effect after each (%d checks: red strip, title drag, \"Stay on top\" in turn; before %d of them the "
         "window did not answer at first and was asked again), closed with exit code 0, settings "
         "valid\n",
         count_, kBatch, slowest, batches, busyChecks_);
}

//-----------------------------------------------------------------------------
// Entry point
//-----------------------------------------------------------------------------

int main(int argc, char** argv) {
  if (!StartDriver(&argc, argv, "[--soak-seconds=N] [--events=N] [--seed=N] [gtest flags]")) return 2;
  for (int i = 2; i < argc; i++) {
    if (!strncmp(argv[i], "--soak-seconds=", 15)) g_soakSeconds = std::max(10, atoi(argv[i] + 15));
    else if (!strncmp(argv[i], "--events=", 9)) g_events = std::max(1, atoi(argv[i] + 9));
    else if (!strncmp(argv[i], "--seed=", 7)) g_seed = (unsigned)strtoul(argv[i] + 7, nullptr, 10);
  }
  return RUN_ALL_TESTS();
}
