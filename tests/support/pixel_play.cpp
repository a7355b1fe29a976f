#include "tests/support/pixel_play.h"

#include <utility>

#include "draw2d/render_state.h"

TestXServer* PixelPlayTest::_server = nullptr;
std::string PixelPlayTest::_error;

void PixelPlayTest::SetUpTestSuite() {
  _error.clear();
  _server = TestXServer::StartXorgDummy(&_error).release();
}

void PixelPlayTest::TearDownTestSuite() {
  delete _server;
  _server = nullptr;
}

void PixelPlayTest::SetUp() {
  ASSERT_NE(_server, nullptr) << "cannot start the dummy X server: " << _error;
}

PlayOptions OpenGLPlayOptions(const TestXServer& server, long max_frames) {
  PlayOptions options;
  options.draw = DrawMode::OpenGL;
  options.display = server.display_name();
  options.max_frames = max_frames;
  return options;
}

std::shared_ptr<TPixmap> ScreenWhen(const TestXServer& server, long max_frames,
                                    std::function<void()> setup,
                                    std::function<bool(const GameState&)> grab_now) {
  PlayOptions options = OpenGLPlayOptions(server, max_frames);
  options.setup = std::move(setup);
  std::shared_ptr<TPixmap> screen;
  Play(options, [&](PlayerControl& p) {
    if (!screen && grab_now(p.state())) {
      screen = CurrentDrawDriver()->GrabPixmap(0, 0, 800, 600);
      p.PressEscape();
    }
  });
  return screen;
}

std::shared_ptr<TPixmap> ScreenOfFrame(const TestXServer& server, int stage, int f,
                                       long max_frames, std::function<void()> setup) {
  return ScreenWhen(server, max_frames, std::move(setup), [stage, f](const GameState& s) {
    return s.stage == stage && s.stage_frame == f + 1;
  });
}
