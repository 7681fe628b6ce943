// A plain Win32 program that shows what the program's main window shows,
// without the program's runtime: the same 22 child windows of the same
// classes in the same places, the two "Consolas" fonts, a 16 x 16 icon list
// and 34 rows of three columns in the list view, the colour canvases filled
// once. It is the start-up benchmark's second floor: what a window of these
// controls costs on this platform however it is built. It ends its start-up
// as the program does: 1 ms after the window shows, the look of the native
// button over the picker canvas, with an icon over it, goes into the canvas
// and the button is hidden (bench/picker_face_floor.h).
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>

#include "bench/picker_face_floor.h"
#include "runtime/startup_timing.h"

static LRESULT CALLBACK CanvasProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    HBRUSH brush = CreateSolidBrush((COLORREF)GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ShowPickerFace(hwnd, dc);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

struct Child {
  const wchar_t* cls;
  const wchar_t* text;
  DWORD style, exStyle;
  int parent;  // index of the parent in the table, -1 for the window
  int x, y, w, h;
  COLORREF color;
};

// The main window's controls and their places at 96 pixels per inch.
static const Child kChildren[] = {
    {L"PlainCanvas", L"", 0, WS_EX_CLIENTEDGE, -1, 8, 8, 156, 114, 0},                    // 0 capture view
    {L"PlainContainer", L"", WS_CLIPCHILDREN, WS_EX_CLIENTEDGE, -1, 169, 8, 156, 114, 0},  // 1 channel panel
    {L"STATIC", L"R", 0, 0, 1, 10, 10, 8, 14, 0},
    {L"PlainCanvas", L"", 0, 0, 1, 20, 13, 96, 8, 0x0000FF},
    {L"EDIT", L"26", ES_NUMBER, 0, 1, 118, 10, 26, 15, 0},
    {L"STATIC", L"G", 0, 0, 1, 10, 25, 8, 14, 0},
    {L"PlainCanvas", L"", 0, 0, 1, 20, 28, 96, 9, 0x00FF00},
    {L"EDIT", L"43", ES_NUMBER, 0, 1, 118, 25, 26, 15, 0},
    {L"STATIC", L"B", 0, 0, 1, 10, 40, 8, 14, 0},
    {L"PlainCanvas", L"", 0, 0, 1, 20, 43, 96, 9, 0xFF0000},
    {L"EDIT", L"60", ES_NUMBER, 0, 1, 118, 40, 26, 15, 0},
    {L"EDIT", L"#1A2B3C", ES_READONLY, 0, 1, 10, 80, 134, 20, 0},
    {L"PlainCanvas", L"", 0, WS_EX_CLIENTEDGE, -1, 8, 127, 317, 20, 0x808080},            // 12 palette
    {L"PlainContainer", L"", WS_CLIPCHILDREN, WS_EX_CLIENTEDGE, -1, 330, 8, 156, 114, 0}, // 13 right panel
    {L"BUTTON", L"Tintvane.ini", BS_PUSHBUTTON, 0, 13, 10, 10, 134, 25, 0},
    {L"BUTTON", L"", BS_GROUPBOX, 0, 13, 10, 40, 90, 60, 0},
    {L"PlainCanvas", L"", 0, 0, 13, 14, 52, 31, 31, 0x3C2B1A},                            // 16 swatch
    {L"BUTTON", L"", BS_GROUPBOX, 0, 13, 104, 40, 40, 60, 0},
    {L"PlainCanvas", L"", 0, 0, 13, 108, 52, 31, 31, 0xF0F0F0},                           // 18 picker
    {L"BUTTON", L"", BS_PUSHBUTTON, 0, 13, 108, 52, 31, 31, 0},
    {L"PlainCanvas", L"", 0, WS_EX_CLIENTEDGE, -1, 330, 127, 156, 20, 0x000000},          // 20 history
    {WC_LISTVIEWW, L"", LVS_REPORT | LVS_SINGLESEL, WS_EX_CLIENTEDGE, -1, 8, 152, 478, 123, 0},
};
const int kChildCount = sizeof kChildren / sizeof kChildren[0];

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  MarkStartupStep(STEP_WINMAIN);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSW wc = {};
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.lpfnWndProc = WindowProc;
  wc.lpszClassName = L"PlainWindow";
  RegisterClassW(&wc);
  wc.lpszClassName = L"PlainContainer";
  RegisterClassW(&wc);
  wc.lpfnWndProc = CanvasProc;
  wc.lpszClassName = L"PlainCanvas";
  RegisterClassW(&wc);
  MarkStartupStep(STEP_RUNTIME);

  HDC screen = GetDC(nullptr);
  int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  HFONT normal = CreateFontW(-MulDiv(9, pixelsPerInch, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                             CLEARTYPE_QUALITY, FIXED_PITCH | FF_MODERN, L"Consolas");
  HFONT large = CreateFontW(-MulDiv(11, pixelsPerInch, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                            CLEARTYPE_QUALITY, FIXED_PITCH | FF_MODERN, L"Consolas");
  MarkStartupStep(STEP_FONTS);

  RECT frame = {0, 0, 494, 283};
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  AdjustWindowRect(&frame, style, FALSE);
  HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, L"PlainWindow", L"Plain controls", style, 320, 240,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  HWND children[kChildCount];
  for (int i = 0; i < kChildCount; i++) {
    const Child& c = kChildren[i];
    HWND parent = c.parent < 0 ? window : children[c.parent];
    children[i] = CreateWindowExW(c.exStyle, c.cls, c.text, WS_CHILD | WS_VISIBLE | c.style, c.x, c.y, c.w, c.h,
                                  parent, nullptr, instance, nullptr);
    SetWindowLongPtrW(children[i], GWLP_USERDATA, (LONG_PTR)c.color);
    bool big = i == 11 || i == 14 || i == kChildCount - 1;
    SendMessageW(children[i], WM_SETFONT, (WPARAM)(big ? large : normal), FALSE);
  }
  MarkStartupStep(STEP_CONTROL_CREATION);

  HWND list = children[kChildCount - 1];
  const wchar_t* titles[3] = {L"Name", L"Color", L"Diff"};
  for (int i = 0; i < 3; i++) {
    LVCOLUMNW column = {LVCF_TEXT | LVCF_WIDTH, 0, i == 0 ? 200 : 120, (wchar_t*)titles[i]};
    ListView_InsertColumn(list, i, &column);
  }
  HIMAGELIST icons = ImageList_Create(16, 16, ILC_COLOR32, 34, 0);
  ListView_SetImageList(list, icons, LVSIL_SMALL);
  for (int row = 0; row < 34; row++) {
    // Each row's icon in its colour, as the program's.
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, 16, 16, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    for (int i = 0; bitmap && i < 16 * 16; i++) ((DWORD*)bits)[i] = 0xFF000000u | (DWORD)row * 0x050403u;
    int icon = ImageList_Add(icons, bitmap, nullptr);
    DeleteObject(bitmap);
    wchar_t name[32], code[16], diff[8];
    swprintf(name, 32, L"Colour %d", row);
    swprintf(code, 16, L"#%06X", row * 0x050403);
    swprintf(diff, 8, L"%d", row);
    LVITEMW item = {LVIF_TEXT | LVIF_IMAGE, row, 0, 0, 0, name};
    item.iImage = icon;
    ListView_InsertItem(list, &item);
    ListView_SetItemText(list, row, 1, code);
    ListView_SetItemText(list, row, 2, diff);
  }
  MarkStartupStep(STEP_LIST_FILL);

  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  MarkStartupStep(STEP_WINDOW_SHOW);
  StartPickerFace(window, children[19], children[18]);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DeleteObject(normal);
  DeleteObject(large);
  return 0;
}
