// What focus events mean for the game's input, without a server: our own grabs come as pairs
// that change nothing; another client's grab, or the focus going elsewhere, takes the input; and
// where the server says the focus went, whether another window has it.
#include <gtest/gtest.h>

#include "system/x11_translate.h"

namespace {

constexpr Window kOurs = 0x400002;

XEvent Focus(int type, int mode, int detail = NotifyNonlinear, Window window = kOurs) {
  XEvent e{};
  e.xfocus.type = type;
  e.xfocus.window = window;
  e.xfocus.mode = mode;
  e.xfocus.detail = detail;
  return e;
}

FocusChange Alone(const XEvent& e) { return ClassifyFocusEvent(e.xfocus, nullptr).change; }

TEST(FocusEvents, OurOwnGrabAndUngrabArePairsThatChangeNothing) {
  for (int mode : {NotifyGrab, NotifyUngrab}) {
    XEvent out = Focus(FocusOut, mode);
    XEvent in = Focus(FocusIn, mode);
    FocusClassification c = ClassifyFocusEvent(out.xfocus, &in);
    EXPECT_EQ(c.change, FocusChange::kNone) << mode;
    EXPECT_TRUE(c.consumed_next) << mode;
  }
  // A FocusIn of another mode, or of another window, is no partner.
  XEvent out = Focus(FocusOut, NotifyGrab);
  XEvent normal_in = Focus(FocusIn, NotifyNormal);
  XEvent other_in = Focus(FocusIn, NotifyGrab, NotifyNonlinear, 0x999);
  EXPECT_EQ(ClassifyFocusEvent(out.xfocus, &normal_in).change, FocusChange::kLost);
  EXPECT_FALSE(ClassifyFocusEvent(out.xfocus, &other_in).consumed_next);
}

TEST(FocusEvents, AnotherClientsGrabTakesTheInputAndItsEndGivesItBack) {
  EXPECT_EQ(Alone(Focus(FocusOut, NotifyGrab)), FocusChange::kLost);
  EXPECT_EQ(Alone(Focus(FocusIn, NotifyUngrab)), FocusChange::kGained);
}

TEST(FocusEvents, FocusMovingAwayOrBackCountsWithOrWithoutAGrab) {
  EXPECT_EQ(Alone(Focus(FocusOut, NotifyNormal)), FocusChange::kLost);
  EXPECT_EQ(Alone(Focus(FocusOut, NotifyWhileGrabbed)), FocusChange::kLost);
  EXPECT_EQ(Alone(Focus(FocusIn, NotifyNormal, NotifyAncestor)), FocusChange::kGained);
  EXPECT_EQ(Alone(Focus(FocusIn, NotifyWhileGrabbed)), FocusChange::kGained);
}

TEST(FocusEvents, EventsAboutThePointersWindowSayNothing) {
  for (int detail : {NotifyPointer, NotifyPointerRoot, NotifyDetailNone, NotifyInferior}) {
    EXPECT_EQ(Alone(Focus(FocusOut, NotifyNormal, detail)), FocusChange::kNone) << detail;
    EXPECT_EQ(Alone(Focus(FocusIn, NotifyNormal, detail)), FocusChange::kNone) << detail;
  }
  XEvent motion{};
  motion.type = MotionNotify;
  EXPECT_EQ(ClassifyFocusEvent(motion.xfocus, nullptr).change, FocusChange::kNone);
}

TEST(FocusHolder, OnlyAWindowOnTheScreenHoldsTheFocusAwayFromUs) {
  using enum FocusHolder;
  struct {
    Window focus;
    bool viewable;
    int x, y;  // a 10x10 window's place on a 1024x768 screen
    FocusHolder holder;
  } rows[] = {{kOurs, true, 0, 0, kUs},        {PointerRoot, false, 0, 0, kNobody},
              {0x100, true, 0, 0, kNobody},    {0x999, false, 5, 5, kNobody},
              {0x999, true, 1024, 0, kNobody}, {0x999, true, -9, -9, kAnotherWindow}};
  for (const auto& r : rows) {
    const FocusFacts f{r.focus, kOurs, 0x100, r.viewable, r.x, r.y, 10, 10, 1024, 768};
    EXPECT_EQ(HolderOfFocus(f), r.holder) << r.focus << " at " << r.x << "," << r.y;
  }
}

}  // namespace
