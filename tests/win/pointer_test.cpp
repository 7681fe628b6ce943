// The system pointer's speed, position and the foreground window, for real.
#include <windows.h>

#include <gtest/gtest.h>

#include "runtime/pointer.h"
#include "runtime/windowing.h"
#include "tests/win/input.h"

TEST(Pointer, SpeedRoundTripsAndIsClamped) {
  int saved = SystemMouseSpeed();
  ASSERT_GE(saved, 1);
  ASSERT_TRUE(SetSystemMouseSpeed(3));
  EXPECT_EQ(SystemMouseSpeed(), 3);
  ASSERT_TRUE(SetSystemMouseSpeed(0));  // never 0: the pointer would stop
  EXPECT_EQ(SystemMouseSpeed(), 1);
  ASSERT_TRUE(SetSystemMouseSpeed(saved));
  EXPECT_EQ(SystemMouseSpeed(), saved);
}

TEST(Pointer, PositionFollowsTheSystemCursor) {
  // Moving the pointer by program is honoured for the application in front.
  InitWindowing();
  int window = OpenWindow(kAutoNumber, 50, 50, 200, 100, "Front", Window_SystemMenu);
  SetForegroundWindow((HWND)WindowHandle(window));
  // Waits until the pointer rests there, moving it again when an echo of an
  // earlier position put it back.
  for (POINT p : {POINT{321, 234}, POINT{17, 301}}) {
    ASSERT_TRUE(PointAtScreen(p));
    int x = 0, y = 0;
    ASSERT_TRUE(PointerScreenPosition(&x, &y));
    EXPECT_EQ(x, p.x);
    EXPECT_EQ(y, p.y);
  }
  CloseWindow(window);
}

TEST(Pointer, ForegroundWindowIsOursOnlyWhileInFront) {
  InitWindowing();
  int window = OpenWindow(kAutoNumber, 50, 50, 200, 100, "Front", Window_SystemMenu);
  ASSERT_GT(window, 0);
  SetForegroundWindow((HWND)WindowHandle(window));
  EXPECT_EQ(ForegroundWindowNumber(), window);
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300,
                               100, 100, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  EXPECT_EQ(ForegroundWindowNumber(), 0);
  DestroyWindow(other);
  CloseWindow(window);
}
