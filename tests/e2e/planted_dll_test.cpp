// No file dropped beside the program, or into the folder it is started from,
// runs inside it. A DLL that leaves a marker when loaded (planted_dll.cpp) is
// planted in both folders under the name of every library the program
// imports, loads at run time, or has the system load for it, and Wine is
// told to prefer a DLL found on disk over its own, which gives the order in
// which Windows looks for a DLL that is not one of its known DLLs. The
// program is then used as a person uses it and must work as usual, and no
// marker may appear.
//   e2e_planted_dlls.exe PATH/TO/ColorTintvane.exe PATH/TO/planted_dll.dll [gtest flags]
// with url_recorder.exe beside it.
//
// Wine is told so once the program runs. Before its first instruction the
// system maps the DLLs it imports, and Wine's own user32 and common
// controls load further libraries by bare name while they start (the theme
// library, the input method library, the version library). On Windows those
// importers are known DLLs, taken from the system with what they need, and
// no program can restrict anything before it runs; that the program imports
// only known DLLs is checked on the file itself (executable_test.py).
#include <stdio.h>

#include <memory>

#include "dialog/description.h"
#include "runtime/libraries.h"
#include "runtime/win32_internal.h"
#include "runtime/windowing.h"
#include "tests/e2e/program_driver.h"

static std::wstring g_plantedDll;  // from the command line

static const wchar_t* const kPlantedNames[] = {
    // Imported: known DLLs, and common controls resolved through the manifest.
    L"kernel32.dll", L"user32.dll", L"gdi32.dll", L"msvcrt.dll", L"comctl32.dll",
    // Loaded by the program at run time.
    L"uxtheme.dll", L"comdlg32.dll", L"shell32.dll", L"ole32.dll", L"atl.dll", L"Scintilla.dll", L"oleacc.dll",
    // Loaded by the system's libraries on the program's behalf: seen under
    // Wine, or often loaded for the colour dialog and the shell on Windows.
    L"version.dll", L"imm32.dll", L"msimg32.dll", L"oleaut32.dll", L"shlwapi.dll", L"shcore.dll",
    L"combase.dll", L"rpcrt4.dll", L"advapi32.dll", L"sechost.dll", L"dwmapi.dll", L"propsys.dll",
    L"cryptbase.dll", L"userenv.dll", L"winmm.dll",
};

// The markers left in a folder: "NAME.dll.loaded: the program that loaded it".
static std::vector<std::string> MarkersIn(const std::wstring& folder) {
  std::vector<std::string> found;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"\\*.loaded").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    std::string by = ReadWholeFile((folder + L"\\" + entry.cFileName).c_str());
    std::wstring text = std::wstring(entry.cFileName) + L" in " + folder + L": loaded by " +
                        std::wstring((const wchar_t*)by.data(), by.size() / sizeof(wchar_t));
    found.push_back(std::string(text.begin(), text.end()));
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

static bool Plant(const std::wstring& folder) {
  for (const wchar_t* name : kPlantedNames)
    if (!CopyFileW(g_plantedDll.c_str(), (folder + L"\\" + name).c_str(), FALSE)) return false;
  return true;
}

// Wine's overrides for ColorTintvane.exe, which its loader reads from the
// registry: the key exists from before the program starts (the loader looks
// for it once), and `PreferPlanted` asks for a file found on disk before
// Wine's own for every planted name. Removed at the end. On Windows the key
// means nothing.
class WineOverrides {
 public:
  WineOverrides() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);  // left by a run that was stopped half-way
    RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_, nullptr);
  }
  ~WineOverrides() {
    if (key_) RegCloseKey(key_);
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
  }
  bool PreferPlanted() {
    for (const wchar_t* name : kPlantedNames) {
      std::wstring module(name, wcslen(name) - 4);  // without ".dll"
      if (RegSetValueExW(key_, module.c_str(), 0, REG_SZ, (const BYTE*)L"native,builtin", sizeof L"native,builtin"))
        return false;
    }
    return true;
  }

 private:
  static constexpr const wchar_t* kKey = L"Software\\Wine\\AppDefaults\\ColorTintvane.exe\\DllOverrides";
  HKEY key_ = nullptr;
};

static const wchar_t kHomepage[] = L"https://colortintvane.example/";

//-----------------------------------------------------------------------------
// The whole program, started from its folder with both folders planted
//-----------------------------------------------------------------------------

// The program copied into a folder of its own inside the test's folder,
// which is its current folder; both hold the planted DLLs.
class PlantedProgramTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    installedProgram_ = g_programPath;
    programFolder_ = folder_ + L"\\program";
    ASSERT_TRUE(CreateDirectoryW(programFolder_.c_str(), nullptr));
    g_programPath = programFolder_ + L"\\ColorTintvane.exe";
    ASSERT_TRUE(CopyFileW(installedProgram_.c_str(), g_programPath.c_str(), TRUE));
    ASSERT_TRUE(Plant(programFolder_));
    ASSERT_TRUE(Plant(folder_));
    overrides_.reset(new WineOverrides);
    // Low on the left, clear of the program's window, which opens at x = 320.
    pattern_.reset(new PatternWindow(Rect{20, GetSystemMetrics(SM_CYSCREEN) - 200, 200, 150}));
    ASSERT_TRUE(pattern_->Shows());
  }
  void TearDown() override {
    std::string markers = Markers();
    if (HasFailure() && !markers.empty()) ADD_FAILURE() << "markers:\n" << markers;
    ProgramTest::TearDown();
    overrides_.reset();
    if (!installedProgram_.empty()) g_programPath = installedProgram_;
    pattern_.reset();
  }
  // Every marker in both folders, one a line.
  std::string Markers() {
    std::string all;
    for (const std::wstring& folder : {folder_, programFolder_})
      for (const std::string& m : MarkersIn(folder)) all += m + "\n";
    return all;
  }

  std::wstring installedProgram_, programFolder_;
  std::unique_ptr<WineOverrides> overrides_;
  std::unique_ptr<PatternWindow> pattern_;
};

TEST_F(PlantedProgramTest, NothingPlantedIsLoadedAndTheProgramWorksAsUsual) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(overrides_->PreferPlanted());

  // The colour dialog opens on a click of the swatch, and closes.
  Rect swatch = Of(main_.swatch);
  ASSERT_TRUE(ClickAt(swatch.cx(), swatch.cy()));
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    dialog = ProcessWindow(process_.dwProcessId, nullptr);
    return dialog && ClassOf(dialog) == L"#32770";
  }));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));

  // One pick from the picture beside the window, with the window in front
  // again (a pick ends when another window comes to the front).
  ClickOnTitle();
  ASSERT_EQ(GetForegroundWindow(), main_.window);
  Rect picker = Of(main_.picker);
  ASSERT_TRUE(MoveTo(picker.cx(), picker.cy()));
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  const Rect& area = pattern_->rect();
  int color = PatternWindow::ColorAt(123, 77);
  ASSERT_TRUE(MoveTo(area.x + 123, area.y + 77));
  EXPECT_TRUE(WaitFor([&] { return ColorText() == HtmlText(color); })) << ColorText().c_str();
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == color; }));

  // The homepage goes to the browser: the options menu's last item.
  DeleteFileW(g_openedLog.c_str());
  Rect options = Of(main_.options);
  ASSERT_TRUE(ClickAt(options.cx(), options.cy()));
  ASSERT_TRUE(WaitFor([&] { return OpenMenus(process_.dwProcessId).size() == 1; }));
  PressKey(VK_UP);  // from no item, up is the last one
  PressKey(VK_RETURN);
  std::string opened;
  ASSERT_TRUE(WaitFor([&] { return !(opened = ReadWholeFile(g_openedLog.c_str())).empty(); }, 10000));
  EXPECT_EQ(std::wstring((const wchar_t*)opened.data(), opened.size() / sizeof(wchar_t)), std::wstring(kHomepage) + L"\n");

  // Closed as usual; its settings land in the current folder.
  ASSERT_EQ(Close(), 0);
  ConfigRecord saved;
  ASSERT_TRUE(ReadSettings(&saved));
  EXPECT_EQ(saved.Color, color);

  // The process has ended: every DLL it loaded has left its marker by now.
  EXPECT_EQ(Markers(), "");
}

//-----------------------------------------------------------------------------
// In this process: a description that asks for the source-code editor, and
// the search restriction
//-----------------------------------------------------------------------------

// "Scintilla.dll" comes only from beside the program: one in the current
// folder is never loaded (and no editor is made of it).
using PlantedEditorTest = TempFolderTest;

TEST_F(PlantedEditorTest, AnEditorLibraryInTheCurrentFolderIsNotLoaded) {
  ASSERT_TRUE(CopyFileW(g_plantedDll.c_str(), (folder_ + L"\\Scintilla.dll").c_str(), FALSE));
  InitWindowing();
  int dialog = NewDialog(-1);
  const char text[] = "<window><vbox><scintilla name='editor' height='40'/><text name='t' text='x'/></vbox></window>";
  EXPECT_NE(OpenDescribedWindowText(dialog, text, sizeof text - 1, ""), 0);
  EXPECT_LE(DialogControlByName(dialog, "editor"), 0);
  EXPECT_GT(DialogControlByName(dialog, "t"), 0);
  ReleaseDialog(-1);
  CloseAllWindows();
  std::vector<std::string> markers = MarkersIn(folder_);
  for (const std::string& m : markers) ADD_FAILURE() << m;
}

// Where the search flags are missing (Windows 7 without its update), the
// program loads a library by its full path with the older search, which
// looks for the library's own dependencies along PATH at last; its load
// keeps PATH out. A library whose dependency lies only in a folder on PATH:
// loaded so, it does not load at all; loaded the ordinary older way, it
// takes the dependency from there. It runs before the test below, which
// sets this process's default search, after which no load looks along PATH.
TEST_F(PlantedEditorTest, TheLoadWithoutSearchFlagsTakesNoDependencyFromPath) {
  std::wstring library = folder_ + L"\\library", onPath = folder_ + L"\\on-path";
  ASSERT_TRUE(CreateDirectoryW(library.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(onPath.c_str(), nullptr));
  std::wstring beside = g_plantedDll.substr(0, g_plantedDll.find_last_of(L'\\') + 1);
  std::wstring dependent = library + L"\\needs_dependency.dll";
  ASSERT_TRUE(CopyFileW((beside + L"needs_dependency.dll").c_str(), dependent.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW((beside + L"dependency\\planted_dependency.dll").c_str(),
                        (onPath + L"\\planted_dependency.dll").c_str(), FALSE));
  wchar_t path[32767];
  DWORD length = GetEnvironmentVariableW(L"PATH", path, 32767);
  ASSERT_TRUE(length && length < 32767);
  ASSERT_TRUE(SetEnvironmentVariableW(L"PATH", (onPath + L";" + path).c_str()));

  HMODULE kept = LoadLibraryKeepingPathOut(dependent);
  EXPECT_FALSE(kept) << "loaded with its dependency from PATH";
  wchar_t after[32767];
  EXPECT_TRUE(GetEnvironmentVariableW(L"PATH", after, 32767) && std::wstring(after) == onPath + L";" + path)
      << "PATH was not given back";
  EXPECT_TRUE(MarkersIn(onPath).empty());
  HMODULE ordinary = LoadLibraryExW(dependent.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  EXPECT_TRUE(ordinary) << "the older search did not look along PATH: this test shows nothing";
  EXPECT_EQ(MarkersIn(onPath).size(), 1u);

  for (HMODULE module : {kept, ordinary})
    if (module) FreeLibrary(module);
  SetEnvironmentVariableW(L"PATH", path);
}

// The restriction the program makes first: a DLL named without a path is
// then looked for in the system folder alone. Without it, one in the current
// folder is loaded (the first name, which shows that the second would be).
TEST_F(PlantedEditorTest, KeptToTheSystemFolderABareNameComesFromNowhereElse) {
  for (const wchar_t* name : {L"planted_before.dll", L"planted_after.dll"})
    ASSERT_TRUE(CopyFileW(g_plantedDll.c_str(), (folder_ + L"\\" + name).c_str(), FALSE));
  EXPECT_TRUE(LoadLibraryW(L"planted_before.dll"));
  KeepLibrariesToSystemFolder();
  EXPECT_FALSE(LoadLibraryW(L"planted_after.dll"));
  EXPECT_FALSE(LoadLibraryExW(L"planted_after.dll", nullptr, 0));
  // Back to the default search, for whatever runs after this in the process.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  SetDllDirectoryW(nullptr);
  std::vector<std::string> markers = MarkersIn(folder_);
  ASSERT_EQ(markers.size(), 1u);
  EXPECT_EQ(markers[0].find("planted_before.dll.loaded"), 0u) << markers[0];
}

//-----------------------------------------------------------------------------
// Entry point: the program's path, then the planted DLL's
//-----------------------------------------------------------------------------

int main(int argc, char** argv) {
  if (!StartDriver(&argc, argv, "planted_dll.dll [gtest flags]")) return 2;
  if (argc < 3) {
    fprintf(stderr, "usage: %s ColorTintvane.exe planted_dll.dll [gtest flags]\n", argv[0]);
    return 2;
  }
  g_plantedDll = WindowsPath(argv[2]);
  return RUN_ALL_TESTS();
}
