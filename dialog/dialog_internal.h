// Shared by the Win32 files of the dialog platform (dialog/dialog_win.cpp,
// dialog/dialog_controls_win.cpp): where the controls being created go, and
// the creation of a control of an element kind. Windows only (the header
// does not include windows.h).
#pragma once
#include <vector>

#include "dialog/layout.h"

//-----------------------------------------------------------------------------
// Where new controls go
//-----------------------------------------------------------------------------

// One window is built at a time: the one the dialog platform opened last.
struct ControlPlacement {
  int window = 0;                // the window whose controls are being created
  std::vector<void*> openLists;  // HWNDs of the open child lists, innermost last
  bool lastWasOption = false;    // an option after anything else starts a radio group
};
extern ControlPlacement g_placement;

// The HWND new controls go into: the innermost open child list, else the window.
void* NewControlParent();

//-----------------------------------------------------------------------------
// Creating controls (dialog/dialog_controls_win.cpp)
//-----------------------------------------------------------------------------

// The system's control classes and the runtime's widgets are there; false
// when they cannot be registered.
bool ControlClassesReady();
// The control of `request.kind` inside NewControlParent(), entered as a
// control of the window being built; 0 when it cannot be created.
int CreateControlOfKind(const ControlRequest& request);
// Creates and frees a static text at once, which ends the radio group in
// progress: the next option starts a new one.
void EndRadioGroup();
