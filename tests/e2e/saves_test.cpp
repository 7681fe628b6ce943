// What the program leaves when other programs stand in its way, end to end:
// the settings file or the temporary file held at close (the message, Retry
// and Cancel) and at the session's end, a settings file that appears while
// it runs, two copies closing together, and the clipboard held at a drag's
// end. The holder is this driver, a process other than the program.
//   e2e_saves.exe PATH/TO/ColorTintvane.exe [gtest flags]
// with its helper url_recorder.exe beside it.
#include <stdio.h>

#include <memory>

#include "tests/e2e/program_driver.h"  // windows.h first

//-----------------------------------------------------------------------------
// Helpers of this suite
//-----------------------------------------------------------------------------

// The system's own text for an error, as the program's message shows it.
static std::wstring SystemText(DWORD error) {
  wchar_t text[512] = L"";
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, 512,
                           nullptr);
  while (n && (text[n - 1] == L'\n' || text[n - 1] == L'\r' || text[n - 1] == L' ')) text[--n] = L'\0';
  return text;
}

static std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? (char)c : '?';
  return out;
}

// A file held open by this process, as a scanner or a sync client holds it.
class HeldFile {
 public:
  HeldFile(const std::wstring& path, DWORD sharing)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, sharing, nullptr, OPEN_ALWAYS, 0, nullptr)) {}
  ~HeldFile() { LetGo(); }
  bool holding() const { return handle_ != INVALID_HANDLE_VALUE; }
  void LetGo() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

class SavesTest : public ProgramTest {
 protected:
  void TearDown() override {
    for (PROCESS_INFORMATION& other : others_) {
      if (!other.hProcess) continue;
      TerminateProcess(other.hProcess, 1);
      WaitForSingleObject(other.hProcess, 5000);
      CloseHandle(other.hProcess);
      CloseHandle(other.hThread);
    }
    ProgramTest::TearDown();
  }
  std::vector<PROCESS_INFORMATION> others_;  // more copies of the program, ended at the end

  // A channel of the colour shown (0 red, 1 green, 2 blue): a first start's
  // colour is a grey nobody chose.
  int ShownChannel(int index) { return (int)wcstol(ColorText().substr(1 + 2 * index, 2).c_str(), nullptr, 16); }

  // Types a red channel into the first field and waits until it shows.
  ::testing::AssertionResult TypeRed(int red, int green = 43, int blue = 60) {
    HWND field = main_.fields[0];
    ::testing::AssertionResult clicked = ClickAt(Of(field).cx(), Of(field).cy());
    if (!clicked) return clicked;
    PressKey(VK_END);
    for (int i = 0; i < 3; i++) PressKey(VK_BACK);
    TypeDigits(std::to_string(red).c_str());
    if (!WaitFor([&] { return ColorText() == HtmlText(Rgb(red, green, blue)); }))
      return ::testing::AssertionFailure() << "the colour shows " << Narrow(ColorText());
    return ::testing::AssertionSuccess();
  }

  // The visible message box of the program, or null.
  HWND Message() { return ProcessWindow(process_.dwProcessId, nullptr, L"#32770"); }

  // Presses Alt+F4 on the window in front and waits for the message of a
  // failed save (the save waits about a second for the holder first); null
  // when none came. Alt+F4 is pressed again while the window still shows
  // 3 s after it (Close() says why).
  HWND CloseExpectingMessage() {
    if (!WaitFor([&] { return GetForegroundWindow() == main_.window; }, 2000)) ClickOnTitle();
    if (GetForegroundWindow() != main_.window) SetForegroundWindow(main_.window);
    HWND box = nullptr;
    for (int press = 0; press < 3 && !box; press++) {
      PressAltF4();
      WaitFor([&] { return (box = Message()) != nullptr || !IsWindowVisible(main_.window); }, 3000);
      if (!box && !IsWindowVisible(main_.window)) WaitFor([&] { return (box = Message()) != nullptr; }, 10000);
    }
    return box;
  }

  // The message's text (its static text's id is 0xFFFF).
  static std::wstring MessageText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }

  // Clicks a button of the message and waits for the message to go.
  ::testing::AssertionResult Answer(HWND box, int button) {
    HWND control = GetDlgItem(box, button);
    if (!control) return ::testing::AssertionFailure() << "the message has no button " << button;
    ::testing::AssertionResult clicked = ClickAt(Of(control).cx(), Of(control).cy());
    if (!clicked) return clicked;
    if (!WaitFor([&] { return !IsWindow(box); }))
      return ::testing::AssertionFailure() << "the message stayed after its button " << button;
    return ::testing::AssertionSuccess();
  }

  // Waits for the program to end; its exit code, -1 when it did not end.
  int Ended() { return WaitFor([&] { return !Running(); }, 15000) ? ExitCode() : -1; }

  ::testing::AssertionResult NoTemporaryFile() {
    std::vector<std::wstring> left = SettingsTemporaryFiles(folder_);
    if (left.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "left: " << Narrow(left[0]);
  }
};

//-----------------------------------------------------------------------------
// A file held at close
//-----------------------------------------------------------------------------

// The settings file, held without delete sharing, or the save's temporary
// file, held sharing nothing, for good: the close waits, then says which
// file it could not save and why. Retry tries again: while the holder holds
// on the message comes again, once it has let go the settings land. Cancel
// ends the program and leaves the old file byte for byte.
TEST_F(SavesTest, ASaveHeldUpAtCloseSaysWhyAndRetriesOrLeavesTheOldFile) {
  const struct {
    const char* what;
    bool temporary;  // the save's temporary file, else the settings file
    DWORD sharing;
  } holders[] = {
      {"the settings file, held without delete sharing", false, FILE_SHARE_READ | FILE_SHARE_WRITE},
      {"the temporary file, held sharing nothing", true, 0},
  };
  const std::wstring reasons[] = {SystemText(ERROR_SHARING_VIOLATION), SystemText(ERROR_ACCESS_DENIED)};
  for (const auto& h : holders) {
    for (bool retry : {true, false}) {
      SCOPED_TRACE(std::string(h.what) + (retry ? ", Retry" : ", Cancel"));
      WriteSettings(SampleSettings());
      const std::string before = ReadWholeFile(SettingsPath().c_str());
      ASSERT_TRUE(Start());
      ASSERT_TRUE(TypeRed(99));
      std::wstring held = h.temporary ? folder_ + L"\\" + SettingsTemporaryName(process_.dwProcessId) : SettingsPath();
      HeldFile holder(held, h.sharing);
      ASSERT_TRUE(holder.holding());

      HWND box = CloseExpectingMessage();
      ASSERT_TRUE(box) << "no message came";
      EXPECT_EQ(TextOf(box), L"Color Tintvane");
      std::wstring text = MessageText(box);
      EXPECT_NE(text.find(SettingsPath()), std::wstring::npos) << Narrow(text);
      EXPECT_TRUE(text.find(reasons[0]) != std::wstring::npos || text.find(reasons[1]) != std::wstring::npos)
          << Narrow(text);
      EXPECT_TRUE(GetDlgItem(box, IDRETRY) && GetDlgItem(box, IDCANCEL));
      EXPECT_TRUE(ReadWholeFile(SettingsPath().c_str()) == before) << "the file changed";

      if (retry) {
        ASSERT_TRUE(Answer(box, IDRETRY));
        ASSERT_TRUE(WaitFor([&] { return (box = Message()) != nullptr; }, 10000)) << "held still: no message again";
        holder.LetGo();
        ASSERT_TRUE(Answer(box, IDRETRY));
        ASSERT_EQ(Ended(), 0);
        ConfigRecord saved;
        ASSERT_TRUE(ReadSettings(&saved));
        EXPECT_EQ(saved.Color, Rgb(99, 43, 60));
        EXPECT_TRUE(NoTemporaryFile());
      } else {
        ASSERT_TRUE(Answer(box, IDCANCEL));
        ASSERT_EQ(Ended(), 0);
        EXPECT_TRUE(ReadWholeFile(SettingsPath().c_str()) == before) << "the file changed";
        holder.LetGo();
      }
      for (const std::wstring& name : SettingsTemporaryFiles(folder_)) DeleteFileW((folder_ + L"\\" + name).c_str());
    }
  }
}

//-----------------------------------------------------------------------------
// A file held at the session's end
//-----------------------------------------------------------------------------

static HeldFile* g_letGo;  // what the timer lets go of
static void CALLBACK LetGoOnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (g_letGo) g_letGo->LetGo();
  KillTimer(nullptr, id);
}

// What Windows sends at a log-off, from a thread of its own.
struct SessionEnding {
  HWND window;
  DWORD_PTR answer;
  BOOL sent;
};
static DWORD WINAPI EndSession(void* p) {
  SessionEnding* e = (SessionEnding*)p;
  if (SendMessageTimeoutW(e->window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &e->answer))
    e->sent = SendMessageTimeoutW(e->window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &e->answer);
  return 0;
}

// Nobody can answer at a log-off: the save waits for the holder longer than
// at close, within the time Windows gives, and shows nothing. A holder that
// lets go after 1.5 s lets it land; one that holds on leaves the old file,
// and the program answers within the 5 s Windows allows.
TEST_F(SavesTest, AtTheSessionsEndTheSaveWaitsWithinTheTimeAllowedAndAsksNothing) {
  for (bool letsGo : {true, false}) {
    SCOPED_TRACE(letsGo ? "let go after 1.5 s" : "held for good");
    WriteSettings(SampleSettings());
    const std::string before = ReadWholeFile(SettingsPath().c_str());
    ASSERT_TRUE(Start());
    ASSERT_TRUE(TypeRed(77));
    HeldFile holder(SettingsPath(), FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(holder.holding());
    // Let go from a timer of this thread while the program handles the
    // session's end (sent from another thread, so this one stays free).
    g_letGo = letsGo ? &holder : nullptr;
    UINT_PTR timer = SetTimer(nullptr, 0, 1500, LetGoOnTimer);
    SessionEnding ending = {main_.window, 0, FALSE};
    HANDLE sender = CreateThread(nullptr, 0, EndSession, &ending, 0, nullptr);
    DWORD start = GetTickCount();
    bool messageShown = false;
    WaitFor([&] {
      messageShown = messageShown || Message();
      return WaitForSingleObject(sender, 0) == WAIT_OBJECT_0;
    }, 20000);
    DWORD took = GetTickCount() - start;
    KillTimer(nullptr, timer);
    CloseHandle(sender);
    g_letGo = nullptr;
    EXPECT_TRUE(ending.sent) << "the session's end was not answered";
    EXPECT_LT(took, 5000u) << "longer than Windows allows";
    EXPECT_FALSE(messageShown);
    if (letsGo) {
      ConfigRecord saved;
      ASSERT_TRUE(ReadSettings(&saved));
      EXPECT_EQ(saved.Color, Rgb(77, 43, 60));
    } else {
      EXPECT_GE(took, 2000u) << "the save did not wait for the holder";
      EXPECT_TRUE(ReadWholeFile(SettingsPath().c_str()) == before) << "the file changed";
    }
    EXPECT_TRUE(NoTemporaryFile());
    holder.LetGo();
    ASSERT_EQ(Close(), 0);
  }
}

//-----------------------------------------------------------------------------
// A file that appears during a run that found none
//-----------------------------------------------------------------------------

// A sync client's first download, or a backup put back, while the program
// runs after a start that found no file: the close leaves it as it is.
TEST_F(SavesTest, AFileThatAppearedDuringARunThatFoundNoneIsLeftAsItIs) {
  ASSERT_TRUE(Start());
  int green = ShownChannel(1), blue = ShownChannel(2);
  ASSERT_TRUE(TypeRed(12, green, blue));
  WriteSettings(SampleSettings());
  const std::string appeared = ReadWholeFile(SettingsPath().c_str());
  ASSERT_EQ(Close(), 0);
  EXPECT_TRUE(ReadWholeFile(SettingsPath().c_str()) == appeared) << "the file that appeared was replaced";
  EXPECT_TRUE(NoTemporaryFile());
}

//-----------------------------------------------------------------------------
// Two copies closing together
//-----------------------------------------------------------------------------

// Two copies of the program in one folder, each with a colour of its own,
// closed at one moment (as the taskbar's "Close all windows" does: the
// system command Close to each), many times, from a settings file and from
// none: the file is always one of the two runs' files, never the one they
// started from nor defaults, and no temporary file is left.
TEST_F(SavesTest, TwoCopiesClosingTogetherLeaveOneOfTheirFilesAndNoTemporaryFile) {
  const int kRounds = 6;
  for (int round = 0; round < kRounds; round++) {
    bool fromFile = round % 2 == 0;
    SCOPED_TRACE("round " + std::to_string(round) + (fromFile ? ", from a settings file" : ", from none"));
    DeleteFileW(SettingsPath().c_str());
    if (fromFile) WriteSettings(SampleSettings());
    HWND windows[2] = {};
    int colors[2] = {};
    others_.clear();
    for (int i = 0; i < 2; i++) {
      ASSERT_TRUE(Start()) << "copy " << i;
      others_.push_back(process_);
      process_ = {};
      int green = ShownChannel(1), blue = ShownChannel(2);
      ASSERT_TRUE(TypeRed(100 + 50 * i + round, green, blue)) << "copy " << i;
      colors[i] = Rgb(100 + 50 * i + round, green, blue);
      windows[i] = main_.window;
    }
    for (HWND window : windows) PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    for (int i = 0; i < 2; i++) {
      process_ = others_[(size_t)i];
      others_[(size_t)i] = {};
      EXPECT_EQ(Ended(), 0) << "copy " << i;
    }
    ConfigRecord saved;
    ASSERT_TRUE(ReadSettings(&saved)) << "no settings file";
    EXPECT_TRUE(saved.Color == colors[0] || saved.Color == colors[1]) << std::hex << saved.Color;
    EXPECT_TRUE(NoTemporaryFile());
  }
}

//-----------------------------------------------------------------------------
// The clipboard held at a drag's end
//-----------------------------------------------------------------------------

class HeldClipboardTest : public SavesTest {
 protected:
  void SetUp() override {
    SavesTest::SetUp();
    pattern_.reset(new PatternWindow(Rect{20, GetSystemMetrics(SM_CYSCREEN) - 200, 200, 150}));
    ASSERT_TRUE(pattern_->Shows());
    owner_ = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    SavesTest::TearDown();
    pattern_.reset();
    DestroyWindow(owner_);
  }
  std::unique_ptr<PatternWindow> pattern_;
  HWND owner_ = nullptr;
};

static bool ClipboardHasAMarker() {
  for (const wchar_t* marker : {L"ExcludeClipboardContentFromMonitorProcessing", L"CanIncludeInClipboardHistory",
                                L"Clipboard Viewer Ignore"})
    if (IsClipboardFormatAvailable(RegisterClipboardFormatW(marker))) return true;
  return false;
}

// A clipboard manager still reading the last live copy when a pick ends
// holds the clipboard for a moment: the final colour reaches the clipboard
// all the same, in the chosen notation, as an ordinary copy that clipboard
// history keeps. Held about 30 ms from the release, the copy's own wait
// covers it (when the release reaches the program within that time); held
// until the program has taken the release in (its history shows the colour,
// which comes after the copy) and 300 ms more, the copy surely met the
// holder, and the timer's retries bring it.
TEST_F(HeldClipboardTest, APickEndingWhileAnotherProgramHoldsTheClipboardCopiesTheFinalColorOrdinarily) {
  const struct {
    const char* what;
    bool untilTakenIn;
    DWORD ms;
  } holds[] = {
      {"held about 30 ms from the release", false, 30},
      {"held until the release was taken in, and 300 ms more", true, 300},
  };
  int point = 0;
  for (const auto& h : holds) {
    SCOPED_TRACE(h.what);
    ConfigRecord settings = SampleSettings();
    settings.Autocopy = 1;
    settings.ColorFormat = 2;  // PB hex: $BBGGRR
    WriteSettings(settings);
    ASSERT_TRUE(SetClipboardText(L"left by the user"));
    ASSERT_TRUE(Start());
    Rect picker = Of(main_.picker);
    ASSERT_TRUE(MoveTo(picker.cx(), picker.cy()));
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    const Rect& area = pattern_->rect();
    int x = 60 + 40 * point++, y = 40;
    ASSERT_TRUE(MoveTo(area.x + x, area.y + y));
    int color = PatternWindow::ColorAt(x, y);
    wchar_t text[16];
    swprintf(text, 16, L"$%02X%02X%02X", (color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
    ASSERT_TRUE(WaitFor([&] { return ClipboardText() == text; })) << Narrow(ClipboardText());
    ASSERT_TRUE(ClipboardHasAMarker()) << "the live copy is not marked";

    ASSERT_TRUE(WaitFor([&] { return OpenClipboard(owner_) != FALSE; }));
    MouseButton(MOUSEEVENTF_LEFTUP);
    bool takenIn = !h.untilTakenIn || WaitFor([&] { return HistoryRuns()[0] == color; });
    Sleep(h.ms);
    CloseClipboard();
    ASSERT_TRUE(takenIn) << "the pick did not end";
    EXPECT_TRUE(WaitFor([&] { return ClipboardText() == text && !ClipboardHasAMarker(); }))
        << Narrow(ClipboardText()) << (ClipboardHasAMarker() ? ", marked live" : "");
    ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == color; }));
    ASSERT_EQ(Close(), 0);
  }
}

int main(int argc, char** argv) {
  if (!StartDriver(&argc, argv, "[gtest flags]")) return 2;
  return RUN_ALL_TESTS();
}
