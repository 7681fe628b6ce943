// Answers the system colour dialog the way a user would, by its controls,
// from a thread timer that fires inside the dialog's own message loop.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

struct DialogAnswer {
  int action;             // IDOK or IDCANCEL
  const wchar_t* redText;  // typed into the red field first, or null
};

inline DialogAnswer g_dialogAnswer;

// How long a colour dialog may be up, answered or not, before the test gives
// up on it: it fails and the dialog is ended, instead of waiting for ctest's
// time limit.
const DWORD kDialogAnswerLimitMs = 5000;
inline HWND g_dialogSeen = nullptr;
inline DWORD g_dialogSeenAt = 0;

inline BOOL CALLBACK FindColorDialog(HWND hwnd, LPARAM out) {
  wchar_t cls[16];
  GetClassNameW(hwnd, cls, 16);
  if (lstrcmpW(cls, L"#32770") == 0) {
    *(HWND*)out = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Answers every colour dialog that comes up, each once, with the answer set
// last: a dialog never waits for a user who is not there.
inline void CALLBACK AnswerDialogTick(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindColorDialog, (LPARAM)&dialog);
  if (dialog != g_dialogSeen) g_dialogSeenAt = GetTickCount();
  g_dialogSeen = dialog;
  if (!dialog) return;
  bool visible = IsWindowVisible(dialog), answered = GetPropW(dialog, L"TintvaneAnswered") != nullptr;
  if (GetTickCount() - g_dialogSeenAt > kDialogAnswerLimitMs) {
    ADD_FAILURE() << (!visible   ? "the colour dialog never became visible"
                      : answered ? "the colour dialog did not close on its answer"
                                 : "the colour dialog was not answered")
                  << " within " << kDialogAnswerLimitMs / 1000 << " s; ending it";
    g_dialogSeen = nullptr;
    EndDialog(dialog, IDCANCEL);
    return;
  }
  if (!visible || answered) return;  // not up yet: the next tick tries again
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
