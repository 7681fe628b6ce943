// The dialog engine on real Win32 controls: the main window's description
// and its worked layout, every element kind, measuring, resizing, events.
// TINTVANE_EXPECT_PPI, when set, is the screen's pixels per inch the run must see.
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/main_description.h"
#include "app/startup_values.h"
#include "dialog/description.h"
#include "dialog/runtime_values.h"
#include "runtime/fonts.h"
#include "runtime/windowing.h"

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
  // The text's extent in the control's font, in device pixels.
  SIZE Extent(const char* name, const wchar_t* text) {
    HWND hwnd = Handle(name);
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageW(hwnd, WM_GETFONT, 0, 0));
    SIZE size;
    GetTextExtentPoint32W(dc, text, (int)wcslen(text), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return size;
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
  const wchar_t* captions[3] = {L"R", L"G", L"B"};
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
    // The label sits 2 lower and 2 less high when the row's height less 2
    // still holds its required height (its caption plus 2; no own minimum).
    int needed = DeviceToLogicalY(Extent(rows[i][0], captions[i]).cy + 2);
    int drop = rowH - 2 >= needed ? 2 : 0;
    EXPECT_EQ(label.y, rowTop + drop) << "row " << rowH << ", label needs " << needed;
    EXPECT_EQ(label.h, rowH - drop);
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

//-----------------------------------------------------------------------------
// Every element kind, measuring, events
//-----------------------------------------------------------------------------

TEST_F(DialogTest, EveryElementKindIsARealControl) {
  ASSERT_TRUE(Open(
      "<window name='w' text='Kinds' flags='#Window_SizeGadget'><gridbox columns='6'>"
      "<button name='button' text='Go' flags='#Button_Default'/><buttonimage name='buttonimage'/>"
      "<checkbox name='checkbox' text='c' flags='#CheckBox_ThreeState'/><option name='option' text='o'/>"
      "<text name='text' text='t'/><string name='string' flags='#String_Password'/>"
      "<editor name='editor' text='line' flags='#Editor_WordWrap'/><hyperlink name='hyperlink' text='h'/>"
      "<image name='image' flags='#Image_Border'/><listview name='listview'/>"
      "<listicon name='listicon' text='Title' flags='#ListIcon_GridLines'/><tree name='tree'/>"
      "<combobox name='combobox' flags='#ComboBox_Editable'/><calendar name='calendar'/><date name='date'/>"
      "<spin name='spin' min='2' max='9' value='4' flags='#Spin_Numeric'/><scrollbar name='scrollbar' value='30'/>"
      "<progressbar name='progressbar' value='40'/><trackbar name='trackbar' value='3'/>"
      "<shortcut name='shortcut'/><ipaddress name='ipaddress'/><explorercombo name='explorercombo' text='C:\\'/>"
      "<explorerlist name='explorerlist' text='C:\\'/><explorertree name='explorertree' text='C:\\'/>"
      "<scintilla name='scintilla' height='40'/><web name='web' height='40'/>"
      "<container name='container'/><frame name='frame' text='F'/><canvas name='canvas'/>"
      "<scrollarea name='scrollarea'/><panel name='panel'><tab name='tab' text='T'/></panel>"
      "<splitter name='splitter'/></gridbox></window>"))
      << DialogError(dialog_);
  struct Case {
    const char* name;
    const wchar_t* cls;
  } cases[] = {
      {"button", L"Button"},        {"buttonimage", L"Button"},          {"checkbox", L"Button"},
      {"option", L"Button"},        {"text", L"Static"},                 {"string", L"Edit"},
      {"editor", L"Edit"},          {"hyperlink", L"TintvaneHyperlink"}, {"image", L"Static"},
      {"listview", L"ListBox"},     {"listicon", L"SysListView32"},      {"tree", L"SysTreeView32"},
      {"combobox", L"ComboBox"},    {"calendar", L"SysMonthCal32"},      {"date", L"SysDateTimePick32"},
      {"spin", L"TintvaneSpin"},    {"scrollbar", L"ScrollBar"},         {"progressbar", L"msctls_progress32"},
      {"trackbar", L"msctls_trackbar32"}, {"shortcut", L"msctls_hotkey32"}, {"ipaddress", L"SysIPAddress32"},
      {"explorercombo", L"ComboBox"}, {"explorerlist", L"SysListView32"}, {"explorertree", L"SysTreeView32"},
      {"container", L"TintvaneContainer"}, {"frame", L"Button"},         {"scrollarea", L"TintvaneScrollArea"},
      {"panel", L"TintvanePanel"},  {"tab", L"TintvaneContainer"},       {"splitter", L"TintvaneSplitter"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassOf(c.name), c.cls) << c.name;
    EXPECT_TRUE(IsWindowVisible(Handle(c.name)) || !strcmp(c.name, "tab")) << c.name;
  }
  EXPECT_EQ(GetWindowLongW(Handle("button"), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongW(Handle("checkbox"), GWL_STYLE) & 0xF, BS_AUTO3STATE);
  EXPECT_TRUE(GetWindowLongW(Handle("string"), GWL_STYLE) & ES_PASSWORD);
  EXPECT_EQ(ControlText(Control("editor")), "line");
  EXPECT_TRUE(ListView_GetExtendedListViewStyle(Handle("listicon")) & LVS_EX_GRIDLINES);
  EXPECT_EQ(ControlText(Control("spin")), "4");
  EXPECT_EQ(GetScrollPos(Handle("scrollbar"), SB_CTL), 30);
  EXPECT_EQ(SendMessageW(Handle("progressbar"), PBM_GETPOS, 0, 0), 40);
  EXPECT_EQ(SendMessageW(Handle("trackbar"), TBM_GETPOS, 0, 0), 3);
  EXPECT_GT(ListView_GetItemCount(Handle("explorerlist")), 0);
  // A frame erases its inside in the button face: the controls it surrounds lie over it.
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, CreateCompatibleBitmap(screen, 4, 4));
  SetPixel(memory, 1, 1, RGB(1, 2, 3));
  EXPECT_EQ(SendMessageW(Handle("frame"), WM_ERASEBKGND, (WPARAM)memory, 0), 1);
  EXPECT_EQ(GetPixel(memory, 1, 1), GetSysColor(COLOR_BTNFACE));
  DeleteObject(SelectObject(memory, old));
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  // Without "Scintilla.dll" beside the program the editor is not created,
  // and its node is still laid out.
  wchar_t editor[MAX_PATH + 16];
  GetModuleFileNameW(nullptr, editor, MAX_PATH);
  wcscpy(wcsrchr(editor, L'\\') + 1, L"Scintilla.dll");
  bool scintilla = LoadLibraryW(editor) != nullptr;
  EXPECT_EQ(Control("scintilla") > 0, scintilla);
}

// Where flags choose one of several styles (a button's kind, an alignment, a
// border) or take a style away, each combination gives the control's styles.
TEST_F(DialogTest, FlagsChooseTheControlsStyles) {
  struct Case {
    const char* element;
    LONG styleMask, style, exMask, ex;
  } cases[] = {
      {"<button flags='#Button_Toggle'/>", 0xF | BS_PUSHLIKE, BS_AUTOCHECKBOX | BS_PUSHLIKE, 0, 0},
      {"<button flags='#Button_Default|#Button_Left'/>", 0xF | BS_CENTER, BS_DEFPUSHBUTTON | BS_LEFT, 0, 0},
      {"<checkbox flags='#CheckBox_Center'/>", 0xF | BS_CENTER, BS_AUTOCHECKBOX | BS_CENTER, 0, 0},
      {"<text flags='#Text_Center|#Text_Right'/>", SS_TYPEMASK, SS_CENTER, WS_EX_CLIENTEDGE, 0},
      {"<text flags='#Text_Right|#Text_Border'/>", SS_TYPEMASK, SS_RIGHT, WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE},
      {"<string flags='#String_BorderLess|#String_UpperCase'/>", ES_UPPERCASE, ES_UPPERCASE, WS_EX_CLIENTEDGE, 0},
      {"<editor flags='#Editor_WordWrap'/>", WS_HSCROLL | ES_AUTOHSCROLL, 0, WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE},
      {"<image flags='#Image_Border|#Image_Raised'/>", 0, 0, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, WS_EX_CLIENTEDGE},
      {"<image flags='#Image_Raised'/>", 0, 0, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, WS_EX_DLGMODALFRAME},
      {"<listicon flags='#ListIcon_MultiSelect'/>", LVS_SINGLESEL, 0, WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE},
      {"<explorerlist flags='#Explorer_BorderLess'/>", LVS_SINGLESEL, LVS_SINGLESEL, WS_EX_CLIENTEDGE, 0},
      {"<explorertree flags='#Explorer_NoButtons'/>", TVS_HASLINES | TVS_HASBUTTONS, TVS_HASLINES, WS_EX_CLIENTEDGE,
       WS_EX_CLIENTEDGE},
      {"<tree flags='#Tree_NoLines'/>", TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS, TVS_HASBUTTONS, 0, 0},
      {"<combobox flags='#ComboBox_Editable'/>", 0x3, CBS_DROPDOWN, 0, 0},
      {"<explorercombo flags='#Explorer_Editable'/>", 0x3, CBS_DROPDOWN, 0, 0},
      {"<calendar flags='#Calendar_Borderless'/>", WS_BORDER, 0, 0, 0},
      {"<trackbar flags='#TrackBar_Vertical'/>", TBS_VERT | TBS_NOTICKS, TBS_VERT | TBS_NOTICKS, 0, 0},
  };
  for (const Case& c : cases) {
    std::string element = c.element;
    element.insert(element.find(' '), " name='c'");
    ASSERT_TRUE(Open("<window><vbox>" + element + "</vbox></window>")) << c.element << ": " << DialogError(dialog_);
    EXPECT_EQ(GetWindowLongW(Handle("c"), GWL_STYLE) & c.styleMask, c.style) << c.element;
    EXPECT_EQ(GetWindowLongW(Handle("c"), GWL_EXSTYLE) & c.exMask, c.ex) << c.element;
    CloseAllWindows();
  }
}

// Required sizes from the system's text and edge metrics, in logical units.
class ScaledDialogTest : public DialogTest {};

TEST_F(ScaledDialogTest, ControlsMeasureTheirText) {
  ASSERT_TRUE(Open("<window margin='0'><hbox expand='no' spacing='0'><text name='t' text='Measure me'/>"
                   "<string name='s'/><button name='b' text='Press'/><text name='tb' text='Box' flags='#Text_Border'/>"
                   "<listview name='l' height='30'/><container name='c'><empty width='3' height='3'/></container>"
                   "</hbox></window>"));
  int edgeX = GetSystemMetrics(SM_CXEDGE), edgeY = GetSystemMetrics(SM_CYEDGE);
  SIZE text = Extent("t", L"Measure me"), hg = Extent("s", L"Hg"), press = Extent("b", L"Press"), box = Extent("tb", L"Box");
  int windowH = WindowInnerHeight(DialogWindowOf(dialog_));
  EXPECT_EQ(Of("t").w, DeviceToLogicalX(text.cx + 2));
  EXPECT_EQ(Of("s").w, DeviceToLogicalX(2 * edgeX));
  int stringH = DeviceToLogicalY(hg.cy + 2 * edgeY);
  int buttonH = press.cy + LogicalToDeviceY(2 * edgeY);
  if (buttonH >= LogicalToDeviceY(18) && buttonH < LogicalToDeviceY(24))
    buttonH = (int)(buttonH * 1.27) < LogicalToDeviceY(24) ? (int)(buttonH * 1.27) : LogicalToDeviceY(24);
  EXPECT_EQ(Of("b").w, DeviceToLogicalX(press.cx + LogicalToDeviceX(2 * edgeX + 10)));
  EXPECT_EQ(Of("tb").w, DeviceToLogicalX(box.cx + 2 * edgeX));
  // The tallest item sets the row; a list holds whole rows inside its frame.
  int row = DeviceToLogicalY((int)SendMessageW(Handle("l"), LB_GETITEMHEIGHT, 0, 0)), frame = DeviceToLogicalY(2 * edgeY);
  int listH = frame + row * ((30 - frame) / row) < 30 ? frame + row * ((30 - frame) / row + 1) : 30;
  int containerH = 3 + 20;
  int expected = std::max({DeviceToLogicalY(text.cy + 2), stringH, DeviceToLogicalY(buttonH), listH, containerH});
  EXPECT_EQ(windowH, expected);
  EXPECT_EQ(Of("l").h, windowH);
  // Text sits 2 lower when the row leaves room; with a border it fills the row.
  EXPECT_EQ(Of("t").y, windowH - 2 >= DeviceToLogicalY(text.cy + 2) ? 2 : 0);
  EXPECT_EQ(Of("tb").y, 0);
}

static int g_calls = 0;
static WindowEvent g_seen;
static void CountEvent(const WindowEvent& event) {
  g_calls++;
  g_seen = event;
}

TEST_F(DialogTest, EventsProceduresAndRightClicks) {
  RegisterRuntimeProcedure("count", CountEvent);
  ASSERT_TRUE(Open("<window><container name='c'><vbox><button name='b' text='x' onevent='count'/>"
                   "<string name='s' onchange='count'/></vbox></container></window>"));
  WindowEvent e;
  while (WaitWindowEvent(20, &e)) {
  }
  g_calls = 0;
  SendMessageW(Handle("b"), BM_CLICK, 0, 0);
  EXPECT_EQ(g_calls, 1);
  EXPECT_EQ(g_seen.control, Control("b"));
  EXPECT_EQ(g_seen.type, LeftClicked);
  ASSERT_EQ(WaitWindowEvent(200, &e), Event_Control);  // queued as well
  EXPECT_EQ(e.control, Control("b"));
  SetControlText(Control("s"), "set by the program");
  EXPECT_EQ(g_calls, 1);
  SendMessageW(Handle("c"), WM_RBUTTONUP, 0, 0);
  bool rightClick = false;
  while (WaitWindowEvent(50, &e))
    if (e.code == Event_RightClick && e.window == DialogWindowOf(dialog_)) rightClick = true;
  EXPECT_TRUE(rightClick);
}

TEST_F(DialogTest, PanelsSplittersAndScrollAreas) {
  ASSERT_TRUE(Open("<window flags='#Window_SizeGadget'><vbox>"
                   "<panel name='p'><tab name='one' text='One'><button name='b1' text='first'/></tab>"
                   "<tab name='two' text='Two'><button name='b2' text='second'/></tab></panel>"
                   "<splitter name='sp' flags='#Splitter_Vertical' firstmin='auto'>"
                   "<listicon name='left' width='40' height='50'/><listicon name='right' width='60'/></splitter>"
                   "<scrollarea name='area' scrolling='vertical' height='40'><listicon name='inner' width='80' height='200'/></scrollarea>"
                   "</vbox></window>"));
  EXPECT_TRUE(IsWindowVisible(Handle("one")));
  EXPECT_FALSE(IsWindowVisible(Handle("two")));
  EXPECT_EQ(GetParent(Handle("b2")), Handle("two"));
  HWND tabs = GetWindow(Handle("p"), GW_CHILD);
  TabCtrl_SetCurFocus(tabs, 1);
  Pump();
  EXPECT_FALSE(IsWindowVisible(Handle("one")));
  EXPECT_TRUE(IsWindowVisible(Handle("two")));

  // The splitter's children fill their panes, also after the window grows.
  Rect left = Of("left"), right = Of("right");
  EXPECT_EQ(left.x, 0);
  EXPECT_EQ(right.x, 0);
  EXPECT_EQ(left.h, Of("sp").h);
  EXPECT_EQ(left.w + 4 + right.w, Of("sp").w);
  EXPECT_LE(abs(left.w - right.w), 1);  // it opens split in half
  int window = DialogWindowOf(dialog_);
  ResizeWindowTo(window, kIgnore, kIgnore, WindowInnerWidth(window) + 100, kIgnore);
  Pump();
  EXPECT_EQ(Of("left").w + 4 + Of("right").w, Of("sp").w);
  EXPECT_GE(Of("left").w, 40);

  // The scroll area's inside takes the child and its margins; the child keeps its height.
  EXPECT_EQ(Of("inner").h, 200);
  EXPECT_EQ(Of("inner").y, 10);
  SCROLLINFO info = {sizeof info, SIF_RANGE};
  GetScrollInfo(Handle("area"), SB_VERT, &info);
  EXPECT_EQ(info.nMax + 1, LogicalToDeviceY(220));
}

// Inside that fits the height only while there is no horizontal bar: once
// that bar shows, the vertical one must too, with the page of the smaller room.
TEST_F(DialogTest, ScrollBarsFollowTheRoomEachOtherLeaves) {
  ASSERT_TRUE(Open("<window><vbox><scrollarea name='area' width='120' height='100' innerwidth='400' innerheight='88'>"
                   "<empty/></scrollarea></vbox></window>"));
  HWND area = Handle("area");
  RECT client;
  GetClientRect(area, &client);
  LONG style = GetWindowLongW(area, GWL_STYLE);
  ASSERT_TRUE(style & WS_HSCROLL);
  SCROLLINFO vertical = {sizeof vertical, SIF_ALL};
  GetScrollInfo(area, SB_VERT, &vertical);
  EXPECT_EQ((int)vertical.nPage, client.bottom);
  EXPECT_EQ((style & WS_VSCROLL) != 0, LogicalToDeviceY(88) > client.bottom) << client.bottom;
  SCROLLINFO horizontal = {sizeof horizontal, SIF_ALL};
  GetScrollInfo(area, SB_HORZ, &horizontal);
  EXPECT_EQ((int)horizontal.nPage, client.right);
}

TEST_F(DialogTest, WindowBoundsCentringAndStates) {
  ASSERT_TRUE(Open("<window text='Bounds' flags='#Window_SizeGadget|#Window_ScreenCentered' minwidth='400' maxheight='auto'>"
                   "<vbox><option name='o1' text='a'/><option name='o2' text='b'/><button name='x' text='x' disabled='yes'/>"
                   "<option name='o3' text='c'/><button name='hidden' invisible='yes'/></vbox></window>"));
  int window = DialogWindowOf(dialog_);
  HWND hwnd = (HWND)WindowHandle(window);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(WindowInnerWidth(window), 400);
  MINMAXINFO info = {};
  SendMessageW(hwnd, WM_GETMINMAXINFO, 0, (LPARAM)&info);
  RECT frame = {0, 0, 0, 0};
  AdjustWindowRectEx(&frame, GetWindowLongW(hwnd, GWL_STYLE), FALSE, GetWindowLongW(hwnd, GWL_EXSTYLE));
  EXPECT_EQ(info.ptMinTrackSize.x, LogicalToDeviceX(400) + frame.right - frame.left);
  EXPECT_EQ(info.ptMaxTrackSize.y, LogicalToDeviceY(WindowInnerHeight(window)) + frame.bottom - frame.top);
  RECT outer, work;
  GetWindowRect(hwnd, &outer);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR((outer.left + outer.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, (work.top + work.bottom) / 2, 1);
  // Consecutive options form a group; a new group starts after another control.
  EXPECT_TRUE(GetWindowLongW(Handle("o1"), GWL_STYLE) & WS_GROUP);
  EXPECT_FALSE(GetWindowLongW(Handle("o2"), GWL_STYLE) & WS_GROUP);
  EXPECT_TRUE(GetWindowLongW(Handle("o3"), GWL_STYLE) & WS_GROUP);
  EXPECT_FALSE(IsWindowEnabled(Handle("x")));
  EXPECT_FALSE(IsWindowVisible(Handle("hidden")));
}

TEST_F(DialogTest, AFailedOpenLeavesNoWindow) {
  EXPECT_FALSE(Open("<window text='Broken'><vbox><button name='b'/><text flags='#Nope'/></vbox></window>"));
  EXPECT_STREQ(DialogError(dialog_), "'#Nope' flag is not supported for the following gadget: text");
  EXPECT_EQ(DialogWindowOf(dialog_), -1);
  EXPECT_EQ(FindWindowW(L"TintvaneWindow", L"Broken"), nullptr);
  ASSERT_TRUE(Open("<window text='Fine'><button name='b'/></window>"));
  HWND fine = (HWND)WindowHandle(DialogWindowOf(dialog_));
  ReleaseDialog(dialog_);
  EXPECT_FALSE(IsWindow(fine));
  EXPECT_EQ(DialogWindowOf(dialog_), -1);
}
