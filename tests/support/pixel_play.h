#pragma once
// Pixel tests on a real X server: a fixture that starts the Xorg dummy server once per test
// program, and the screen of a frame played there by the harness with the OpenGL driver, read
// back just before the frame is presented.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "draw2d/pixmap.h"
#include "tests/support/play_harness.h"
#include "tests/support/screen_pixels.h"
#include "tests/support/x_server.h"

class PixelPlayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  // A test whose suite could not start the server fails before its body runs.
  void SetUp() override;

  static const TestXServer& server() { return *_server; }

 private:
  static TestXServer* _server;
  static std::string _error;
};

// Options for a run drawn with the OpenGL driver on `server`.
PlayOptions OpenGLPlayOptions(const TestXServer& server, long max_frames);

// Plays from `setup` (run after start-up: g.stage and what the stage handing over leaves) and
// returns the screen as it is when `grab_now` first holds; the run then ends with Escape. The
// player, and so `grab_now`, is called after each pass's decisions, before the frame is
// presented. nullptr if that never came within `max_frames`.
std::shared_ptr<TPixmap> ScreenWhen(const TestXServer& server, long max_frames,
                                    std::function<void()> setup,
                                    std::function<bool(const GameState&)> grab_now);

// The screen of the frame of `stage` drawn with stage_frame `f`: the player sees f + 1 after that
// frame's decisions.
std::shared_ptr<TPixmap> ScreenOfFrame(const TestXServer& server, int stage, int f,
                                       long max_frames, std::function<void()> setup);
