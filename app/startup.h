// The process entry sequence and the main window's run. Windows only.
// The two fonts, FontNormal and FontLarge, are fields of the program context
// (app/program_context.h).
#pragma once

// The exit code of a start whose main window could not be opened.
const int kExitNoMainWindow = 2;

// Loads the settings or applies the defaults, runs the main window and saves
// the settings on the way out. Returns the process exit code: 0, or
// kExitNoMainWindow at once, with nothing saved, when the window cannot be
// opened (out of desktop heap, a control class missing).
int RunMainWindow();

// Start-up, RunMainWindow, shut-down. Returns the process exit code.
int ProgramMain();
