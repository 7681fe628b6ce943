// SetCurrentColor, CopyColorText and CopyAtDragEnd over recording views and
// a recording clipboard.
#include "app/current_color.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/program_context.h"
#include "app/settings_record.h"

// What the views and the clipboard were asked, in order.
static std::vector<std::string> g_calls;
static bool g_clipboardTakes = true;  // false: the clipboard refuses the copy

static void Record(const char* what, int color, bool force) {
  g_calls.push_back(std::string(what) + " " + std::to_string(color) + (force ? " forced" : ""));
}
static void Swatch(int color, bool force) { Record("swatch", color, force); }
static void Channels(int color, bool force) { Record("channels", color, force); }
static void Names(int color, bool force) { Record("names", color, force); }
static void History(int color) { Record("history", color, false); }
static bool Clipboard(const char* text, bool live, int waitMs) {
  g_calls.push_back(std::string(live ? "live copy " : "copy ") + text + " waiting " + std::to_string(waitMs));
  return g_clipboardTakes;
}

typedef std::vector<std::string> Calls;

class CurrentColorTest : public ::testing::Test {
 protected:
  ProgramContext context = {};
  ProgramContext* saved = nullptr;
  void SetUp() override {
    saved = GProgram;
    GProgram = &context;
    memset(&CONFIG, 0, sizeof CONFIG);
    context.views = ColorViews{Swatch, Channels, Names, History, Clipboard};
    g_calls.clear();
    g_clipboardTakes = true;
  }
  void TearDown() override { GProgram = saved; }
  // The calls one SetCurrentColor made.
  Calls Set(int color, int options) {
    g_calls.clear();
    SetCurrentColor(color, options);
    return g_calls;
  }
};

TEST_F(CurrentColorTest, RefreshesTheViewsInOrderTheNameListAndHistoryOnlyOnRequest) {
  const struct {
    int options;
    Calls calls;
  } cases[] = {
      {SET_COLOR_VIEWS_ONLY, {"swatch 3943194", "channels 3943194"}},
      {SET_COLOR_REFRESH_NAME_LIST, {"swatch 3943194", "channels 3943194", "names 3943194"}},
      {SET_COLOR_ADD_TO_HISTORY, {"swatch 3943194", "channels 3943194", "history 3943194"}},
      {SET_COLOR_REFRESH_NAME_LIST | SET_COLOR_ADD_TO_HISTORY,
       {"swatch 3943194", "channels 3943194", "names 3943194", "history 3943194"}},
  };
  for (const auto& k : cases) {
    CONFIG.Color = 0;
    EXPECT_EQ(Set(0x3C2B1A, k.options), k.calls) << k.options;
    EXPECT_EQ(CONFIG.Color, 0x3C2B1A);
  }
  // An empty entry is skipped.
  context.views.refreshChannelViews = nullptr;
  context.views.addToHistory = nullptr;
  EXPECT_EQ(Set(5, SET_COLOR_REFRESH_NAME_LIST | SET_COLOR_ADD_TO_HISTORY), (Calls{"swatch 5", "names 5"}));
}

TEST_F(CurrentColorTest, CopiesFirstAndOnlyWithAutomaticCopyingOn) {
  EXPECT_EQ(Set(0x3C2B1A, SET_COLOR_VIEWS_ONLY), (Calls{"swatch 3943194", "channels 3943194"}));
  CONFIG.Autocopy = 1;
  CONFIG.ColorFormat = 1;  // C hex, in the chosen case
  CONFIG.ColorFormatLCase = 1;
  EXPECT_EQ(Set(0xAB0001, SET_COLOR_VIEWS_ONLY),
            (Calls{"copy 0xab0001 waiting 50", "swatch 11206657", "channels 11206657"}));
  // Outside drags every change copies, the same text too.
  EXPECT_EQ(Set(0xAB0001, SET_COLOR_VIEWS_ONLY).front(), "copy 0xab0001 waiting 50");
  // CopyColorText copies whatever the setting and the drag.
  CONFIG.Autocopy = 0;
  context.drag.state = DRAG_SLIDER;
  g_calls.clear();
  CopyColorText();
  EXPECT_EQ(g_calls, (Calls{"copy 0xab0001 waiting 50"}));
}

TEST_F(CurrentColorTest, DuringADragOnlyAChangedTextIsCopiedLiveAndTheEndCopiesItOrdinarily) {
  CONFIG.Autocopy = 1;
  context.drag.state = DRAG_PICKING;
  EXPECT_EQ(Set(0x0000FF, SET_COLOR_VIEWS_ONLY).front(), "live copy #FF0000 waiting 3");
  EXPECT_EQ(Set(0x0000FF, SET_COLOR_VIEWS_ONLY), (Calls{"swatch 255", "channels 255"}));
  EXPECT_EQ(Set(0x00FF00, SET_COLOR_VIEWS_ONLY).front(), "live copy #00FF00 waiting 3");

  context.drag.state = DRAG_IDLE;  // the drag has ended
  g_calls.clear();
  CopyAtDragEnd();
  EXPECT_EQ(g_calls, (Calls{"copy #00FF00 waiting 50"}));
  g_calls.clear();
  CopyAtDragEnd();  // an ordinary copy stands: nothing more
  EXPECT_TRUE(g_calls.empty());

  // With automatic copying off, no drag copies anything.
  CONFIG.Autocopy = 0;
  context.drag.state = DRAG_SLIDER;
  EXPECT_EQ(Set(0x00FFFF, SET_COLOR_VIEWS_ONLY), (Calls{"swatch 65535", "channels 65535"}));
  context.drag.state = DRAG_IDLE;
  g_calls.clear();
  CopyAtDragEnd();
  EXPECT_TRUE(g_calls.empty());
}

TEST_F(CurrentColorTest, ACopyTheClipboardRefusedIsTriedAgainOnTheTicksUntilItLandsOrIsReplaced) {
  CONFIG.Autocopy = 1;
  context.drag.state = DRAG_CAPTURE;
  g_clipboardTakes = false;
  EXPECT_EQ(Set(0x102030, SET_COLOR_VIEWS_ONLY).front(), "live copy #302010 waiting 3");
  // The same colour again: the tick's retry brings it, not the change.
  EXPECT_EQ(Set(0x102030, SET_COLOR_VIEWS_ONLY).front(), "swatch 1056816");
  const auto Tick = [] {
    g_calls.clear();
    RetryColorCopy();
    return g_calls;
  };
  EXPECT_EQ(Tick(), (Calls{"live copy #302010 waiting 3"}));
  // The drag ends: the final text as an ordinary copy, waiting longer; held
  // still, it is tried on every tick, briefly, until it lands.
  context.drag.state = DRAG_IDLE;
  g_calls.clear();
  CopyAtDragEnd();
  EXPECT_EQ(g_calls, (Calls{"copy #302010 waiting 50"}));
  EXPECT_EQ(Tick(), (Calls{"copy #302010 waiting 3"}));
  g_clipboardTakes = true;
  EXPECT_EQ(Tick(), (Calls{"copy #302010 waiting 3"}));
  EXPECT_EQ(Tick(), Calls{});
  // A newer colour replaces a pending copy: only the newer one is tried.
  g_clipboardTakes = false;
  EXPECT_EQ(Set(0x000001, SET_COLOR_VIEWS_ONLY).front(), "copy #010000 waiting 50");
  EXPECT_EQ(Set(0x000002, SET_COLOR_VIEWS_ONLY).front(), "copy #020000 waiting 50");
  EXPECT_EQ(Tick(), (Calls{"copy #020000 waiting 3"}));
  // Without a clipboard entry nothing is copied, and the views still refresh.
  context.views.copyToClipboard = nullptr;
  EXPECT_EQ(Set(0x000003, SET_COLOR_VIEWS_ONLY), (Calls{"swatch 3", "channels 3"}));
}
