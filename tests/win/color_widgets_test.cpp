// The channel views, the swatch strips and the drag protocol on real
// controls, driven by real input.
#include "tests/win/color_widgets_fixture.h"

#include "app/current_color.h"
#include "app/program_context.h"
#include "color/color_value.h"
#include "runtime/pointer.h"
#include "tests/win/dialog_answer.h"

//-----------------------------------------------------------------------------
// Channel fields and strips
//-----------------------------------------------------------------------------

// The colours a text field is painted with, as its parent answers them.
static void FieldColors(int field, COLORREF* background, COLORREF* text) {
  HWND edit = (HWND)ControlHandle(field);
  HDC dc = CreateCompatibleDC(nullptr);
  SendMessageW(GetParent(edit), WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)edit);
  *background = GetBkColor(dc);
  *text = GetTextColor(dc);
  DeleteDC(dc);
}

TEST_F(ColorWidgetsTest, FieldsShowTheChannelsInTheirColorsWithoutChangeEvents) {
  const int kWhite = 0xFFFFFF, kDarkGrey = ComposeColor(64, 64, 64);
  const struct {
    int color;
    const char* texts[3];
    int textColor[3];
  } cases[] = {
      {ComposeColor(10, 20, 30), {"10", "20", "30"}, {kWhite, kWhite, kWhite}},
      {ComposeColor(0, 192, 255), {"0", "192", "255"}, {kWhite, kWhite, kWhite}},
      {ComposeColor(255, 193, 0), {"255", "193", "0"}, {kWhite, kDarkGrey, kWhite}},
  };
  const int fields[3] = {w_.txtR, w_.txtG, w_.txtB};
  for (const auto& c : cases) {
    RefreshChannelViews(c.color, false);
    for (int i = 0; i < 3; i++) {
      EXPECT_EQ(ControlText(fields[i]), c.texts[i]) << c.color;
      COLORREF background, text;
      FieldColors(fields[i], &background, &text);
      int channel = (c.color >> (8 * i)) & 0xFF;
      EXPECT_EQ((int)background, channel << (8 * i));
      EXPECT_EQ((int)text, c.textColor[i]);
    }
  }

  // A field whose number already is the channel keeps its text; forced, it is rewritten.
  SetControlText(w_.txtG, "0193");
  RefreshChannelViews(ComposeColor(254, 193, 0), false);
  EXPECT_EQ(ControlText(w_.txtG), "0193");
  EXPECT_EQ(ControlText(w_.txtR), "254");
  RefreshChannelViews(ComposeColor(254, 193, 0), true);
  EXPECT_EQ(ControlText(w_.txtG), "193");

  WindowEvent e;
  while (WaitWindowEvent(50, &e))  // the program's own rewriting raises no change
    EXPECT_FALSE(e.code == Event_Control && e.type == Changed) << e.control;
}

TEST_F(ColorWidgetsTest, StripsShowEachChannelFromZeroToFull) {
  RefreshChannelViews(ComposeColor(10, 20, 30), false);
  int width = 0;
  std::vector<int> red = Pixels(CanvasTarget(w_.imgPaletteR), &width);
  std::vector<int> green = Pixels(CanvasTarget(w_.imgPaletteG));
  std::vector<int> blue = Pixels(CanvasTarget(w_.imgPaletteB));
  ASSERT_EQ(width, 256);  // each column shows its own index
  for (size_t i = 0; i < red.size(); i++) {
    int x = (int)i % width;
    ASSERT_EQ(red[i], ComposeColor(x, 20, 30)) << i;
    ASSERT_EQ(green[i], ComposeColor(10, x, 30)) << i;
    ASSERT_EQ(blue[i], ComposeColor(10, 20, x)) << i;
  }
  // On screen too.
  POINT origin = {0, 0};
  ClientToScreen((HWND)ControlHandle(w_.imgPaletteG), &origin);
  EXPECT_TRUE(ScreenShows(origin.x, origin.y, 256, 1, [] {
    return ReadPixel(0, 0) == ComposeColor(10, 0, 30) && ReadPixel(255, 0) == ComposeColor(10, 255, 30);
  }));

  // A strip 101 pixels wide: column 50 falls just below the half and shows 127.
  ResizeControl(w_.imgPaletteB, kIgnore, kIgnore, 101, kIgnore);
  RefreshChannelViews(ComposeColor(10, 20, 30), true);
  const int columns[][2] = {{0, 0}, {1, 3}, {2, 5}, {50, 127}, {99, 252}, {100, 255}};
  for (const auto& c : columns) EXPECT_EQ(PixelAt(w_.imgPaletteB, c[0], 19), ComposeColor(10, 20, c[1])) << c[0];
}

//-----------------------------------------------------------------------------
// Drag protocol on a strip
//-----------------------------------------------------------------------------

TEST_F(ColorWidgetsTest, DragOnAStripFollowsThePointerAndCommitsOnceAtRelease) {
  CONFIG.Color = ComposeColor(10, 20, 30);
  ShowCurrentColor();
  ASSERT_TRUE(PressOn(w_.imgPaletteR, 100, 10));
  EXPECT_EQ(CONFIG.Color, ComposeColor(100, 20, 30));
  EXPECT_EQ(GProgram->drag.state, DRAG_SLIDER);
  EXPECT_EQ(ReadCanvasAttribute(w_.imgPaletteR, CursorShape), CURSOR_CROSS);
  EXPECT_EQ(ControlText(w_.txtR), "100");
  EXPECT_EQ(ControlText(w_.txtRGB), "#64141E");

  ASSERT_TRUE(MovePointer(w_.imgPaletteR, 150, 5, w_.imgPaletteR));
  EXPECT_EQ(CONFIG.Color, ComposeColor(150, 20, 30));
  EXPECT_EQ(PixelAt(w_.imgPaletteCurrent, 0, 0), ComposeColor(150, 20, 30));

  // Up moves the pointer one pixel right; the move samples there.
  SendKeys({{VK_UP, false}, {VK_UP, true}});
  ASSERT_TRUE(RouteUntil(w_.imgPaletteR, PointerMoved));
  EXPECT_EQ(CONFIG.Color, ComposeColor(151, 20, 30));
  EXPECT_EQ(CONFIG.ColorRecent[0], 0);  // nothing committed while dragging
  EXPECT_EQ(ListRowColor(0), ComposeColor(10, 20, 30));

  SendMouse({MOUSEEVENTF_LEFTUP});
  ASSERT_TRUE(RouteUntil(w_.imgPaletteR, LeftReleased));
  EXPECT_EQ(CONFIG.Color, ComposeColor(151, 20, 30));
  EXPECT_EQ(GProgram->drag.state, DRAG_IDLE);
  EXPECT_EQ(ReadCanvasAttribute(w_.imgPaletteR, CursorShape), CURSOR_ARROW);
  EXPECT_EQ(CONFIG.ColorRecent[0], ComposeColor(151, 20, 30));
  EXPECT_EQ(CONFIG.ColorRecent[1], 0);
  EXPECT_EQ(PixelAt(w_.imgPaletteHistory, 0, 0), ComposeColor(151, 20, 30));
  EXPECT_EQ(ListRowColor(0), ComposeColor(151, 20, 30));
}

class PrecisionModeTest : public ColorWidgetsTest {
 protected:
  void SetUp() override {
    userSpeed_ = SystemMouseSpeed();
    ColorWidgetsTest::SetUp();
  }
  void TearDown() override {
    HoldControlKey(false);
    SendMouse({MOUSEEVENTF_LEFTUP});
    ColorWidgetsTest::TearDown();
    SetSystemMouseSpeed(userSpeed_);
  }
  int userSpeed_ = 0;
};

// The pointer rests before Ctrl goes down: under a virtual display the echo
// of a move also resets the modifier keys to the display's own state.
TEST_F(PrecisionModeTest, CtrlQuartersTheMouseSpeedDuringADragAndTheSpeedComesBack) {
  const int cases[][2] = {{10, 2}, {17, 4}, {2, 1}};  // saved speed, slowed speed (never 0)
  for (const auto& c : cases) {
    ASSERT_TRUE(SetSystemMouseSpeed(c[0]));
    // Ctrl let go during the drag: the next move restores the speed.
    ASSERT_TRUE(PressOn(w_.imgPaletteG, 20, 10, true));
    EXPECT_EQ(SystemMouseSpeed(), c[1]) << c[0];
    ASSERT_TRUE(HoldControlKey(false));
    ASSERT_TRUE(MovePointer(w_.imgPaletteG, 30, 10, w_.imgPaletteG));
    EXPECT_EQ(SystemMouseSpeed(), c[0]);
    SendMouse({MOUSEEVENTF_LEFTUP});
    ASSERT_TRUE(RouteUntil(w_.imgPaletteG, LeftReleased));

    // Ctrl held to the end: the release restores it.
    ASSERT_TRUE(PressOn(w_.imgPaletteG, 30, 10, true));
    EXPECT_EQ(SystemMouseSpeed(), c[1]);
    SendMouse({MOUSEEVENTF_LEFTUP});
    ASSERT_TRUE(RouteUntil(w_.imgPaletteG, LeftReleased));
    EXPECT_EQ(SystemMouseSpeed(), c[0]);
    ASSERT_TRUE(HoldControlKey(false));
  }
}

//-----------------------------------------------------------------------------
// Swatch, history and palette
//-----------------------------------------------------------------------------

TEST_F(ColorWidgetsTest, SwatchAndCodeFollowTheColorAndTheNotation) {
  RefreshCurrentSwatch(ComposeColor(0, 128, 255), false);
  std::vector<int> swatch = Pixels(CanvasTarget(w_.imgPaletteCurrent));
  ASSERT_EQ(swatch.size(), 60u * 60u);
  for (int pixel : swatch) ASSERT_EQ(pixel, ComposeColor(0, 128, 255));
  EXPECT_EQ(ControlText(w_.txtRGB), "#0080FF");

  CONFIG.ColorFormat = NOTATION_C;
  CONFIG.ColorFormatLCase = 1;
  RefreshCurrentSwatch(ComposeColor(0, 128, 255), false);  // the same colour: nothing to do
  EXPECT_EQ(ControlText(w_.txtRGB), "#0080FF");
  RefreshCurrentSwatch(ComposeColor(0, 128, 255), true);
  EXPECT_EQ(ControlText(w_.txtRGB), "0xff8000");
}

TEST_F(ColorWidgetsTest, HistoryBoxesFillTheStripAndAddingMovesToTheFront) {
  for (int i = 0; i < kRecentColorCount; i++) CONFIG.ColorRecent[i] = ComposeColor(i * 16, 100, 200);
  DrawHistory();
  // 100 pixels: four boxes of 7, then twelve of 6.
  for (int i = 0, x = 0; i < kRecentColorCount; i++) {
    int width = i < 4 ? 7 : 6;
    EXPECT_EQ(PixelAt(w_.imgPaletteHistory, x, 0), CONFIG.ColorRecent[i]) << i;
    EXPECT_EQ(PixelAt(w_.imgPaletteHistory, x + width - 1, 19), CONFIG.ColorRecent[i]) << i;
    x += width;
  }
  int fifth = CONFIG.ColorRecent[5];
  AddToHistory(fifth);
  EXPECT_EQ(CONFIG.ColorRecent[0], fifth);
  EXPECT_EQ(CONFIG.ColorRecent[5], ComposeColor(4 * 16, 100, 200));
  EXPECT_EQ(PixelAt(w_.imgPaletteHistory, 0, 0), fifth);
  EXPECT_EQ(PixelAt(w_.imgPaletteHistory, 7, 0), ComposeColor(0, 100, 200));

  // The colour already at the front changes nothing in the history, but the
  // strip is drawn again: what was painted over it is gone.
  int recent[kRecentColorCount];
  memcpy(recent, CONFIG.ColorRecent, sizeof recent);
  ASSERT_TRUE(BeginDrawing(CanvasTarget(w_.imgPaletteHistory)));
  FillBox(0, 0, SurfaceWidth(), SurfaceHeight(), 0x123456);
  EndDrawing();
  AddToHistory(fifth);
  EXPECT_EQ(memcmp(recent, CONFIG.ColorRecent, sizeof recent), 0);
  EXPECT_EQ(PixelAt(w_.imgPaletteHistory, 0, 0), fifth);
  EXPECT_EQ(PixelAt(w_.imgPaletteHistory, 99, 19), CONFIG.ColorRecent[15]);
}

TEST_F(ColorWidgetsTest, PaletteBoxesAreAsWideAsTheirShare) {
  // 500 white and 151 red pixels on a 170-pixel strip: red 44, white 126.
  int image = CreatePixelImage(kAutoNumber, 31, 21, 32, 0xFFFFFF);
  ASSERT_TRUE(BeginDrawing(ImageTarget(image)));
  for (int i = 0; i < 151; i++) WritePixel(i % 31, i / 31, ComposeColor(200, 30, 30));
  EndDrawing();
  BuildAutoPalette(image, w_.imgPaletteAuto);
  int width = 0;
  std::vector<int> strip = Pixels(CanvasTarget(w_.imgPaletteAuto), &width);
  ASSERT_EQ(width, 170);
  for (size_t i = 0; i < strip.size(); i++)
    ASSERT_EQ(strip[i], (int)i % width < 44 ? ComposeColor(200, 30, 30) : 0xFFFFFF) << i;

  // Nothing to count leaves the strip as it is.
  BuildAutoPalette(4711, w_.imgPaletteAuto);
  EXPECT_EQ(Pixels(CanvasTarget(w_.imgPaletteAuto)), strip);
}

TEST_F(ColorWidgetsTest, PressOnTheSwatchOpensTheColorDialog) {
  CONFIG.Color = ComposeColor(0x1A, 0x2B, 0x3C);
  ShowCurrentColor();
  AnswerNextColorDialog(IDCANCEL, nullptr);
  ASSERT_TRUE(PressOn(w_.imgPaletteCurrent, 30, 30));
  SendMouse({MOUSEEVENTF_LEFTUP});
  EXPECT_EQ(CONFIG.Color, ComposeColor(0x1A, 0x2B, 0x3C));
  EXPECT_EQ(CONFIG.ColorRecent[0], 0);

  AnswerNextColorDialog(IDOK, L"200");
  ASSERT_TRUE(PressOn(w_.imgPaletteCurrent, 30, 30));
  SendMouse({MOUSEEVENTF_LEFTUP});
  EXPECT_EQ(CONFIG.Color, ComposeColor(200, 0x2B, 0x3C));
  EXPECT_EQ(CONFIG.ColorRecent[0], ComposeColor(200, 0x2B, 0x3C));
  EXPECT_EQ(ListRowColor(0), ComposeColor(200, 0x2B, 0x3C));
  EXPECT_EQ(ControlText(w_.txtR), "200");
  EXPECT_EQ(PixelAt(w_.imgPaletteCurrent, 5, 5), ComposeColor(200, 0x2B, 0x3C));
}

//-----------------------------------------------------------------------------
// Name list
//-----------------------------------------------------------------------------

static std::string ClipboardText() {
  std::string text = "<none>";
  if (!OpenClipboard(nullptr)) return "<unopenable>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* p = (const wchar_t*)GlobalLock(data)) {
      text.clear();
      for (; *p; p++) text += (char)*p;  // the colour notations are ASCII
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// A new widget set starts with every redraw cache empty: a list that the
// colour was listed in before does not make the new list skip it.
TEST_F(ColorWidgetsTest, ANewWidgetSetListsTheLastListedColorAgain) {
  CONFIG.Color = ComposeColor(0x1A, 0x2B, 0x3C);
  ShowCurrentColor();
  ASSERT_EQ(ListView_GetItemCount((HWND)ControlHandle(w_.lstResults)), 34);
  ListView_DeleteAllItems((HWND)ControlHandle(w_.lstResults));  // as a fresh list would be
  SetColorWidgets(w_);
  SetCurrentColor(CONFIG.Color, SET_COLOR_REFRESH_NAME_LIST);
  EXPECT_EQ(ListView_GetItemCount((HWND)ControlHandle(w_.lstResults)), 34);
  EXPECT_EQ(ListRowColor(0), CONFIG.Color);
}

// The source row (row 0) holds the colour the list was made for. Selecting it
// raises Changed, which the event loop answers with SetCurrentColor of the
// selected row's colour, without name list and history: the
// source colour comes back, and with automatic copying on it is copied.
TEST_F(ColorWidgetsTest, SelectingTheSourceRowRestoresAndCopiesTheSourceColor) {
  const int source = ComposeColor(0x1A, 0x2B, 0x3C), typed = ComposeColor(200, 0x2B, 0x3C);
  CONFIG.Color = source;
  ShowCurrentColor();
  CONFIG.Autocopy = 1;
  SetCurrentColor(typed, SET_COLOR_VIEWS_ONLY);  // as typing in a field: the list stays
  ASSERT_EQ(ClipboardText(), "#C82B3C");
  ASSERT_EQ(ListRowColor(0), source);

  WindowEvent e;
  while (WaitWindowEvent(0, &e)) {
  }
  ListView_SetItemState((HWND)ControlHandle(w_.lstResults), 0, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  ASSERT_TRUE(RouteUntil(w_.lstResults, Changed));
  int selected = SelectedNameListColor(w_.lstResults);
  ASSERT_NE(selected, -1);
  SetCurrentColor(selected, SET_COLOR_VIEWS_ONLY);

  EXPECT_EQ(CONFIG.Color, source);
  EXPECT_EQ(ClipboardText(), "#1A2B3C");
  EXPECT_EQ(ControlText(w_.txtRGB), "#1A2B3C");
  EXPECT_EQ(ControlText(w_.txtR), "26");
  EXPECT_EQ(CONFIG.ColorRecent[0], 0);
}
