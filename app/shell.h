// The application shell on the runtime's windows: the main window, its event
// loop and the options menu. Windows only (the header does not include
// windows.h).
#pragma once

// Window timers of the main window.
const int TimerFocusPoll = 7340134;     // every 16 ms: the live picker, drags that lost their release
const int TimerSelectorSkin = 7536756;  // once, 1 ms after start-up: the picker button's face

//-----------------------------------------------------------------------------
// Main window
//-----------------------------------------------------------------------------

// Opens the main window from its description, gives the controls their
// first state, places the window where the settings say (keeping it
// reachable), shows every view for the current colour and starts the timers.
// False when the window cannot be opened: nothing is shown then. The
// control numbers go into the program context's control record.
bool BuildMainWindow();

// Switches between the full inner height (a `fullHeight` other than 0 also
// becomes the full height) and the height that ends just above the name list.
void SetExpanded(int expanded, int fullHeight);

// The picker button takes the face of the native button beside it, with the
// picker icon over it; the native button is then hidden.
void PaintSelectorSkin();

//-----------------------------------------------------------------------------
// Event loop
//-----------------------------------------------------------------------------

// Handles the main window's events until it is closed; the settings are
// saved on the way out.
void RunEventLoop();

//-----------------------------------------------------------------------------
// Options menu
//-----------------------------------------------------------------------------

// Builds the options menu (kOptionsMenuNumber) from the settings and shows it
// under cmdOptions; a chosen item comes to the event loop as a menu event.
void ShowOptionsMenu();
// Carries out a chosen item of the options menu, the menu event's type.
void OnOptionsMenu(int item);
