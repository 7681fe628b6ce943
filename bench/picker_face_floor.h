// The start-up floors' last step, as the program's: a 1 ms one-shot timer
// after the window shows, whose tick copies the look of a native push button
// (WM_PRINT), draws a 31 x 31 cross-hair icon with transparency over it,
// shows the result in the button's place and hides the button. The start-up
// benchmark counts a window as completely painted once no empty push button
// shows in it. Plain Win32 only: the icon is drawn from code, where the
// program decodes its PNG.
#pragma once
#include <windows.h>

#include <stdlib.h>

#include "runtime/startup_timing.h"

const UINT_PTR kPickerFaceTimer = 7536756;

static HWND g_faceButton, g_faceTarget;  // the native button; the window the face shows in
static HDC g_faceDc;                     // the face, once made
static RECT g_facePlace;                 // in the target's client area

// The icon, premultiplied BGRA, scaled to `width` x `height` without smoothing:
// grey lines through the centre broken by a gap, a faint white halo.
static void DrawPickerIcon(unsigned* pixels, int width, int height) {
  const int kSize = 31, kCentre = 15;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      int ix = x * kSize / width, iy = y * kSize / height;
      int along = ix == kCentre ? iy : iy == kCentre ? ix : -1;
      bool ink = along >= 2 && along <= 28 && (along <= 10 || along >= 20 || (along >= 13 && along <= 17));
      bool halo = !ink && (abs(ix - kCentre) <= 2 || abs(iy - kCentre) <= 2);
      pixels[(size_t)y * width + x] = ink ? 0xFF484848u : halo ? 0x30303030u : 0;
    }
}

static void CALLBACK PaintPickerFace(HWND window, UINT, UINT_PTR timer, DWORD) {
  MarkStartupStep(STEP_FIRST_PAINT);  // the timer runs once no paint is pending
  KillTimer(window, timer);
  RECT r;
  GetWindowRect(g_faceButton, &r);
  int width = r.right - r.left, height = r.bottom - r.top;
  MapWindowPoints(HWND_DESKTOP, g_faceTarget, (POINT*)&r, 2);
  g_facePlace = r;
  HDC screen = GetDC(nullptr);
  g_faceDc = CreateCompatibleDC(screen);
  SelectObject(g_faceDc, CreateCompatibleBitmap(screen, width, height));
  ReleaseDC(nullptr, screen);
  SendMessageW(g_faceButton, WM_PRINT, (WPARAM)g_faceDc, PRF_ERASEBKGND | PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB};
  void* bits = nullptr;
  HDC iconDc = CreateCompatibleDC(g_faceDc);
  HBITMAP icon = CreateDIBSection(iconDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(iconDc, icon);
  DrawPickerIcon((unsigned*)bits, width, height);
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(g_faceDc, 0, 0, width, height, iconDc, 0, 0, width, height, blend);
  SelectObject(iconDc, old);
  DeleteObject(icon);
  DeleteDC(iconDc);
  ShowWindow(g_faceButton, SW_HIDE);
  InvalidateRect(g_faceTarget, &g_facePlace, FALSE);
  MarkStartupStep(STEP_PICKER_FACE);
}

// Shows the face in the target's WM_PAINT, once it is made.
static void ShowPickerFace(HWND hwnd, HDC dc) {
  if (hwnd != g_faceTarget || !g_faceDc) return;
  BitBlt(dc, g_facePlace.left, g_facePlace.top, g_facePlace.right - g_facePlace.left,
         g_facePlace.bottom - g_facePlace.top, g_faceDc, 0, 0, SRCCOPY);
}

// Starts the timer once the window shows; the face goes over `target` in the button's place.
static void StartPickerFace(HWND window, HWND button, HWND target) {
  g_faceButton = button;
  g_faceTarget = target;
  SetTimer(window, kPickerFaceTimer, 1, PaintPickerFace);
}
