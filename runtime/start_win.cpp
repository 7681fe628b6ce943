// The runtime's start on Win32.
#include <windows.h>
#include <commctrl.h>

#include <stdint.h>

#include "runtime/random.h"
#include "runtime/start.h"
#include "runtime/windowing.h"

void StartRuntime() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  InitWindowing();  // the one display scale: logical units to pixels, for every length
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  SeedRandom((uint64_t)counter.QuadPart ^ ((uint64_t)GetCurrentProcessId() << 32));
}
