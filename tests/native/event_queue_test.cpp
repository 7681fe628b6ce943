#include "runtime/event_queue.h"

#include <gtest/gtest.h>

static WindowEvent Gadget(int control, int type, int x = 0) {
  WindowEvent e = {};
  e.code = EVENT_GADGET;
  e.window = 1;
  e.control = control;
  e.type = type;
  e.data.pointerX = x;
  return e;
}

static WindowEvent Timer(int id) {
  WindowEvent e = {};
  e.code = EVENT_TIMER;
  e.window = 1;
  e.timer = id;
  return e;
}

class EventQueueTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearWindowEvents(); }
};

TEST_F(EventQueueTest, ArrivalOrderAndCoalescingWithTheNewestData) {
  OfferWindowEvent(Gadget(5, LeftPressed, 10));
  OfferWindowEvent(Gadget(5, PointerMoved, 11));
  OfferWindowEvent(Gadget(5, PointerMoved, 12));  // merges: newest position wins
  OfferWindowEvent(Gadget(5, PointerMoved, 13));
  OfferWindowEvent(Timer(7));
  OfferWindowEvent(Timer(7));                      // piled-up ticks run once
  OfferWindowEvent(Timer(8));
  OfferWindowEvent(Gadget(6, PointerMoved, 14));   // another control is another event
  OfferWindowEvent(Gadget(5, LeftReleased, 15));
  OfferWindowEvent(Gadget(5, LeftReleased, 16));   // a posted release meets a real one
  ASSERT_EQ(PendingWindowEventCount(), 6);

  const struct {
    int code, control, type, timer, x;
  } expected[] = {
      {EVENT_GADGET, 5, LeftPressed, 0, 10}, {EVENT_GADGET, 5, PointerMoved, 0, 13},
      {EVENT_TIMER, 0, 0, 7, 0},             {EVENT_TIMER, 0, 0, 8, 0},
      {EVENT_GADGET, 6, PointerMoved, 0, 14}, {EVENT_GADGET, 5, LeftReleased, 0, 16},
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
  OfferWindowEvent(Gadget(5, PointerMoved, 1));
  OfferWindowEvent(Timer(7));
  OfferWindowEvent(Gadget(5, PointerMoved, 2));
  EXPECT_EQ(PendingWindowEventCount(), 3);
}

TEST_F(EventQueueTest, ProgramTextChangesDropControlEventsOnly) {
  BeginProgramTextChange();
  BeginProgramTextChange();
  EXPECT_FALSE(OfferWindowEvent(Gadget(3, Changed)));
  EXPECT_TRUE(OfferWindowEvent(Timer(7)));
  EndProgramTextChange();
  EXPECT_FALSE(OfferWindowEvent(Gadget(3, Changed)));  // still one level deep
  EndProgramTextChange();
  EndProgramTextChange();  // an extra end does not go negative
  EXPECT_FALSE(ProgramTextChangeActive());
  EXPECT_TRUE(OfferWindowEvent(Gadget(3, Changed)));
  EXPECT_EQ(PendingWindowEventCount(), 2);
}

TEST_F(EventQueueTest, BoundedQueueDropsTheOldest) {
  for (int i = 0; i < 5000; i++) OfferWindowEvent(Timer(i));
  EXPECT_EQ(PendingWindowEventCount(), 4096);
  WindowEvent e;
  ASSERT_TRUE(TakeWindowEvent(&e));
  EXPECT_EQ(e.timer, 5000 - 4096);
}

TEST_F(EventQueueTest, TheTakenEventIsCurrentUntilCleared) {
  OfferWindowEvent(Gadget(5, PointerMoved, 21));
  WindowEvent e;
  ASSERT_TRUE(TakeWindowEvent(&e));
  ASSERT_NE(CurrentWindowEvent(), nullptr);
  EXPECT_EQ(CurrentWindowEvent()->control, 5);
  EXPECT_EQ(CurrentWindowEvent()->data.pointerX, 21);
  SetCurrentWindowEvent(nullptr);
  EXPECT_EQ(CurrentWindowEvent(), nullptr);
}
