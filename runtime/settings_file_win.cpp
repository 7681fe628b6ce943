// Loading and saving the settings file through the Win32 file API.
#include <windows.h>

#include "runtime/settings.h"
#include "runtime/win_text.h"

// A holder that shares nothing (a scanner or a backup tool reading the file)
// usually lets go within a moment: the open is tried again for about a second.
const DWORD kSharingWaitMs = 1000;
const DWORD kSharingRetryMs = 50;

static HANDLE OpenForReading(const std::wstring& name) {
  DWORD start = GetTickCount();
  for (;;) {
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION ||
        GetTickCount() - start >= kSharingWaitMs)
      return file;
    Sleep(kSharingRetryMs);
  }
}

static bool NotFound(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

SettingsFileState LoadSettings(const char* fileName, void* record, const RecordDescriptor& desc) {
  std::wstring name = Utf8ToWide(fileName);
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &info))
    return NotFound(GetLastError()) ? SETTINGS_FILE_MISSING : SETTINGS_FILE_UNREADABLE;
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return SETTINGS_FILE_UNREADABLE;

  HANDLE file = OpenForReading(name);
  if (file == INVALID_HANDLE_VALUE)
    return NotFound(GetLastError()) ? SETTINGS_FILE_MISSING : SETTINGS_FILE_UNREADABLE;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) {
    CloseHandle(file);
    return SETTINGS_FILE_UNREADABLE;
  }
  // Too short or too long to hold settings: known unusable without reading it.
  if (size.QuadPart < 8 || (uint64_t)size.QuadPart > MaxSettingsFileSize()) {
    CloseHandle(file);
    return SETTINGS_FILE_READ;
  }
  std::vector<unsigned char> data((size_t)size.QuadPart);
  DWORD got = 0;
  BOOL ok = ReadFile(file, data.data(), (DWORD)data.size(), &got, nullptr);
  CloseHandle(file);
  if (!ok || got != data.size()) return SETTINGS_FILE_UNREADABLE;
  DecodeSettingsFile(data.data(), data.size(), record, desc);
  return SETTINGS_FILE_READ;
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

bool SaveSettings(const char* fileName, const void* record, const RecordDescriptor& desc) {
  std::vector<unsigned char> image = EncodeSettingsFile(record, desc);
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
