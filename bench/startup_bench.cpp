// Start-up benchmark: starts the program and its floors in turn, in one Wine
// session, several rounds after one warm-up run each, and reports for each
//   input-idle     from just before CreateProcess until a top-level window of
//                  the process is visible and WaitForInputIdle has returned,
//   start-up       from the same moment until the window is completely
//                  painted, as a person sees it: the picker button's face,
//                  the program's last start-up step (a 1 ms timer after the
//                  window shows decodes the icon, copies the native button's
//                  look, blends them, hides the button), is read back from
//                  the screen's pixels; the floors end with the same step
//                  (bench/picker_face_floor.h) and are read back alike, so
//                  no clock stops before its face is on the screen,
//   working set    read 300 ms after that, when the start-up has settled,
//   close-to-exit  from posting WM_CLOSE to the window until the process ends.
//
// The floors: a bare one-window program built alike (bench/bare_window.cpp)
// and a plain Win32 window with the program's 22 controls, fonts and list
// rows (bench/controls_window.cpp), which is what the program is held to:
// start-up median at most 1.05 times the floor's, working set within 1 MiB
// of it. Close-to-exit is held to the 128 ms closing animation plus 50 ms.
// The bare window is shown for information. Misses are reported, not failed.
//
// Given the timed builds of the program and of the controls floor (built
// with their start-up steps stamped, runtime/startup_timing.h), they run in
// the same rounds and the benchmark prints where each one's start-up goes,
// step by step, side by side: the median of each step, counted from the
// stamp before it (the first from CreateProcess), and the time from the last
// stamp until the face was read back from the screen. The ratios come from
// the shipped program only.
//
//   startup_bench.exe PROGRAM.exe BARE.exe CONTROLS.exe [PROGRAM_TIMED.exe CONTROLS_TIMED.exe] [ROUNDS]
//
// The programs take turns, each round in the opposite order of the one before.
// All run with one temporary folder as their current directory, kept for the
// whole benchmark, so each run of the program starts with the settings file
// its previous run saved (only the warm-up starts without one).
#include <windows.h>
#include <mmsystem.h>
#include <psapi.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/startup_timing.h"

//-----------------------------------------------------------------------------
// Clock
//-----------------------------------------------------------------------------

static double g_ticksPerMs = 0;

static double NowMs() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart / g_ticksPerMs;
}

//-----------------------------------------------------------------------------
// Paths: the executables as Windows paths, the temporary folder
//-----------------------------------------------------------------------------

// A path as given on the Linux side (/work/x.exe or build/win/x.exe) or as a
// Windows path, made into a full Windows path. Under Wine the Linux root is
// drive Z:, and CreateProcessW takes Linux paths only through it.
static bool FullWindowsPath(const char* given, wchar_t* full, int capacity) {
  wchar_t wide[MAX_PATH];
  int offset = given[0] == '/' ? 2 : 0;
  if (offset) wcscpy(wide, L"Z:");
  if (!MultiByteToWideChar(CP_ACP, 0, given, -1, wide + offset, MAX_PATH - offset)) return false;
  DWORD length = GetFullPathNameW(wide, capacity, full, nullptr);
  return length > 0 && length < (DWORD)capacity && GetFileAttributesW(full) != INVALID_FILE_ATTRIBUTES;
}

static const wchar_t* FileNameOf(const wchar_t* path) {
  const wchar_t* name = path;
  for (const wchar_t* p = path; *p; p++)
    if (*p == L'\\' || *p == L'/') name = p + 1;
  return name;
}

static bool MakeTemporaryFolder(wchar_t* folder, int capacity) {
  wchar_t base[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH, base);
  if (length == 0 || length >= MAX_PATH) return false;
  _snwprintf(folder, capacity, L"%lsstartup_bench_%lu", base, GetCurrentProcessId());
  folder[capacity - 1] = 0;
  return CreateDirectoryW(folder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// Empties the folder (the programs leave their settings file there) and removes it.
static void RemoveTemporaryFolder(const wchar_t* folder) {
  wchar_t pattern[MAX_PATH + 4];
  _snwprintf(pattern, MAX_PATH + 4, L"%ls\\*", folder);
  pattern[MAX_PATH + 3] = 0;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern, &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      wchar_t file[2 * MAX_PATH];
      _snwprintf(file, 2 * MAX_PATH, L"%ls\\%ls", folder, found.cFileName);
      file[2 * MAX_PATH - 1] = 0;
      SetFileAttributesW(file, FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(file);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder);
}

//-----------------------------------------------------------------------------
// The window of a process
//-----------------------------------------------------------------------------

struct WindowSearch {
  DWORD processId;
  HWND found;
};

static BOOL CALLBACK TakeVisibleWindowOfProcess(HWND window, LPARAM lParam) {
  WindowSearch* search = (WindowSearch*)lParam;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

static HWND VisibleWindowOfProcess(DWORD processId) {
  WindowSearch search = {processId, nullptr};
  EnumWindows(TakeVisibleWindowOfProcess, (LPARAM)&search);
  return search.found;
}

//-----------------------------------------------------------------------------
// The picker button's face, read back from the screen
//-----------------------------------------------------------------------------

// A push button without a caption stands where the picker's face goes until
// the face is made; then it is hidden, and the face shows in its place.
struct FaceButton {
  HWND button;
  bool visible;
};

static BOOL CALLBACK FindFacelessButton(HWND child, LPARAM out) {
  wchar_t cls[16], text[4];
  GetClassNameW(child, cls, 16);
  LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
  if (lstrcmpiW(cls, L"Button") != 0 || type == BS_GROUPBOX || GetWindowTextW(child, text, 4) != 0) return TRUE;
  FaceButton* found = (FaceButton*)out;
  found->button = child;
  found->visible = IsWindowVisible(child) != FALSE;
  return FALSE;
}

// A point of the cross-hair's ink in the face over `place`: the icon is 31 x
// 31 pixels, scaled without smoothing, and its vertical line's pixel (15, 6)
// is opaque grey 0x484848 in the program's icon and the floors' alike.
static POINT InkPoint(const RECT& place) {
  int width = place.right - place.left, height = place.bottom - place.top;
  return POINT{place.left + (2 * 15 + 1) * width / 62, place.top + (2 * 6 + 1) * height / 62};
}

static bool ShowsInk(HDC screen, POINT at) {
  COLORREF c = GetPixel(screen, at.x, at.y);
  if (c == CLR_INVALID) return false;
  return abs((int)GetRValue(c) - 0x48) <= 8 && abs((int)GetGValue(c) - 0x48) <= 8 && abs((int)GetBValue(c) - 0x48) <= 8;
}

// Whether the window's face is made (its button hidden) and its ink is on
// the screen; `place` is where the face is, in screen pixels.
static bool FaceOnScreen(HWND window, RECT* place) {
  FaceButton found = {nullptr, false};
  EnumChildWindows(window, FindFacelessButton, (LPARAM)&found);
  if (!found.button || found.visible || !GetWindowRect(found.button, place)) return false;
  HDC screen = GetDC(nullptr);
  bool shows = screen && ShowsInk(screen, InkPoint(*place));
  if (screen) ReleaseDC(nullptr, screen);
  return shows;
}

// Waits until the place of the last face shows something else, so that no
// run's clock stops on the face the run before it left on the screen.
static void WaitUntilFaceGone(const RECT& place) {
  DWORD start = GetTickCount();
  HDC screen = GetDC(nullptr);
  while (screen && ShowsInk(screen, InkPoint(place)) && GetTickCount() - start < 5000) Sleep(5);
  if (screen) ReleaseDC(nullptr, screen);
}

//-----------------------------------------------------------------------------
// One run
//-----------------------------------------------------------------------------

const DWORD kRunTimeoutMs = 30000;
const DWORD kSettleMs = 300;  // from the painted window to the working-set reading

struct Run {
  double inputIdleMs, startupMs;
  double workingSetMiB;
  double closeMs;
  DWORD exitCode;
  int clientWidth, clientHeight;
  wchar_t title[128];
  double stepMs[STEP_COUNT];  // timed builds: each step's time, -1 where not stamped
  double untilOnScreenMs;     // timed builds: from the last stamp to the face read back
};

// The stamps a timed build wrote ("frequency F", then "STEP COUNTER" lines)
// as each step's time from the stamp before it, the first from `started`;
// false when there are none.
static bool ReadSteps(const std::string& output, LONGLONG started, double ticksPerMs, Run* run) {
  LONGLONG stamps[STEP_COUNT] = {};
  const char* line = output.c_str();
  int step;
  long long counter;
  bool any = false;
  while (*line) {
    if (sscanf(line, "%d %lld", &step, &counter) == 2 && step >= 0 && step < STEP_COUNT) {
      stamps[step] = counter;
      any = true;
    }
    const char* next = strchr(line, '\n');
    line = next ? next + 1 : line + strlen(line);
  }
  LONGLONG last = started;
  for (int s = 0; s < STEP_COUNT; s++) {
    run->stepMs[s] = -1;
    if (!stamps[s]) continue;
    LONGLONG before = started;
    for (int t = 0; t < STEP_COUNT; t++)
      if (stamps[t] && stamps[t] < stamps[s] && stamps[t] > before) before = stamps[t];
    run->stepMs[s] = (stamps[s] - before) / ticksPerMs;
    last = std::max(last, stamps[s]);
  }
  run->untilOnScreenMs = started / ticksPerMs + run->startupMs - last / ticksPerMs;
  return any;
}

// Starts the executable in the folder, waits for its window and its face on
// the screen, reads its working set, closes it and waits for its end. A timed
// build's stamps are read from its standard output. False when any step
// fails (the process is then ended, so the next run starts clean).
static bool RunOnce(const wchar_t* executable, const wchar_t* folder, bool timed, Run* run) {
  wchar_t commandLine[MAX_PATH + 3];
  _snwprintf(commandLine, MAX_PATH + 3, L"\"%ls\"", executable);
  commandLine[MAX_PATH + 2] = 0;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (timed) {
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 1 << 16)) return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
  }

  LARGE_INTEGER startCounter;
  QueryPerformanceCounter(&startCounter);
  double started = startCounter.QuadPart / g_ticksPerMs;
  BOOL created = CreateProcessW(executable, commandLine, nullptr, nullptr, timed, 0, nullptr, folder, &startup, &process);
  if (writeEnd) CloseHandle(writeEnd);
  if (!created) {
    fprintf(stderr, "cannot start %ls (error %lu)\n", executable, GetLastError());
    if (readEnd) CloseHandle(readEnd);
    return false;
  }
  CloseHandle(process.hThread);

  bool ok = false;
  HWND window = nullptr;
  RECT face = {};
  // Input-idle first, then the window: waiting for input-idle costs the
  // starting program nothing, while polling the window list competes with it
  // for the window server. A program may pass through input-idle before its
  // window shows; then the window is polled for.
  double remaining;
  while (!window && (remaining = kRunTimeoutMs - (NowMs() - started)) > 0) {
    if (WaitForInputIdle(process.hProcess, (DWORD)remaining) != 0) break;
    window = VisibleWindowOfProcess(process.dwProcessId);
    if (!window && WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  if (window) {
    run->inputIdleMs = NowMs() - started;
    // Then the last step, polled every millisecond until its pixels are on the screen.
    bool painted;
    while (!(painted = FaceOnScreen(window, &face)) && NowMs() - started < kRunTimeoutMs) Sleep(1);
    if (!painted) window = nullptr;
  }
  if (window) {
    run->startupMs = NowMs() - started;

    Sleep(kSettleMs);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
    run->workingSetMiB = memory.WorkingSetSize / (1024.0 * 1024.0);

    RECT client = {};
    GetClientRect(window, &client);
    run->clientWidth = client.right;
    run->clientHeight = client.bottom;
    run->title[0] = 0;
    GetWindowTextW(window, run->title, 128);

    double closing = NowMs();
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, kRunTimeoutMs) == WAIT_OBJECT_0) {
      run->closeMs = NowMs() - closing;
      GetExitCodeProcess(process.hProcess, &run->exitCode);
      ok = true;
    }
  }
  if (!ok) {
    fprintf(stderr, "%ls: no visible window with its face on the screen, or no end after WM_CLOSE\n",
            FileNameOf(executable));
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kRunTimeoutMs);
  }
  CloseHandle(process.hProcess);
  if (readEnd) {
    std::string output;
    char buffer[4096];
    DWORD got;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
    CloseHandle(readEnd);
    if (ok && !ReadSteps(output, startCounter.QuadPart, g_ticksPerMs, run)) {
      fprintf(stderr, "%ls: no start-up stamps on its standard output\n", FileNameOf(executable));
      ok = false;
    }
  }
  if (ok) WaitUntilFaceGone(face);
  return ok;
}

//-----------------------------------------------------------------------------
// Summary
//-----------------------------------------------------------------------------

const int kMaxRounds = 100;
const double kNoStep = -1e9;  // a step that was not stamped

struct Series {
  const wchar_t* executable;
  bool timed;
  Run runs[kMaxRounds];
  int count;
};

static double MedianOf(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

static double Mean(const Series& s, double Run::*field) {
  double sum = 0;
  for (int i = 0; i < s.count; i++) sum += s.runs[i].*field;
  return s.count ? sum / s.count : 0;
}

static double Median(const Series& s, double Run::*field) {
  std::vector<double> values;
  for (int i = 0; i < s.count; i++) values.push_back(s.runs[i].*field);
  return MedianOf(values);
}

static double Max(const Series& s, double Run::*field) {
  double most = 0;
  for (int i = 0; i < s.count; i++) most = std::max(most, s.runs[i].*field);
  return most;
}

// The median of one step over the runs that stamped it; kNoStep when none did.
static double MedianStep(const Series& s, int step) {
  std::vector<double> values;
  for (int i = 0; i < s.count; i++)
    if (s.runs[i].stepMs[step] >= 0) values.push_back(s.runs[i].stepMs[step]);
  return values.empty() ? kNoStep : MedianOf(values);
}

static void PrintSeries(const Series& s) {
  printf("%-24ls %8.1f %8.1f %8.1f %8.1f %8.1f %9.2f %9.1f %8.1f\n", FileNameOf(s.executable),
         Mean(s, &Run::inputIdleMs), Median(s, &Run::inputIdleMs), Mean(s, &Run::startupMs),
         Median(s, &Run::startupMs), Max(s, &Run::startupMs), Median(s, &Run::workingSetMiB), Mean(s, &Run::closeMs),
         Max(s, &Run::closeMs));
}

static void PrintWindowOf(const Series& s) {
  int nonZeroExits = 0;
  for (int i = 0; i < s.count; i++) nonZeroExits += s.runs[i].exitCode != 0;
  printf("  %ls: window \"%ls\", client area %d x %d, %d of %d runs ended with exit code 0\n", FileNameOf(s.executable),
         s.runs[0].title, s.runs[0].clientWidth, s.runs[0].clientHeight, s.count - nonZeroExits, s.count);
}

static void PrintStepTime(double ms) {
  if (ms == kNoStep) printf(" %9s", "-");
  else printf(" %9.1f", ms);
}

// Where the start-up goes, the program's timed build beside the floor's.
static void PrintSplit(const Series& program, const Series& floor) {
  printf("Where the start-up goes: %ls beside %ls, median ms of each step over %d runs\n", FileNameOf(program.executable),
         FileNameOf(floor.executable), program.count);
  printf("  %-34s %9s %9s %9s\n", "step", "program", "floor", "above");
  for (int step = 0; step < STEP_COUNT; step++) {
    double p = MedianStep(program, step), f = MedianStep(floor, step);
    printf("  %-34s", StartupStepName(step));
    PrintStepTime(p);
    PrintStepTime(f);
    PrintStepTime(p == kNoStep ? kNoStep : f == kNoStep ? p : p - f);
    printf("\n");
  }
  double p = Median(program, &Run::untilOnScreenMs), f = Median(floor, &Run::untilOnScreenMs);
  printf("  %-34s %9.1f %9.1f %9.1f\n", "from the last step to the screen", p, f, p - f);
  p = Median(program, &Run::startupMs), f = Median(floor, &Run::startupMs);
  printf("  %-34s %9.1f %9.1f %9.1f   (the timed builds' start-up)\n", "total, face read back", p, f, p - f);
  printf("  (each step from the stamp before it in time; \"-\": a step the floor has not, or has within another:\n"
         "   it creates its controls in their places, with their fonts, so its control creation holds what the\n"
         "   program's layout does)\n");
}

static const char* Verdict(bool met) { return met ? "PASS" : "MISS"; }

//-----------------------------------------------------------------------------
// Entry
//-----------------------------------------------------------------------------

static Series g_program, g_bare, g_controls, g_programTimed, g_controlsTimed;

int main(int argc, char** argv) {
  SetProcessDPIAware();  // window rectangles and screen pixels alike in device pixels
  int executables = 0;
  while (executables + 1 < argc && strstr(argv[executables + 1], ".exe")) executables++;
  if (executables != 3 && executables != 5) {
    fprintf(stderr,
            "usage: startup_bench PROGRAM.exe BARE.exe CONTROLS.exe [PROGRAM_TIMED.exe CONTROLS_TIMED.exe] [ROUNDS]\n");
    return 2;
  }
  static wchar_t paths[5][MAX_PATH];
  for (int i = 0; i < executables; i++)
    if (!FullWindowsPath(argv[i + 1], paths[i], MAX_PATH)) {
      fprintf(stderr, "cannot find %s\n", argv[i + 1]);
      return 2;
    }
  int rounds = argc > executables + 1 ? atoi(argv[executables + 1]) : 10;
  rounds = std::min(std::max(rounds, 1), kMaxRounds);
  wchar_t folder[MAX_PATH];
  if (!MakeTemporaryFolder(folder, MAX_PATH)) {
    fprintf(stderr, "cannot make a temporary folder\n");
    return 2;
  }
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  g_ticksPerMs = frequency.QuadPart / 1000.0;
  timeBeginPeriod(1);  // the face poll sleeps 1 ms, not a scheduler tick

  Series* order[5] = {&g_program, &g_bare, &g_controls, &g_programTimed, &g_controlsTimed};
  for (int i = 0; i < executables; i++) {
    order[i]->executable = paths[i];
    order[i]->timed = i >= 3;
  }
  bool failed = false;
  for (int round = 0; round <= rounds && !failed; round++) {  // round 0 is the warm-up
    // Every other round in the opposite order, so that none always follows the same other.
    for (int i = 0; i < executables; i++) {
      Series* s = order[round % 2 ? executables - 1 - i : i];
      Run run = {};
      if (!RunOnce(s->executable, folder, s->timed, &run)) {
        failed = true;
        break;
      }
      if (round > 0) s->runs[s->count++] = run;
    }
  }
  timeEndPeriod(1);
  RemoveTemporaryFolder(folder);
  if (failed) return 1;

  printf("Start-up benchmark: %d runs each, alternating, after one warm-up run each; settings file kept between runs;\n"
         "every clock stops once the picker button's face is read back from the screen\n",
         rounds);
  printf("%-24s %17s %26s\n", "", "input-idle", "start-up (face on screen)");
  printf("%-24s %8s %8s %8s %8s %8s %9s %9s %8s\n", "", "mean", "median", "mean", "median", "max", "working", "close to",
         "max");
  printf("%-24s %8s %8s %8s %8s %8s %9s %9s %8s\n", "", "ms", "ms", "ms", "ms", "ms", "set MiB", "exit ms", "ms");
  for (int p = 0; p < executables; p++) PrintSeries(*order[p]);
  for (int p = 0; p < 3; p++) PrintWindowOf(*order[p]);

  double startupRatio = Median(g_program, &Run::startupMs) / Median(g_controls, &Run::startupMs);
  double workingSetDifference = Median(g_program, &Run::workingSetMiB) - Median(g_controls, &Run::workingSetMiB);
  double closeMs = Mean(g_program, &Run::closeMs);
  printf("against the plain window with the same controls (the floor):\n");
  printf("  start-up ratio         %5.2f of medians (of means %.2f), target <= 1.05   %s\n", startupRatio,
         Mean(g_program, &Run::startupMs) / Mean(g_controls, &Run::startupMs), Verdict(startupRatio <= 1.05));
  printf("    at input-idle        %5.2f of medians, before the last step\n",
         Median(g_program, &Run::inputIdleMs) / Median(g_controls, &Run::inputIdleMs));
  printf("  working-set difference %5.2f MiB of medians, target <= 1.00 MiB      %s\n", workingSetDifference,
         Verdict(workingSetDifference <= 1.0));
  printf("  close to exit          %5.1f ms mean (floor %.1f), target <= 178 ms   %s\n", closeMs,
         Mean(g_controls, &Run::closeMs), Verdict(closeMs <= 178.0));
  printf("against the bare window (for information: what the controls cost on this platform too):\n");
  printf("  start-up ratio         %5.2f of medians; working-set difference %.2f MiB\n",
         Median(g_program, &Run::startupMs) / Median(g_bare, &Run::startupMs),
         Median(g_program, &Run::workingSetMiB) - Median(g_bare, &Run::workingSetMiB));
  if (executables == 5) PrintSplit(g_programTimed, g_controlsTimed);
  return 0;
}
