// The process entry. The command line is not read.
#include <windows.h>

#include "app/startup.h"
#include "runtime/libraries.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // First of all, before any library is loaded by name: the program may be
  // started from a folder where anyone can drop a file.
  KeepLibrariesToSystemFolder();
  return ProgramMain();
}
