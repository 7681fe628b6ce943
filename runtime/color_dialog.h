// The system's colour-choice dialog. Windows only (the header does not
// include windows.h).
#pragma once

// Opens the modal colour dialog over `ownerWindow` (a window number, or 0),
// starting at `initial`, which also becomes the first of the 16 custom
// colours; the other custom colours keep what the user left in them during
// this run. Returns true and the chosen colour value when the user confirms.
bool ChooseSystemColor(int ownerWindow, int initial, int* chosen);
