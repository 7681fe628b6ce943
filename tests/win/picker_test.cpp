// The screen picker over a window painted with a known pattern, driven by
// real input. Run at several display scales: with TINTVANE_EXPECT_PPI set,
// the test first checks that the screen reports that many pixels per inch.
#include <stdlib.h>

#include <algorithm>
#include <string>

#include "app/program_context.h"
#include "color/capture.h"
#include "color/color_value.h"
#include "tests/win/color_widgets_fixture.h"

class PickerTest : public ColorWidgetsTest {
 protected:
  void SetUp() override {
    ColorWidgetsTest::SetUp();
    if (const char* ppi = getenv("TINTVANE_EXPECT_PPI")) {
      HDC screen = GetDC(nullptr);
      ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSX), atoi(ppi));
      ReleaseDC(nullptr, screen);
    }
  }

  // Press on the picker, move over the pattern to (x, y), one live tick,
  // release: the whole pick as the user does it.
  void PickAt(int x, int y) {
    ASSERT_TRUE(PressOn(w_.cmdSelector, 20, 20));
    ASSERT_EQ(GProgram->drag.state, DRAG_PICKING);
    EXPECT_EQ(ReadCanvasAttribute(w_.cmdSelector, CursorShape), CURSOR_CROSS);
    ASSERT_TRUE(MovePointer(pattern_, x, y, w_.cmdSelector));  // the picker holds the mouse
    CaptureScreen(true);  // the focus poll's tick
    EXPECT_EQ(CONFIG.Color, PatternColor(x, y));
    EXPECT_EQ(CONFIG.ColorRecent[0], 0);  // nothing committed yet
    SendMouse({MOUSEEVENTF_LEFTUP});
    ASSERT_TRUE(RouteUntil(w_.cmdSelector, LeftReleased));
  }
};

// Where a pattern colour was on the pattern canvas.
static int PatternX(int color) { return RedOf(color); }
static int PatternY(int color) { return GreenOf(color); }

// Checks that the view shows the region (left, top) .. (left + 30, top + 20)
// magnified in solid blocks: every view pixel is a region pixel, the region
// columns and rows follow each other in order across the whole view, and
// each takes a run of about the same length.
static void ExpectMagnifiedRegion(const std::vector<int>& view, int width, int height, int left, int top) {
  ASSERT_EQ(view.size(), (size_t)width * height);
  std::vector<int> columnRun(31), rowRun(21);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      int c = view[(size_t)y * width + x];
      int sx = PatternX(c) - left, sy = PatternY(c) - top;
      ASSERT_EQ(BlueOf(c), 128) << x << "," << y;
      ASSERT_TRUE(sx >= 0 && sx < 31 && sy >= 0 && sy < 21) << x << "," << y;
      ASSERT_LE(abs(sx - x * 31 / width), 1) << x;
      ASSERT_LE(abs(sy - y * 21 / height), 1) << y;
      if (y == 0) columnRun[(size_t)sx]++;
      if (x == 0) rowRun[(size_t)sy]++;
      if (x > 0) {
        ASSERT_GE(sx, PatternX(view[(size_t)y * width + x - 1]) - left);
      }
      if (y > 0) {
        ASSERT_GE(sy, PatternY(view[(size_t)(y - 1) * width + x]) - top);
      }
    }
  for (int run : columnRun) EXPECT_TRUE(run == width / 31 || run == width / 31 + 1) << run;
  for (int run : rowRun) EXPECT_TRUE(run == height / 21 || run == height / 21 + 1) << run;
}

TEST_F(PickerTest, PickTakesThePixelUnderThePointerAndCommitsTheRegion) {
  PickAt(60, 40);
  EXPECT_EQ(CONFIG.Color, PatternColor(60, 40));
  EXPECT_EQ(GProgram->drag.state, DRAG_IDLE);
  EXPECT_EQ(ReadCanvasAttribute(w_.cmdSelector, CursorShape), CURSOR_ARROW);
  EXPECT_EQ(CONFIG.ColorRecent[0], PatternColor(60, 40));
  EXPECT_EQ(CONFIG.ColorRecent[1], 0);
  EXPECT_EQ(ListRowColor(0), PatternColor(60, 40));
  EXPECT_EQ(ControlText(w_.txtRGB), FormatColor(PatternColor(60, 40), NOTATION_HTML, 0));

  // The stored region, column by column.
  for (int i = 0; i < kCapturedPixelCount; i++)
    ASSERT_EQ(CONFIG.CapturedImgData[i], PatternColor(60 - 15 + i / 21, 40 - 10 + i % 21)) << i;

  // The committed view: the region over the whole surface, no crosshair.
  int width = 0, height = 0;
  std::vector<int> view = Pixels(CanvasTarget(w_.imgPaletteCapture), &width, &height);
  EXPECT_EQ(width, LogicalToDeviceX(156) - 4);
  ExpectMagnifiedRegion(view, width, height, 60 - 15, 40 - 10);

  // The palette: 651 colours, one each, so 33 boxes of the region's colours.
  std::vector<int> palette = Pixels(CanvasTarget(w_.imgPaletteAuto));
  for (int c : palette) {
    ASSERT_EQ(BlueOf(c), 128);
    ASSERT_LT(abs(PatternX(c) - 60), 16);
  }
}

// Each live tick shows the pixel under the pointer at once in the swatch,
// txtRGB and the channel fields; the history waits for the release.
TEST_F(PickerTest, SwatchAndCodeFollowThePointerLiveDuringAPick) {
  ASSERT_TRUE(PressOn(w_.cmdSelector, 20, 20));
  ASSERT_EQ(GProgram->drag.state, DRAG_PICKING);
  const int points[][2] = {{30, 20}, {90, 60}, {91, 60}};
  for (const auto& p : points) {
    SCOPED_TRACE(testing::Message() << "pointer at " << p[0] << "," << p[1]);
    ASSERT_TRUE(MovePointer(pattern_, p[0], p[1], w_.cmdSelector));
    CaptureScreen(true);
    int color = PatternColor(p[0], p[1]);
    EXPECT_EQ(ControlText(w_.txtRGB), FormatColor(color, NOTATION_HTML, 0));
    EXPECT_EQ(PixelAt(w_.imgPaletteCurrent, 0, 0), color);
    EXPECT_EQ(PixelAt(w_.imgPaletteCurrent, 59, 59), color);
    EXPECT_EQ(ControlText(w_.txtR), std::to_string(RedOf(color)));
    EXPECT_EQ(ControlText(w_.txtG), std::to_string(GreenOf(color)));
    EXPECT_EQ(CONFIG.ColorRecent[0], 0);
  }
  SendMouse({MOUSEEVENTF_LEFTUP});
  ASSERT_TRUE(RouteUntil(w_.cmdSelector, LeftReleased));
}

TEST_F(PickerTest, DraggingOverTheCaptureViewPicksTheMagnifiedPixels) {
  PickAt(60, 40);
  int view = w_.imgPaletteCapture;
  ASSERT_TRUE(PressOn(view, 3, 3));
  EXPECT_EQ(CONFIG.Color, PatternColor(60 - 15, 40 - 10));  // the region's top-left pixel
  int width = 0, height = 0;
  Pixels(CanvasTarget(view), &width, &height);
  ASSERT_TRUE(MovePointer(view, width - 1, height - 1, view));
  EXPECT_EQ(CONFIG.Color, PatternColor(60 + 15, 40 + 10));  // the bottom-right one
  SendMouse({MOUSEEVENTF_LEFTUP});
  ASSERT_TRUE(RouteUntil(view, LeftReleased));
  EXPECT_EQ(CONFIG.ColorRecent[0], PatternColor(75, 50));
  EXPECT_EQ(CONFIG.ColorRecent[1], PatternColor(60, 40));
  EXPECT_EQ(CONFIG.CapturedImgData[0], PatternColor(45, 30));  // the stored region stays
}

TEST_F(PickerTest, LiveCaptureMarksTheCentreWithAPulsingCrosshair) {
  ASSERT_TRUE(MovePointer(pattern_, 100, 70, pattern_));
  int levels[2];
  for (int tick = 0; tick < 2; tick++) {
    CaptureScreen(true);
    EXPECT_EQ(CONFIG.Color, PatternColor(100, 70));
    int width = 0, height = 0;
    std::vector<int> view = Pixels(CanvasTarget(w_.imgPaletteCapture), &width, &height);
    // The view pixels whose region pixel is the centre, and the ones just above and left of it.
    auto at = [&](int sx, int sy) { return view[(size_t)((2 * sy + 1) * height / 42) * width + (2 * sx + 1) * width / 62]; };
    EXPECT_EQ(at(15, 10), PatternColor(100, 70));
    int grey = at(15, 9);
    EXPECT_EQ(grey, at(14, 10));
    EXPECT_EQ(grey, at(16, 10));
    EXPECT_EQ(grey, at(15, 11));
    EXPECT_EQ(RedOf(grey), GreenOf(grey));
    EXPECT_EQ(RedOf(grey), BlueOf(grey));
    levels[tick] = RedOf(grey);
    EXPECT_EQ(at(14, 9), PatternColor(99, 69));
  }
  EXPECT_EQ(abs(levels[1] - levels[0]), 12);
}

// A settings file in the temporary folder, removed afterwards.
class StoredCaptureTest : public PickerTest {
 protected:
  void SetUp() override {
    PickerTest::SetUp();
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    file_ = std::string(folder) + "tintvane-stored-capture.bin";
  }
  void TearDown() override {
    DeleteFileA(file_.c_str());
    PickerTest::TearDown();
  }
  std::string file_;
};

TEST_F(StoredCaptureTest, SurvivesSavingLoadingAndRestoring) {
  PickAt(100, 70);  // the whole region on the pattern at every scale
  std::vector<int> view = Pixels(CanvasTarget(w_.imgPaletteCapture));
  std::vector<int> palette = Pixels(CanvasTarget(w_.imgPaletteAuto));
  ConfigRecord picked = CONFIG;
  ASSERT_EQ(SaveSettings(file_.c_str(), &CONFIG, kConfigDescriptor, {true, 0}).outcome, SETTINGS_SAVED);

  memset(&CONFIG, 0, sizeof CONFIG);
  LoadSettings(file_.c_str(), &CONFIG, kConfigDescriptor);
  EXPECT_EQ(memcmp(CONFIG.CapturedImgData, picked.CapturedImgData, sizeof picked.CapturedImgData), 0);
  int color = CONFIG.Color;
  SetCanvasBackground(w_.imgPaletteCapture, 0);
  SetCanvasBackground(w_.imgPaletteAuto, 0);
  RestoreCapture();
  EXPECT_EQ(Pixels(CanvasTarget(w_.imgPaletteCapture)), view);
  EXPECT_EQ(Pixels(CanvasTarget(w_.imgPaletteAuto)), palette);
  EXPECT_EQ(CONFIG.Color, color);

  // A first start: all black.
  memset(CONFIG.CapturedImgData, 0, sizeof CONFIG.CapturedImgData);
  RestoreCapture();
  for (int c : Pixels(CanvasTarget(w_.imgPaletteCapture))) ASSERT_EQ(c, 0);
  for (int c : Pixels(CanvasTarget(w_.imgPaletteAuto))) ASSERT_EQ(c, 0);
}
