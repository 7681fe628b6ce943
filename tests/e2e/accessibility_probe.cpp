// A hook module for the end-to-end tests: set as a WH_GETMESSAGE hook on the
// thread of ColorTintvane.exe, it reads the program's accessible objects as
// a screen reader reads them, inside the program's process (Wine hands no
// accessible object to another process), and sends the answers to the
// test's window. It also hooks the value changes the program tells the
// system, and keeps each with the value read at that moment.
//
// The test posts the message named kProbeMessage to the program's main
// window, wParam the request and lParam the window to answer; the answer
// comes as WM_COPYDATA, dwData the request, the data UTF-16 lines:
//   PROBE_CONTROLS: one line per window of the main window, in the order of
//     the tree: "HWND<tab>name<tab>role<tab>value" (HWND in hexadecimal,
//     role the number; "-" for a part that could not be read);
//   PROBE_NOTICES: one line per value change told since the last
//     PROBE_FORGET: "milliseconds<tab>HWND<tab>value".
#include <windows.h>
#include <oleacc.h>

#include <stdio.h>

#include <string>

#include "tests/e2e/accessibility_probe.h"

// Spelled out: the import library's IID_IAccessible is not the GUID when linked statically.
static const GUID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

static std::wstring g_notices;

static std::wstring Hex(const void* p) {
  wchar_t text[32];
  swprintf(text, 32, L"%llX", (unsigned long long)(uintptr_t)p);
  return text;
}

static std::wstring TakeBstr(BSTR text) {
  std::wstring out = text ? text : L"";
  SysFreeString(text);
  return out;
}

// Name, role and value of the window's client object, as a client reads them.
static std::wstring Describe(HWND hwnd) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, (DWORD)OBJID_CLIENT, kIidAccessible, (void**)&object)) || !object)
    return L"-\t-\t-";
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR text = nullptr;
  std::wstring name = SUCCEEDED(object->get_accName(self, &text)) ? TakeBstr(text) : L"-";
  text = nullptr;
  std::wstring value = SUCCEEDED(object->get_accValue(self, &text)) ? TakeBstr(text) : L"-";
  VARIANT role;
  VariantInit(&role);
  std::wstring roleText = L"-";
  if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) roleText = std::to_wstring(role.lVal);
  VariantClear(&role);
  object->Release();
  return name + L"\t" + roleText + L"\t" + value;
}

static BOOL CALLBACK AddWindowLine(HWND child, LPARAM out) {
  *(std::wstring*)out += Hex(child) + L"\t" + Describe(child) + L"\n";
  return TRUE;
}

static void CALLBACK OnValueChange(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
  if (object != OBJID_CLIENT || child != CHILDID_SELF) return;
  std::wstring described = Describe(hwnd);
  std::wstring value = described.substr(described.rfind(L'\t') + 1);
  g_notices += std::to_wstring(GetTickCount()) + L"\t" + Hex(hwnd) + L"\t" + value + L"\n";
}

static void Answer(HWND to, int request, const std::wstring& text) {
  COPYDATASTRUCT data = {(ULONG_PTR)request, (DWORD)((text.size() + 1) * sizeof(wchar_t)), (void*)text.c_str()};
  DWORD_PTR result = 0;
  SendMessageTimeoutW(to, WM_COPYDATA, 0, (LPARAM)&data, SMTO_ABORTIFHUNG, 5000, &result);
}

// In context: the hook runs as the program tells the change, so each change
// is timed when it is told, not when it is delivered.
static HWINEVENTHOOK HookValueChanges() {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     (LPCWSTR)(void*)OnValueChange, &self);
  return SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, self, OnValueChange,
                         GetCurrentProcessId(), 0, WINEVENT_INCONTEXT);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeAccessibility(int code, WPARAM wParam, LPARAM lParam) {
  static UINT request = RegisterWindowMessageW(kProbeMessage);
  static HWINEVENTHOOK hook = HookValueChanges();
  (void)hook;
  const MSG* msg = (const MSG*)lParam;
  if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == request) {
    HWND to = (HWND)msg->lParam;
    switch ((int)msg->wParam) {
      case PROBE_CONTROLS: {
        std::wstring lines;
        EnumChildWindows(msg->hwnd, AddWindowLine, (LPARAM)&lines);
        Answer(to, PROBE_CONTROLS, lines);
        break;
      }
      case PROBE_NOTICES: Answer(to, PROBE_NOTICES, g_notices); break;
      case PROBE_FORGET: g_notices.clear(); break;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
