#include "runtime/event_queue.h"

#include <gtest/gtest.h>

static WindowEvent ControlEvent(int control, int type, int x = 0) {
  WindowEvent e = {};
  e.code = Event_Control;
  e.window = 1;
  e.control = control;
  e.type = type;
  e.data.pointerX = x;
  return e;
}

static WindowEvent Timer(int id) {
  WindowEvent e = {};
  e.code = Event_Timer;
  e.window = 1;
  e.timer = id;
  return e;
}

class EventQueueTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearWindowEvents(); }
};

TEST_F(EventQueueTest, ArrivalOrderAndCoalescingWithTheNewestData) {
  OfferWindowEvent(ControlEvent(5, LeftPressed, 10));
  OfferWindowEvent(ControlEvent(5, PointerMoved, 11));
  OfferWindowEvent(ControlEvent(5, PointerMoved, 12));  // merges: newest position wins
  OfferWindowEvent(ControlEvent(5, PointerMoved, 13));
  OfferWindowEvent(Timer(7));
  OfferWindowEvent(Timer(7));                      // piled-up ticks run once
  OfferWindowEvent(Timer(8));
  OfferWindowEvent(ControlEvent(6, PointerMoved, 14));   // another control is another event
  OfferWindowEvent(ControlEvent(5, LeftReleased, 15));
  OfferWindowEvent(ControlEvent(5, LeftReleased, 16));   // a posted release meets a real one
  ASSERT_EQ(PendingWindowEventCount(), 6);

  const struct {
    int code, control, type, timer, x;
  } expected[] = {
      {Event_Control, 5, LeftPressed, 0, 10}, {Event_Control, 5, PointerMoved, 0, 13},
      {Event_Timer, 0, 0, 7, 0},             {Event_Timer, 0, 0, 8, 0},
      {Event_Control, 6, PointerMoved, 0, 14}, {Event_Control, 5, LeftReleased, 0, 16},
  };
  for (const auto& k : expected) {
    WindowEvent e;
    ASSERT_TRUE(TakeWindowEvent(&e));
    EXPECT_EQ(e.code, k.code);
    EXPECT_EQ(e.control, k.control);
    EXPECT_EQ(e.type, k.type);
    EXPECT_EQ(e.timer, k.timer);
    EXPECT_EQ(e.data.pointerX, k.x);
  }
  WindowEvent e;
  EXPECT_FALSE(TakeWindowEvent(&e));
}

TEST_F(EventQueueTest, OnlyTheLastPendingEventMerges) {
  OfferWindowEvent(ControlEvent(5, PointerMoved, 1));
  OfferWindowEvent(Timer(7));
  OfferWindowEvent(ControlEvent(5, PointerMoved, 2));
  EXPECT_EQ(PendingWindowEventCount(), 3);
}

TEST_F(EventQueueTest, ProgramTextChangesDropControlEventsOnly) {
  BeginProgramTextChange();
  BeginProgramTextChange();
  EXPECT_FALSE(OfferWindowEvent(ControlEvent(3, Changed)));
  EXPECT_TRUE(OfferWindowEvent(Timer(7)));
  EndProgramTextChange();
  EXPECT_FALSE(OfferWindowEvent(ControlEvent(3, Changed)));  // still one level deep
  EndProgramTextChange();
  EndProgramTextChange();  // an extra end does not go negative
  EXPECT_FALSE(ProgramTextChangeActive());
  EXPECT_TRUE(OfferWindowEvent(ControlEvent(3, Changed)));
  EXPECT_EQ(PendingWindowEventCount(), 2);
}

static WindowEvent Close() {
  WindowEvent e = {};
  e.code = Event_Close;
  e.window = 1;
  return e;
}

TEST_F(EventQueueTest, BoundedQueueDropsTheOldest) {
  for (int i = 0; i < 5000; i++) OfferWindowEvent(Timer(i));
  EXPECT_EQ(PendingWindowEventCount(), 4096);
  WindowEvent e;
  ASSERT_TRUE(TakeWindowEvent(&e));
  EXPECT_EQ(e.timer, 5000 - 4096);
}

TEST_F(EventQueueTest, AFullQueueFirstDropsWhatANewerEqualEventSupersedes) {
  // A press, then moves of two canvases in turn (never adjacent, so never merged).
  OfferWindowEvent(ControlEvent(5, LeftPressed, 1));
  for (int i = 0; i < 4095; i++) OfferWindowEvent(ControlEvent(5 + i % 2, PointerMoved, 100 + i));
  ASSERT_EQ(PendingWindowEventCount(), 4096);
  EXPECT_TRUE(OfferWindowEvent(Timer(7)));
  EXPECT_TRUE(OfferWindowEvent(Timer(8)));
  EXPECT_EQ(PendingWindowEventCount(), 4096);
  // The two oldest moves went (later moves of their canvases stand for them); the press stays.
  WindowEvent e;
  ASSERT_TRUE(TakeWindowEvent(&e));
  EXPECT_EQ(e.type, LeftPressed);
  ASSERT_TRUE(TakeWindowEvent(&e));
  EXPECT_EQ(e.data.pointerX, 102);
}

TEST_F(EventQueueTest, ButtonReleasesAndClosesAreNeverDropped) {
  OfferWindowEvent(ControlEvent(5, LeftReleased, 1));
  OfferWindowEvent(Close());
  OfferWindowEvent(ControlEvent(5, RightReleased, 2));
  OfferWindowEvent(ControlEvent(5, MiddleReleased, 3));
  for (int i = 0; i < 5000; i++) OfferWindowEvent(Timer(i));
  EXPECT_EQ(PendingWindowEventCount(), 4096);
  const int kept[][2] = {{Event_Control, LeftReleased}, {Event_Close, 0}, {Event_Control, RightReleased},
                         {Event_Control, MiddleReleased}};
  WindowEvent e;
  for (const auto& k : kept) {
    ASSERT_TRUE(TakeWindowEvent(&e));
    EXPECT_EQ(e.code, k[0]);
    EXPECT_EQ(e.type, k[1]);
  }
  ASSERT_TRUE(TakeWindowEvent(&e));
  EXPECT_EQ(e.timer, 5000 - 4092);

  // Only releases pending: another kind is refused, a release or a close still comes in.
  ClearWindowEvents();
  for (int i = 0; i < 4096; i++) OfferWindowEvent(ControlEvent(10 + i % 2, LeftReleased, i));
  EXPECT_FALSE(OfferWindowEvent(Timer(1)));
  EXPECT_FALSE(OfferWindowEvent(ControlEvent(12, LeftPressed)));
  EXPECT_TRUE(OfferWindowEvent(ControlEvent(12, LeftReleased)));
  EXPECT_TRUE(OfferWindowEvent(Close()));
  EXPECT_EQ(PendingWindowEventCount(), 4098);
}

TEST_F(EventQueueTest, TheTakenEventIsCurrentUntilCleared) {
  OfferWindowEvent(ControlEvent(5, PointerMoved, 21));
  WindowEvent e;
  ASSERT_TRUE(TakeWindowEvent(&e));
  ASSERT_NE(CurrentWindowEvent(), nullptr);
  EXPECT_EQ(CurrentWindowEvent()->control, 5);
  EXPECT_EQ(CurrentWindowEvent()->data.pointerX, 21);
  SetCurrentWindowEvent(nullptr);
  EXPECT_EQ(CurrentWindowEvent(), nullptr);
}
