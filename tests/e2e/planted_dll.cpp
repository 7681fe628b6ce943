// A stranger's DLL, dropped beside the program or into its current folder
// under the name of a library the program uses. Whatever process loads it,
// it leaves a marker beside itself, NAME.dll.loaded, naming the process.
// It exports one function, which does nothing, so that a library can import
// it (needs_dependency.cpp).
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t marker[MAX_PATH + 8], program[MAX_PATH];
  DWORD length = GetModuleFileNameW(self, marker, MAX_PATH);
  if (!length || length >= MAX_PATH) return TRUE;
  lstrcpyW(marker + length, L".loaded");
  DWORD programLength = GetModuleFileNameW(nullptr, program, MAX_PATH);
  HANDLE file = CreateFileW(marker, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TRUE;
  DWORD written = 0;
  WriteFile(file, program, programLength * sizeof(wchar_t), &written, nullptr);
  CloseHandle(file);
  return TRUE;
}

extern "C" __declspec(dllexport) int PlantedDllFunction() { return 1; }
