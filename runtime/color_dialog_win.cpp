#include "runtime/win32_internal.h"  // windows.h first

#include <commdlg.h>

#include "runtime/color_dialog.h"
#include "runtime/windowing.h"

// The custom colours live for the run, as the user arranged them.
static COLORREF g_customColors[16];

bool ChooseSystemColor(int ownerWindow, int initial, int* chosen) {
  // The dialog library is loaded when the dialog is first opened, not at
  // every start.
  typedef BOOL(WINAPI * ChooseColorFunction)(CHOOSECOLORW*);
  auto chooseColor = (ChooseColorFunction)(void*)SystemProcedure(L"comdlg32.dll", "ChooseColorW");
  if (!chooseColor) return false;
  // A colour value is laid out like a COLORREF: red in the low byte.
  COLORREF start = (COLORREF)initial & 0xFFFFFF;
  g_customColors[0] = start;
  CHOOSECOLORW cc = {sizeof cc};
  cc.hwndOwner = (HWND)WindowHandle(ownerWindow);
  cc.rgbResult = start;
  cc.lpCustColors = g_customColors;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
  if (!chooseColor(&cc)) return false;
  *chosen = (int)(cc.rgbResult & 0xFFFFFF);
  return true;
}
