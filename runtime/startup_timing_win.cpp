// The start-up stamps on Win32, in the builds made for the start-up
// benchmark only (runtime/startup_timing.h).
#include <windows.h>

#include <stdio.h>

#include "runtime/startup_timing.h"

static LONGLONG g_stamps[STEP_COUNT];  // 0: not reached

// One line each, written at once: the benchmark reads them after the process has ended.
static void WriteStamps() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!out || out == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  char text[64 * (STEP_COUNT + 1)];
  int length = snprintf(text, sizeof text, "frequency %lld\n", (long long)frequency.QuadPart);
  for (int step = 0; step < STEP_COUNT; step++)
    if (g_stamps[step] && length < (int)sizeof text)
      length += snprintf(text + length, sizeof text - length, "%d %lld\n", step, (long long)g_stamps[step]);
  DWORD written;
  if (length > 0) WriteFile(out, text, (DWORD)(length < (int)sizeof text ? length : (int)sizeof text - 1), &written, nullptr);
}

void MarkStartupStep(StartupStep step) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  // The start-up's own stamps only: the steps that run again later (a
  // change of scale draws every view and the face once more) keep them.
  if (step < 0 || step >= STEP_COUNT || g_stamps[step]) return;
  g_stamps[step] = now.QuadPart;
  if (step == STEP_PICKER_FACE) WriteStamps();
}
