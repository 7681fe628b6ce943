// A change of display scale as the end-to-end tests hand it to the running
// program: the test writes this request into the named shared memory below
// and sends the program's main window the registered message below; the
// hook of tests/e2e/program_hooks.cpp, inside the program's process, then
// sends that window WM_DPICHANGED as Windows does. (Wine hands a hook the
// sender's pointers of a message from another process, so the request
// cannot travel in the message itself.)
#pragma once
#include <windows.h>

const wchar_t kScaleChangeMessage[] = L"TintvaneTestAnnounceScaleChange";
const wchar_t kScaleChangeMemory[] = L"TintvaneTestScaleChangeRequest";

struct ScaleChangeRequest {
  int pixelsPerInch;  // the monitor's new scale
  RECT suggested;     // the rectangle Windows suggests at that scale
};
