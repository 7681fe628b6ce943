// Start-up benchmark: starts the program and a bare one-window program in
// turn, several rounds each after one warm-up run each, and reports for both
//   input-idle     from just before CreateProcess until a top-level window of
//                  the process is visible and WaitForInputIdle has returned,
//   start-up       from the same moment until the window is completely
//                  painted, as a person sees it: the program's last step, the
//                  1 ms timer that gives the picker button its face (decode
//                  the icon, copy the native button's look, blend, hide the
//                  button), has run, and the process is input-idle again, its
//                  repaints done; the floors end with the same step
//                  (bench/picker_face_floor.h),
//   working set    read 300 ms after that, when the start-up has settled,
//   close-to-exit  from posting WM_CLOSE to the window until the process ends,
// then the program against the bare window: start-up ratio (target 1.3 or
// less; the ratio at input-idle alongside), working-set difference (3 MiB or
// less) and close-to-exit against the 128 ms closing animation plus 50 ms.
// Misses are reported, not failed.
//
// A third program, when given, is a second floor: a plain Win32 window with
// the same controls as the program's (bench/controls_window.cpp). The
// program is compared with it too, for information: under Wine every child
// window costs server round trips and memory whoever creates it, and this
// floor shows how much of the difference to the bare window is the controls
// themselves.
//
//   startup_bench.exe PROGRAM.exe BARE.exe [CONTROLS.exe] [ROUNDS]
//
// Both run with a temporary folder as their current directory. The folder is
// kept for the whole benchmark, so each run of the program starts with the
// settings file its previous run saved (only the warm-up starts without one).
#include <windows.h>
#include <mmsystem.h>
#include <psapi.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <algorithm>

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

// A push button without a caption stands where the picker's face goes until
// the face is made; then it is hidden.
static BOOL CALLBACK FindVisibleFacelessButton(HWND child, LPARAM out) {
  wchar_t cls[16], text[4];
  GetClassNameW(child, cls, 16);
  LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
  if (lstrcmpiW(cls, L"Button") == 0 && type != BS_GROUPBOX && GetWindowTextW(child, text, 4) == 0 &&
      IsWindowVisible(child)) {
    *(bool*)out = true;
    return FALSE;
  }
  return TRUE;
}

static bool FaceMade(HWND window) {
  bool waiting = false;
  EnumChildWindows(window, FindVisibleFacelessButton, (LPARAM)&waiting);
  return !waiting;
}

//-----------------------------------------------------------------------------
// One run
//-----------------------------------------------------------------------------

const DWORD kRunTimeoutMs = 30000;
const DWORD kSettleMs = 300;  // from input-idle to the working-set reading

struct Run {
  double inputIdleMs, startupMs;
  double workingSetMiB;
  double closeMs;
  DWORD exitCode;
  int clientWidth, clientHeight;
  wchar_t title[128];
};

// Starts the executable in the folder, waits for its window, reads its
// working set, closes it and waits for its end. False when any step fails
// (the process is then ended, so the next run starts clean).
static bool RunOnce(const wchar_t* executable, const wchar_t* folder, Run* run) {
  wchar_t commandLine[MAX_PATH + 3];
  _snwprintf(commandLine, MAX_PATH + 3, L"\"%ls\"", executable);
  commandLine[MAX_PATH + 2] = 0;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};

  double started = NowMs();
  if (!CreateProcessW(executable, commandLine, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &process)) {
    fprintf(stderr, "cannot start %ls (error %lu)\n", executable, GetLastError());
    return false;
  }
  CloseHandle(process.hThread);

  bool ok = false;
  HWND window = nullptr;
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
    // Then the last step: polled every millisecond, input-idle once more after it.
    while (!FaceMade(window) && NowMs() - started < kRunTimeoutMs) Sleep(1);
    if (!FaceMade(window) || WaitForInputIdle(process.hProcess, kRunTimeoutMs) != 0) window = nullptr;
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
    fprintf(stderr, "%ls: no visible, input-idle, painted window or no end after WM_CLOSE\n", FileNameOf(executable));
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kRunTimeoutMs);
  }
  CloseHandle(process.hProcess);
  return ok;
}

//-----------------------------------------------------------------------------
// Summary
//-----------------------------------------------------------------------------

const int kMaxRounds = 100;

struct Series {
  const wchar_t* executable;
  Run runs[kMaxRounds];
  int count;
};

static double Mean(const Series& s, double Run::*field) {
  double sum = 0;
  for (int i = 0; i < s.count; i++) sum += s.runs[i].*field;
  return s.count ? sum / s.count : 0;
}

static double Median(const Series& s, double Run::*field) {
  double values[kMaxRounds];
  for (int i = 0; i < s.count; i++) values[i] = s.runs[i].*field;
  std::sort(values, values + s.count);
  if (!s.count) return 0;
  return s.count % 2 ? values[s.count / 2] : (values[s.count / 2 - 1] + values[s.count / 2]) / 2;
}

static double Max(const Series& s, double Run::*field) {
  double most = 0;
  for (int i = 0; i < s.count; i++) most = std::max(most, s.runs[i].*field);
  return most;
}

static void PrintSeries(const Series& s) {
  printf("%-18ls %8.1f %8.1f %8.1f %8.1f %8.1f %9.2f %9.1f %8.1f\n", FileNameOf(s.executable),
         Mean(s, &Run::inputIdleMs), Median(s, &Run::inputIdleMs), Mean(s, &Run::startupMs),
         Median(s, &Run::startupMs), Max(s, &Run::startupMs), Mean(s, &Run::workingSetMiB), Mean(s, &Run::closeMs),
         Max(s, &Run::closeMs));
}

static void PrintWindowOf(const Series& s) {
  int nonZeroExits = 0;
  for (int i = 0; i < s.count; i++) nonZeroExits += s.runs[i].exitCode != 0;
  printf("  %ls: window \"%ls\", client area %d x %d, %d of %d runs ended with exit code 0\n", FileNameOf(s.executable),
         s.runs[0].title, s.runs[0].clientWidth, s.runs[0].clientHeight, s.count - nonZeroExits, s.count);
}

static const char* Verdict(bool met) { return met ? "PASS" : "MISS"; }

//-----------------------------------------------------------------------------
// Entry
//-----------------------------------------------------------------------------

static Series g_program, g_bare, g_controls;

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: startup_bench PROGRAM.exe BARE.exe [CONTROLS.exe] [ROUNDS]\n");
    return 2;
  }
  wchar_t program[MAX_PATH], bare[MAX_PATH], controls[MAX_PATH], folder[MAX_PATH];
  if (!FullWindowsPath(argv[1], program, MAX_PATH) || !FullWindowsPath(argv[2], bare, MAX_PATH)) {
    fprintf(stderr, "cannot find %s or %s\n", argv[1], argv[2]);
    return 2;
  }
  int next = 3;
  bool withControls = argc > next && strstr(argv[next], ".exe");
  if (withControls && !FullWindowsPath(argv[next++], controls, MAX_PATH)) {
    fprintf(stderr, "cannot find %s\n", argv[3]);
    return 2;
  }
  int rounds = argc > next ? atoi(argv[next]) : 10;
  rounds = std::min(std::max(rounds, 1), kMaxRounds);
  if (!MakeTemporaryFolder(folder, MAX_PATH)) {
    fprintf(stderr, "cannot make a temporary folder\n");
    return 2;
  }
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  g_ticksPerMs = frequency.QuadPart / 1000.0;
  timeBeginPeriod(1);  // the window poll sleeps 1 ms, not a scheduler tick

  g_program.executable = program;
  g_bare.executable = bare;
  g_controls.executable = controls;
  Series* order[3] = {&g_program, &g_bare, &g_controls};
  int programs = withControls ? 3 : 2;
  bool failed = false;
  for (int round = 0; round <= rounds && !failed; round++) {  // round 0 is the warm-up
    for (int p = 0; p < programs; p++) {
      Series* s = order[p];
      Run run = {};
      if (!RunOnce(s->executable, folder, &run)) {
        failed = true;
        break;
      }
      if (round > 0) s->runs[s->count++] = run;
    }
  }
  timeEndPeriod(1);
  RemoveTemporaryFolder(folder);
  if (failed) return 1;

  printf("Start-up benchmark: %d runs each, alternating, after one warm-up run each; settings file kept between runs\n",
         rounds);
  printf("%-18s %17s %26s\n", "", "input-idle", "start-up (painted)");
  printf("%-18s %8s %8s %8s %8s %8s %9s %9s %8s\n", "", "mean", "median", "mean", "median", "max", "working", "close to",
         "max");
  printf("%-18s %8s %8s %8s %8s %8s %9s %9s %8s\n", "", "ms", "ms", "ms", "ms", "ms", "set MiB", "exit ms", "ms");
  PrintSeries(g_program);
  PrintSeries(g_bare);
  if (withControls) PrintSeries(g_controls);
  PrintWindowOf(g_program);
  PrintWindowOf(g_bare);
  if (withControls) PrintWindowOf(g_controls);

  double startupRatio = Mean(g_program, &Run::startupMs) / Mean(g_bare, &Run::startupMs);
  double medianRatio = Median(g_program, &Run::startupMs) / Median(g_bare, &Run::startupMs);
  double workingSetDifference = Mean(g_program, &Run::workingSetMiB) - Mean(g_bare, &Run::workingSetMiB);
  double closeMs = Mean(g_program, &Run::closeMs);
  printf("start-up ratio         %5.2f (of medians %.2f), target <= 1.30   %s\n", startupRatio, medianRatio,
         Verdict(startupRatio <= 1.3));
  printf("  at input-idle        %5.2f (of medians %.2f), before the last step\n",
         Mean(g_program, &Run::inputIdleMs) / Mean(g_bare, &Run::inputIdleMs),
         Median(g_program, &Run::inputIdleMs) / Median(g_bare, &Run::inputIdleMs));
  printf("working-set difference %5.2f MiB, target <= 3.00 MiB          %s\n", workingSetDifference,
         Verdict(workingSetDifference <= 3.0));
  printf("close to exit          %5.1f ms (bare %.1f), target <= 178 ms   %s\n", closeMs, Mean(g_bare, &Run::closeMs),
         Verdict(closeMs <= 178.0));
  if (withControls) {
    printf("against the plain window with the same controls (for information):\n");
    printf("  start-up ratio         %5.2f (of medians %.2f); at input-idle %.2f (of medians %.2f)\n",
           Mean(g_program, &Run::startupMs) / Mean(g_controls, &Run::startupMs),
           Median(g_program, &Run::startupMs) / Median(g_controls, &Run::startupMs),
           Mean(g_program, &Run::inputIdleMs) / Mean(g_controls, &Run::inputIdleMs),
           Median(g_program, &Run::inputIdleMs) / Median(g_controls, &Run::inputIdleMs));
    printf("  working-set difference %5.2f MiB\n", Mean(g_program, &Run::workingSetMiB) - Mean(g_controls, &Run::workingSetMiB));
  }
  return 0;
}
