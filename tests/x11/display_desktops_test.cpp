// The display on several desktops, opened by the engine in a child process: on two monitors only
// the game's monitor switches and every way out puts both back; without the mode the scaled
// picture covers that monitor alone; the grabs follow the focus; a window grabs only the pointer
// and scales when resized; under a compositor the pointer's motion reaches the game.
// gtest before X11: Xlib's macros (None, Bool) break gtest's templates.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <X11/Xlib.h>
#include <signal.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "display/display_request.h"
#include "display/gl_graphics.h"
#include "display/glx_display.h"
#include "display/graphics.h"
#include "system/clock.h"
#include "system/polled_input.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"
#include "tests/support/desktop_bed.h"
#include "tests/support/x_server.h"
#include "tests/support/x_test_helpers.h"

namespace {

std::unique_ptr<TestXServer> two_monitors;  // DUMMY0 and DUMMY1 side by side, 800x600 on both
std::unique_ptr<TestXServer> no_mode;       // the same without any 800x600 mode
std::unique_ptr<TestXServer> xvfb;

class DesktopsEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    std::string error;
    two_monitors = TestXServer::StartXorgDummyWith("xorg-dummy-two-monitors.conf", &error);
    ASSERT_TRUE(two_monitors) << error;
    ASSERT_TRUE(
        LightMonitorRightOf(two_monitors->display_name(), "DUMMY1", "DUMMY0", "1920x1080_60"));
    ASSERT_TRUE(AddOutputMode(two_monitors->display_name(), "DUMMY1", "800x600_60"));
    no_mode = TestXServer::StartXorgDummyWith("xorg-dummy-no-800x600.conf", &error);
    ASSERT_TRUE(no_mode) << error;
    ASSERT_TRUE(LightMonitorRightOf(no_mode->display_name(), "DUMMY1", "DUMMY0", "1920x1080_60"));
    xvfb = TestXServer::StartXvfb(1024, 768, &error);
    ASSERT_TRUE(xvfb) << error;
  }
  void TearDown() override {
    two_monitors.reset();
    no_mode.reset();
    xvfb.reset();
  }
};
testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new DesktopsEnvironment);

const std::vector<LitMonitor> kSideBySide{{"DUMMY0", 0, 0, 1920, 1080},
                                          {"DUMMY1", 1920, 0, 1920, 1080}};

void UseRealDrivers() {
  static TLinuxSystemDriver system_driver;
  static TGLGraphicsDriver gl_driver;
  SetClock(nullptr);
  SetSystemDriver(&system_driver);
  SetGraphicsDriver(&gl_driver);
}

// Opens the game's display and reports the window; then flips until killed, reporting "lost" and
// "gained" as the focus goes and comes, re-centring the pointer as the game does every frame.
std::unique_ptr<ChildProcess> OpenAndPlay(const std::string& display, bool windowed = false) {
  return std::make_unique<ChildProcess>(display, [windowed](ChildProcess& self) {
    UseRealDrivers();
    RequestWindowedDisplay(windowed);
    if (!OpenGraphics(800, 600, 32, 60, 0)) {
      self.Report("no display");
      _exit(3);
    }
    self.Report(std::to_string(InputWindow()));
    SetMouseVisible(false);
    int focused = -1;  // reported on the first frame, then at every change
    int unfocused_frames = 0;
    for (;;) {
      glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
      glClear(GL_COLOR_BUFFER_BIT);
      Flip(0);
      MoveMouse(400, 300);
      if (InputFocused() != (focused == 1)) {
        self.Report(InputFocused() ? (focused == -1 ? "focused" : "gained")
                                   : (focused == -1 ? "unfocused" : "lost"));
        focused = InputFocused();
        unfocused_frames = 0;
      }
      if (!focused && ++unfocused_frames % 30 == 0) self.Report("unfocused frames");
      // While unfocused the game still reads its pointer where it put it.
      if (!focused && (PointerX() != 400 || PointerY() != 300)) self.Report("pointer moved");
    }
  });
}

std::string ReadLineOtherThan(ChildProcess& child, const std::string& skip) {
  for (;;) {
    std::string line = child.ReadLine();
    if (line != skip) return line;
  }
}

TEST(TwoMonitors, OnlyTheGameMonitorSwitchesAndClosingPutsBothBack) {
  const std::string name = two_monitors->display_name();
  ASSERT_EQ(LitMonitors(name), kSideBySide);
  for (const char* primary : {"DUMMY0", "DUMMY1"}) {
    SCOPED_TRACE(primary);
    ASSERT_TRUE(SetPrimaryOutput(name, primary));
    const bool right = std::string(primary) == "DUMMY1";
    ChildResult r = RunInChild(name, [&] {
      UseRealDrivers();
      ASSERT_TRUE(OpenGraphics(800, 600, 32, 60, 0));
      GLXDisplayRecord* record = CurrentGLXDisplay();
      EXPECT_TRUE(record->mode_switched);
      EXPECT_FALSE(record->scaled);
      EXPECT_EQ(record->window_x, right ? 1920 : 0);
      EXPECT_EQ(record->window_y, 0);
      std::vector<LitMonitor> during = kSideBySide;
      during[right ? 1 : 0].width = 800;
      during[right ? 1 : 0].height = 600;
      EXPECT_EQ(LitMonitors(name), during) << Describe(LitMonitors(name));
      CloseGraphics();
      EXPECT_EQ(LitMonitors(name), kSideBySide) << Describe(LitMonitors(name));
    });
    EXPECT_TRUE(r.ExitedWith(0)) << r.Describe();
  }
  ASSERT_TRUE(SetPrimaryOutput(name, "DUMMY0"));
}

TEST(TwoMonitors, SignalsAndALostConnectionPutBothMonitorsBack) {
  const std::string name = two_monitors->display_name();
  for (int way : {SIGTERM, SIGINT, 0}) {
    SCOPED_TRACE("way out " + std::to_string(way));
    auto child = OpenAndPlay(name);
    std::string window = child->ReadLine();
    ASSERT_NE(window, "");
    ASSERT_NE(window, "no display");
    ASSERT_EQ(child->ReadLine(), "focused");
    ASSERT_EQ(LitMonitors(name)[0].width, 800);
    if (way != 0) {
      kill(child->pid(), way);
      EXPECT_TRUE(child->Wait().KilledBy(way));
    } else {
      Display* own = XOpenDisplay(name.c_str());
      ASSERT_TRUE(own);
      XKillClient(own, static_cast<XID>(std::stoul(window)));
      XSync(own, False);
      XCloseDisplay(own);
      EXPECT_TRUE(child->Wait().ExitedWith(1));
    }
    EXPECT_EQ(LitMonitors(name), kSideBySide) << Describe(LitMonitors(name));
  }
}

TEST(NoGameMode, TheScaledPictureCoversTheGameMonitorAlone) {
  const std::string name = no_mode->display_name();
  ASSERT_EQ(LitMonitors(name), kSideBySide);
  for (const char* primary : {"DUMMY0", "DUMMY1"}) {
    SCOPED_TRACE(primary);
    ASSERT_TRUE(SetPrimaryOutput(name, primary));
    const int left = std::string(primary) == "DUMMY1" ? 1920 : 0;
    ChildResult r = RunInChild(name, [&] {
      UseRealDrivers();
      ASSERT_TRUE(OpenGraphics(800, 600, 32, 60, 0));
      GLXDisplayRecord* record = CurrentGLXDisplay();
      EXPECT_FALSE(record->mode_switched);
      EXPECT_TRUE(record->scaled);
      EXPECT_EQ(record->window_x, left);
      EXPECT_EQ(record->window_width, 1920);
      EXPECT_EQ(record->window_height, 1080);
      DisplayInfo info = CurrentDisplayInfo();
      EXPECT_EQ(info.picture_x, 240);
      EXPECT_EQ(info.picture_w, 1440);
      EXPECT_EQ(info.picture_h, 1080);
      EXPECT_EQ(LitMonitors(name), kSideBySide);
      CloseGraphics();
    });
    EXPECT_TRUE(r.ExitedWith(0)) << r.Describe();
    EXPECT_EQ(LitMonitors(name), kSideBySide);
  }
  ASSERT_TRUE(SetPrimaryOutput(name, "DUMMY0"));
}

// Whether another client can have the keyboard (or the pointer) now; it lets go at once.
bool KeyboardFree(Display* other, Window mine) {
  bool free =
      XGrabKeyboard(other, mine, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
  XUngrabKeyboard(other, CurrentTime);
  XSync(other, False);
  return free;
}
bool PointerFree(Display* other, Window mine) {
  bool free = XGrabPointer(other, mine, False, 0, GrabModeAsync, GrabModeAsync, None, None,
                           CurrentTime) == GrabSuccess;
  XUngrabPointer(other, CurrentTime);
  XSync(other, False);
  return free;
}

// Polls for up to five seconds: a grab another client still holds is taken a few flips later.
bool Eventually(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

TEST(Focus, LosingItGivesBackTheGrabsAndThePointerAndAClickTakesThemAgain) {
  const std::string name = xvfb->display_name();
  auto child = OpenAndPlay(name);
  const std::string window = child->ReadLine();
  ASSERT_NE(window, "");
  ASSERT_NE(window, "no display");
  ASSERT_EQ(child->ReadLine(), "focused");
  Display* other = XOpenDisplay(name.c_str());
  ASSERT_TRUE(other);
  Window mine = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 10, 10, 0, 0, 0);
  XMapWindow(other, mine);
  XSync(other, False);
  EXPECT_FALSE(KeyboardFree(other, mine));
  EXPECT_TRUE(CursorInvisible(name));

  // Another client takes the focus: the game lets go of everything and stops warping.
  XSetInputFocus(other, mine, RevertToParent, CurrentTime);
  XSync(other, False);
  EXPECT_EQ(child->ReadLine(), "lost");
  EXPECT_TRUE(KeyboardFree(other, mine));
  EXPECT_TRUE(PointerFree(other, mine));
  EXPECT_FALSE(CursorInvisible(name));
  WarpRootPointer(name, 100, 100);
  // Two reports of 30 frames each: the pointer was re-centred 60 times if warping went on.
  EXPECT_EQ(child->ReadLine(), "unfocused frames");
  EXPECT_EQ(child->ReadLine(), "unfocused frames");
  int x = 0, y = 0;
  ASSERT_TRUE(QueryRootPointer(name, &x, &y));
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 100);

  // A click on the game's window asks for the focus back, and the grabs come with it.
  ClickAt(name, 300, 300);
  EXPECT_EQ(ReadLineOtherThan(*child, "unfocused frames"), "gained");
  EXPECT_TRUE(CursorInvisible(name));
  EXPECT_FALSE(KeyboardFree(other, mine));
  ASSERT_TRUE(QueryRootPointer(name, &x, &y));
  EXPECT_EQ(x, 512);  // back at the centre the game keeps it at
  EXPECT_EQ(y, 384);
  XCloseDisplay(other);
}

TEST(Window, GrabsOnlyThePointerWhileFocusedAndScalesWhenResized) {
  const std::string name = xvfb->display_name();
  auto child = OpenAndPlay(name, /*windowed=*/true);
  const std::string line = child->ReadLine();
  ASSERT_NE(line, "");
  ASSERT_NE(line, "no display");
  const Window window = std::stoul(line);
  // Without a window manager it asks for the focus itself.
  EXPECT_TRUE(WaitForFocus(name, window));
  const std::string first = child->ReadLine();
  if (first == "unfocused") {
    EXPECT_EQ(child->ReadLine(), "gained");
  } else {
    EXPECT_EQ(first, "focused");
  }
  Display* other = XOpenDisplay(name.c_str());
  ASSERT_TRUE(other);
  Window mine = XCreateSimpleWindow(other, DefaultRootWindow(other), 900, 700, 10, 10, 0, 0, 0);
  XMapWindow(other, mine);
  XSync(other, False);
  EXPECT_TRUE(KeyboardFree(other, mine)) << "the window manager's keys must still work";
  EXPECT_TRUE(Eventually([&] { return !PointerFree(other, mine); }));

  // Made wider: the picture keeps its aspect between black bars.
  XResizeWindow(other, window, 1000, 600);
  XSync(other, False);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  long bar = -1, middle = -1;
  while (std::chrono::steady_clock::now() < deadline && !(bar == 0 && middle == 0xFF0000)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    bar = ScreenPixel(name, 50, 300);
    middle = ScreenPixel(name, 500, 300);
  }
  EXPECT_EQ(bar, 0x000000);
  EXPECT_EQ(middle, 0xFF0000);

  XSetInputFocus(other, mine, RevertToParent, CurrentTime);
  XSync(other, False);
  EXPECT_EQ(child->ReadLine(), "lost");
  EXPECT_TRUE(Eventually([&] { return PointerFree(other, mine); }));
  XCloseDisplay(other);
}

// A property of the window: its values as longs (format 32) or bytes (format 8).
std::vector<long> Cardinals(Display* d, Window w, const char* name) {
  Atom type;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<long> values;
  if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 1 << 16, False, AnyPropertyType,
                         &type, &format, &count, &after, &data) == Success &&
      data) {
    if (format == 32)
      values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
    if (format == 8) values.assign(data, data + count);
    XFree(data);
  }
  return values;
}

TEST(Identity, TheWindowSaysWhoItIsAndWhatItLooksLike) {
  ChildResult r = RunInChild(xvfb->display_name(), [] {
    UseRealDrivers();
    ASSERT_TRUE(OpenGraphics(800, 600, 32, 60, 0));
    Display* d = XConnection();
    const Window w = InputWindow();
    XClassHint hint{};
    ASSERT_TRUE(XGetClassHint(d, w, &hint));
    EXPECT_STREQ(hint.res_name, "moody");
    EXPECT_STREQ(hint.res_class, "Moody");
    XFree(hint.res_name);
    XFree(hint.res_class);
    char* title = nullptr;
    ASSERT_TRUE(XFetchName(d, w, &title));
    EXPECT_STREQ(title, "moody");
    XFree(title);
    EXPECT_EQ(Cardinals(d, w, "_NET_WM_PID"), std::vector<long>{getpid()});
    EXPECT_FALSE(Cardinals(d, w, "WM_CLIENT_MACHINE").empty());
    EXPECT_EQ(Cardinals(d, w, "_NET_WM_BYPASS_COMPOSITOR"), std::vector<long>{1});
    // Icons of several sizes, each a width, a height and that many pixels.
    std::vector<long> icon = Cardinals(d, w, "_NET_WM_ICON");
    int sizes = 0;
    for (size_t at = 0; at + 2 <= icon.size(); at += 2 + icon[at] * icon[at + 1]) ++sizes;
    EXPECT_GE(sizes, 2);
    CloseGraphics();
  });
  EXPECT_TRUE(r.ExitedWith(0)) << r.Describe();
}

// Under weston nested in a host X server, full screen or in a window: the host's pointer is put
// over the game's window and moved right; the game must read that motion.
void ExpectMotionThroughTheCompositor(bool windowed) {
  std::string error;
  auto host = TestXServer::StartXvfb(1280, 720, &error);
  ASSERT_TRUE(host) << error;
  auto weston = TestXServer::StartWestonXwayland(1280, 720, host->display_name(), &error);
  ASSERT_TRUE(weston) << error;
  ChildProcess child(weston->display_name(), [windowed](ChildProcess& self) {
    UseRealDrivers();
    RequestWindowedDisplay(windowed);
    if (!OpenGraphics(800, 600, 32, 60, 0)) _exit(3);
    GLXDisplayRecord* record = CurrentGLXDisplay();
    // As the game starts: a first frame shown (the compositor's pointer enters the window
    // wherever it is), then the pointer hidden and put in the centre.
    Flip(0);
    SetMouseVisible(false);
    MoveMouse(400, 300);
    // As the game's cursor does: the motion since the last frame, then back to the centre.
    auto frame_motion = [] {
      Flip(0);
      const int dx = PointerX() - 400;
      MoveMouse(400, 300);
      return dx;
    };
    int still = 0;
    for (int frame = 0; frame < 30; ++frame) still += frame_motion();
    self.Report(record->xwayland && !record->mode_switched ? "xwayland" : "not xwayland");
    self.Report("before the hand moved: " + std::to_string(still));
    int moved = 0;
    for (int frames = 1;; ++frames) {
      moved += frame_motion();
      if (frames % 60 == 0) {  // how it stands, for the message should the motion not come
        self.Report("state: focused " + std::to_string(InputFocused()) + ", moved " +
                    std::to_string(moved));
      }
      if (moved >= 60) {
        self.Report("moved right");
        moved = -100000;
      }
    }
  });
  EXPECT_EQ(child.ReadLine(), "xwayland");
  EXPECT_EQ(child.ReadLine(), "before the hand moved: 0");
  if (windowed) {
    // The nested compositor moves its pointer by the host's motion, not to where the host's
    // pointer is: into its corner first, then to its middle, which any window of 800x600 covers.
    WarpRootPointer(host->display_name(), 1279, 719);
    WarpRootPointer(host->display_name(), 0, 0);
    WarpRootPointer(host->display_name(), 640, 360);
  }
  std::string line, state;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (line.empty() && std::chrono::steady_clock::now() < deadline) {
    MovePointerBy(host->display_name(), 3, 0);
    line = child.ReadLine(50);
    if (line.rfind("state", 0) == 0) state = line, line.clear();
  }
  EXPECT_EQ(line, "moved right") << state;
}

TEST(Xwayland, PointerMotionThroughTheCompositorReachesTheGame) {
  ExpectMotionThroughTheCompositor(false);
}

TEST(Xwayland, AWindowFollowsTheMouseThroughTheCompositorToo) {
  ExpectMotionThroughTheCompositor(true);
}

}  // namespace
