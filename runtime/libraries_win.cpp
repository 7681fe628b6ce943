// DLLs loaded at run time: system libraries from the system folder only,
// third-party ones from the program's own folder only.
//
// Windows looks for a DLL named without a path in the program's folder
// first, and may look in the current folder, unless it is one of the
// system's known DLLs. A program run from a downloads folder must not load
// whatever lies beside it.
#include "runtime/win32_internal.h"  // windows.h first

#include <string>

#include "runtime/libraries.h"

void KeepLibrariesToSystemFolder() {
  // Looked up at run time: Windows 7 has the call only with an update. Where
  // it is missing, every load of ours names the system folder's path itself.
  typedef BOOL(WINAPI * SetDefaultDirectories)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto setDefault = kernel ? (SetDefaultDirectories)(void*)GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // The current folder out of the search too, where the call above is missing.
  SetDllDirectoryW(L"");
}

// `name` in `folder` (which ends in a backslash); empty when too long.
static std::wstring PathIn(const wchar_t* folder, size_t folderLength, const wchar_t* name) {
  if (!folderLength || folderLength >= MAX_PATH) return std::wstring();
  return std::wstring(folder, folderLength) + name;
}

// Where the search flags are missing (Windows 7 without its update), a
// library loaded by full path with LOAD_WITH_ALTERED_SEARCH_PATH has its own
// dependencies looked for in its folder, the system folders and at last in
// every folder of PATH, where anyone may have put a file. For that one load
// PATH names the system folder alone, and then gets its value back.
HMODULE LoadLibraryKeepingPathOut(const std::wstring& path) {
  wchar_t system[MAX_PATH];
  UINT systemLength = GetSystemDirectoryW(system, MAX_PATH);
  if (!systemLength || systemLength >= MAX_PATH) return nullptr;
  DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  std::wstring saved(size, L'\0');
  bool had = size && GetEnvironmentVariableW(L"PATH", &saved[0], size) == size - 1;
  if (had) saved.resize(size - 1);
  if (size && !had) return nullptr;  // PATH could not be read, so could not be given back
  SetEnvironmentVariableW(L"PATH", system);
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  DWORD error = GetLastError();
  SetEnvironmentVariableW(L"PATH", had ? saved.c_str() : nullptr);
  SetLastError(error);
  return module;
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  // A system without the search flags: the full path in the system folder.
  wchar_t folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH - 1);
  if (!length || length >= MAX_PATH - 1) return nullptr;
  folder[length++] = L'\\';
  std::wstring path = PathIn(folder, length, name);
  return path.empty() ? nullptr : LoadLibraryKeepingPathOut(path);
}

HMODULE LoadProgramLibrary(const wchar_t* name) {
  wchar_t program[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  if (!length || length >= MAX_PATH) return nullptr;
  while (length && program[length - 1] != L'\\') length--;
  std::wstring path = PathIn(program, length, name);
  if (path.empty()) return nullptr;
  // Its own dependencies from its folder or the system folder, never the current one.
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  return LoadLibraryKeepingPathOut(path);
}

FARPROC SystemProcedure(const wchar_t* library, const char* name) {
  HMODULE module = GetModuleHandleW(library);
  if (!module) module = LoadSystemLibrary(library);
  return module ? GetProcAddress(module, name) : nullptr;
}
