// The system pointer's speed, position and the foreground window, for real.
#include <windows.h>

#include <gtest/gtest.h>

#include "runtime/pointer.h"
#include "runtime/windows.h"

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
  int window = OpenWindow(kAutoNumber, 50, 50, 200, 100, "Front", WINDOW_SYSTEM_MENU);
  SetForegroundWindow((HWND)WindowHandle(window));
  ASSERT_TRUE(SetCursorPos(321, 234));
  int x = 0, y = 0;
  // On a busy machine the move can take a moment to reach the system.
  for (DWORD start = GetTickCount(); GetTickCount() - start < 2000; Sleep(10)) {
    ASSERT_TRUE(PointerScreenPosition(&x, &y));
    if (x == 321 && y == 234) break;
  }
  EXPECT_EQ(x, 321);
  EXPECT_EQ(y, 234);
  CloseWindow(window);
}

TEST(Pointer, ForegroundWindowIsOursOnlyWhileInFront) {
  InitWindowing();
  int window = OpenWindow(kAutoNumber, 50, 50, 200, 100, "Front", WINDOW_SYSTEM_MENU);
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
