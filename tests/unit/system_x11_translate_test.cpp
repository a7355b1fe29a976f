// Translation of X events without an X server.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "system/x11_translate.h"

namespace {
// Keycode n stands for keysym n; the characters are given per test.
struct TableKeys : KeyLookup {
  KeySym Unshifted(XKeyEvent& e) const override { return e.keycode; }
  std::string Chars(XKeyEvent& e) const override { return e.keycode == 7 ? chars7 : ""; }
  std::string chars7 = "\xe9x";
};

XEvent Key(int type, unsigned keycode, int x = 0, int y = 0) {
  XEvent e{};
  e.xkey.type = type;
  e.xkey.keycode = keycode;
  e.xkey.x = x;
  e.xkey.y = y;
  return e;
}

XEvent Button(int type, unsigned button) {
  XEvent e{};
  e.xbutton.type = type;
  e.xbutton.button = button;
  e.xbutton.x = 5;
  e.xbutton.y = 6;
  return e;
}

std::vector<int> Ids(const Translation& t) {
  std::vector<int> ids;
  for (const auto& e : t.events) ids.push_back(e.id);
  return ids;
}
}  // namespace

TEST(KeyTableTest, SpotChecks) {
  struct Case {
    KeySym keysym;
    int code;
  };
  for (Case c : {Case{XK_Escape, 27},
                 {XK_a, 65},
                 {XK_z, 90},
                 {XK_0, 48},
                 {XK_9, 57},
                 {XK_space, 32},
                 {XK_Return, 13},
                 {XK_BackSpace, 8},
                 {XK_Tab, 9},
                 {XK_F1, 112},
                 {XK_F12, 123},
                 {XK_Left, 37},
                 {XK_Up, 38},
                 {XK_Right, 39},
                 {XK_Down, 40},
                 {XK_Home, 36},
                 {XK_End, 35},
                 {XK_Prior, 33},
                 {XK_Next, 34},
                 {XK_KP_Home, 103},
                 {XK_KP_Insert, 96},
                 {XK_KP_Delete, 110},
                 {XK_KP_Enter, 13},
                 {XK_KP_Begin, 101},
                 {XK_KP_Multiply, 106},
                 {XK_KP_Add, 107},
                 {XK_KP_Subtract, 109},
                 {XK_KP_Divide, 111},
                 {XK_Num_Lock, 144},
                 {XK_Scroll_Lock, 145},
                 {XK_Shift_L, 160},
                 {XK_Control_R, 163},
                 {XK_Alt_L, 164},
                 {XK_Super_R, 92},
                 {XK_Delete, 46},
                 {XK_semicolon, 186},
                 {XK_equal, 187},
                 {XK_comma, 188},
                 {XK_minus, 189},
                 {XK_period, 190},
                 {XK_slash, 191},
                 {XK_grave, 192},
                 {XK_bracketleft, 219},
                 {XK_backslash, 226},
                 {XK_bracketright, 221},
                 {XK_apostrophe, 222}}) {
    EXPECT_EQ(KeyCodeForKeysymByte(static_cast<int>(c.keysym & 0xff)), c.code)
        << std::hex << c.keysym;
  }
}

TEST(TranslateTest, KeyPressGivesKeyDownAndItsCharacters) {
  TableKeys keys;
  XEvent press = Key(KeyPress, XK_Escape, 11, 12);
  Translation t = TranslateXEvent(press, nullptr, keys, 0);
  ASSERT_EQ(Ids(t), std::vector<int>{EventId::KeyDown});
  EXPECT_EQ(t.events[0].data, 27);
  EXPECT_EQ(t.events[0].x, 11);
  EXPECT_EQ(t.events[0].y, 12);
  EXPECT_EQ(t.events[0].source, nullptr);

  // Keycode 7 stands for keysym 7; it types two bytes, the first above 127.
  XEvent typed = Key(KeyPress, 7);
  t = TranslateXEvent(typed, nullptr, keys, 0);
  ASSERT_EQ(Ids(t), (std::vector<int>{EventId::KeyDown, EventId::KeyChar, EventId::KeyChar}));
  EXPECT_EQ(t.events[1].data, 0xe9);
  EXPECT_EQ(t.events[2].data, 'x');
}

TEST(TranslateTest, ReleaseFollowedByPressOfTheSameKeyIsARepeat) {
  TableKeys keys;
  XEvent release = Key(KeyRelease, 7);
  XEvent same = Key(KeyPress, 7);
  XEvent other = Key(KeyPress, 8);

  Translation t = TranslateXEvent(release, &same, keys, 0);
  EXPECT_TRUE(t.consumed_next);
  ASSERT_EQ(Ids(t), (std::vector<int>{EventId::KeyRepeat, EventId::KeyChar, EventId::KeyChar}));
  EXPECT_EQ(t.events[0].data, 7);

  for (XEvent* next : {&other, static_cast<XEvent*>(nullptr)}) {
    t = TranslateXEvent(release, next, keys, 0);
    EXPECT_FALSE(t.consumed_next);
    EXPECT_EQ(Ids(t), std::vector<int>{EventId::KeyUp});
  }
}

TEST(TranslateTest, Buttons) {
  TableKeys keys;
  struct Case {
    int type;
    unsigned button;
    int id;
    int data;
  };
  for (Case c : {Case{ButtonPress, 1, EventId::MouseDown, 1},
                 {ButtonPress, 2, EventId::MouseDown, 3},
                 {ButtonPress, 3, EventId::MouseDown, 2},
                 {ButtonPress, 4, EventId::MouseWheel, 1},
                 {ButtonPress, 5, EventId::MouseWheel, -1},
                 {ButtonRelease, 1, EventId::MouseUp, 1},
                 {ButtonRelease, 2, EventId::MouseUp, 3},
                 {ButtonRelease, 3, EventId::MouseUp, 2}}) {
    XEvent e = Button(c.type, c.button);
    Translation t = TranslateXEvent(e, nullptr, keys, 0);
    ASSERT_EQ(t.events.size(), 1u) << c.button;
    EXPECT_EQ(t.events[0].id, c.id) << c.button;
    EXPECT_EQ(t.events[0].data, c.data) << c.button;
    EXPECT_EQ(t.events[0].x, 5);
    EXPECT_EQ(t.events[0].y, 6);
  }
  for (Case c : {Case{ButtonPress, 6, 0, 0},
                 {ButtonPress, 8, 0, 0},
                 {ButtonRelease, 4, 0, 0},
                 {ButtonRelease, 5, 0, 0}}) {
    XEvent e = Button(c.type, c.button);
    EXPECT_TRUE(TranslateXEvent(e, nullptr, keys, 0).events.empty()) << c.button;
  }
}

TEST(TranslateTest, MotionAndWindowClose) {
  TableKeys keys;
  XEvent motion{};
  motion.xmotion.type = MotionNotify;
  motion.xmotion.x = 400;
  motion.xmotion.y = 300;
  Translation t = TranslateXEvent(motion, nullptr, keys, 0);
  ASSERT_EQ(Ids(t), std::vector<int>{EventId::MouseMove});
  EXPECT_EQ(t.events[0].x, 400);
  EXPECT_EQ(t.events[0].y, 300);

  const Atom kDelete = 321;
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.format = 32;
  message.xclient.data.l[0] = kDelete;
  EXPECT_EQ(Ids(TranslateXEvent(message, nullptr, keys, kDelete)),
            std::vector<int>{EventId::AppTerminate});
  EXPECT_TRUE(TranslateXEvent(message, nullptr, keys, kDelete + 1).events.empty());
  message.xclient.data.l[0] = 0;
  EXPECT_TRUE(TranslateXEvent(message, nullptr, keys, 0).events.empty());

  XEvent expose{};
  expose.type = Expose;
  EXPECT_TRUE(TranslateXEvent(expose, nullptr, keys, kDelete).events.empty());
}
