// Shared by the live picker tick benchmark (bench/picker_tick_bench.cpp) and
// its floor (bench/picker_tick_floor.cpp): the window and its children, the
// picture the pointer moves over, the pointer's path, the phases of a tick
// with their clock, and the wait until a window is really in front. Plain
// Win32 only: none of the program's runtime, so the floor stays a plain
// program.
#pragma once
#include <windows.h>

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include <vector>

//-----------------------------------------------------------------------------
// Layout, in units of 1/96 inch (device pixels at 96 pixels per inch)
//-----------------------------------------------------------------------------

struct BenchBox {
  int x, y, width, height;
};

const int kBenchWindowX = 40, kBenchWindowY = 40;    // outer top-left
const BenchBox kBenchClient = {0, 0, 420, 300};      // client size
const BenchBox kBenchSelector = {10, 10, 40, 40};
const BenchBox kBenchCapture = {60, 10, 156, 104};   // with a sunken edge
const BenchBox kBenchPalette = {60, 118, 156, 20};   // with a sunken edge
const BenchBox kBenchHistory = {60, 142, 156, 20};   // with a sunken edge
const BenchBox kBenchSwatch = {230, 10, 60, 60};
const BenchBox kBenchCodeField = {230, 80, 120, 20};  // txtRGB, read-only
inline BenchBox BenchStrip(int channel) { return BenchBox{10, 170 + 24 * channel, 300, 20}; }
inline BenchBox BenchChannelField(int channel) { return BenchBox{320, 170 + 24 * channel, 40, 20}; }
const BenchBox kBenchPicture = {10, 245, 250, 50};
const int kBenchEdge = 4;  // a sunken edge takes 2 pixels on every side

const int kBenchCaptureWidth = 31, kBenchCaptureHeight = 21;

// The main window's fonts: the channel fields in the normal one, txtRGB in
// the large one (points; the face, "Consolas", stands in when missing).
const int kBenchFieldFontPoints = 9, kBenchCodeFontPoints = 11;

//-----------------------------------------------------------------------------
// The picture under the pointer and the pointer's path
//-----------------------------------------------------------------------------

// Colour value 0x00BBGGRR of picture pixel (x, y). Between two points of the
// path below every channel changes, so every tick picks a new colour and no
// view of either program can skip its work: each field gets a new number.
inline int BenchPictureColor(int x, int y) {
  int red = x & 255, green = (5 * y) & 255, blue = (3 * x + 7 * y) & 255;
  return red | green << 8 | blue << 16;
}

// Tick i's point in the picture: one step right and down per tick, in a
// band that keeps the whole 31 x 21 region inside the picture.
inline POINT BenchPathPoint(int tick) { return POINT{20 + tick % 200, 10 + tick % 30}; }

//-----------------------------------------------------------------------------
// Phases of a tick and their clock
//-----------------------------------------------------------------------------

// In the order the program runs them; the repaint is what the tick left to
// the message loop (the text fields repaint there in both programs).
enum BenchPhase {
  PHASE_CAPTURE,          // pointer, screen copy, crosshair, centre pixel
  PHASE_SWATCH_AND_TEXT,  // swatch and txtRGB
  PHASE_FIELDS,           // the three channel fields, their numbers and colours
  PHASE_STRIPS,           // the three gradient strips
  PHASE_MAGNIFY,          // the magnified region in the capture view
  PHASE_REPAINT,          // messages the tick left behind, until none is pending
  PHASE_COUNT
};

inline const char* BenchPhaseName(int phase) {
  static const char* const kNames[PHASE_COUNT] = {"capture", "swatch and text", "fields",
                                                  "strips",  "magnify",         "later repaint"};
  return kNames[phase];
}

struct BenchClock {
  double ticksPerMs;
  LARGE_INTEGER last;
  double phaseMs[PHASE_COUNT];
};

inline void StartBenchClock(BenchClock* clock) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  clock->ticksPerMs = frequency.QuadPart / 1000.0;
  for (double& ms : clock->phaseMs) ms = 0;
  QueryPerformanceCounter(&clock->last);
}

// Adds the time since the last mark to `phase`.
inline void MarkPhase(BenchClock* clock, int phase) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  clock->phaseMs[phase] += (now.QuadPart - clock->last.QuadPart) / clock->ticksPerMs;
  clock->last = now;
}

// What a series of timed ticks adds up to.
struct BenchStats {
  int ticks;
  int misses;  // ticks that did not pick the colour under the pointer: not counted
  double totalMs, worstMs;
  double phaseMs[PHASE_COUNT];
};

// Counts the tick and keeps its time in `tickMs`.
inline void AddTick(BenchStats* stats, const BenchClock& clock, std::vector<double>* tickMs) {
  double total = 0;
  for (int p = 0; p < PHASE_COUNT; p++) {
    stats->phaseMs[p] += clock.phaseMs[p];
    total += clock.phaseMs[p];
  }
  stats->ticks++;
  stats->totalMs += total;
  if (total > stats->worstMs) stats->worstMs = total;
  tickMs->push_back(total);
}

inline void AddStats(BenchStats* sum, const BenchStats& part) {
  sum->ticks += part.ticks;
  sum->misses += part.misses;
  sum->totalMs += part.totalMs;
  if (part.worstMs > sum->worstMs) sum->worstMs = part.worstMs;
  for (int p = 0; p < PHASE_COUNT; p++) sum->phaseMs[p] += part.phaseMs[p];
}

// One line that the benchmark reads back from the floor's output.
inline void PrintStatsLine(FILE* out, const char* tag, const BenchStats& s) {
  fprintf(out, "%s %d %d %.6f %.6f", tag, s.ticks, s.misses, s.totalMs, s.worstMs);
  for (double ms : s.phaseMs) fprintf(out, " %.6f", ms);
  fprintf(out, "\n");
  fflush(out);
}

inline bool ReadStatsLine(const char* line, const char* tag, BenchStats* s) {
  char format[64];
  snprintf(format, sizeof format, "%s %%d %%d %%lf %%lf %%lf %%lf %%lf %%lf %%lf %%lf", tag);
  return sscanf(line, format, &s->ticks, &s->misses, &s->totalMs, &s->worstMs, &s->phaseMs[0], &s->phaseMs[1],
                &s->phaseMs[2], &s->phaseMs[3], &s->phaseMs[4], &s->phaseMs[5]) == 10;
}

// Every tick's time on one line, for the medians.
inline void PrintTickTimesLine(FILE* out, const std::vector<double>& tickMs) {
  fprintf(out, "TICKS");
  for (double ms : tickMs) fprintf(out, " %.6f", ms);
  fprintf(out, "\n");
  fflush(out);
}

inline void ReadTickTimesLine(const char* text, std::vector<double>* tickMs) {
  const char* line = strstr(text, "TICKS");
  if (!line) return;
  line += 5;
  double ms;
  int used;
  while (sscanf(line, " %lf%n", &ms, &used) == 1) {
    tickMs->push_back(ms);
    line += used;
  }
}

//-----------------------------------------------------------------------------
// Messages and the screen
//-----------------------------------------------------------------------------

inline void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Paced ticks start 16 ms apart, as the focus poll's timer starts them; the
// wait takes in messages and is not counted. Back to back (the default),
// each tick starts once the one before has ended.
const double kFocusPollMs = 16;

inline void WaitForTickStart(bool paced) {
  static LARGE_INTEGER last = {};
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  for (;;) {
    QueryPerformanceCounter(&now);
    double since = (now.QuadPart - last.QuadPart) * 1000.0 / frequency.QuadPart;
    if (!paced || since >= kFocusPollMs) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, (DWORD)(kFocusPollMs - since), QS_ALLINPUT);
    PumpMessages();
  }
  last = now;
}

// Whether a round gives up on a pointer that does not stay where it is put:
// a missed tick is tried again, and a loaded machine misses more of them,
// so only more misses than the ticks it wants end the round.
inline bool TooManyMisses(int misses, int ticks) { return misses > ticks; }

// Places the pointer and takes in what the move sent, until the system
// reports it there (at most 2 s: false when it does not get there).
inline bool PlacePointer(POINT p) {
  DWORD start = GetTickCount();
  SetCursorPos(p.x, p.y);
  for (;;) {
    PumpMessages();
    POINT now;
    if (GetCursorPos(&now) && now.x == p.x && now.y == p.y) return true;
    if (GetTickCount() - start > 2000) return false;
    SetCursorPos(p.x, p.y);
    Sleep(1);
  }
}

// Whether the clipboard holds exactly this text (read outside the timing).
inline bool ClipboardHolds(const wchar_t* text) {
  if (!OpenClipboard(nullptr)) return false;
  bool same = false;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* p = (const wchar_t*)GlobalLock(data)) same = wcscmp(p, text) == 0;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return same;
}

// The screen pixel at (x, y) as a colour value.
inline int ScreenColor(HDC screen, int x, int y) { return (int)(GetPixel(screen, x, y) & 0xFFFFFF); }

// Whether the screen shows the picture whose top-left pixel is at `origin`
// (a few pixels of it: corners, middle and the band the path covers).
inline bool ScreenShowsPicture(POINT origin, int width, int height) {
  HDC screen = GetDC(nullptr);
  const POINT probes[] = {{0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}, {width / 2, height / 2},
                          {20, 10}, {234, 49}};
  bool shows = screen != nullptr;
  for (const POINT& p : probes)
    if (shows && ScreenColor(screen, origin.x + p.x, origin.y + p.y) != BenchPictureColor(p.x, p.y)) shows = false;
  if (screen) ReleaseDC(nullptr, screen);
  return shows;
}

// Waits until `window` is the foreground window and the screen shows the
// picture at `origin`, asking for the foreground while it is not. The time
// is not counted; gives up after 10 s.
inline bool WaitUntilInFront(HWND window, POINT origin, int width, int height) {
  DWORD start = GetTickCount();
  for (;;) {
    PumpMessages();
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    else if (ScreenShowsPicture(origin, width, height)) return true;
    if (GetTickCount() - start > 10000) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}
