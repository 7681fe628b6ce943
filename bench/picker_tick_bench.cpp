// The live picker tick on the real controls, side by side with its floor in
// one Wine session. The program's tick is CaptureScreen(true), as the focus
// poll calls it every 16 ms while picking: copy the region around the
// pointer, magnify it into the capture view with the crosshair, refresh the
// swatch, txtRGB, the three channel fields and the three strips. The floor
// (bench/picker_tick_floor.cpp, beside this program) is a plain Win32
// program doing the same visible work in a window of the same children and
// sizes, at the same place on the screen.
//
// Each round runs the floor in a process of its own and the program's tick
// here, in alternating order, each after a few untimed ticks. Before timing,
// each waits until its window is the foreground window and the screen shows
// its picture. Every tick moves the pointer to the next point of a picture
// whose channels all change from point to point, and counts only if it
// picked the colour under the pointer, new in every channel, so no view
// skipped its work. A tick is timed from its start until no message it left
// is pending, in both programs: their own drawing shows at once, and the
// text fields repaint from the message loop afterwards.
//
// Prints both means, their ratio (target 1.1 or less), the worst tick of
// each against its mean (target 4 or less for the program) and the split by
// phase. Reports misses; never fails on them.
//
//   picker_tick_bench.exe [ROUNDS] [TICKS] [paced] [autocopy]
//
// "paced" starts the ticks of both 16 ms apart, as the program's focus poll
// does: between ticks the machine runs other work and every tick starts
// colder, so both take longer; by default the ticks run back to back.
// "autocopy" turns on "Copy automatically", as a user may: every tick of the
// program then copies the colour text to the clipboard, and the floor makes
// the same copy (open, empty, set the text, close). The copy comes before
// the swatch in both, so it counts in the capture phase.
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/capture_view.h"
#include "app/channel_controls.h"
#include "app/color_widgets.h"
#include "app/current_color.h"
#include "app/program_context.h"
#include "app/settings_record.h"
#include "app/swatch_controls.h"
#include "bench/picker_tick_common.h"
#include "color/named_colors.h"
#include "runtime/canvas.h"
#include "runtime/clipboard.h"
#include "runtime/drawing.h"
#include "runtime/fonts.h"
#include "runtime/windowing.h"

const int kUntimedTicks = 10;
static bool g_paced = false;  // ticks 16 ms apart, as the focus poll's timer starts them
static bool g_autocopy = false;  // "Copy automatically" on
const int kMaxRounds = 50;

//-----------------------------------------------------------------------------
// The program's window, built from the runtime as the main window is
//-----------------------------------------------------------------------------

static ColorWidgets g_widgets;
static int g_picture;

static int Canvas(const BenchBox& b, int flags) {
  return CreateCanvas(kAutoNumber, g_widgets.wndMain, b.x, b.y, b.width, b.height, flags);
}

static int Field(const BenchBox& b, DWORD style, DWORD exStyle) {
  HWND edit = CreateWindowExW(exStyle, L"EDIT", L"", WS_CHILD | WS_VISIBLE | style, LogicalToDeviceX(b.x),
                              LogicalToDeviceY(b.y), LogicalToDeviceX(b.width), LogicalToDeviceY(b.height),
                              (HWND)WindowHandle(g_widgets.wndMain), nullptr, nullptr, nullptr);
  return RegisterControl(kAutoNumber, edit, g_widgets.wndMain, CONTROL_TEXT_FIELD);
}

static bool MakeProgramWindow() {
  ColorWidgets& w = g_widgets;
  w.wndMain = OpenWindow(kAutoNumber, kBenchWindowX, kBenchWindowY, kBenchClient.width, kBenchClient.height,
                         "Picker tick", Window_SystemMenu);
  if (!w.wndMain) return false;
  const int kDragCanvas = Canvas_ClipMouse | Canvas_Keyboard;
  w.cmdSelector = Canvas(kBenchSelector, Canvas_Keyboard);
  w.imgPaletteCapture = Canvas(kBenchCapture, kDragCanvas | Canvas_Border);
  w.imgPaletteAuto = Canvas(kBenchPalette, kDragCanvas | Canvas_Border);
  w.imgPaletteHistory = Canvas(kBenchHistory, kDragCanvas | Canvas_Border);
  w.imgPaletteCurrent = Canvas(kBenchSwatch, 0);
  w.txtRGB = Field(kBenchCodeField, ES_READONLY, WS_EX_CLIENTEDGE);
  int* strips[3] = {&w.imgPaletteR, &w.imgPaletteG, &w.imgPaletteB};
  int* fields[3] = {&w.txtR, &w.txtG, &w.txtB};
  for (int c = 0; c < 3; c++) {
    *strips[c] = Canvas(BenchStrip(c), kDragCanvas);
    *fields[c] = Field(BenchChannelField(c), ES_NUMBER, 0);
  }
  g_picture = Canvas(kBenchPicture, 0);
  if (!w.imgPaletteCapture || !w.imgPaletteCurrent || !w.txtRGB || !g_picture) return false;
  // The main window's fonts, as start-up loads them.
  int fieldFont = LoadFont("Consolas", kBenchFieldFontPoints), codeFont = LoadFont("Consolas", kBenchCodeFontPoints);
  for (int field : {w.txtR, w.txtG, w.txtB}) SetControlFont(field, FontHandle(fieldFont));
  SetControlFont(w.txtRGB, FontHandle(codeFont));
  if (BeginDrawing(CanvasTarget(g_picture))) {
    for (int y = 0; y < SurfaceHeight(); y++)
      for (int x = 0; x < SurfaceWidth(); x++) WritePixel(x, y, BenchPictureColor(x, y));
    EndDrawing();
  }
  SetColorWidgets(w);
  return true;
}

//-----------------------------------------------------------------------------
// The program's tick, phase by phase
//-----------------------------------------------------------------------------

// The views SetCurrentColor refreshes, each the real refresh between two
// marks of the clock. Every timed tick brings a new colour, so the redraw
// cache that RefreshChannelViews checks first would never skip: its two
// halves are called directly, to be timed apart.
static BenchClock* g_clock;

static void TimedSwatch(int color, bool force) {
  MarkPhase(g_clock, PHASE_CAPTURE);
  RefreshCurrentSwatch(color, force);
  MarkPhase(g_clock, PHASE_SWATCH_AND_TEXT);
}

static void TimedChannelViews(int color, bool force) {
  RefreshChannelFields(color, force);
  MarkPhase(g_clock, PHASE_FIELDS);
  DrawChannelStrips(color);
  MarkPhase(g_clock, PHASE_STRIPS);
}

static void ProgramTick(BenchClock* clock) {
  g_clock = clock;
  CaptureScreen(true);
  MarkPhase(clock, PHASE_MAGNIFY);
  PumpMessages();
  MarkPhase(clock, PHASE_REPAINT);
}

// The top-left pixel of a canvas's surface, read from the bitmap's memory
// without a drawing context, which would show the surface once more.
static int SurfaceTopLeft(int canvas) {
  DIBSECTION section;
  HBITMAP surface = (HBITMAP)ReadCanvasAttribute(canvas, SurfaceImage);
  if (!surface || GetObjectW(surface, sizeof section, &section) != (int)sizeof section || !section.dsBm.bmBits)
    return -1;
  GdiFlush();
  const unsigned char* top = (const unsigned char*)section.dsBm.bmBits +
                             (size_t)(section.dsBm.bmHeight - 1) * section.dsBm.bmWidthBytes;  // bottom-up
  return top[2] | top[1] << 8 | top[0] << 16;
}

// Whether the tick showed the colour at picture point `at` everywhere:
// the current colour, the swatch, txtRGB and the three fields (and the
// clipboard, when copying automatically).
static bool ProgramPicked(POINT at, int previous) {
  int color = BenchPictureColor(at.x, at.y);
  if (CONFIG.Color != color || !((color ^ previous) & 0xFF) || !((color ^ previous) & 0xFF00) ||
      !((color ^ previous) & 0xFF0000))
    return false;
  char code[8];
  snprintf(code, sizeof code, "#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
  wchar_t wideCode[8];
  swprintf(wideCode, 8, L"%hs", code);
  if (g_autocopy && !ClipboardHolds(wideCode)) return false;
  return SurfaceTopLeft(g_widgets.imgPaletteCurrent) == color && ControlText(g_widgets.txtRGB) == code &&
         ControlText(g_widgets.txtR) == std::to_string(color & 0xFF) &&
         ControlText(g_widgets.txtG) == std::to_string((color >> 8) & 0xFF) &&
         ControlText(g_widgets.txtB) == std::to_string((color >> 16) & 0xFF);
}

static bool RunProgramRound(int ticks, BenchStats* stats, std::vector<double>* tickMs) {
  HWND window = (HWND)WindowHandle(g_widgets.wndMain);
  HWND picture = (HWND)ControlHandle(g_picture);
  RECT surface;
  GetClientRect(picture, &surface);
  POINT origin = {0, 0};
  ClientToScreen(picture, &origin);
  if (!WaitUntilInFront(window, origin, surface.right, surface.bottom)) {
    fprintf(stderr, "program: the window does not come to the front\n");
    return false;
  }
  GProgram->views = ColorViews{TimedSwatch, TimedChannelViews, nullptr, nullptr, PutClipboardText};
  *stats = BenchStats{};
  int previous = -1;
  for (int i = 0; stats->ticks < ticks; i++) {
    POINT at = BenchPathPoint(i);
    WaitForTickStart(g_paced);
    if (!PlacePointer(POINT{origin.x + at.x, origin.y + at.y}) || TooManyMisses(stats->misses, ticks)) {
      fprintf(stderr, "program: the pointer does not stay where it is put\n");
      return false;
    }
    BenchClock clock;
    StartBenchClock(&clock);
    ProgramTick(&clock);
    bool fresh = ProgramPicked(at, previous);
    previous = CONFIG.Color;
    if (i < kUntimedTicks) continue;
    if (fresh) AddTick(stats, clock, tickMs);
    else stats->misses++;
  }
  SetColorWidgets(g_widgets);  // the real views again
  return true;
}

//-----------------------------------------------------------------------------
// The floor, a process of its own
//-----------------------------------------------------------------------------

static bool FloorPath(wchar_t* path, int capacity) {
  DWORD length = GetModuleFileNameW(nullptr, path, (DWORD)capacity);
  if (length == 0 || length >= (DWORD)capacity) return false;
  wchar_t* name = path;
  for (wchar_t* p = path; *p; p++)
    if (*p == L'\\' || *p == L'/') name = p + 1;
  const wchar_t kFloor[] = L"picker_tick_floor.exe";
  if ((name - path) + (int)wcslen(kFloor) >= capacity) return false;
  wcscpy(name, kFloor);
  return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// Runs the floor for `ticks` timed ticks and reads its line. This window's
// messages are taken in meanwhile, so the floor's activation never waits on it.
static bool RunFloorRound(const wchar_t* floor, int ticks, BenchStats* stats, std::vector<double>* tickMs) {
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  HANDLE readEnd, writeEnd;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 1 << 16)) return false;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  wchar_t commandLine[2 * MAX_PATH];
  _snwprintf(commandLine, 2 * MAX_PATH, L"\"%ls\" %d %d%ls%ls", floor, ticks, kUntimedTicks, g_paced ? L" paced" : L"",
             g_autocopy ? L" autocopy" : L"");
  commandLine[2 * MAX_PATH - 1] = 0;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process = {};
  BOOL started = CreateProcessW(floor, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    fprintf(stderr, "cannot start the floor (error %lu)\n", GetLastError());
    return false;
  }
  CloseHandle(process.hThread);
  std::string output;
  char buffer[4096];
  DWORD got, available;
  DWORD start = GetTickCount();
  bool ended = false;
  while (!ended && GetTickCount() - start < 300000) {
    DWORD waited = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT);
    if (waited == WAIT_OBJECT_0) ended = true;
    PumpMessages();
    // Taken in as it comes, so a long output never fills the pipe and stops the floor.
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
           ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
      output.append(buffer, got);
  }
  if (!ended) TerminateProcess(process.hProcess, 1);
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
  CloseHandle(readEnd);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  *stats = BenchStats{};
  if (!ended || exitCode != 0 || !ReadStatsLine(output.c_str(), "FLOOR", stats)) {
    fprintf(stderr, "the floor failed (exit code %lu): %s\n", exitCode, output.c_str());
    return false;
  }
  ReadTickTimesLine(output.c_str(), tickMs);
  return true;
}

//-----------------------------------------------------------------------------
// Summary
//-----------------------------------------------------------------------------

static double MeanMs(const BenchStats& s) { return s.ticks ? s.totalMs / s.ticks : 0; }
static double PhaseMeanMs(const BenchStats& s, int phase) { return s.ticks ? s.phaseMs[phase] / s.ticks : 0; }
static const char* Verdict(bool met) { return met ? "PASS" : "MISS"; }

static double MedianMs(std::vector<double> ms) {
  if (ms.empty()) return 0;
  std::sort(ms.begin(), ms.end());
  size_t n = ms.size();
  return n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
}

// The tick time that 99 in 100 ticks stay within.
static double Percentile99Ms(std::vector<double> ms) {
  if (ms.empty()) return 0;
  std::sort(ms.begin(), ms.end());
  return ms[(ms.size() - 1) * 99 / 100];
}

static int TicksOver(const std::vector<double>& ms, double limit) {
  int over = 0;
  for (double m : ms) over += m > limit;
  return over;
}

static void PrintSummary(int rounds, int ticks, const BenchStats* floorRounds, const BenchStats* programRounds,
                         const std::vector<double>& floorTicks, const std::vector<double>& programTicks) {
  BenchStats floor = {}, program = {};
  printf("Live picker tick: %d rounds of %d timed ticks each (after %d untimed), floor and program alternating,"
         " ticks %s, %s\n",
         rounds, ticks, kUntimedTicks, g_paced ? "16 ms apart" : "back to back",
         g_autocopy ? "\"Copy automatically\" on (the copy counts in the capture phase)" : "\"Copy automatically\" off");
  printf("%-7s %10s %10s %7s %10s %10s\n", "round", "floor ms", "program ms", "ratio", "floor", "program");
  printf("%-7s %10s %10s %7s %10s %10s\n", "", "mean", "mean", "", "worst ms", "worst ms");
  for (int r = 0; r < rounds; r++) {
    const BenchStats &f = floorRounds[r], &p = programRounds[r];
    printf("%-7d %10.3f %10.3f %7.2f %10.3f %10.3f\n", r + 1, MeanMs(f), MeanMs(p), MeanMs(p) / MeanMs(f), f.worstMs,
           p.worstMs);
    AddStats(&floor, f);
    AddStats(&program, p);
  }
  printf("%-7s %10.3f %10.3f %7.2f %10.3f %10.3f\n", "all", MeanMs(floor), MeanMs(program),
         MeanMs(program) / MeanMs(floor), floor.worstMs, program.worstMs);

  printf("split by phase, mean ms per tick:\n");
  printf("  %-16s %8s %8s\n", "", "floor", "program");
  const int kPrintOrder[PHASE_COUNT] = {PHASE_CAPTURE, PHASE_MAGNIFY, PHASE_SWATCH_AND_TEXT,
                                        PHASE_FIELDS,  PHASE_STRIPS,  PHASE_REPAINT};
  for (int phase : kPrintOrder)
    printf("  %-16s %8.3f %8.3f\n", BenchPhaseName(phase), PhaseMeanMs(floor, phase), PhaseMeanMs(program, phase));

  double ratio = MeanMs(program) / MeanMs(floor);
  double worstRatio = program.worstMs / MeanMs(program);
  printf("tick ratio     %5.2f, target <= 1.10   %s\n", ratio, Verdict(ratio <= 1.1));
  printf("  (medians: floor %.3f ms, program %.3f ms, ratio %.2f; a load on the machine moves the means more)\n",
         MedianMs(floorTicks), MedianMs(programTicks), MedianMs(programTicks) / MedianMs(floorTicks));
  printf("worst tick     %5.2f x the program's mean, target <= 4   %s (the floor's: %.2f x its mean)\n", worstRatio,
         Verdict(worstRatio <= 4.0), floor.worstMs / MeanMs(floor));
  printf("  (ticks over 4 x their mean: floor %d of %d, program %d of %d; 99 in 100 ticks within: floor %.3f ms,"
         " program %.3f ms)\n",
         TicksOver(floorTicks, 4 * MeanMs(floor)), (int)floorTicks.size(), TicksOver(programTicks, 4 * MeanMs(program)),
         (int)programTicks.size(), Percentile99Ms(floorTicks), Percentile99Ms(programTicks));
  printf("share of the 16 ms period: floor %.1f%%, program %.1f%%\n", MeanMs(floor) / 16.0 * 100.0,
         MeanMs(program) / 16.0 * 100.0);
  printf("ticks that did not pick the new colour under the pointer (not counted): floor %d, program %d\n",
         floor.misses, program.misses);
}

//-----------------------------------------------------------------------------
// Entry
//-----------------------------------------------------------------------------

static BenchStats g_floorRounds[kMaxRounds], g_programRounds[kMaxRounds];
static std::vector<double> g_floorTicks, g_programTicks;

int main(int argc, char** argv) {
  int rounds = argc > 1 ? atoi(argv[1]) : 10, ticks = argc > 2 ? atoi(argv[2]) : 100;
  for (int i = 3; i < argc; i++) {
    g_paced = g_paced || strcmp(argv[i], "paced") == 0;
    g_autocopy = g_autocopy || strcmp(argv[i], "autocopy") == 0;
  }
  if (rounds < 1) rounds = 1;
  if (rounds > kMaxRounds) rounds = kMaxRounds;
  if (ticks < 1) ticks = 1;
  wchar_t floor[MAX_PATH];
  if (!FloorPath(floor, MAX_PATH)) {
    fprintf(stderr, "cannot find picker_tick_floor.exe beside this program\n");
    return 2;
  }
  SetProcessDPIAware();
  InitCommonControls();
  InitWindowing();
  BuildNamedColorMap();
  CONFIG.validityMarker = kSettingsMarker;
  CONFIG.Autocopy = g_autocopy ? 1 : 0;
  if (!MakeProgramWindow()) {
    fprintf(stderr, "cannot make the program's window\n");
    return 1;
  }
  for (int r = 0; r < rounds; r++) {
    bool floorFirst = r % 2 == 0;
    for (int turn = 0; turn < 2; turn++) {
      bool ok = (turn == 0) == floorFirst ? RunFloorRound(floor, ticks, &g_floorRounds[r], &g_floorTicks)
                                          : RunProgramRound(ticks, &g_programRounds[r], &g_programTicks);
      if (!ok) return 1;
    }
  }
  PrintSummary(rounds, ticks, g_floorRounds, g_programRounds, g_floorTicks, g_programTicks);
  CloseAllWindows();
  return 0;
}
