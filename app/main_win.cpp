// The process entry. The command line is not read.
#include <windows.h>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return ProgramMain(); }
