// The requests of the accessibility probe (tests/e2e/accessibility_probe.cpp),
// a hook module that reads the program's accessible objects inside its
// process.
#pragma once

// Registered message posted to the program's main window: wParam a request,
// lParam the window that gets the answer as WM_COPYDATA.
static const wchar_t kProbeMessage[] = L"TintvaneAccessibilityProbe";

enum ProbeRequest {
  PROBE_CONTROLS = 1,  // name, role and value of every window of the main window
  PROBE_NOTICES = 2,   // the value changes told since PROBE_FORGET, each with its value then
  PROBE_FORGET = 3,    // start the record of value changes afresh (no answer)
};
