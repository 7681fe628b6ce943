// Drawing contexts and numbered images on real bitmaps, screen copies and
// canvas surfaces.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "runtime/canvas.h"
#include "runtime/drawing.h"
#include "runtime/images.h"
#include "runtime/windowing.h"
#include "tests/fixtures/image_files.h"
#include "tests/win/screen.h"

class DrawingTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EndDrawing();
    ReleaseImage(kAllImages);
    CloseAllWindows();
  }
};

TEST_F(DrawingTest, NothingToDrawOnGivesNothing) {
  EXPECT_EQ(ImageTarget(4711).kind, TARGET_NONE);
  EXPECT_EQ(CanvasTarget(4711).kind, TARGET_NONE);
  EXPECT_EQ(BeginDrawing(ImageTarget(4711)), nullptr);
  EXPECT_EQ(BeginDrawing(DrawingTarget{TARGET_IMAGE, 4711}), nullptr);  // a stale target
  EXPECT_EQ(EndDrawing(), 0);
  // Drawing without a context does nothing.
  FillBox(0, 0, 10, 10, 0);
  DrawLine(0, 0, 5, 5, 0);
  WritePixel(0, 0, 0);
  DrawBitmap(nullptr, 0, 0);
  BlendBitmap(nullptr, 0, 0);
  EXPECT_EQ(ReadPixel(0, 0), 0);
  EXPECT_EQ(SurfaceWidth(), 0);

  // Contexts do not nest.
  int a = CreatePixelImage(kAutoNumber, 4, 4, 24, 0xFFFFFF), b = CreatePixelImage(kAutoNumber, 4, 4, 24, 0);
  ASSERT_NE(BeginDrawing(ImageTarget(a)), nullptr);
  EXPECT_EQ(BeginDrawing(ImageTarget(b)), nullptr);
  EXPECT_EQ(ReadPixel(0, 0), 0xFFFFFF);  // still drawing on the first
  EXPECT_EQ(ReadPixel(4, 0), 0);          // outside the target
  WritePixel(-1, 2, 0);                   // ignored
  EXPECT_EQ(EndDrawing(), 1);
}

TEST_F(DrawingTest, CreatingImages) {
  const struct {
    int bits, background;
    int depth, color, alpha;
  } cases[] = {
      {32, -1, 32, 0, 0},  // transparent black
      {32, 0, 32, 0, 255},  // opaque black
      {32, 0x123456, 32, 0x123456, 255},
      {24, 0x654321, 24, 0x654321, -1},
      {8, 0x00FF00, 24, 0x00FF00, -1},  // any other depth is 24 bits
  };
  for (const auto& c : cases) {
    int image = CreatePixelImage(kAutoNumber, 3, 2, c.bits, c.background);
    ASSERT_GT(image, 0);
    EXPECT_EQ(ImageDepth(image), c.depth);
    DIBSECTION section;
    ASSERT_EQ(GetObjectW((HBITMAP)ImageBitmap(image), sizeof section, &section), (int)sizeof section);
    EXPECT_EQ(section.dsBm.bmBitsPixel, c.depth);
    EXPECT_GT(section.dsBmih.biHeight, 0);  // bottom-up
    ASSERT_TRUE(BeginDrawing(ImageTarget(image)));
    EXPECT_EQ(ReadPixel(2, 1), c.color);
    EndDrawing();
    if (c.alpha >= 0) {
      EXPECT_EQ(((unsigned char*)section.dsBm.bmBits)[3], c.alpha);
    }
  }
  // Bad sizes take no number; a chosen number replaces its image.
  for (int size : {0, -3, 100000}) EXPECT_EQ(CreatePixelImage(77, size, size, 24, 0), 0);
  EXPECT_FALSE(ImageExists(77));
  EXPECT_EQ(CreatePixelImage(77, 5, 5, 24, 0), 77);
  EXPECT_EQ(CreatePixelImage(77, 8, 6, 32, 0), 77);
  EXPECT_EQ(ImageWidth(77), 8);
  EXPECT_EQ(CreatePixelImage(-5, 5, 5, 24, 0), 0);
  ReleaseImage(77);
  EXPECT_FALSE(ImageExists(77));
  EXPECT_EQ(ImageBitmap(77), nullptr);
  ReleaseImage(77);  // twice is harmless
}

TEST_F(DrawingTest, EdgeCasesOnBothDepths) {
  for (int bits : {24, 32}) {
    SCOPED_TRACE(bits);
    int image = CreatePixelImage(kAutoNumber, 30, 12, bits, 0xFFFFFF);
    ASSERT_TRUE(BeginDrawing(ImageTarget(image)));
    EXPECT_EQ(SurfaceWidth(), 30);
    EXPECT_EQ(SurfaceHeight(), 12);
    FillBox(-5, -5, 10, 10, 0x0000FF);  // the 5 x 5 pixels at the top left
    FillBox(20, 6, -10, 1, 0x00FF00);   // columns 10 to 19
    DrawLine(3, 7, 3, 2, 0xFF0000);     // (3, 2) to (3, 7)
    EXPECT_EQ(ReadPixel(4, 4), 0x0000FF);
    EXPECT_EQ(ReadPixel(5, 4), 0xFFFFFF);
    EXPECT_EQ(ReadPixel(10, 6), 0x00FF00);
    EXPECT_EQ(ReadPixel(19, 6), 0x00FF00);
    EXPECT_EQ(ReadPixel(20, 6), 0xFFFFFF);
    EXPECT_EQ(ReadPixel(3, 1), 0x0000FF);
    for (int y = 2; y <= 7; y++) EXPECT_EQ(ReadPixel(3, y), 0xFF0000);
    EXPECT_EQ(ReadPixel(3, 8), 0xFFFFFF);
    for (int color : {0, 1, 0xFF, 0x100, 0x10000, 0x7F7F7F, 0xFFFFFF, 0xABCDEF}) {
      WritePixel(29, 11, color);
      EXPECT_EQ(ReadPixel(29, 11), color);
    }
    EndDrawing();
  }
}

TEST_F(DrawingTest, PlatformDrawingIsInThePixelsAtOnce) {
  int image = CreatePixelImage(kAutoNumber, 20, 10, 32, 0);
  HDC dc = (HDC)BeginDrawing(ImageTarget(image));
  ASSERT_NE(dc, nullptr);
  RECT box = {5, 2, 8, 4};
  HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
  FillRect(dc, &box, brush);
  DeleteObject(brush);
  EXPECT_EQ(ReadPixel(5, 2), ComposeColor(10, 20, 30));
  EXPECT_EQ(ReadPixel(7, 3), ComposeColor(10, 20, 30));
  EXPECT_EQ(ReadPixel(8, 3), 0);
  EndDrawing();
}

TEST_F(DrawingTest, BitmapsAreCopiedOrBlendedByStraightAlpha) {
  fixture::Bytes png = fixture::AlphaPng();
  int icon = DecodeImage(kAutoNumber, png.data(), png.size());
  ASSERT_GT(icon, 0);
  EXPECT_EQ(ImageDepth(icon), 32);
  int blended = CreatePixelImage(kAutoNumber, 4, 3, 24, 0), copied = CreatePixelImage(kAutoNumber, 4, 3, 24, 0);
  BeginDrawing(ImageTarget(blended));
  BlendBitmap(ImageBitmap(icon), 1, 1);  // the bottom line falls off the target
  EXPECT_EQ(ReadPixel(1, 1), ComposeColor(128, 0, 0));  // red 255 at alpha 128 over black
  EXPECT_EQ(ReadPixel(2, 1), ComposeColor(0, 255, 0));  // opaque
  EXPECT_EQ(ReadPixel(3, 1), 0);                          // transparent
  EXPECT_EQ(ReadPixel(1, 2), ComposeColor(10 * 40 / 255, 20 * 40 / 255, 30 * 40 / 255));
  EXPECT_EQ(ReadPixel(0, 0), 0);
  EndDrawing();
  BeginDrawing(ImageTarget(copied));
  DrawBitmap(ImageBitmap(icon), -1, 0);  // alpha ignored
  EXPECT_EQ(ReadPixel(0, 0), ComposeColor(0, 255, 0));
  EXPECT_EQ(ReadPixel(1, 0), ComposeColor(0, 0, 255));
  EXPECT_EQ(ReadPixel(2, 0), 0);

  // A device-dependent bitmap is converted first.
  HDC screen = GetDC(nullptr);
  HBITMAP device = CreateCompatibleBitmap(screen, 2, 2);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ displaced = SelectObject(memory, device);
  RECT all = {0, 0, 2, 2};
  HBRUSH brush = CreateSolidBrush(RGB(200, 100, 50));
  FillRect(memory, &all, brush);
  SelectObject(memory, displaced);
  DeleteObject(brush);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DrawBitmap(device, 2, 1);
  EXPECT_EQ(ReadPixel(3, 2), ComposeColor(200, 100, 50));
  DeleteObject(device);
  EndDrawing();
}

TEST_F(DrawingTest, ScalingAndDuplicating) {
  int image = CreatePixelImage(kAutoNumber, 31, 21, 32, 0);
  BeginDrawing(ImageTarget(image));
  for (int y = 0; y < 21; y++)
    for (int x = 0; x < 31; x++) WritePixel(x, y, x + 256 * y);
  EndDrawing();
  int copy = DuplicateImage(image, kAutoNumber);
  ASSERT_GT(copy, 0);
  EXPECT_NE(ImageBitmap(copy), ImageBitmap(image));

  EXPECT_EQ(ScaleImage(image, 155, 105, SCALE_RAW), 1);
  EXPECT_EQ(ImageWidth(image), 155);
  EXPECT_EQ(ImageDepth(image), 32);
  BeginDrawing(ImageTarget(image));
  bool blocks = true;
  for (int y = 0; y < 105; y++)
    for (int x = 0; x < 155; x++) blocks &= ReadPixel(x, y) == x / 5 + 256 * (y / 5);
  EXPECT_TRUE(blocks);
  EndDrawing();

  // The duplicate kept the original pixels.
  BeginDrawing(ImageTarget(copy));
  EXPECT_EQ(SurfaceWidth(), 31);
  EXPECT_EQ(ReadPixel(30, 20), 30 + 256 * 20);
  EndDrawing();
  EXPECT_EQ(DuplicateImage(copy, copy), copy);  // onto its own number
  EXPECT_EQ(ImageWidth(copy), 31);

  EXPECT_EQ(ScaleImage(copy, 31, 21, SCALE_RAW), 1);  // same size
  for (int size : {0, -1, 100000}) EXPECT_EQ(ScaleImage(copy, size, size, SCALE_RAW), 0);
  EXPECT_EQ(ImageWidth(copy), 31);
  EXPECT_EQ(ScaleImage(copy, 62, 42, SCALE_SMOOTH), 1);
  EXPECT_EQ(ImageHeight(copy), 42);
  EXPECT_EQ(ScaleImage(4711, 10, 10, SCALE_RAW), 0);
  EXPECT_EQ(DuplicateImage(4711, kAutoNumber), 0);
}

// Scaled onto the target: the pixels ScaleImage's raw mode gives, cut at the
// target's edges; the target's alpha stays.
TEST_F(DrawingTest, ScaledBitmapsAreRawScaledAndClipped) {
  int source = CreatePixelImage(kAutoNumber, 31, 21, 32, 0);
  BeginDrawing(ImageTarget(source));
  for (int y = 0; y < 21; y++)
    for (int x = 0; x < 31; x++) WritePixel(x, y, x + 256 * y + 0x770000);
  EndDrawing();
  int scaled = DuplicateImage(source, kAutoNumber);
  ASSERT_EQ(ScaleImage(scaled, 152, 100, SCALE_RAW), 1);
  std::vector<int> expected;
  BeginDrawing(ImageTarget(scaled));
  for (int y = 0; y < 100; y++)
    for (int x = 0; x < 152; x++) expected.push_back(ReadPixel(x, y));
  EndDrawing();

  for (int bits : {24, 32}) {
    SCOPED_TRACE(bits);
    int target = CreatePixelImage(kAutoNumber, 140, 90, bits, 0x0000FF);
    ASSERT_TRUE(BeginDrawing(ImageTarget(target)));
    DrawBitmapScaled(ImageBitmap(source), -5, -3, 152, 100);
    bool same = true;
    for (int y = 0; y < 90; y++)
      for (int x = 0; x < 140; x++) same &= ReadPixel(x, y) == expected[(size_t)(y + 3) * 152 + x + 5];
    EXPECT_TRUE(same);
    DrawBitmapScaled(ImageBitmap(source), 0, 0, 0, 10);  // nothing to fill
    DrawBitmapScaled(nullptr, 0, 0, 10, 10);             // nothing to copy
    EXPECT_EQ(ReadPixel(0, 0), expected[3 * 152 + 5]);
    EndDrawing();
    if (bits == 32) {
      DIBSECTION section;
      ASSERT_EQ(GetObjectW((HBITMAP)ImageBitmap(target), sizeof section, &section), (int)sizeof section);
      const unsigned char* bytes = (const unsigned char*)section.dsBm.bmBits;
      bool opaque = true;
      for (int i = 0; i < 140 * 90; i++) opaque &= bytes[4 * i + 3] == 255;
      EXPECT_TRUE(opaque);
    }
  }
  DrawBitmapScaled(ImageBitmap(source), 0, 0, 10, 10);  // without a drawing context: nothing
}

// The device context of an image drawing starts as a new one would, whatever
// the drawing before it did with its own.
TEST_F(DrawingTest, ImageDrawingsStartWithAPlainDeviceContext) {
  int first = CreatePixelImage(kAutoNumber, 8, 8, 24, 0), second = CreatePixelImage(kAutoNumber, 8, 8, 32, 0);
  HDC dc = (HDC)BeginDrawing(ImageTarget(first));
  ASSERT_NE(dc, nullptr);
  SetViewportOrgEx(dc, 3, 4, nullptr);
  SetROP2(dc, R2_NOT);
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  EndDrawing();
  dc = (HDC)BeginDrawing(ImageTarget(second));
  ASSERT_NE(dc, nullptr);
  POINT origin = {-1, -1};
  GetViewportOrgEx(dc, &origin);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
  EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), (HGDIOBJ)ImageBitmap(second));
  PatBlt(dc, 0, 0, 1, 1, PATCOPY);  // the default brush is white
  EXPECT_EQ(ReadPixel(0, 0), 0xFFFFFF);
  EXPECT_EQ(ReadPixel(1, 1), 0);
  EndDrawing();
}

TEST_F(DrawingTest, ReleasingTheTargetClosesTheDrawingContext) {
  int image = CreatePixelImage(kAutoNumber, 5, 5, 24, 0);
  ASSERT_TRUE(BeginDrawing(ImageTarget(image)));
  ScaleImage(image, 10, 10, SCALE_RAW);  // the old bitmap goes away
  EXPECT_EQ(SurfaceWidth(), 0);
  FillBox(0, 0, 10, 10, 0xFFFFFF);  // nothing happens
  ASSERT_TRUE(BeginDrawing(ImageTarget(image)));
  ReleaseImage(image);
  EXPECT_EQ(EndDrawing(), 0);
}

TEST_F(DrawingTest, DecodingFromMemory) {
  fixture::Bytes png = fixture::AlphaPng();
  EXPECT_EQ(DecodeImage(40, png.data(), png.size()), 40);
  EXPECT_EQ(ImageWidth(40), 3);
  BeginDrawing(ImageTarget(40));
  EXPECT_EQ(ReadPixel(0, 1), ComposeColor(10, 20, 30));
  EndDrawing();
  fixture::Bytes bmp = fixture::MakeBmp(1, 1, 24, {{1, 2, 3, 0}});
  int image = DecodeImage(kAutoNumber, bmp.data(), bmp.size());
  EXPECT_EQ(ImageDepth(image), 24);
  // Undecodable data takes no number and leaves an image of that number alone.
  EXPECT_EQ(DecodeImage(40, png.data(), png.size() - 1), 0);
  EXPECT_EQ(DecodeImage(41, "nothing", 7), 0);
  EXPECT_FALSE(ImageExists(41));
  EXPECT_TRUE(ImageExists(40));
}

TEST_F(DrawingTest, ScreenCopyGivesThePaintedPixels) {
  InitWindowing();
  int window = OpenWindow(kAutoNumber, 200, 150, 200, 120, "Pattern", Window_SystemMenu);
  int canvas = CreateCanvas(kAutoNumber, window, 10, 10, 40, 30, Canvas_Border);
  SetForegroundWindow((HWND)WindowHandle(window));
  auto pattern = [](int x, int y) { return ComposeColor(x * 6, y * 8, (x ^ y) * 4); };
  ASSERT_TRUE(BeginDrawing(CanvasTarget(canvas)));
  for (int y = 0; y < 26; y++)
    for (int x = 0; x < 36; x++) WritePixel(x, y, pattern(x, y));
  EndDrawing();  // shows the surface at once

  POINT origin = {0, 0};
  ClientToScreen((HWND)ControlHandle(canvas), &origin);
  EXPECT_TRUE(ScreenShows(origin.x, origin.y, 36, 26, [&] {
    for (int y = 0; y < 26; y++)
      for (int x = 0; x < 36; x++)
        if (ReadPixel(x, y) != pattern(x, y)) return false;
    return true;
  }));

  // An image shown through SurfaceImage: copied at (0, 0) in its own size.
  int image = CreatePixelImage(kAutoNumber, 10, 5, 32, 0x0000FF);
  WriteCanvasAttribute(canvas, SurfaceImage, (intptr_t)ImageBitmap(image));
  ReleaseImage(image);  // the canvas keeps its copy
  BeginDrawing(CanvasTarget(canvas));
  EXPECT_EQ(ReadPixel(9, 4), 0x0000FF);
  EXPECT_EQ(ReadPixel(10, 4), pattern(10, 4));
  EXPECT_EQ(ReadPixel(9, 5), pattern(9, 5));
  EndDrawing();
  EXPECT_TRUE(ScreenShows(origin.x, origin.y, 11, 6, [&] {
    return ReadPixel(0, 0) == 0x0000FF && ReadPixel(9, 4) == 0x0000FF && ReadPixel(10, 5) == pattern(10, 5);
  }));
  WriteCanvasAttribute(canvas, SurfaceImage, 0);  // no bitmap: nothing happens
}

// A copy into an image of the same size and depth reuses it, starting black
// as a new one does: at the screen's edge both give the same pixels, those on
// the screen as they are and black beyond.
TEST_F(DrawingTest, ScreenCopiesReadWhatLiesOnTheScreenIntoNewOrKeptImages) {
  InitWindowing();
  int window = OpenWindow(kAutoNumber, 0, 0, 200, 120, "Pattern", Window_SystemMenu | Window_BorderLess);
  int canvas = CreateCanvas(kAutoNumber, window, 0, 0, 200, 120, 0);
  SetForegroundWindow((HWND)WindowHandle(window));
  auto pattern = [](int x, int y) { return ComposeColor(x, y * 2, 200 - x); };
  ASSERT_TRUE(BeginDrawing(CanvasTarget(canvas)));
  for (int y = 0; y < SurfaceHeight(); y++)
    for (int x = 0; x < SurfaceWidth(); x++) WritePixel(x, y, pattern(x, y));
  EndDrawing();
  POINT origin = {0, 0};
  ClientToScreen((HWND)ControlHandle(canvas), &origin);
  ASSERT_TRUE(ScreenShows(origin.x, origin.y, 40, 30, [&] { return ReadPixel(39, 29) == pattern(39, 29); }));

  auto pixels = [](int image) {
    std::vector<int> all;
    BeginDrawing(ImageTarget(image));
    for (int y = 0; y < SurfaceHeight(); y++)
      for (int x = 0; x < SurfaceWidth(); x++) all.push_back(ReadPixel(x, y));
    EndDrawing();
    return all;
  };
  int kept = CreatePixelImage(kAutoNumber, 31, 21, 32, 0xFFFFFF);
  void* bitmap = ImageBitmap(kept);
  // Partly off the screen's top-left corner, then wholly on the pattern.
  for (POINT at : {POINT{origin.x - 15, origin.y - 10}, POINT{origin.x + 5, origin.y + 5}}) {
    int fresh = CopyScreenRegion(kAutoNumber, at.x, at.y, 31, 21);
    ASSERT_GT(fresh, 0);
    ASSERT_EQ(CopyScreenRegion(kept, at.x, at.y, 31, 21), kept);
    EXPECT_EQ(ImageBitmap(kept), bitmap);  // the same bitmap took the copy
    EXPECT_EQ(pixels(kept), pixels(fresh));
    ReleaseImage(fresh);
  }
  EXPECT_EQ(pixels(kept)[0], pattern(5, 5));

  // Off the corner only the part on the screen is read, and reported; the
  // rest stays black (Wine would blacken the whole copy, Windows leave it
  // undefined).
  ASSERT_TRUE(origin.x == 0 && origin.y == 0);
  std::vector<ScreenRect> parts;
  int corner = CopyScreenRegion(kAutoNumber, -15, -10, 31, 21, &parts);
  ASSERT_GT(corner, 0);
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_TRUE(parts[0].x == 15 && parts[0].y == 10 && parts[0].width == 16 && parts[0].height == 11);
  std::vector<int> read = pixels(corner);
  for (int y = 0; y < 21; y++)
    for (int x = 0; x < 31; x++) {
      bool onScreen = x >= 15 && y >= 10;
      EXPECT_EQ(RegionPixelExists(parts, x, y), onScreen) << x << ", " << y;
      EXPECT_EQ(read[(size_t)y * 31 + x], onScreen ? pattern(x - 15, y - 10) : 0) << x << ", " << y;
    }
  ReleaseImage(corner);

  // Another size or depth: a new image under the number.
  ASSERT_EQ(CopyScreenRegion(kept, origin.x, origin.y, 11, 7), kept);
  EXPECT_EQ(ImageWidth(kept), 11);
  int shallow = CreatePixelImage(kAutoNumber, 11, 7, 24, 0);
  ASSERT_EQ(CopyScreenRegion(shallow, origin.x, origin.y, 11, 7), shallow);
  EXPECT_EQ(ImageDepth(shallow), 32);
  EXPECT_EQ(pixels(shallow), pixels(kept));
}
