// Starts tests/win/holder.exe, the other program that holds a file or the
// clipboard, and lets it go. Used by the Windows tests of the settings file
// and the clipboard.
#pragma once
#include <windows.h>

#include <string>

class Holder {
 public:
  Holder() = default;
  Holder(const Holder&) = delete;
  void operator=(const Holder&) = delete;
  ~Holder() { LetGo(); }

  // Starts the holder with `arguments` (after the program's name, before
  // the events' name) and waits until it holds; false when it could not.
  bool Start(const std::wstring& arguments) {
    static int count = 0;
    std::wstring name = L"TintvaneHolder" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++count);
    held_ = CreateEventW(nullptr, TRUE, FALSE, (name + L"-held").c_str());
    letGo_ = CreateEventW(nullptr, TRUE, FALSE, (name + L"-let-go").c_str());
    std::wstring command = L"\"" + Beside(L"holder.exe") + L"\" " + arguments + L" " + name;
    STARTUPINFOW startup = {sizeof startup};
    if (!held_ || !letGo_ ||
        !CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process_))
      return false;
    HANDLE waits[2] = {held_, process_.hProcess};
    return WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
  }
  // Whether the holder still runs, and so still holds (or is just letting go).
  bool Holding() const { return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
  // Tells it to let go, and waits until it has.
  void LetGo() {
    if (letGo_) SetEvent(letGo_);
    if (process_.hProcess) {
      WaitForSingleObject(process_.hProcess, 30000);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
    process_ = {};
    for (HANDLE* h : {&held_, &letGo_})
      if (*h) CloseHandle(*h), *h = nullptr;
  }

 private:
  static std::wstring Beside(const wchar_t* name) {
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, n);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
  }
  PROCESS_INFORMATION process_ = {};
  HANDLE held_ = nullptr, letGo_ = nullptr;
};
