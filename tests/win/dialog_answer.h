// Answers the system colour dialog the way a user would, by its controls,
// from a thread timer that fires inside the dialog's own message loop.
#pragma once
#include <windows.h>

struct DialogAnswer {
  int action;             // IDOK or IDCANCEL
  const wchar_t* redText;  // typed into the red field first, or null
};

inline DialogAnswer g_dialogAnswer;

inline BOOL CALLBACK FindVisibleDialog(HWND hwnd, LPARAM out) {
  wchar_t cls[16];
  GetClassNameW(hwnd, cls, 16);
  if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) {
    *(HWND*)out = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Answers every colour dialog that comes up, each once, with the answer set
// last: a dialog never waits for a user who is not there.
inline void CALLBACK AnswerDialogTick(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindVisibleDialog, (LPARAM)&dialog);
  if (!dialog || GetPropW(dialog, L"TintvaneAnswered")) return;  // not up yet: the next tick tries again
  SetPropW(dialog, L"TintvaneAnswered", (HANDLE)1);
  if (g_dialogAnswer.redText) {
    // The red field of the fully opened dialog; typing in it changes the colour.
    HWND red = GetDlgItem(dialog, 706);
    SetWindowTextW(red, g_dialogAnswer.redText);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(706, EN_UPDATE), (LPARAM)red);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(706, EN_CHANGE), (LPARAM)red);
  }
  int action = g_dialogAnswer.action;
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(action, BN_CLICKED), (LPARAM)GetDlgItem(dialog, action));
}

// The colour dialogs this thread opens from now on get this answer.
inline void AnswerNextColorDialog(int action, const wchar_t* redText) {
  static UINT_PTR timer = 0;
  g_dialogAnswer = {action, redText};
  if (!timer) timer = SetTimer(nullptr, 0, 20, AnswerDialogTick);
}
