// The display's decisions about the desktop, without a server: which way the mode is switched,
// which monitor the game takes, what window it makes, how the swap interval is set, what a restore
// touches, how the grabs follow the focus, and the icon.
#include <gtest/gtest.h>

#include <vector>

#include "display/desktop/desktop_plan.h"
#include "display/desktop/desktop_snapshot.h"
#include "display/desktop/input_ownership.h"

namespace {

const MonitorRect kLeft{0, 0, 1920, 1080};
const MonitorRect kRight{1920, 0, 1920, 1080};

DesktopFacts TwoMonitors(bool right_is_primary) {
  DesktopFacts f;
  f.randr12 = f.vidmode = true;
  f.screen_width = 3840;
  f.screen_height = 1080;
  f.monitors = {{kLeft, !right_is_primary}, {kRight, right_is_primary}};
  return f;
}

TEST(DesktopPlan, SeveralMonitorsSwitchOneCrtcAndOneMonitorKeepsTheSingleModePath) {
  EXPECT_EQ(ChooseModeRoute(TwoMonitors(false)), ModeRoute::kRandrCrtc);

  DesktopFacts one = TwoMonitors(false);
  one.monitors.resize(1);
  EXPECT_EQ(ChooseModeRoute(one), ModeRoute::kVidMode);
  one.vidmode = false;
  EXPECT_EQ(ChooseModeRoute(one), ModeRoute::kRandrCrtc);

  DesktopFacts old_server;  // no RandR 1.2: VidMode is the only way, whatever is lit
  old_server.vidmode = true;
  EXPECT_EQ(ChooseModeRoute(old_server), ModeRoute::kVidMode);
  EXPECT_EQ(ChooseModeRoute(DesktopFacts{}), ModeRoute::kNone);

  DesktopFacts xwayland = TwoMonitors(false);  // it offers both and fakes both
  xwayland.xwayland = true;
  EXPECT_EQ(ChooseModeRoute(xwayland), ModeRoute::kNone);
}

TEST(DesktopPlan, TheGameTakesThePrimaryMonitorElseTheOneAtTheOriginElseTheScreen) {
  EXPECT_EQ(GameMonitor(TwoMonitors(true)), kRight);
  EXPECT_EQ(GameMonitor(TwoMonitors(false)), kLeft);

  DesktopFacts no_primary = TwoMonitors(false);
  no_primary.monitors = {{kRight, false}, {kLeft, false}};
  EXPECT_EQ(GameMonitor(no_primary), kLeft);

  DesktopFacts none;
  none.screen_width = 1024;
  none.screen_height = 768;
  EXPECT_EQ(GameMonitor(none), (MonitorRect{0, 0, 1024, 768}));

  // A switched mode shows where its route puts it.
  EXPECT_EQ(SwitchedArea(ModeRoute::kRandrCrtc, kRight, 800, 600),
            (MonitorRect{1920, 0, 800, 600}));
  EXPECT_EQ(SwitchedArea(ModeRoute::kVidMode, kRight, 800, 600), (MonitorRect{0, 0, 800, 600}));
}

TEST(DesktopPlan, WindowKindsFollowTheDesktopAndTheRequest) {
  WindowPlan x11 = PlanWindow(TwoMonitors(true), false, 800, 600);
  EXPECT_EQ(x11.style, WindowStyle::kOverrideFullScreen);
  EXPECT_EQ(x11.route, ModeRoute::kRandrCrtc);
  EXPECT_EQ(x11.area, kRight);
  EXPECT_TRUE(x11.grab_keyboard && x11.grab_pointer);

  DesktopFacts wayland = TwoMonitors(true);
  wayland.xwayland = true;
  WindowPlan managed = PlanWindow(wayland, false, 800, 600);
  EXPECT_EQ(managed.style, WindowStyle::kManagedFullScreen);
  EXPECT_EQ(managed.route, ModeRoute::kNone);
  EXPECT_EQ(managed.area, kRight);

  // A window never switches modes and leaves the keyboard to the window manager.
  WindowPlan window = PlanWindow(TwoMonitors(true), true, 800, 600);
  EXPECT_EQ(window.style, WindowStyle::kWindow);
  EXPECT_EQ(window.route, ModeRoute::kNone);
  EXPECT_EQ(window.area, (MonitorRect{0, 0, 800, 600}));
  EXPECT_FALSE(window.grab_keyboard);
}

TEST(DesktopPlan, SwapControlPrefersExtThenMesaThenSgiWhichCannotSetZero) {
  EXPECT_EQ(ChooseSwapControl(true, true, true, 0), SwapControl::kExt);
  EXPECT_EQ(ChooseSwapControl(false, true, true, 0), SwapControl::kMesa);
  EXPECT_EQ(ChooseSwapControl(false, false, true, 1), SwapControl::kSgi);
  EXPECT_EQ(ChooseSwapControl(false, false, true, 0), SwapControl::kNone);
  EXPECT_EQ(ChooseSwapControl(false, false, false, 1), SwapControl::kNone);
}

CrtcSnapshot Crtc(unsigned long id, unsigned long mode, int x, unsigned long output) {
  CrtcSnapshot c;
  c.crtc = id;
  c.mode = mode;
  c.x = x;
  c.output_count = mode ? 1 : 0;
  c.outputs[0] = mode ? output : 0;
  return c;
}

TEST(DesktopSnapshot, ARestoreTouchesOnlyTheCrtcsThatDiffer) {
  DesktopSnapshot snapshot;
  snapshot.has_crtcs = true;
  snapshot.crtc_count = 3;
  snapshot.crtcs[0] = Crtc(62, 94, 0, 78);
  snapshot.crtcs[1] = Crtc(63, 94, 1920, 79);
  snapshot.crtcs[2] = Crtc(64, 0, 0, 0);

  EXPECT_TRUE(
      CrtcsToRestore(snapshot, {snapshot.crtcs[0], snapshot.crtcs[1], snapshot.crtcs[2]}).empty());
  // The game's monitor switched: only it goes back.
  EXPECT_EQ(CrtcsToRestore(snapshot, {Crtc(62, 120, 0, 78), snapshot.crtcs[1], snapshot.crtcs[2]}),
            std::vector<int>{0});
  // Mirrored at the origin, as the single-mode path leaves them: both go back.
  EXPECT_EQ(CrtcsToRestore(snapshot, {Crtc(62, 120, 0, 78), Crtc(63, 120, 0, 79)}),
            (std::vector<int>{0, 1}));
  // A CRTC switched on is switched off again; one that has gone is left alone.
  EXPECT_EQ(CrtcsToRestore(snapshot, {snapshot.crtcs[0], Crtc(64, 94, 3840, 80)}),
            std::vector<int>{2});
  // An unlit CRTC's leftover position means nothing.
  CrtcSnapshot off_elsewhere = snapshot.crtcs[2];
  off_elsewhere.x = 500;
  EXPECT_TRUE(CrtcsToRestore(snapshot, {off_elsewhere}).empty());
}

// Grants what it is told to and counts what is asked.
class FakeGrabs : public GrabPort {
 public:
  bool GrabKeyboard() override {
    ++keyboard_tries;
    keyboard = keyboard_free;
    return keyboard;
  }
  bool GrabPointer() override {
    ++pointer_tries;
    pointer = pointer_free;
    return pointer;
  }
  void UngrabKeyboard() override { keyboard = false; }
  void UngrabPointer() override { pointer = false; }
  bool keyboard_free = true, pointer_free = true;
  bool keyboard = false, pointer = false;
  int keyboard_tries = 0, pointer_tries = 0;
};

TEST(InputOwnership, GrabsGoWithTheFocusAndComeBackWithIt) {
  FakeGrabs port;
  InputOwnership input(port, true, true);
  int waits = 0;
  EXPECT_TRUE(input.TakeAtStart(50, [&] { ++waits; }));
  EXPECT_TRUE(port.keyboard && port.pointer);
  EXPECT_EQ(waits, 0);

  input.OnFocus(false);
  EXPECT_FALSE(port.keyboard || port.pointer);
  for (int i = 0; i < 3 * InputOwnership::kRetryEveryFlips; ++i) input.OnFlip();
  EXPECT_FALSE(port.keyboard || port.pointer) << "grabbed while unfocused";

  input.OnFocus(true);
  EXPECT_TRUE(port.keyboard && port.pointer);
}

TEST(InputOwnership, AKeyboardHeldElsewhereIsTriedBrieflyThenAgainEveryFewFlips) {
  FakeGrabs port;
  port.keyboard_free = false;
  InputOwnership input(port, true, true);
  int waits = 0;
  EXPECT_FALSE(input.TakeAtStart(5, [&] { ++waits; }));
  EXPECT_EQ(port.keyboard_tries, 5);
  EXPECT_EQ(waits, 4);  // between the keyboard's tries; the pointer came at once
  EXPECT_TRUE(port.pointer);
  EXPECT_FALSE(input.focused());

  // The window manager gives the focus; the other client still has the keyboard.
  input.OnFocus(true);
  const int tries = port.keyboard_tries;
  for (int i = 0; i < InputOwnership::kRetryEveryFlips - 1; ++i) input.OnFlip();
  EXPECT_EQ(port.keyboard_tries, tries);
  input.OnFlip();
  EXPECT_EQ(port.keyboard_tries, tries + 1);

  port.keyboard_free = true;
  for (int i = 0; i < InputOwnership::kRetryEveryFlips; ++i) input.OnFlip();
  EXPECT_TRUE(input.keyboard_held());
  const int settled = port.keyboard_tries;
  for (int i = 0; i < 3 * InputOwnership::kRetryEveryFlips; ++i) input.OnFlip();
  EXPECT_EQ(port.keyboard_tries, settled) << "asked again for a grab it holds";
}

TEST(InputOwnership, AWindowNeverTakesTheKeyboard) {
  FakeGrabs port;
  InputOwnership input(port, false, true);
  input.OnFocus(true);
  for (int i = 0; i < 3 * InputOwnership::kRetryEveryFlips; ++i) input.OnFlip();
  EXPECT_EQ(port.keyboard_tries, 0);
  EXPECT_TRUE(port.pointer);
  input.ReleaseAll();
  EXPECT_FALSE(port.pointer);
}

TEST(FaceIcon, EverySizeIsARoundYellowFaceOnATransparentSquare) {
  const std::vector<int> sizes{16, 48};
  std::vector<unsigned long> icon = FaceIconProperty(sizes);
  ASSERT_EQ(icon.size(), 2 + 16 * 16 + 2 + 48 * 48);
  size_t at = 0;
  for (int size : sizes) {
    SCOPED_TRACE(size);
    ASSERT_EQ(icon[at], static_cast<unsigned long>(size));
    ASSERT_EQ(icon[at + 1], static_cast<unsigned long>(size));
    const unsigned long* px = &icon[at + 2];
    auto argb = [&](int x, int y) { return px[y * size + x]; };
    EXPECT_EQ(argb(0, 0) >> 24, 0u);  // the corners are outside the disc
    EXPECT_EQ(argb(size - 1, size - 1) >> 24, 0u);
    const unsigned long cheek = argb(size / 2, size * 8 / 10);  // below the mouth
    EXPECT_EQ(cheek >> 24, 255u);
    EXPECT_GT((cheek >> 16) & 0xFF, 200u);
    EXPECT_LT(cheek & 0xFF, 100u);
    const unsigned long pupil = argb(size * 25 / 90, size * 40 / 90);
    EXPECT_LT((pupil >> 16) & 0xFF, 60u);
    // Round: as wide as it is tall, and the same left and right.
    int wide = 0, tall = 0;
    for (int i = 0; i < size; ++i) {
      wide += (argb(i, size / 2) >> 24) > 127;
      tall += (argb(size / 2, i) >> 24) > 127;
      EXPECT_EQ(argb(i, size / 3) >> 24, argb(size - 1 - i, size / 3) >> 24);
    }
    EXPECT_EQ(wide, tall);
    at += 2 + static_cast<size_t>(size) * size;
  }
}

}  // namespace
