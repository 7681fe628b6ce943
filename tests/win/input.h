// Real input for Windows tests: mouse buttons and keys through SendInput, the
// system cursor placed over a control.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include "runtime/windowing.h"

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

// Lets go of the mouse buttons and modifier keys that are still down, so a
// test that failed while holding them does not spoil the tests after it.
inline void ReleaseHeldInput() {
  for (WORD key : {VK_CONTROL, VK_SHIFT, VK_MENU})
    if (GetAsyncKeyState(key) < 0) SendKeys({{key, true}});
  if (GetAsyncKeyState(VK_LBUTTON) < 0) SendMouse({MOUSEEVENTF_LEFTUP});
  if (GetAsyncKeyState(VK_RBUTTON) < 0) SendMouse({MOUSEEVENTF_RIGHTUP});
}

// Places the system cursor at screen point p, in device pixels. The platform
// honours it while a window of the process is in front. Returns once the
// pointer rests there (or as near as a confinement allows): on a busy
// machine the move can lag behind the call, and under a virtual display a
// late echo of an earlier position can move the pointer back, so the
// position must hold through two quiet checks with pending input taken in.
inline ::testing::AssertionResult PointAtScreen(POINT p) {
  RECT clip;
  GetClipCursor(&clip);
  POINT want = {std::max(clip.left, std::min(p.x, clip.right - 1)),
                std::max(clip.top, std::min(p.y, clip.bottom - 1))};
  POINT now = {};
  int restingChecks = 0, misses = 0;
  SetCursorPos(p.x, p.y);
  for (DWORD start = GetTickCount(); GetTickCount() - start < 5000 && restingChecks < 2;) {
    Sleep(15);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // lets the system take in pending pointer input
    bool resting = GetCursorPos(&now) && now.x == want.x && now.y == want.y;
    restingChecks = resting ? restingChecks + 1 : 0;
    if (resting) continue;
    // Set it again. Rarely the system believes the pointer is there while the
    // display shows it elsewhere, and setting the same position does nothing:
    // after a run of misses, step off once and come back.
    if (++misses % 8 == 0) {
      SetCursorPos(p.x > 0 ? p.x - 1 : p.x + 1, p.y);
      Sleep(15);
    }
    SetCursorPos(p.x, p.y);
  }
  if (restingChecks == 2) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pointer at " << now.x << "," << now.y << " for " << want.x << "," << want.y;
}

// The same for client point (x, y), in device pixels, of the control.
inline ::testing::AssertionResult PointAt(int control, int x, int y) {
  POINT p = {x, y};
  ClientToScreen((HWND)ControlHandle(control), &p);
  return PointAtScreen(p);
}

// Moves the pointer to client point (x, y) of the control as a mouse would,
// through the input queue: the move arrives in order with the other input.
// The same to the screen pixel (x, y).
inline void SlidePointerToScreen(int x, int y) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  // The middle of the pixel, so that any rounding of dx * width / 65536 lands on it.
  in.mi.dx = ((2 * x + 1) * 65536) / (2 * width);
  in.mi.dy = ((2 * y + 1) * 65536) / (2 * height);
  SendInput(1, &in, sizeof in);
}

inline void SlidePointerTo(int control, int x, int y) {
  POINT p = {x, y};
  ClientToScreen((HWND)ControlHandle(control), &p);
  SlidePointerToScreen(p.x, p.y);
}
