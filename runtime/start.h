// The runtime's start: the system's controls, the display scale and the
// random generator's seed. Windows only (the header does not include windows.h).
#pragma once

// Registers the common control classes, reads the display scale (logical
// units to pixels, for every length) and seeds the random generator from the
// clock and the process. Called once, before any window is opened.
void StartRuntime();
