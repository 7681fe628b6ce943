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

HMODULE LoadSystemLibrary(const wchar_t* name) {
  HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  // A system without the search flags: the full path in the system folder.
  wchar_t folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH - 1);
  if (!length || length >= MAX_PATH - 1) return nullptr;
  folder[length++] = L'\\';
  std::wstring path = PathIn(folder, length, name);
  return path.empty() ? nullptr : LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
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
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC SystemProcedure(const wchar_t* library, const char* name) {
  HMODULE module = GetModuleHandleW(library);
  if (!module) module = LoadSystemLibrary(library);
  return module ? GetProcAddress(module, name) : nullptr;
}
