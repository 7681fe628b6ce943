// Loading and saving the settings file through the Win32 file API.
#include <windows.h>

#include "runtime/settings.h"
#include "runtime/win_text.h"

void LoadSettings(const char* fileName) {
  std::wstring name = Utf8ToWide(fileName);
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &info)) return;
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
  uint64_t size = (uint64_t)info.nFileSizeHigh << 32 | info.nFileSizeLow;
  if (size < 8 || size > MaxSettingsFileSize()) return;

  // Read and write access with no sharing: a file held by another process, or
  // a read-only one, is not loaded.
  HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  std::vector<unsigned char> data((size_t)size);
  DWORD got = 0;
  BOOL ok = ReadFile(file, data.data(), (DWORD)size, &got, nullptr);
  CloseHandle(file);
  if (!ok || got != size) return;
  DecodeSettingsFile(data.data(), data.size(), &CONFIG);
}

static bool WriteAll(HANDLE file, const unsigned char* data, size_t size) {
  while (size > 0) {
    DWORD wrote = 0;
    if (!WriteFile(file, data, (DWORD)size, &wrote, nullptr) || wrote == 0) return false;
    data += wrote;
    size -= wrote;
  }
  return true;
}

bool SaveSettings(const char* fileName) {
  std::vector<unsigned char> image = EncodeSettingsFile(CONFIG);
  if (image.empty()) return false;

  std::wstring name = Utf8ToWide(fileName);
  std::wstring temp = name + L".tmp";
  SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool written = WriteAll(file, image.data(), image.size()) && FlushFileBuffers(file);
  if (!CloseHandle(file)) written = false;
  if (!written) {
    DeleteFileW(temp.c_str());
    return false;
  }

  // A read-only settings file is replaced by a writable one; if the replace
  // fails, the old file gets its attributes back.
  DWORD oldAttributes = GetFileAttributesW(name.c_str());
  if (oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(name.c_str(), oldAttributes & ~FILE_ATTRIBUTE_READONLY);
  if (!MoveFileExW(temp.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    if (oldAttributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(name.c_str(), oldAttributes);
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}
