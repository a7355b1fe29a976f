// Polled input fed by the scripted driver and by translated X events.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "system/event_queue.h"
#include "system/polled_input.h"
#include "system/scripted_system_driver.h"
#include "system/x11_translate.h"

namespace {
constexpr unsigned kEscapeKeycode = 9;

struct FakeKeys : KeyLookup {
  KeySym Unshifted(XKeyEvent& e) const override {
    return e.keycode == kEscapeKeycode ? XK_Escape : XK_a;
  }
  std::string Chars(XKeyEvent& e) const override {
    return e.keycode == kEscapeKeycode ? "\x1b" : "a";
  }
};

XEvent Key(int type, unsigned keycode) {
  XEvent e{};
  e.xkey.type = type;
  e.xkey.keycode = keycode;
  return e;
}

XEvent Button(int type, unsigned button) {
  XEvent e{};
  e.xbutton.type = type;
  e.xbutton.button = button;
  return e;
}

// Translates and emits a sequence of X events the way the X11 driver's pump does.
void Deliver(std::vector<XEvent> events) {
  FakeKeys keys;
  for (size_t i = 0; i < events.size(); ++i) {
    XEvent* next = i + 1 < events.size() ? &events[i + 1] : nullptr;
    Translation t = TranslateXEvent(events[i], next, keys, 0);
    for (const TEvent& e : t.events) e.Emit();
    if (t.consumed_next) ++i;
  }
}

class PolledInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetClock(&clock);
    SetSystemDriver(&driver);
    SetAutoPoll(true);
    StartPolledInput();
  }
  void TearDown() override {
    StopPolledInput();
    SetSystemDriver(nullptr);
    SetClock(nullptr);
  }
  TVirtualClock clock;
  TScriptedSystemDriver driver{clock};
};
}  // namespace

TEST_F(PolledInputTest, ClicksAreCountedOncePerPressUntilRead) {
  driver.PressButton(1);
  driver.ReleaseButton(1);
  driver.PressButton(1);
  driver.ReleaseButton(1);
  EXPECT_EQ(MouseHits(1), 2);  // the query pumps the scripted input itself
  EXPECT_EQ(MouseHits(1), 0);

  driver.PressButton(1);
  EXPECT_EQ(MouseHits(1), 1);
  driver.PressButton(1);  // still held: a second down is no new press
  for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(MouseHits(1), 0);
  EXPECT_EQ(MouseDown(1), 1);
  driver.ReleaseButton(1);
  driver.PressButton(1);
  EXPECT_EQ(MouseHits(1), 1);
}

TEST_F(PolledInputTest, XButtonsMapToEngineButtonsAndTheWheelOnlyMovesZ) {
  Deliver({Button(ButtonPress, 2), Button(ButtonRelease, 2), Button(ButtonPress, 3)});
  EXPECT_EQ(MouseHits(3), 1);  // middle
  EXPECT_EQ(MouseHits(2), 1);  // right
  EXPECT_EQ(MouseDown(2), 1);
  EXPECT_EQ(MouseDown(3), 0);

  Deliver({Button(ButtonPress, 4), Button(ButtonRelease, 4), Button(ButtonPress, 4),
           Button(ButtonPress, 5), Button(ButtonPress, 4)});
  EXPECT_EQ(PointerZ(), 2);
  for (int b = 1; b <= 3; ++b) EXPECT_EQ(MouseHits(b), 0) << b;
  FlushMouse();
  EXPECT_EQ(PointerZ(), 0);
  EXPECT_EQ(MouseDown(2), 0);
}

TEST_F(PolledInputTest, HeldEscapeWithAutoRepeatCountsOneHit) {
  std::vector<XEvent> held = {Key(KeyPress, kEscapeKeycode)};
  for (int i = 0; i < 5; ++i) {
    held.push_back(Key(KeyRelease, kEscapeKeycode));
    held.push_back(Key(KeyPress, kEscapeKeycode));
  }
  Deliver(held);
  EXPECT_EQ(KeyHits(27), 1);
  EXPECT_EQ(KeyDown(27), 1);
  Deliver({Key(KeyRelease, kEscapeKeycode)});
  EXPECT_EQ(KeyDown(27), 0);
  EXPECT_EQ(KeyHits(27), 0);
  Deliver({Key(KeyPress, kEscapeKeycode)});
  EXPECT_EQ(KeyHits(27), 1);
  // Every press and every repeat typed a character.
  int escapes = 0;
  while (int c = GetChar()) escapes += c == 27;
  EXPECT_EQ(escapes, 7);
}

TEST_F(PolledInputTest, PointerFollowsWarpsAndMotion) {
  MoveMouse(400, 300);
  EXPECT_EQ(PointerX(), 400);
  EXPECT_EQ(PointerY(), 300);
  driver.MovePointerBy(-7, 12);
  EXPECT_EQ(PointerX(), 393);
  EXPECT_EQ(PointerY(), 312);

  SetAutoPoll(false);
  driver.MovePointerBy(1, 1);
  EXPECT_EQ(PointerX(), 393);  // nothing pumped yet
  PollSystem();
  EXPECT_EQ(PointerX(), 394);
  SetAutoPoll(true);

  // A pointer confined to the window stops at its edges, however far the mouse goes.
  driver.ConfinePointer(800, 600);
  driver.MovePointerBy(5000, -5000);
  EXPECT_EQ(PointerX(), 799);
  EXPECT_EQ(PointerY(), 0);
}

TEST_F(PolledInputTest, CharacterQueueKeepsOrderAndDropsWhenFull) {
  for (int i = 0; i < 300; ++i) {
    driver.QueueEvent(TEvent::Create(EventId::KeyChar, nullptr, 1 + i % 200, 0, 0, 0));
  }
  for (int i = 0; i < 256; ++i) ASSERT_EQ(GetChar(), 1 + i % 200) << i;
  EXPECT_EQ(GetChar(), 0);

  driver.PressKey(65);
  driver.QueueEvent(TEvent::Create(EventId::KeyChar, nullptr, 'a', 0, 0, 0));
  FlushKeys();
  EXPECT_EQ(GetChar(), 0);
  EXPECT_EQ(KeyHits(65), 0);
  EXPECT_EQ(KeyDown(65), 0);
}

TEST_F(PolledInputTest, OutOfRangeKeysAndButtonsAreIgnored) {
  for (int bad : {-1, 256, 100000}) {
    driver.PressKey(bad);
    driver.PressButton(bad);
  }
  driver.PressButton(0);
  driver.PressButton(4);
  EXPECT_EQ(KeyHits(-1), 0);
  EXPECT_EQ(KeyHits(256), 0);
  EXPECT_EQ(MouseHits(4), 0);
  EXPECT_EQ(MouseHits(0), 0);
}

namespace {
// A driver whose pump emits an event; a listener that queries input must not pump again.
struct CountingDriver : TSystemDriver {
  void Poll() override {
    ++polls;
    TEvent::Create(EventId::KeyDown, nullptr, 65, 0, 0, 0).Emit();
  }
  void Wait() override { Poll(); }
  void MoveMouse(int, int) override {}
  void SetMouseVisible(bool) override {}
  int polls = 0;
};
}  // namespace

TEST_F(PolledInputTest, QueryingFromInsideAPumpDoesNotRecurse) {
  CountingDriver counting;
  SetSystemDriver(&counting);
  int seen = -1;
  int handle = EmitEventHooks().Add([&](const TEvent&) { seen = KeyDown(65); }, -1);
  PollSystem();
  EmitEventHooks().Remove(handle);
  SetSystemDriver(&driver);
  EXPECT_EQ(counting.polls, 1);
  EXPECT_EQ(seen, 1);
}
