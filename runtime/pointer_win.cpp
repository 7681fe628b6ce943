#include <windows.h>

#include "runtime/pointer.h"
#include "runtime/windowing.h"

int SystemMouseSpeed() {
  int speed = 0;
  if (!SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0)) return 0;
  return speed;
}

bool SetSystemMouseSpeed(int speed) {
  if (speed < 1) speed = 1;
  if (speed > 20) speed = 20;
  // The speed belongs in pvParam; some implementations read uiParam instead,
  // so it goes in both. No SPIF_UPDATEINIFILE: a crash while slowed must not
  // leave the user's saved setting slow.
  return SystemParametersInfoW(SPI_SETMOUSESPEED, (UINT)speed, (void*)(INT_PTR)speed,
                               SPIF_SENDCHANGE) != 0;
}

bool PointerScreenPosition(int* x, int* y) {
  POINT p;
  if (!GetCursorPos(&p)) return false;
  *x = p.x;
  *y = p.y;
  return true;
}

bool MovePointerBy(int dx, int dy) {
  POINT p;
  return GetCursorPos(&p) && SetCursorPos(p.x + dx, p.y + dy);
}

bool MovePointerTo(int x, int y) { return SetCursorPos(x, y) != 0; }

int ForegroundWindowNumber() { return WindowNumberOf(GetForegroundWindow()); }
