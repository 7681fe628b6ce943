// The dialog engine on real Win32 controls: the main window's description
// and its worked layout, every element kind, measuring, resizing, events.
// TINTVANE_EXPECT_PPI, when set, is the screen's pixels per inch the run must see.
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <string>

#include "app/main_description.h"
#include "app/startup_values.h"
#include "dialog/description.h"
#include "dialog/runtime_values.h"
#include "runtime/fonts.h"
#include "runtime/windows.h"

struct Rect {
  int x, y, w, h;
  bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};
static std::ostream& operator<<(std::ostream& os, const Rect& r) {
  return os << "(" << r.x << "," << r.y << " " << r.w << "x" << r.h << ")";
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitWindowing();
    HDC screen = GetDC(nullptr);
    ppi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ComputeLayoutValues(ScaleFactorFromPixelsPerInch(ppi_), ScaleFactorFromPixelsPerInch(ppi_));
    ClearWindowEvents();
    dialog_ = NewDialog(-1);
    ASSERT_GT(dialog_, 0);
  }
  void TearDown() override {
    ReleaseDialog(-1);
    CloseAllWindows();
  }
  bool Open(const std::string& text, const char* name = "") {
    bool ok = OpenDescribedWindowText(dialog_, text.data(), text.size(), name) != 0;
    Pump();
    return ok;
  }
  int Control(const char* name) { return DialogControlByName(dialog_, name); }
  HWND Handle(const char* name) { return (HWND)ControlHandle(Control(name)); }
  Rect Of(const char* name) {
    int c = Control(name);
    return Rect{ControlX(c), ControlY(c), ControlWidth(c), ControlHeight(c)};
  }
  std::wstring ClassOf(const char* name) {
    wchar_t cls[64] = L"";
    GetClassNameW(Handle(name), cls, 64);
    return cls;
  }
  static void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  int ppi_ = 96;
  int dialog_ = 0;
};

//-----------------------------------------------------------------------------
// The main window
//-----------------------------------------------------------------------------

static const char* const kMainControls[18] = {
    "FrameParams", "frame1",   "frame1_c1", "cmdSelectorImg", "imgPaletteCapture", "imgPaletteR",
    "txtR",        "imgPaletteG", "txtG",   "imgPaletteB",    "txtB",              "txtRGB",
    "imgPaletteAuto", "cmdOptions", "imgPaletteCurrent", "cmdSelector", "imgPaletteHistory", "lstResults"};

class MainWindowTest : public DialogTest {
 protected:
  void OpenMain() {
    RegisterLayoutValues();
    ASSERT_TRUE(Open(std::string(kMainWindowDescription, kMainWindowDescriptionLength), "wndMain"))
        << DialogError(dialog_);
    window_ = DialogWindowOf(dialog_);
  }
  int window_ = 0;
};

TEST_F(MainWindowTest, OpensHiddenWithItsEighteenControls) {
  const char* expected = getenv("TINTVANE_EXPECT_PPI");
  if (expected) {
    ASSERT_EQ(ppi_, atoi(expected));
  }
  OpenMain();
  EXPECT_FALSE(IsWindowVisible((HWND)WindowHandle(window_)));
  LONG style = GetWindowLongW((HWND)WindowHandle(window_), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX));
  for (const char* name : kMainControls) {
    EXPECT_GT(Control(name), 0) << name;
    EXPECT_EQ(ControlWindow(Control(name)), window_) << name;
  }
  EXPECT_EQ(ClassOf("lstResults"), WC_LISTVIEWW);
  EXPECT_TRUE(ListView_GetExtendedListViewStyle(Handle("lstResults")) & LVS_EX_FULLROWSELECT);
  EXPECT_EQ(ClassOf("txtR"), L"Edit");
  EXPECT_TRUE(GetWindowLongW(Handle("txtR"), GWL_STYLE) & ES_NUMBER);
  EXPECT_FALSE(GetWindowLongW(Handle("txtR"), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(GetWindowLongW(Handle("txtRGB"), GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(ClassOf("cmdOptions"), L"Button");
  EXPECT_EQ(ControlText(Control("cmdOptions")), "Tintvane.ini");
  EXPECT_TRUE(GetWindowLongW(Handle("imgPaletteCapture"), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_FALSE(GetWindowLongW(Handle("imgPaletteR"), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  // The channel rows live inside FrameActive, the picker inside FrameParams.
  EXPECT_EQ(GetParent(Handle("txtR")), GetParent(Handle("imgPaletteR")));
  EXPECT_EQ(GetParent(Handle("cmdSelector")), Handle("FrameParams"));
  EXPECT_EQ(GetParent(Handle("frame1")), Handle("FrameParams"));
  EXPECT_EQ(Control("vbox1"), -1);
  EXPECT_EQ(Control("wndMain"), -1);
}

// The worked instance of the layout, at whatever scale the screen has.
TEST_F(MainWindowTest, LaysOutAsTheWorkedInstance) {
  OpenMain();
  int innerW = WindowInnerWidth(window_), innerH = WindowInnerHeight(window_);
  Rect capture = Of("imgPaletteCapture"), active = Of("FrameActive"), auto_ = Of("imgPaletteAuto");
  Rect params = Of("FrameParams"), history = Of("imgPaletteHistory"), list = Of("lstResults");
  // Window margins of 8; vbox1 splits the height equally between hbox1 and the list, 5 apart.
  int half = (innerH - 21) / 2;
  EXPECT_EQ(list, (Rect{8, 8 + half + 5, innerW - 16, half}));
  EXPECT_EQ(capture.x, 8);
  EXPECT_EQ(capture.y, 8);
  // hbox1 keeps left+mid and right at their minimum widths, from the left edge.
  EXPECT_EQ(capture.w, DPIx1);
  EXPECT_EQ(active, (Rect{8 + DPIx1 + 5, 8, DPIx2, capture.h}));
  EXPECT_EQ(params.x, active.x + DPIx2 + 5);
  EXPECT_EQ(params.w, DPIx9);
  EXPECT_EQ(innerW, params.x + DPIx9 + 8);
  // left+mid gives the extra height to hbox5, right to FrameParams.
  EXPECT_EQ(auto_, (Rect{8, 8 + half - DPIy8, DPIx1 + 5 + DPIx2, DPIy8}));
  EXPECT_EQ(capture.h, half - DPIy8 - 5);
  EXPECT_EQ(history, (Rect{params.x, 8 + half - DPIy12, DPIx9, DPIy12}));
  EXPECT_EQ(params, (Rect{params.x, 8, DPIx9, half - DPIy12 - 5}));

  // Inside the containers: inset of twice the thin border, then the margin of 10,
  // within the rectangle the container was given.
  int inset = 2 * DeviceToLogicalX(GetSystemMetrics(SM_CXBORDER));
  int edge = inset / 2 + 10;
  int rowW = active.w - inset - 20;
  // Each channel row gives its extra width to the slider, centred vertically at its own height.
  const char* rows[3][3] = {{"lblR", "imgPaletteR", "txtR"}, {"lblG", "imgPaletteG", "txtG"}, {"lblB", "imgPaletteB", "txtB"}};
  int heights[3] = {DPIy2, DPIy4, DPIy6};
  int rowTop = edge;
  for (int i = 0; i < 3; i++) {
    Rect label = Of(rows[i][0]), slider = Of(rows[i][1]), field = Of(rows[i][2]);
    SCOPED_TRACE(rows[i][1]);
    EXPECT_EQ(field.w, DPIx5);
    EXPECT_EQ(field.x, edge + rowW - DPIx5);
    EXPECT_EQ(field.y, rowTop);
    int rowH = field.h;  // the tallest item of the row
    EXPECT_EQ(slider, (Rect{label.x + label.w + 5, rowTop + (rowH - heights[i]) / 2,
                            field.x - 5 - (label.x + label.w + 5), heights[i]}));
    EXPECT_EQ(label.x, edge);
    EXPECT_EQ(label.y, rowTop + 2);  // the text nudge
    rowTop += rowH;                  // spacing 0
  }
  // vboxActive gives the extra height to empty1: txtRGB sits at the bottom.
  Rect rgb = Of("txtRGB");
  EXPECT_EQ(rgb.x, edge);
  EXPECT_EQ(rgb.w, rowW);
  EXPECT_EQ(rgb.y + rgb.h, active.h - inset / 2 - 10);

  // gridbox1: the extra width to the first column, the extra height to the first row.
  int gridW = params.w - inset - 20, gridH = params.h - inset - 20;
  Rect options = Of("cmdOptions"), swatchFrame = Of("frame1_c1"), pickerFrame = Of("frame1");
  Rect picker = Of("cmdSelector"), template_ = Of("cmdSelectorImg");
  int pickerFrameW = DPIx12 + 10 + 8;  // the picker and the frame's margins and border
  EXPECT_EQ(pickerFrame.w, pickerFrameW);
  EXPECT_EQ(pickerFrame.x, edge + gridW - pickerFrameW);
  EXPECT_EQ(swatchFrame, (Rect{edge, pickerFrame.y, gridW - pickerFrameW - 5, pickerFrame.h}));
  EXPECT_EQ(pickerFrame.y + pickerFrame.h, edge + gridH);
  EXPECT_EQ(options, (Rect{edge, edge, gridW, gridH - pickerFrame.h - 5}));
  // The picker canvas and its template button share one cell.
  EXPECT_EQ(picker, template_);
  EXPECT_EQ(picker, (Rect{pickerFrame.x + 4 + 5, pickerFrame.y + 10 + 5, DPIx12, DPIy10}));
  EXPECT_EQ(Of("imgPaletteCurrent").w, gridW - pickerFrameW - 5 - 8 - 10);
}

TEST_F(MainWindowTest, LargerFontsRefitAndResizeReplaces) {
  OpenMain();
  int w = WindowInnerWidth(window_), h = WindowInnerHeight(window_);
  Rect list = Of("lstResults");
  // A resize places again from the cached measures: text that now needs more
  // room changes nothing until a refit.
  int big = LoadFont("Consolas", 30);
  ASSERT_GT(big, 0);
  SetControlFont(Control("cmdOptions"), FontHandle(big));
  ResizeWindowTo(window_, kIgnore, kIgnore, w, h + 100);
  Pump();
  EXPECT_EQ(Of("lstResults"), (Rect{list.x, list.y + 50, list.w, list.h + 50}));
  EXPECT_EQ(WindowInnerWidth(window_), w);
  ResizeWindowTo(window_, kIgnore, kIgnore, w, h);
  RefitDialog(dialog_);
  Pump();
  EXPECT_GE(WindowInnerWidth(window_), w);
  EXPECT_GT(WindowInnerHeight(window_), h);
  TEXTMETRICW metrics;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, (HGDIOBJ)FontHandle(big));
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_GE(Of("cmdOptions").h, DeviceToLogicalY(metrics.tmHeight));
  ReleaseAllFonts();
}
