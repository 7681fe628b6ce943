// Shared by the Win32 parts of the runtime (canvas, dialog controls): the
// helpers that turn child notifications into window events. Includes windows.h.
#pragma once
#include <windows.h>

#include "runtime/event_queue.h"

// Offers a control event of `control` (with its canvas data, or zeros) to the
// event queue of the control's window.
void OfferControlEvent(int control, int type, const CanvasEventData* data);

// Turns WM_COMMAND and WM_NOTIFY from child controls into control events.
// Containers that hold controls call it from their own window procedure so
// that notifications reach the program whatever the nesting. Returns true
// when the message was handled; *result then holds the answer.
bool HandleChildNotification(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

// Where a child window's control events go when nobody claims the message:
// the top-level window that holds it.
HWND TopLevelOf(HWND hwnd);
