// The process entry sequence and the main window's run. Windows only.
#pragma once

extern int FontNormal;  // "Consolas" 9 pt, 0 when it could not be loaded
extern int FontLarge;   // "Consolas" 11 pt

// Loads the settings or applies the defaults, runs the main window and saves
// the settings on the way out.
void RunMainWindow();

// Start-up, RunMainWindow, shut-down. Returns the process exit code.
int ProgramMain();
