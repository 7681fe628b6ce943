// Closing the program's window as a person does, with Alt+F4, for the test
// driver and for program_window.exe alike.
#pragma once
#include <windows.h>

#include <stdio.h>

// Presses Alt+F4 once, on the window in front.
inline void PressAltF4() {
  INPUT keys[4] = {};
  for (INPUT& key : keys) key.type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[3].ki.wVk = VK_MENU;
  keys[1].ki.wVk = keys[2].ki.wVk = VK_F4;
  keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, keys, sizeof(INPUT));
}

// Presses Alt+F4 and waits for the process to end; false when it did not.
// Wine reads the X keyboard's state again when a window takes the X focus,
// and under load that can come between Alt and F4: F4 then arrives as a
// plain key and nothing closes. So while the window still shows in front,
// with no menu open and no move running, the chord is pressed again (at most
// twice, each said on stderr).
inline bool PressAltF4UntilEnded(HANDLE process, HWND window) {
  for (int press = 1;; press++) {
    PressAltF4();
    if (WaitForSingleObject(process, 3000) == WAIT_OBJECT_0) return true;
    GUITHREADINFO info = {sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    bool showsIdle = IsWindowVisible(window) && GetForegroundWindow() == window &&
                     !(info.flags & (GUI_INMENUMODE | GUI_INMOVESIZE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE));
    if (showsIdle && press < 3) {
      fprintf(stderr, "Alt+F4 pressed again: 3 s after it the window still showed, idle\n");
      continue;
    }
    if (WaitForSingleObject(process, 10000) == WAIT_OBJECT_0) return true;
    fprintf(stderr, "Alt+F4 did not end the program: window %s, %s; in front %p, focus %p, flags %#lx\n",
            IsWindow(window) ? "there" : "gone", IsWindowVisible(window) ? "visible" : "hidden",
            (void*)GetForegroundWindow(), (void*)info.hwndFocus, (unsigned long)info.flags);
    return false;
  }
}
