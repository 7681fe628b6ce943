// A fresh, empty current directory for one test, removed afterwards.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    wchar_t old[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, old);
    oldDirectory_ = old;
    for (unsigned n = GetTickCount();; n++) {
      folder_ = std::wstring(base) + L"tintvane-test-" + std::to_wstring(n);
      if (CreateDirectoryW(folder_.c_str(), nullptr)) break;
    }
    SetCurrentDirectoryW(folder_.c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryW(oldDirectory_.c_str());
    RemoveTree(folder_);
  }
  static void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring full = path + L"\\" + name;
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
        else DeleteFileW(full.c_str());
      } while (FindNextFileW(h, &found));
      FindClose(h);
    }
    RemoveDirectoryW(path.c_str());
  }
  std::wstring folder_, oldDirectory_;
};

// Whole file contents, or an empty vector when it cannot be read.
inline std::string ReadWholeFile(const wchar_t* name) {
  HANDLE f = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::string();
  std::string out;
  char buf[4096];
  DWORD got;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  CloseHandle(f);
  return out;
}

inline bool WriteWholeFile(const wchar_t* name, const std::string& data) {
  HANDLE f = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD wrote = 0;
  BOOL ok = WriteFile(f, data.data(), (DWORD)data.size(), &wrote, nullptr);
  CloseHandle(f);
  return ok && wrote == data.size();
}

inline bool FileExists(const wchar_t* name) {
  return GetFileAttributesW(name) != INVALID_FILE_ATTRIBUTES;
}

// The names of the files and folders that match a pattern ("folder\\*.tmp").
inline std::vector<std::wstring> FilesMatching(const std::wstring& pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// The temporary files of saves of the settings file in `folder` (the
// current one by default): ColorTintvane.bin.PROCESS.tmp.
inline std::vector<std::wstring> SettingsTemporaryFiles(const std::wstring& folder = L".") {
  std::vector<std::wstring> names;
  for (const std::wstring& name : FilesMatching(folder + L"\\ColorTintvane.bin.*.tmp")) {
    std::wstring process = name.substr(18, name.size() - 22);  // between "ColorTintvane.bin." and ".tmp"
    if (!process.empty() && process.find_first_not_of(L"0123456789") == std::wstring::npos) names.push_back(name);
  }
  return names;
}

// The temporary file a save by process `pid` writes in the current folder.
inline std::wstring SettingsTemporaryName(DWORD pid = GetCurrentProcessId()) {
  return L"ColorTintvane.bin." + std::to_wstring(pid) + L".tmp";
}
