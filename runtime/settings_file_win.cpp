// Loading and saving the settings file through the Win32 file API.
#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "runtime/settings.h"
#include "runtime/win_text.h"

// A program that holds a file for a moment (a scanner, a backup or sync
// client, the indexer) usually lets go within a second: the file operations
// are tried again every 50 ms while it holds on.
const DWORD kHolderRetryMs = 50;

// The errors such a holder causes: a sharing or lock violation, or, for a
// file that another program has open without letting it be deleted (or that
// is being deleted), a denied access.
static bool HolderError(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

static HANDLE OpenForReading(const std::wstring& name) {
  DWORD start = GetTickCount();
  for (;;) {
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION ||
        GetTickCount() - start >= kSettingsHolderWaitMs)
      return file;
    Sleep(kHolderRetryMs);
  }
}

// Only a missing file is missing. "Path not found" for a bare name means
// that the current folder itself cannot be reached (a network or removable
// drive that is away): the file may well be there once it is back.
static bool NotFound(DWORD error) { return error == ERROR_FILE_NOT_FOUND; }

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

// Runs `step` (true on success, the reason in GetLastError otherwise) until
// it succeeds, fails for another reason than a holder, or `waitMs` have
// passed since `start`. The last failure's error stays for GetLastError.
template <typename Step>
static bool RetryWhileHeld(DWORD start, DWORD waitMs, Step step) {
  for (;;) {
    if (step()) return true;
    DWORD error = GetLastError();
    if (!HolderError(error) || GetTickCount() - start >= waitMs) {
      SetLastError(error);
      return false;
    }
    Sleep(kHolderRetryMs);
  }
}

// The file name without its folder.
static std::wstring BaseName(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Whether `name` is a temporary file of a save of `base`: base.DIGITS.tmp.
static bool TemporaryNameOf(const wchar_t* name, const std::wstring& base) {
  size_t length = wcslen(name);
  if (length < base.size() + 6 || _wcsnicmp(name, base.c_str(), base.size()) != 0 || name[base.size()] != L'.' ||
      _wcsicmp(name + length - 4, L".tmp") != 0)
    return false;
  for (size_t i = base.size() + 1; i < length - 4; i++)
    if (name[i] < L'0' || name[i] > L'9') return false;
  return true;
}

// This process's temporary name for a save of `name`, beside it.
// (The digits are made narrow and widened: std::to_wstring formats through
// the C library's wide printf, which would bring its whole implementation.)
static std::wstring TemporaryName(const std::wstring& name) {
  std::string digits = std::to_string(GetCurrentProcessId());
  return name + L"." + std::wstring(digits.begin(), digits.end()) + L".tmp";
}

// Deletes what saves that were killed half-way left beside `name`. A save
// that is still running holds its temporary file open, sharing nothing,
// from its creation until it takes the settings file's name or is deleted,
// so its file cannot be deleted here.
static void RemoveLeftoverTemporaryFiles(const std::wstring& name) {
  std::wstring folder = name.substr(0, name.size() - BaseName(name).size());
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((name + L".*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !TemporaryNameOf(found.cFileName, BaseName(name)))
      continue;
    std::wstring path = folder + found.cFileName;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
      SetFileAttributesW(path.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
    DeleteFileW(path.c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
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

// The full path of a file named relative to the current folder; empty when
// it cannot be made.
static std::wstring FullPathOf(const std::wstring& name) {
  DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (!length) return std::wstring();
  std::wstring full(length, L'\0');
  length = GetFullPathNameW(name.c_str(), length, &full[0], nullptr);
  if (!length || length >= full.size()) return std::wstring();
  full.resize(length);
  return full;
}

// The system's own form of a full path (\??\C:\folder\name, or
// \??\UNC\server\share\name), which a rename through a handle takes
// whatever the current folder is.
static std::wstring SystemPathOf(const std::wstring& full) {
  if (full.compare(0, 4, L"\\\\?\\") == 0) return L"\\??\\" + full.substr(4);
  if (full.compare(0, 2, L"\\\\") == 0) return L"\\??\\UNC\\" + full.substr(2);
  return L"\\??\\" + full;
}

// Gives the open file the full path `name`; an existing file there is
// replaced only when `replace` says so (ERROR_ALREADY_EXISTS otherwise). The
// file stays open, so no other program can take it away between its
// writing and its renaming.
static bool RenameOpenFile(HANDLE file, const std::wstring& name, bool replace) {
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
  FILE_RENAME_INFO* info = (FILE_RENAME_INFO*)buffer.data();
  info->ReplaceIfExists = replace;
  info->RootDirectory = nullptr;
  info->FileNameLength = (DWORD)(name.size() * sizeof(wchar_t));
  memcpy(info->FileName, name.c_str(), info->FileNameLength);
  return SetFileInformationByHandle(file, FileRenameInfo, info, (DWORD)buffer.size()) != FALSE;
}

// Deletes the open temporary file and closes it, keeping the last error.
static void Discard(HANDLE file, const std::wstring& path) {
  DWORD error = GetLastError();
  FILE_DISPOSITION_INFO dispose = {TRUE};
  bool deleted = SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose) != FALSE;
  CloseHandle(file);
  if (!deleted) DeleteFileW(path.c_str());
  SetLastError(error);
}

SettingsSaveResult SaveSettings(const char* fileName, const void* record, const RecordDescriptor& desc,
                                const SettingsSaveRules& rules) {
  std::vector<unsigned char> image = EncodeSettingsFile(record, desc);
  if (image.empty()) return {SETTINGS_SAVE_FAILED, ERROR_NOT_ENOUGH_MEMORY};

  DWORD start = GetTickCount();
  std::wstring name = Utf8ToWide(fileName), full = FullPathOf(name);
  if (full.empty()) return {SETTINGS_SAVE_FAILED, GetLastError()};
  RemoveLeftoverTemporaryFiles(name);
  std::wstring temp = TemporaryName(name);
  HANDLE file = INVALID_HANDLE_VALUE;
  if (!RetryWhileHeld(start, rules.waitMs, [&] {
        file = CreateFileW(temp.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        return file != INVALID_HANDLE_VALUE;
      }))
    return {SETTINGS_SAVE_FAILED, GetLastError()};
  if (!WriteAll(file, image.data(), image.size()) || !FlushFileBuffers(file)) {
    Discard(file, temp);
    return {SETTINGS_SAVE_FAILED, GetLastError()};
  }

  // A read-only settings file is replaced by a writable one; if the replace
  // fails, the old file gets its attributes back.
  DWORD oldAttributes = rules.replaceExisting ? GetFileAttributesW(name.c_str()) : INVALID_FILE_ATTRIBUTES;
  bool readOnly = oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & FILE_ATTRIBUTE_READONLY);
  if (readOnly) SetFileAttributesW(name.c_str(), oldAttributes & ~FILE_ATTRIBUTE_READONLY);
  std::wstring target = SystemPathOf(full);
  if (!RetryWhileHeld(start, rules.waitMs, [&] { return RenameOpenFile(file, target, rules.replaceExisting); })) {
    DWORD error = GetLastError();
    if (readOnly) SetFileAttributesW(name.c_str(), oldAttributes);
    Discard(file, temp);
    if (!rules.replaceExisting && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS))
      return {SETTINGS_SAVE_LEFT, 0};
    return {SETTINGS_SAVE_FAILED, error};
  }
  CloseHandle(file);
  return {SETTINGS_SAVED, 0};
}

std::string FullFilePath(const char* fileName) {
  std::wstring full = FullPathOf(Utf8ToWide(fileName));
  return full.empty() ? fileName : WideToUtf8(full.c_str());
}
