// The whole program driven by the keyboard alone, end to end: the real
// ColorTintvane.exe, real keys through the system's input queue, read back
// as a person sees it (texts, list rows, screen pixels, the clipboard) and as
// a screen reader reads it (the accessible objects, read inside the program
// by a hook module, and the value changes the program tells the system).
//   e2e_keyboard.exe PATH/TO/ColorTintvane.exe [gtest flags]
// with accessibility_probe.dll and url_recorder.exe beside it.
#include <stdio.h>

#include <map>
#include <memory>
#include <sstream>

#include "tests/e2e/program_driver.h"  // windows.h first

#include <oleacc.h>

#include "color/color_value.h"
#include "color/named_colors.h"
#include "tests/e2e/accessibility_probe.h"

//-----------------------------------------------------------------------------
// The program at the keyboard
//-----------------------------------------------------------------------------

// A picture in which the colours repeat every 4 pixels across and 8 down:
// a captured region holds 32 colours, which the automatic palette shows
// all, and a pointer one pixel (or ten, or one row) off shows another colour.
static int PeriodicColor(int x, int y, int = 0) { return Rgb(40 + 50 * (x % 4), 30 + 25 * (y % 8), 90); }

class KeyboardTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    BuildNamedColorMap();
    // Low on the left, clear of the program's window at every display scale
    // (it ends above y = 750 from the sample settings).
    int height = GetSystemMetrics(SM_CYSCREEN);
    picture_.reset(new PatternWindow(Rect{20, height - 200, 200, 150}, PeriodicColor));
    ASSERT_TRUE(picture_->Shows());
  }
  void TearDown() override {
    ProgramTest::TearDown();
    picture_.reset();
  }

  // The window with the keyboard focus in the program, null for none.
  HWND Focused() {
    GUITHREADINFO info = {sizeof info};
    return GetGUIThreadInfo(process_.dwThreadId, &info) ? info.hwndFocus : nullptr;
  }

  // Presses Tab (Shift+Tab backwards) until the focus is on `control`;
  // false when it never comes there within a round of the window's controls.
  ::testing::AssertionResult TabTo(HWND control, bool backward = false) {
    for (int i = 0; i < 16 && Focused() != control; i++) {
      HWND before = Focused();
      if (backward) PressChord(VK_SHIFT, VK_TAB);
      else PressKey(VK_TAB);
      if (!WaitFor([&] { return Focused() != before; }))
        return ::testing::AssertionFailure() << "Tab moved the focus nowhere from " << before;
    }
    if (Focused() == control) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "Tab never reached " << control;
  }

  // The pointer at the screen pixel, as it rests there.
  static POINT Pointer() {
    POINT p = {};
    GetCursorPos(&p);
    return p;
  }

  // The colours the automatic palette shows, left to right.
  std::vector<int> PaletteRuns() {
    Rect strip = ClientRectOf(main_.palette);
    return Shot(strip).RowRuns(strip.h / 2);
  }

  std::unique_ptr<PatternWindow> picture_;
};

//-----------------------------------------------------------------------------
// Tab order
//-----------------------------------------------------------------------------

TEST_F(KeyboardTest, TabFollowsTheWindowAsAPersonReadsItAndShiftTabGoesBack) {
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  const HWND order[] = {main_.picker,    main_.capture,   main_.strips[0], main_.fields[0], main_.strips[1],
                        main_.fields[1], main_.strips[2], main_.fields[2], main_.colorText, main_.options,
                        main_.swatch,    main_.palette,   main_.history,   main_.list,      main_.picker};
  for (HWND expected : order) {
    HWND before = Focused();
    PressKey(VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return Focused() == expected; })) << "after " << before << ": " << Focused()
                                                                 << " for " << expected;
  }
  for (int i = 13; i >= 0; i--) {
    PressChord(VK_SHIFT, VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return Focused() == order[i]; })) << i;
  }
}

TEST_F(KeyboardTest, TheOptionsMenuAndTheColourDialogOpenFromTheKeyboard) {
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  DWORD pid = process_.dwProcessId;
  ASSERT_TRUE(TabTo(main_.options));
  PressKey(VK_SPACE);
  ASSERT_TRUE(WaitFor([&] { return !OpenMenus(pid).empty(); }));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return OpenMenus(pid).empty(); }));
  ASSERT_TRUE(TabTo(main_.swatch));
  for (WORD key : {VK_RETURN, VK_SPACE}) {
    PressKey(key);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = ProcessWindow(pid, nullptr, L"#32770")) != nullptr; })) << key;
    PressKey(VK_ESCAPE);  // cancelled: nothing changes
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); })) << key;
    ASSERT_TRUE(WaitFor([&] { return Focused() == main_.swatch; })) << key;
  }
  EXPECT_EQ(ColorText(), L"#1A2B3C");
}

//-----------------------------------------------------------------------------
// Picking from the keyboard
//-----------------------------------------------------------------------------

TEST_F(KeyboardTest, SpaceArrowsAndEnterPickThePixelUnderThePointer) {
  ASSERT_EQ(Scale(), ExpectedScale());
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  std::vector<int> history = HistoryRuns();
  const Rect& area = picture_->rect();
  ASSERT_TRUE(MoveTo(area.x + 40, area.y + 30));  // where the pick starts: the pointer's place
  ASSERT_TRUE(TabTo(main_.picker));
  PressKey(VK_SPACE);
  // Live at once, from where the pointer is: the text and the swatch follow it.
  Rect swatch = ClientRectOf(main_.swatch);
  int color = PeriodicColor(40, 30);
  ASSERT_TRUE(WaitFor([&] {
    return ColorText() == HtmlText(color) && Shot(swatch).Pixel(swatch.w / 2, swatch.h / 2) == color;
  })) << ColorText().c_str();
  // Three pixels right, then twenty down by Shift's ten, each key once the
  // pointer shows where the one before took it.
  const struct {
    bool shift;
    WORD key;
    int x, y;
  } steps[] = {{false, VK_RIGHT, 41, 30}, {false, VK_RIGHT, 42, 30}, {false, VK_RIGHT, 43, 30},
               {true, VK_DOWN, 43, 40},   {true, VK_DOWN, 43, 50}};
  for (const auto& k : steps) {
    if (k.shift) PressChord(VK_SHIFT, k.key);
    else PressKey(k.key);
    ASSERT_TRUE(WaitFor([&] { return Pointer().x == area.x + k.x && Pointer().y == area.y + k.y; }))
        << Pointer().x - area.x << "," << Pointer().y - area.y << " for " << k.x << "," << k.y;
  }
  color = PeriodicColor(43, 50);
  ASSERT_TRUE(WaitFor([&] { return ColorText() == HtmlText(color); })) << ColorText().c_str();
  EXPECT_EQ(HistoryRuns(), history);  // nothing taken yet
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == color; }));
  EXPECT_EQ(HistoryRuns()[1], history[0]);
  EXPECT_EQ(RemoteList(main_.list).Cell(0, 1), HtmlText(color));
  std::vector<int> palette = PaletteRuns();
  EXPECT_EQ(palette.size(), 32u);  // every colour of the region
  EXPECT_NE(std::find(palette.begin(), palette.end(), color), palette.end());
  // Ended: a key more takes nothing.
  PressKey(VK_RIGHT);
  ASSERT_TRUE(Settle());
  EXPECT_EQ(ColorText(), HtmlText(color));
  EXPECT_EQ(HistoryRuns()[1], history[0]);
  ASSERT_EQ(Close(), 0);
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved));
  EXPECT_EQ(saved.Color, color);
  EXPECT_EQ(saved.ColorRecent[0], color);
}

TEST_F(KeyboardTest, EscapeGivesBackTheColourItsTextAndTheClipboard) {
  ConfigRecord settings = SampleSettings();
  settings.Autocopy = 1;
  WriteSettings(settings);
  ASSERT_TRUE(SetClipboardText(L"left by the user"));
  ASSERT_TRUE(Start());
  std::vector<int> history = HistoryRuns();
  const Rect& area = picture_->rect();
  ASSERT_TRUE(MoveTo(area.x + 10, area.y + 10));
  ASSERT_TRUE(TabTo(main_.picker));
  PressKey(VK_RETURN);
  int color = PeriodicColor(10, 10);
  ASSERT_TRUE(WaitFor([&] { return ColorText() == HtmlText(color) && ClipboardText() == HtmlText(color); }))
      << ColorText().c_str() << " / " << ClipboardText().c_str();
  PressKey(VK_LEFT);
  color = PeriodicColor(9, 10);
  ASSERT_TRUE(WaitFor([&] { return ClipboardText() == HtmlText(color); })) << ClipboardText().c_str();
  PressKey(VK_ESCAPE);
  Rect swatch = ClientRectOf(main_.swatch);
  EXPECT_TRUE(WaitFor([&] {
    return ColorText() == L"#1A2B3C" && Shot(swatch).Pixel(swatch.w / 2, swatch.h / 2) == Rgb(26, 43, 60);
  })) << ColorText().c_str();
  EXPECT_TRUE(WaitFor([&] { return ClipboardText() == L"left by the user"; })) << ClipboardText().c_str();
  ASSERT_TRUE(Settle());
  // Nothing was taken: the history, the list and the capture view as they were.
  EXPECT_EQ(HistoryRuns(), history);
  EXPECT_EQ(RemoteList(main_.list).Cell(0, 1), L"#1A2B3C");
  EXPECT_TRUE(Shot(ClientRectOf(main_.capture)).AllPixels(0));
  EXPECT_EQ(ClipboardText(), L"left by the user");
  ASSERT_EQ(Close(), 0);
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved));
  EXPECT_EQ(saved.Color, Rgb(26, 43, 60));
}

// At the screen's edge the arrows stop where the pointer stops: a pick that
// pushes against the edge takes the pixel under the pointer there, not one
// beyond it, and the view shows black beyond the edge. Each key waits until
// the pointer shows the one before it handled, so that no two presses of a
// key are pending together; a push shows nothing, and the key after it is
// another one. Over a picture of the whole screen, behind the program's
// window, in which every pixel has a colour of its own.
TEST_F(KeyboardTest, APickFromTheKeyboardStopsAtTheScreensEdge) {
  ASSERT_EQ(Scale(), ExpectedScale());
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  Backdrop backdrop(Rect{0, 0, width, height});
  ASSERT_TRUE(backdrop.Shows());
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  struct Key {
    bool shift;
    WORD key;
    int x, y;  // where the pointer is after it
  };
  const struct {
    const char* what;
    POINT from;
    std::vector<Key> keys;
  } picks[] = {
      {"the bottom-left corner, a pixel at a time", {1, height - 2},
       {{false, VK_LEFT, 0, height - 2}, {false, VK_LEFT, 0, height - 2}, {false, VK_DOWN, 0, height - 1},
        {false, VK_DOWN, 0, height - 1}}},
      {"the top-right corner, ten at a time", {width - 5, 4},
       {{true, VK_RIGHT, width - 1, 4}, {true, VK_UP, width - 1, 0}, {false, VK_UP, width - 1, 0}}},
  };
  for (const auto& pick : picks) {
    SCOPED_TRACE(pick.what);
    ASSERT_TRUE(MoveTo(pick.from.x, pick.from.y));
    ASSERT_TRUE(TabTo(main_.picker));
    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitFor([&] { return ColorText() == HtmlText(backdrop.Read(pick.from.x, pick.from.y)); }))
        << ColorText().c_str();
    for (const Key& k : pick.keys) {
      if (k.shift) PressChord(VK_SHIFT, k.key);
      else PressKey(k.key);
      ASSERT_TRUE(WaitFor([&] { return Pointer().x == k.x && Pointer().y == k.y; }))
          << Pointer().x << ", " << Pointer().y << " for " << k.x << ", " << k.y;
    }
    PressKey(VK_RETURN);
    const Key& at = pick.keys.back();
    int color = backdrop.Read(at.x, at.y);
    EXPECT_TRUE(WaitFor([&] { return HistoryRuns()[0] == color; }))
        << ColorText().c_str() << " for " << HtmlText(color).c_str();
    EXPECT_EQ(ColorText(), HtmlText(color));
    EXPECT_TRUE(ShowsMagnified(main_.capture, backdrop, at.x, at.y, false));
  }
}

//-----------------------------------------------------------------------------
// Strips and cells
//-----------------------------------------------------------------------------

TEST_F(KeyboardTest, AStripsKeysStepItsChannelAndTheHistoryFollowsOnceTheKeysStop) {
  WriteSettings(SampleSettings());  // red 26, green 43, blue 60
  ASSERT_TRUE(Start());
  std::vector<int> history = HistoryRuns();
  ASSERT_TRUE(TabTo(main_.strips[0]));
  const struct {
    WORD key;
    const wchar_t* red;
  } redKeys[] = {{VK_RIGHT, L"27"}, {VK_PRIOR, L"43"}, {VK_UP, L"44"}, {VK_NEXT, L"28"},
                 {VK_HOME, L"0"},   {VK_LEFT, L"0"},   {VK_END, L"255"}, {VK_DOWN, L"254"}};
  for (const auto& k : redKeys) {
    PressKey(k.key);
    EXPECT_TRUE(ShowsText(main_.fields[0], k.red)) << k.key << ": " << TextOf(main_.fields[0]).c_str();
  }
  EXPECT_TRUE(ShowsText(main_.colorText, L"#FE2B3C"));
  // The keys stopped: the colour the keys left goes into the history, once.
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == Rgb(254, 43, 60); }));
  std::vector<int> after = HistoryRuns();
  EXPECT_EQ(std::vector<int>(after.begin() + 1, after.end()), std::vector<int>(history.begin(), history.end() - 1));
  EXPECT_EQ(RemoteList(main_.list).Cell(0, 1), L"#FE2B3C");

  // On the green strip, keys typed in a row and then Tab away at once: one
  // history entry, made as the focus leaves.
  ASSERT_TRUE(TabTo(main_.strips[1]));
  PressKey(VK_LEFT);
  PressKey(VK_NEXT);
  PressKey(VK_TAB);
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == Rgb(254, 26, 60); }));
  EXPECT_EQ(HistoryRuns()[1], Rgb(254, 43, 60));
  EXPECT_EQ(HistoryRuns()[2], history[0]);
  EXPECT_EQ(TextOf(main_.fields[1]), L"26");
}

TEST_F(KeyboardTest, EnterOnAMarkedCellTakesItsColour) {
  ConfigRecord settings = SampleSettings();
  // A capture whose every pixel is a colour of its own, stored column by column (21 to a column).
  for (int i = 0; i < kCapturedPixelCount; i++) settings.CapturedImgData[i] = Rgb(i % 251, 200 - i / 21, 7);
  WriteSettings(settings);
  ASSERT_TRUE(Start());
  std::vector<int> history = HistoryRuns();

  // The capture view's marker starts on the centre pixel, (15, 10) of 31 x 21.
  ASSERT_TRUE(TabTo(main_.capture));
  PressKey(VK_RIGHT);
  PressKey(VK_RIGHT);
  PressKey(VK_UP);
  PressKey(VK_RETURN);
  int captured = settings.CapturedImgData[17 * 21 + 9];
  ASSERT_TRUE(WaitFor([&] { return ColorText() == HtmlText(captured); })) << ColorText().c_str();
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == captured; }));
  EXPECT_EQ(RemoteList(main_.list).Cell(0, 1), HtmlText(captured));

  // The history's marker starts on the newest box; two to the right, and
  // Space. (The strips are read with the focus elsewhere: a marker shows on
  // the strip that has it.)
  std::vector<int> palette = PaletteRuns();
  ASSERT_TRUE(TabTo(main_.history));
  PressKey(VK_RIGHT);
  PressKey(VK_RIGHT);
  PressKey(VK_SPACE);
  ASSERT_TRUE(WaitFor([&] { return ColorText() == HtmlText(history[1]); })) << ColorText().c_str();
  ASSERT_TRUE(TabTo(main_.list));
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == history[1]; }));

  // The palette's last box, by End.
  ASSERT_TRUE(TabTo(main_.palette, true));
  PressKey(VK_END);
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return ColorText() == HtmlText(palette.back()); })) << ColorText().c_str();
}

//-----------------------------------------------------------------------------
// The focus mark
//-----------------------------------------------------------------------------

// With a canvas focused by Tab, the window's picture differs from the one
// without a focus only in the ring around that canvas, and, on the canvases
// with cells, at the marker within: the colours themselves stay as they are.
TEST_F(KeyboardTest, TheFocusMarkIsDrawnAroundTheFocusedCanvasAlone) {
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  Rect client = ClientRectOf(main_.window);
  ASSERT_TRUE(MoveTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1));  // no hover
  std::vector<int> plain = Shot(client).Pixels();
  const struct {
    HWND canvas;
    bool cells;
  } canvases[] = {{main_.picker, false},  {main_.capture, true},  {main_.strips[0], false},
                  {main_.strips[1], false}, {main_.strips[2], false}, {main_.swatch, false},
                  {main_.palette, true},  {main_.history, true}};
  for (const auto& k : canvases) {
    ASSERT_TRUE(TabTo(k.canvas));
    Rect outer = Of(k.canvas), inner = ClientRectOf(k.canvas);
    int ring = 0, inside = 0, elsewhere = 0;
    POINT stray = {};  // the first pixel that differs elsewhere, relative to the canvas
    auto differences = [&] {
      std::vector<int> now = Shot(client).Pixels();
      ring = inside = elsewhere = 0;
      for (int y = 0; y < client.h; y++)
        for (int x = 0; x < client.w; x++) {
          if (now[(size_t)y * client.w + x] == plain[(size_t)y * client.w + x]) continue;
          int sx = client.x + x, sy = client.y + y;
          // The text fields Tab passed through keep the text scrolled as its selection left it.
          bool inField = false;
          for (HWND field : {main_.fields[0], main_.fields[1], main_.fields[2], main_.colorText}) {
            Rect f = Of(field);
            inField = inField || (sx >= f.x && sx < f.x + f.w && sy >= f.y && sy < f.y + f.h);
          }
          if (inField) continue;
          bool inOuter = sx >= outer.x && sx < outer.x + outer.w && sy >= outer.y && sy < outer.y + outer.h;
          bool nearOuter = sx >= outer.x - 4 && sx < outer.x + outer.w + 4 && sy >= outer.y - 4 && sy < outer.y + outer.h + 4;
          bool inInner = sx >= inner.x && sx < inner.x + inner.w && sy >= inner.y && sy < inner.y + inner.h;
          if (inInner) inside++;
          else if (nearOuter && !inOuter) ring++;
          else if (elsewhere++ == 0) stray = {sx - outer.x, sy - outer.y};
        }
      // The whole ring: at least one pixel in two along the canvas's edges.
      return ring >= (outer.w + outer.h) / 2 && (inside > 0) == k.cells;
    };
    EXPECT_TRUE(WaitFor(differences)) << k.canvas << ": ring " << ring << ", inside " << inside;
    EXPECT_EQ(elsewhere, 0) << k.canvas << " (" << outer.w << " x " << outer.h << "): first at " << stray.x << ","
                            << stray.y;
    if (k.cells) {
      EXPECT_LT(inside, inner.w * inner.h / 4) << k.canvas;  // a marker, not a new picture
    }
  }
}

//-----------------------------------------------------------------------------
// What a screen reader reads
//-----------------------------------------------------------------------------

// The accessibility probe in the program's process, and a window of this
// process that takes its answers.
class Probe {
 public:
  explicit Probe(DWORD thread) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TintvaneProbeAnswers";
    RegisterClassW(&wc);
    answers_ = CreateWindowW(L"TintvaneProbeAnswers", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    module_ = LoadLibraryW(HelperPath(L"accessibility_probe.dll").c_str());
    HOOKPROC proc = module_ ? (HOOKPROC)(void*)GetProcAddress(module_, "ProbeAccessibility") : nullptr;
    hook_ = proc ? SetWindowsHookExW(WH_GETMESSAGE, proc, module_, thread) : nullptr;
  }
  ~Probe() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (module_) FreeLibrary(module_);
    DestroyWindow(answers_);
  }
  bool ready() const { return hook_ != nullptr; }

  // The answer to a request posted to the program's window; empty when none came.
  std::wstring Ask(HWND window, int request) {
    g_answer.clear();
    g_answered = false;
    PostMessageW(window, RegisterWindowMessageW(kProbeMessage), (WPARAM)request, (LPARAM)answers_);
    if (request == PROBE_FORGET) return std::wstring();
    WaitFor([] { return g_answered; }, 10000);
    return g_answer;
  }

  struct Object {
    std::wstring name, value;
    int role = -1;
  };
  // Every window of the program's main window, as a screen reader reads it.
  std::map<HWND, Object> Controls(HWND window) {
    std::map<HWND, Object> objects;
    std::wistringstream lines(Ask(window, PROBE_CONTROLS));
    std::wstring line;
    while (std::getline(lines, line)) {
      std::vector<std::wstring> parts;
      std::wistringstream fields(line);
      std::wstring part;
      while (std::getline(fields, part, L'\t')) parts.push_back(part);
      if (parts.size() < 3) continue;
      Object o;
      o.name = parts[1];
      o.role = parts[2] == L"-" ? -1 : std::stoi(parts[2]);
      o.value = parts.size() > 3 ? parts[3] : L"";
      objects[(HWND)(uintptr_t)std::stoull(parts[0], nullptr, 16)] = o;
    }
    return objects;
  }

  struct Notice {
    DWORD ms;
    HWND hwnd;
    std::wstring value;
  };
  std::vector<Notice> Notices(HWND window) {
    std::vector<Notice> notices;
    std::wistringstream lines(Ask(window, PROBE_NOTICES));
    std::wstring line;
    while (std::getline(lines, line)) {
      size_t a = line.find(L'\t'), b = line.find(L'\t', a + 1);
      if (a == std::wstring::npos || b == std::wstring::npos) continue;
      notices.push_back(Notice{(DWORD)std::stoul(line.substr(0, a)),
                               (HWND)(uintptr_t)std::stoull(line.substr(a + 1, b - a - 1), nullptr, 16),
                               line.substr(b + 1)});
    }
    return notices;
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_COPYDATA) return DefWindowProcW(hwnd, msg, wParam, lParam);
    const COPYDATASTRUCT* data = (const COPYDATASTRUCT*)lParam;
    g_answer.assign((const wchar_t*)data->lpData, data->cbData / sizeof(wchar_t));
    if (!g_answer.empty() && g_answer.back() == L'\0') g_answer.pop_back();
    g_answered = true;
    return TRUE;
  }
  static inline std::wstring g_answer;
  static inline bool g_answered = false;
  HWND answers_ = nullptr;
  HMODULE module_ = nullptr;
  HHOOK hook_ = nullptr;
};

static std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// A colour as the program should say it: "#1A2B3C, Name".
static std::wstring Spoken(int color) { return Wide(SpokenColor(color, NOTATION_HTML, 0)); }

class ScreenReaderTest : public KeyboardTest {};

TEST_F(ScreenReaderTest, EveryControlHasANameARoleAndAValue) {
  ConfigRecord settings = SampleSettings();
  for (int i = 0; i < kCapturedPixelCount; i++) settings.CapturedImgData[i] = Rgb(i % 251, 200 - i / 21, 7);
  WriteSettings(settings);
  ASSERT_TRUE(Start());
  Probe probe(process_.dwThreadId);
  ASSERT_TRUE(probe.ready());
  std::map<HWND, Probe::Object> objects = probe.Controls(main_.window);
  std::vector<int> palette = PaletteRuns();
  const int color = Rgb(26, 43, 60);
  const struct {
    HWND control;
    const wchar_t* name;
    int role;
    std::wstring value;  // "?": the platform's own, not checked
  } expected[] = {
      {main_.picker, L"Pick a colour from the screen", ROLE_SYSTEM_PUSHBUTTON, Spoken(color)},
      {main_.swatch, L"Current colour", ROLE_SYSTEM_PUSHBUTTON, Spoken(color)},
      {main_.strips[0], L"Red", ROLE_SYSTEM_SLIDER, L"26"},
      {main_.strips[1], L"Green", ROLE_SYSTEM_SLIDER, L"43"},
      {main_.strips[2], L"Blue", ROLE_SYSTEM_SLIDER, L"60"},
      {main_.capture, L"Magnified view", ROLE_SYSTEM_GRAPHIC, Spoken(settings.CapturedImgData[15 * 21 + 10])},
      {main_.palette, L"Automatic palette", ROLE_SYSTEM_LIST, Spoken(palette[0])},
      {main_.history, L"History", ROLE_SYSTEM_LIST, Spoken(settings.ColorRecent[0])},
      {main_.fields[0], L"Red value", ROLE_SYSTEM_TEXT, L"26"},
      {main_.fields[1], L"Green value", ROLE_SYSTEM_TEXT, L"43"},
      {main_.fields[2], L"Blue value", ROLE_SYSTEM_TEXT, L"60"},
      {main_.colorText, L"Colour text", ROLE_SYSTEM_TEXT, L"#1A2B3C"},
      {main_.list, L"Nearest named colours", ROLE_SYSTEM_LIST, L"?"},
      {main_.options, L"Tintvane.ini options", ROLE_SYSTEM_PUSHBUTTON, L"?"},
  };
  for (const auto& k : expected) {
    ASSERT_TRUE(objects.count(k.control)) << k.name;
    const Probe::Object& o = objects[k.control];
    EXPECT_EQ(o.name, k.name);
    EXPECT_EQ(o.role, k.role) << k.name;
    if (k.value != L"?") {
      EXPECT_EQ(o.value, k.value) << k.name;
    }
  }

  // Every control Tab reaches has a name of its own; the letters before the
  // strips say theirs.
  std::vector<std::wstring> names;
  for (const auto& o : objects) {
    LONG style = GetWindowLongW(o.first, GWL_STYLE);
    if (!(style & WS_TABSTOP) || !IsWindowVisible(o.first)) continue;
    EXPECT_FALSE(o.second.name.empty() || o.second.name == L"-") << ClassOf(o.first).c_str();
    EXPECT_EQ(std::count(names.begin(), names.end(), o.second.name), 0) << o.second.name.c_str();
    names.push_back(o.second.name);
  }
  EXPECT_EQ(names.size(), 14u);
  int letters = 0;
  for (const auto& o : objects) letters += ClassOf(o.first) == L"Static" && (o.second.name == L"R" || o.second.name == L"G" || o.second.name == L"B");
  EXPECT_EQ(letters, 3);

  // After a key on the green strip, its value and the colour's.
  ASSERT_TRUE(TabTo(main_.strips[1]));
  PressKey(VK_PRIOR);
  ASSERT_TRUE(ShowsText(main_.fields[1], L"59"));
  objects = probe.Controls(main_.window);
  EXPECT_EQ(objects[main_.strips[1]].value, L"59");
  EXPECT_EQ(objects[main_.strips[0]].value, L"26");
  EXPECT_EQ(objects[main_.swatch].value, Spoken(Rgb(26, 59, 60)));

  // After a pick, the picked colour.
  const Rect& area = picture_->rect();
  ASSERT_TRUE(MoveTo(area.x + 70, area.y + 20));
  ASSERT_TRUE(TabTo(main_.picker, true));
  PressKey(VK_SPACE);
  int picked = PeriodicColor(70, 20);
  ASSERT_TRUE(WaitFor([&] { return ColorText() == HtmlText(picked); }));
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == picked; }));
  objects = probe.Controls(main_.window);
  EXPECT_EQ(objects[main_.picker].value, Spoken(picked));
  EXPECT_EQ(objects[main_.swatch].value, Spoken(picked));
  EXPECT_EQ(objects[main_.history].value, Spoken(picked));
  EXPECT_EQ(objects[main_.strips[2]].value, L"90");
}

// While a pick runs the colour changes on every tick; the screen reader is
// told a few times a second at most, and once at the end with the colour
// taken.
TEST_F(ScreenReaderTest, APicksValueChangesAreToldAFewTimesASecondAndOnceAtTheEnd) {
  WriteSettings(SampleSettings());
  ASSERT_TRUE(Start());
  Probe probe(process_.dwThreadId);
  ASSERT_TRUE(probe.ready());
  probe.Ask(main_.window, PROBE_FORGET);
  ASSERT_TRUE(probe.Notices(main_.window).empty());
  const Rect& area = picture_->rect();
  ASSERT_TRUE(MoveTo(area.x + 100, area.y + 60));
  ASSERT_TRUE(TabTo(main_.picker));
  PressKey(VK_SPACE);
  ASSERT_TRUE(WaitFor([&] { return ColorText() == HtmlText(PeriodicColor(100, 60)); }));
  // Two seconds of a pointer that moves on by a pixel every 50 ms: a new
  // colour on almost every tick.
  DWORD start = GetTickCount();
  int x = 100;
  while (GetTickCount() - start < 2000) {
    PressKey(++x % 2 ? VK_RIGHT : VK_DOWN);
    PumpMessagesFor(50);
  }
  PressKey(VK_RETURN);
  int taken = 0;
  ASSERT_TRUE(WaitFor([&] {
    POINT p = Pointer();
    taken = PeriodicColor(p.x - area.x, p.y - area.y);
    return HistoryRuns()[0] == taken;
  }));
  DWORD end = GetTickCount();
  ASSERT_TRUE(Settle());
  std::vector<Probe::Notice> all = probe.Notices(main_.window), picker;
  for (const Probe::Notice& n : all)
    if (n.hwnd == main_.picker) picker.push_back(n);
  ASSERT_GE(picker.size(), 2u);
  // At most four a second, the last one excepted, which comes at the end.
  // (Timed as the probe hears them, which may be a few milliseconds late.)
  for (size_t i = 1; i + 1 < picker.size(); i++)
    EXPECT_GE(picker[i].ms - picker[i - 1].ms, 200u) << i << " of " << picker.size();
  EXPECT_LE(picker.size(), (end - start) / 250 + 2);
  EXPECT_GE(picker.size(), 4u);  // and told while it ran, not only at the end
  EXPECT_EQ(picker.back().value, Spoken(taken));
}

int main(int argc, char** argv) {
  if (!StartDriver(&argc, argv, "[gtest flags]")) return 2;
  return RUN_ALL_TESTS();
}
