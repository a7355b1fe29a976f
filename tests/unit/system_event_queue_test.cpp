#include <gtest/gtest.h>

#include "system/event_queue.h"
#include "system/polled_input.h"
#include "system/system_driver.h"

namespace {
class EventQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSystemDriver(nullptr);
    InstallEventQueue();
    ResetEventQueue();
  }
  void TearDown() override {
    StopPolledInput();
    ResetEventQueue();
  }
  static void Emit(int id, const void* source, int data, int x = 0) {
    TEvent::Create(id, source, data, 0, x, 0).Emit();
  }
  int timer_a = 0, timer_b = 0;  // stand-ins for two timers' identities
};
}  // namespace

TEST_F(EventQueueTest, PendingTickOfTheSameSourceTakesTheNewestValues) {
  Emit(EventId::TimerTick, &timer_a, 1);
  Emit(EventId::MouseMove, nullptr, 0, 10);
  Emit(EventId::TimerTick, &timer_b, 1);
  auto extra = std::make_shared<int>(5);
  TEvent::Create(EventId::TimerTick, &timer_a, 4, 7, 8, 9, extra).Emit();
  Emit(EventId::MouseMove, nullptr, 0, 11);  // not mergeable: a second slot
  ASSERT_EQ(PendingEvents(), 4);

  ASSERT_EQ(WaitEvent(), EventId::TimerTick);  // kept its place as the oldest
  EXPECT_EQ(EventSource(), &timer_a);
  EXPECT_EQ(EventData(), 4);
  EXPECT_EQ(EventMods(), 7);
  EXPECT_EQ(EventX(), 8);
  EXPECT_EQ(EventY(), 9);
  EXPECT_EQ(EventExtra(), extra);
  EXPECT_EQ(WaitEvent(), EventId::MouseMove);
  EXPECT_EQ(EventX(), 10);
  EXPECT_EQ(WaitEvent(), EventId::TimerTick);
  EXPECT_EQ(EventSource(), &timer_b);
  EXPECT_EQ(EventData(), 1);
  EXPECT_EQ(WaitEvent(), EventId::MouseMove);
  EXPECT_EQ(EventX(), 11);
  EXPECT_EQ(PendingEvents(), 0);

  // A tick that is no longer pending is queued anew.
  Emit(EventId::TimerTick, &timer_a, 5);
  EXPECT_EQ(PendingEvents(), 1);
}

TEST_F(EventQueueTest, OtherMergingKindsMergeByIdAndSource) {
  for (int id : {EventId::GadgetAction, EventId::WindowMove, EventId::WindowSize}) {
    Emit(id, &timer_a, 1);
    Emit(id, &timer_a, 2);
  }
  Emit(EventId::WindowMove, &timer_b, 3);
  Emit(EventId::KeyDown, &timer_a, 65);
  Emit(EventId::KeyDown, &timer_a, 65);
  EXPECT_EQ(PendingEvents(), 6);
  ASSERT_EQ(PollEvent(), EventId::GadgetAction);
  EXPECT_EQ(EventData(), 2);
}

TEST_F(EventQueueTest, FullQueueDropsNewEventsButPolledInputStillCountsThem) {
  StartPolledInput();
  Emit(EventId::TimerTick, &timer_a, 1);
  for (int i = 1; i < kEventQueueSize; ++i) Emit(EventId::MouseMove, nullptr, 0, i);
  ASSERT_EQ(PendingEvents(), kEventQueueSize);

  Emit(EventId::KeyDown, nullptr, 65);
  EXPECT_EQ(PendingEvents(), kEventQueueSize);
  EXPECT_EQ(KeyHits(65), 1);
  // A pending tick still takes a newer one even with no free slot.
  Emit(EventId::TimerTick, &timer_a, 9);
  ASSERT_NE(PeekEvent(), nullptr);
  EXPECT_EQ(PeekEvent()->data, 9);

  int taken = 0;
  while (PollEvent() != 0) {
    if (EventID() == EventId::MouseMove) {
      EXPECT_EQ(EventX(), taken);
    }
    ++taken;
  }
  EXPECT_EQ(taken, kEventQueueSize);  // the KeyDown never made it in
}

TEST_F(EventQueueTest, OrderSurvivesTheRingWrappingAround) {
  int next_in = 0, next_out = 0;
  for (int round = 0; round < 5; ++round) {
    for (int i = 0; i < 200; ++i) Emit(EventId::MouseMove, nullptr, 0, next_in++);
    while (PendingEvents() > 10) {
      ASSERT_EQ(WaitEvent(), EventId::MouseMove);
      ASSERT_EQ(EventX(), next_out++);
    }
  }
}

TEST_F(EventQueueTest, EmptyQueueGivesTheNullEvent) {
  Emit(EventId::KeyDown, &timer_a, 27);
  ASSERT_EQ(PollEvent(), EventId::KeyDown);
  EXPECT_EQ(EventData(), 27);
  EXPECT_EQ(PeekEvent(), nullptr);
  EXPECT_EQ(PollEvent(), 0);
  EXPECT_EQ(EventSource(), nullptr);
  EXPECT_EQ(EventData(), 0);
  // With no driver nothing could ever arrive: WaitEvent must not hang.
  EXPECT_EQ(WaitEvent(), 0);
}
