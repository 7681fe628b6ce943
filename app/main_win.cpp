// The process entry, and the executable's load configuration. The command
// line is not read.
#include <windows.h>

#include <stddef.h>

#include "app/startup.h"
#include "runtime/libraries.h"
#include "runtime/startup_timing.h"

// The loader resolves the program's imports, and what they import in turn,
// before its first instruction; a DLL that is not one of the system's known
// DLLs would then be looked for in the program's folder first. Windows 10
// (1607 on) reads DependentLoadFlags from the load configuration for that
// search: the system folder only. These headers name the field Reserved1.
// The structure ends before the SafeSEH fields, so the 32-bit program
// declares no handler table, as without a load configuration; the size
// counts every field up to there. The build enters it in the executable's
// header (scripts/pe_load_config.py), as this linker does not.
static constexpr IMAGE_LOAD_CONFIG_DIRECTORY LoadConfiguration() {
  IMAGE_LOAD_CONFIG_DIRECTORY config{};
  config.Size = offsetof(IMAGE_LOAD_CONFIG_DIRECTORY, SEHandlerTable);
  config.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;  // DependentLoadFlags
  return config;
}
extern "C" const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used = LoadConfiguration();
static_assert(offsetof(IMAGE_LOAD_CONFIG_DIRECTORY, Reserved1) == (sizeof(void*) == 8 ? 78 : 54),
              "DependentLoadFlags where Windows reads it");

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MarkStartupStep(STEP_WINMAIN);
  // First of all, before any library is loaded by name: the program may be
  // started from a folder where anyone can drop a file.
  KeepLibrariesToSystemFolder();
  return ProgramMain();
}
