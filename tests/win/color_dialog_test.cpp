// The system colour dialog, answered the way a user would: by its controls.
#include <windows.h>

#include <gtest/gtest.h>

#include "colour/color_dialog.h"

// What the "user" does once the dialog is up.
static int g_action;  // IDOK or IDCANCEL
static const wchar_t* g_redText;

static BOOL CALLBACK FindOurDialog(HWND hwnd, LPARAM out) {
  wchar_t cls[16];
  GetClassNameW(hwnd, cls, 16);
  if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) {
    *(HWND*)out = hwnd;
    return FALSE;
  }
  return TRUE;
}

static void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindOurDialog, (LPARAM)&dialog);
  if (!dialog) return;  // not up yet: the next tick tries again
  KillTimer(nullptr, timer);
  if (g_redText) {
    // The red field of the fully opened dialog; typing in it changes the colour.
    HWND red = GetDlgItem(dialog, 706);
    SetWindowTextW(red, g_redText);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(706, EN_UPDATE), (LPARAM)red);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(706, EN_CHANGE), (LPARAM)red);
  }
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(g_action, BN_CLICKED), (LPARAM)GetDlgItem(dialog, g_action));
}

static bool RunDialog(int action, const wchar_t* redText, int initial, int* chosen) {
  g_action = action;
  g_redText = redText;
  SetTimer(nullptr, 0, 20, AnswerDialog);
  return ChooseSystemColor(0, initial, chosen);
}

TEST(ColorDialog, ConfirmGivesTheColourAndCancelChangesNothing) {
  int chosen = -1;
  ASSERT_TRUE(RunDialog(IDOK, nullptr, 0x3C2B1A, &chosen));
  EXPECT_EQ(chosen, 0x3C2B1A);

  chosen = -1;
  EXPECT_FALSE(RunDialog(IDCANCEL, nullptr, 0x3C2B1A, &chosen));
  EXPECT_EQ(chosen, -1);

  ASSERT_TRUE(RunDialog(IDOK, L"200", 0x3C2B1A, &chosen));
  EXPECT_EQ(chosen, 0x3C2BC8);
}
