// Real input for Windows tests: mouse buttons and keys through SendInput, the
// system cursor placed over a control.
#pragma once
#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include "runtime/windows.h"

inline void SendMouse(std::initializer_list<DWORD> actions) {
  std::vector<INPUT> inputs;
  for (DWORD action : actions) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = action;
    inputs.push_back(in);
  }
  SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
}

inline void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {  // (key, released)
  std::vector<INPUT> inputs;
  for (auto key : keys) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key.first;
    in.ki.dwFlags = key.second ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(in);
  }
  SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
}

// Places the system cursor at client point (x, y), in device pixels, of the
// control. The platform honours it while a window of the process is in front.
inline void PointAt(int control, int x, int y) {
  POINT p = {x, y};
  ClientToScreen((HWND)ControlHandle(control), &p);
  // Wait until the system has taken the move (or as near as a confinement
  // allows): on a busy machine it can lag behind the call.
  RECT clip;
  GetClipCursor(&clip);
  POINT want = {std::max(clip.left, std::min(p.x, clip.right - 1)),
                std::max(clip.top, std::min(p.y, clip.bottom - 1))};
  POINT now;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(5)) {
    SetCursorPos(p.x, p.y);
    if (GetCursorPos(&now) && now.x == want.x && now.y == want.y) return;
  }
}

// Moves the pointer to client point (x, y) of the control as a mouse would,
// through the input queue: the move arrives in order with the other input.
inline void SlidePointerTo(int control, int x, int y) {
  POINT p = {x, y};
  ClientToScreen((HWND)ControlHandle(control), &p);
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in.mi.dx = (p.x * 65536 + width - 1) / width;  // the screen pixel is dx * width / 65536
  in.mi.dy = (p.y * 65536 + height - 1) / height;
  SendInput(1, &in, sizeof in);
}
