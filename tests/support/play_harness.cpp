#include "tests/support/play_harness.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "display/graphics.h"
#include "draw2d/gl_quill2d_driver.h"
#include "draw2d/gl_shader_quill2d_driver.h"
#include "draw2d/image.h"
#include "draw2d/null_driver.h"
#include "game/cursor_math.h"
#include "game/headless_run.h"
#include "game/movie/movie_session.h"
#include "game/movie/movie_writer.h"
#include "game/stage_machine.h"
#include "game/startup.h"
#include "system/scripted_system_driver.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"

namespace {

// Thrown through the game's code back to Play(): the run was cut short.
struct RunStopped {};

constexpr int kEscapeKey = 27;
// A brisk hand moves the mouse at most about this far in one frame.
constexpr int kMaxMotionPerFrame = 60;
// A nearly frozen cursor (speed 0.008) needs 125 pixels of motion for one pixel of its own.
constexpr int kMaxMotionForOnePixel = 250;

// The drawing driver of the last run; kept until the next run so a test can inspect it.
std::unique_ptr<TQuill2DDriver> last_driver;
TRecordingQuill2DDriver* last_recording = nullptr;

// The cursor coordinate after a pointer motion, exactly as UpdateCursor computes it.
int CursorAfter(int position, int motion, float speed, int lo, int hi) {
  int next = CursorAxisStep(position, motion * double{speed});
  if (next > hi) next = hi;
  if (next < lo) next = lo;
  return next;
}

// The smallest motion (in the step's direction) that moves the cursor from `position` exactly
// `step` pixels, or 0 if none within `limit` pixels does. The result is monotonic in the motion,
// so a binary search finds the first motion that gets there or beyond.
int MotionForStep(int position, int step, float speed, int lo, int hi, int limit) {
  const int dir = step > 0 ? 1 : -1;
  const int target = position + step;
  auto reached = [&](int magnitude) {
    const int next = CursorAfter(position, dir * magnitude, speed, lo, hi);
    return dir > 0 ? next >= target : next <= target;
  };
  if (!reached(limit)) return 0;
  int low = 1, high = limit;
  while (low < high) {
    const int mid = low + (high - low) / 2;
    if (reached(mid)) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  return CursorAfter(position, dir * low, speed, lo, hi) == target ? dir * low : 0;
}

// This frame's motion along one axis toward `target`: the largest step a brisk hand makes, and
// for a nearly frozen cursor whatever single pixel costs.
int PlanAxisMotion(int position, int target, float speed, int lo, int hi) {
  if (position == target || !(speed > 0.0f)) return 0;
  const int dir = target > position ? 1 : -1;
  int step = target - position;
  const int max_step = std::max(1, static_cast<int>(kMaxMotionPerFrame * speed));
  if (std::abs(step) > max_step) step = dir * max_step;
  for (; step != 0; step -= dir) {
    const int limit = std::abs(step) == 1 ? kMaxMotionForOnePixel : kMaxMotionPerFrame;
    const int motion = MotionForStep(position, step, speed, lo, hi, limit);
    if (motion != 0) return motion;
  }
  return 0;
}

std::unique_ptr<TQuill2DDriver> MakeDrawDriver(const PlayOptions& options) {
  last_recording = nullptr;
  switch (options.draw) {
    case DrawMode::Recording: {
      auto driver = std::make_unique<TRecordingQuill2DDriver>();
      last_recording = driver.get();
      return driver;
    }
    case DrawMode::OpenGL:
      OpenXConnection(options.display.empty() ? nullptr : options.display.c_str());
      // MOODY_GL_DRIVER=shader plays with the shader driver instead, to hold the two side by side.
      if (const char* name = std::getenv("MOODY_GL_DRIVER"); name && std::string(name) == "shader") {
        return std::make_unique<TGLShaderQuill2DDriver>();
      }
      return std::make_unique<TGLQuill2DDriver>();
    case DrawMode::Null:
      break;
  }
  return std::make_unique<TNullQuill2DDriver>();
}

}  // namespace

void PlayerControl::MoveBy(int dx, int dy) { driver->MovePointerBy(dx, dy); }
void PlayerControl::Press(int button) { driver->PressButton(button); }
void PlayerControl::Release(int button) { driver->ReleaseButton(button); }

void PlayerControl::PressEscape() {
  driver->PressKey(kEscapeKey);
  driver->ReleaseKey(kEscapeKey);
}

bool PlayerControl::SteerTipTo(int x, int y, float speed) {
  const int want_x = ClampCursorX(x + 6);
  const int want_y = ClampCursorY(y + 10);
  const int dx = PlanAxisMotion(g.cursor_x, want_x, speed, kCursorMinX, kCursorMaxX);
  const int dy = PlanAxisMotion(g.cursor_y, want_y, speed, kCursorMinY, kCursorMaxY);
  if (dx != 0 || dy != 0) MoveBy(dx, dy);
  return g.cursor_x - 6 == x && g.cursor_y - 10 == y;
}

std::vector<int> PlayResult::stages() const {
  std::vector<int> visited{first_stage};
  const Handover* previous = nullptr;
  for (const Handover& h : handovers) {
    // A later SetStage in the same pass overrides the earlier one: that stage never ran.
    if (previous != nullptr && previous->frame == h.frame && previous->loop == h.loop &&
        visited.size() > 1) {
      visited.back() = h.to;
    } else if (h.to != visited.back()) {
      visited.push_back(h.to);
    }
    previous = &h;
  }
  return visited;
}

TRecordingQuill2DDriver* LastRecordingDriver() { return last_recording; }

PlayResult Play(const PlayOptions& options, Player player) {
  last_driver.reset();
  PlayResult result;
  PlayerControl control;
  bool in_stage_loops = false;
  int running_loop = 0;  // the table entry whose code runs
  {
    HeadlessRun run(options.seed, MakeDrawDriver(options));
    control.driver = &run.system();
    std::unique_ptr<MovieWriter> writer;
    if (!options.record_movie.empty()) {
      if (std::FILE* file = std::fopen(options.record_movie.c_str(), "w")) {
        writer = std::make_unique<MovieWriter>(file, options.seed);
        RecordSession(writer.get());
      }
    }
    const int stage_hook = StageChangeHooks().Add(
        [&](const StageChange& c) {
          result.handovers.push_back({c.from, c.to, c.at_stage_frame, control._frame, running_loop});
        },
        0);
    // Start-up's own flips are not frames of the game.
    const int flip_hook = FlipHooks().Add(
        [&](const int&) {
          if (!in_stage_loops) return;
          // A stage may hand over by writing g.stage itself (keeping its frame count running);
          // such a change shows up here, at the end of the pass that made it.
          const int last =
              result.handovers.empty() ? result.first_stage : result.handovers.back().to;
          if (g.stage != last) {
            result.handovers.push_back({last, g.stage, g.stage_frame, control._frame, running_loop});
          }
          if (control._frame >= options.max_frames) throw RunStopped{};
          if (player) player(control);
          ++control._frame;
        },
        0);
    struct HookRemover {
      int flip, stage;
      ~HookRemover() {
        FlipHooks().Remove(flip);
        StageChangeHooks().Remove(stage);
      }
    } remover{flip_hook, stage_hook};
    try {
      result.exit_status = run.Play([&] {
        StartGame();
        if (options.setup) options.setup();
        result.first_stage = g.stage;
        in_stage_loops = true;
        if (options.body) {
          options.body();
        } else {
          RunStages([&](int number) { running_loop = number; });
        }
      });
      result.ended = true;
    } catch (const RunStopped&) {
      result.ended = false;
    }
    last_driver = run.TakeDrawDriver();
    EndMovieSession();
  }
  if (options.draw == DrawMode::OpenGL) CloseXConnection();
  result.frames = control._frame;
  return result;
}
