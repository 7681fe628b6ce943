// The system pointer: its position, its speed and the foreground window.
// Windows only.
#pragma once

// The system mouse speed (1..20), or 0 when it cannot be read.
int SystemMouseSpeed();
// Sets the system mouse speed for this session only (not saved to the
// user's profile); returns false on failure.
bool SetSystemMouseSpeed(int speed);

// The pointer's hot spot in screen device pixels; false when unknown.
bool PointerScreenPosition(int* x, int* y);
// Moves the system cursor by (dx, dy) screen device pixels, or to (x, y);
// the platform honours it only while a window of this process is in front.
bool MovePointerBy(int dx, int dy);
bool MovePointerTo(int x, int y);

// The window number of the desktop's foreground window, 0 when it is not ours.
int ForegroundWindowNumber();
