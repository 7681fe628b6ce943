// Reading what the screen shows, for tests of painted controls.
#pragma once
#include <windows.h>

#include <functional>

#include "runtime/drawing.h"
#include "runtime/images.h"

// Copies the screen rectangle into an image and opens a drawing context on
// it for `shows` (which reads it with ReadPixel), until `shows` accepts it.
// Painted pixels reach the screen shortly after painting, so messages are
// dispatched between tries; gives up after 5 s.
inline bool ScreenShows(int left, int top, int width, int height, const std::function<bool()>& shows) {
  DWORD start = GetTickCount();
  for (;;) {
    int shot = CopyScreenRegion(kAutoNumber, left, top, width, height);
    bool accepted = shot && BeginDrawing(ImageTarget(shot)) && shows();
    EndDrawing();
    ReleaseImage(shot);
    if (accepted) return true;
    if (GetTickCount() - start > 5000) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}
