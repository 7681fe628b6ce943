// The main window's description text and the named values it refers to.
// The text is embedded byte for byte from resources/main_window.xml (the
// build generates its source). No operating system here.
#pragma once
#include <stddef.h>

extern const char kMainWindowDescription[];  // followed by a NUL byte
extern const size_t kMainWindowDescriptionLength;

// Enters the 25 layout values as signed 32-bit variables (type code 21) into
// the named runtime values, in the order the main window's build uses:
// DPIx10 to DPIx13, DPIx1 to DPIx9, DPIy10 to DPIy12, DPIy1 to DPIy9.
void RegisterLayoutValues();
