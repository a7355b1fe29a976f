// What a presented frame costs the CPU, set against the floor: in one process on one dummy X
// server (Mesa llvmpipe), a bare loop that clears 800x600 and swaps on the 60 Hz grid, then the
// program's own frames for N frames each, in rounds so that the load of other processes falls on
// all alike: the title (stage 0) and the yawn with its mouth hole (stage 3), which hold still
// when nobody moves the mouse, so their face canvas is drawn as the frame before; the title with
// a face that breathes every frame, so the canvas is drawn and grabbed anew each time; and the
// first two again with the canvas drawn and grabbed every frame whatever it shows. Prints CPU
// milliseconds per frame (the whole process: llvmpipe's threads and the timer thread count), the
// ratio to the floor, the intervals between presented frames, and the start-up time up to the
// title's first frame. Figures only.
//
//   frame_cost_bench [frames per phase = 600] [rounds = 2] [only: bare | title | hole | changing |
//                    title-nomemo | hole-nomemo]
// (the -nomemo phases draw and grab the face canvas every frame, as before the canvas memo.)
// (`only` runs one phase, for a profiler.) MOODY_GL_DRIVER=shader measures the shader driver
// instead of the fixed-function one (its face canvas is always read back, memo or not).
#include <GL/gl.h>
#include <GL/glx.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "display/graphics.h"
#include "draw2d/canvas_memo.h"
#include "draw2d/gl_quill2d_driver.h"
#include "draw2d/gl_shader_quill2d_driver.h"
#include "game/stage_machine.h"
#include "game/startup.h"
#include "game/state.h"
#include "system/clock.h"
#include "system/system_driver.h"
#include "system/timer.h"
#include "system/x11_system_driver.h"
#include "tests/support/x_server.h"

namespace {

constexpr int kWarmUpFrames = 30;  // llvmpipe compiles its shaders on first use
constexpr double kLateMillis = 24.0;

double MonotonicMillis() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double CpuMillis() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// The real clock, noting when each buffer swap returns while a phase is measured.
class SwapTimingClock : public TClock {
 public:
  int32_t Millis() override { return RealClock().Millis(); }
  void SleepMicros(int64_t micros) override { RealClock().SleepMicros(micros); }
  bool StartTimer(std::shared_ptr<TimerRecord> record) override {
    return RealClock().StartTimer(std::move(record));
  }
  void OnBufferSwap(int /*sync*/) override {
    const double now = MonotonicMillis();
    if (first_swap_at < 0) first_swap_at = now;
    if (recording) swaps.push_back(now);
  }
  bool recording = false;
  std::vector<double> swaps;
  double first_swap_at = -1;  // first swap since the last reset
};

SwapTimingClock swap_clock;

struct PhaseFigures {
  double cpu_ms = 0;
  long frames = 0;
  std::vector<double> intervals;

  void Add(const PhaseFigures& other) {
    cpu_ms += other.cpu_ms;
    frames += other.frames;
    intervals.insert(intervals.end(), other.intervals.begin(), other.intervals.end());
  }
  double CpuPerFrame() const { return frames ? cpu_ms / frames : 0; }
};

void CollectIntervals(PhaseFigures& figures) {
  for (size_t i = 1; i < swap_clock.swaps.size(); ++i) {
    figures.intervals.push_back(swap_clock.swaps[i] - swap_clock.swaps[i - 1]);
  }
  swap_clock.swaps.clear();
}

// Thrown from the flip hook when a phase has presented its frames.
struct PhaseDone {};

struct GamePhase {
  long frames = 0;
  long seen = 0;
  double cpu_start = 0;
  PhaseFigures figures;
  int keep_from = 0, keep_to = 0;  // stage_frame wraps back into this range
  bool face_changes = false;       // a different squash every frame
};
GamePhase* game_phase = nullptr;

void OnGameFlip() {
  GamePhase* p = game_phase;
  if (p == nullptr) return;
  // Keep the scene where it is being measured rather than let it hand over.
  if (g.stage_frame >= p->keep_to) g.stage_frame = p->keep_from;
  if (p->face_changes) g.squash = 1 + static_cast<int>(p->seen % 6);
  ++p->seen;
  if (p->seen == kWarmUpFrames) {
    p->cpu_start = CpuMillis();
    swap_clock.swaps.clear();
    swap_clock.recording = true;
  } else if (p->seen == kWarmUpFrames + p->frames) {
    p->figures.cpu_ms = CpuMillis() - p->cpu_start;
    p->figures.frames = p->frames;
    // This frame's swap has not happened: the intervals cover the frames counted.
    swap_clock.recording = false;
    CollectIntervals(p->figures);
    throw PhaseDone{};
  }
}

void (*StageRun(int number))() {
  for (const StageEntry& e : StageTable()) {
    if (e.number == number) return e.run;
  }
  return nullptr;
}

PhaseFigures RunGamePhase(int stage, int first_frame, int keep_from, int keep_to, long frames,
                          bool face_changes = false) {
  GamePhase phase;
  phase.face_changes = face_changes;
  phase.frames = frames;
  phase.keep_from = keep_from;
  phase.keep_to = keep_to;
  g.stage = stage;
  g.stage_frame = first_frame;
  g.squash = 6;
  g.cursor_x = 60;  // far from the face: nothing hands over
  g.cursor_y = 560;
  game_phase = &phase;
  try {
    StageRun(stage)();
  } catch (const PhaseDone&) {
  }
  game_phase = nullptr;
  return phase.figures;
}

// The floor: clear and swap, sleeping to the next tick of the 60 Hz grid; nothing else.
PhaseFigures RunBarePhase(long frames) {
  Display* display = glXGetCurrentDisplay();
  GLXDrawable drawable = glXGetCurrentDrawable();
  PhaseFigures figures;
  timespec next;
  clock_gettime(CLOCK_MONOTONIC, &next);
  double cpu_start = 0;
  for (long i = 0; i < kWarmUpFrames + frames; ++i) {
    if (i == kWarmUpFrames) {
      cpu_start = CpuMillis();
      swap_clock.swaps.clear();
    }
    glClear(GL_COLOR_BUFFER_BIT);
    glXSwapBuffers(display, drawable);
    if (i >= kWarmUpFrames) swap_clock.swaps.push_back(MonotonicMillis());
    next.tv_nsec += 1000000000L / 60;
    if (next.tv_nsec >= 1000000000L) {
      next.tv_nsec -= 1000000000L;
      ++next.tv_sec;
    }
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
  }
  figures.cpu_ms = CpuMillis() - cpu_start;
  figures.frames = frames;
  CollectIntervals(figures);
  return figures;
}

double Percentile(std::vector<double> v, double q) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t i = static_cast<size_t>(q * (v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

void PrintPhase(const char* name, const PhaseFigures& f, double floor_cpu) {
  const double late = static_cast<double>(std::count_if(f.intervals.begin(), f.intervals.end(),
                                                        [](double d) { return d > kLateMillis; }));
  std::printf("%-10s cpu %.3f ms/frame", name, f.CpuPerFrame());
  if (floor_cpu > 0) std::printf("  ratio %.2f", f.CpuPerFrame() / floor_cpu);
  std::printf(
      "  interval median %.2f p99 %.2f max %.2f ms, over %.0f ms: %.1f per 1000 frames "
      "(%zu intervals)\n",
      Percentile(f.intervals, 0.5), Percentile(f.intervals, 0.99), Percentile(f.intervals, 1.0),
      kLateMillis, f.intervals.empty() ? 0.0 : 1000.0 * late / f.intervals.size(),
      f.intervals.size());
}

}  // namespace

int main(int argc, char** argv) {
  long frames = argc > 1 ? std::atol(argv[1]) : 600;
  if (frames <= 0) frames = 600;
  int rounds = argc > 2 ? std::atoi(argv[2]) : 2;
  if (rounds <= 0) rounds = 2;
  const std::string only = argc > 3 ? argv[3] : "";
  auto runs = [&](const char* phase) { return only.empty() || only == phase; };

  std::string error;
  auto server = TestXServer::StartXorgDummy(&error);
  if (!server) {
    std::fprintf(stderr, "frame_cost_bench: cannot start the dummy X server: %s\n", error.c_str());
    return 1;
  }
  setenv("DISPLAY", server->display_name().c_str(), 1);

  static TLinuxSystemDriver system_driver;
  static TGLQuill2DDriver draw_driver;
  static TGLShaderQuill2DDriver shader_driver;
  const char* driver_name = std::getenv("MOODY_GL_DRIVER");
  const bool shaders = driver_name != nullptr && std::string(driver_name) == "shader";
  SetClock(&swap_clock);
  SetSystemDriver(&system_driver);
  SetGraphicsDriver(shaders ? static_cast<TQuill2DDriver*>(&shader_driver) : &draw_driver);
  SetEndProgramHandler([](int) { throw PhaseDone{}; });
  FlipHooks().Add([](const int&) { OnGameFlip(); }, 0);

  // Start-up as the program does it, up to the title's first presented frame.
  const double start = MonotonicMillis();
  StartGame();
  const double started = MonotonicMillis();
  swap_clock.first_swap_at = -1;
  RunGamePhase(0, 0, 400, 790, 1);
  const double first_title_frame = swap_clock.first_swap_at;

  struct Phase {
    const char* name;
    int stage, first_frame, keep_from, keep_to;
    bool face_changes, canvas_memo;
    PhaseFigures figures;
    std::vector<double> ratios;  // to the bare loop of the same round
    uint64_t reused = 0;         // face canvases not drawn again
  };
  // From frame 700 on the title leaves the squash alone: the "changing" phase sets it.
  Phase phases[] = {
      {"title", 0, 0, 400, 790, false, true, {}, {}},
      {"hole", 3, 1, 150, 170, false, true, {}, {}},
      {"changing", 0, 700, 700, 790, true, true, {}, {}},
      {"title-nomemo", 0, 0, 400, 790, false, false, {}, {}},
      {"hole-nomemo", 3, 1, 150, 170, false, false, {}, {}},
  };
  PhaseFigures bare;
  for (int round = 0; round < rounds; ++round) {
    if (g.frame_timer) g.frame_timer->Stop();
    RunPostedOperations();
    g.frame_timer.reset();
    PhaseFigures b;
    if (runs("bare")) b = RunBarePhase(frames);
    bare.Add(b);
    g.frame_timer = CreateTimer(60.0);
    std::printf("round %d: bare %.3f", round + 1, b.CpuPerFrame());
    for (Phase& p : phases) {
      if (!runs(p.name)) continue;
      TGLQuill2DDriver::SetCanvasMemo(p.canvas_memo);
      const uint64_t reused_before = CanvasesReused();
      PhaseFigures f =
          RunGamePhase(p.stage, p.first_frame, p.keep_from, p.keep_to, frames, p.face_changes);
      p.reused += CanvasesReused() - reused_before;
      TGLQuill2DDriver::SetCanvasMemo(true);
      p.figures.Add(f);
      if (b.CpuPerFrame() > 0) p.ratios.push_back(f.CpuPerFrame() / b.CpuPerFrame());
      std::printf(", %s %.3f", p.name, f.CpuPerFrame());
    }
    std::printf(" ms/frame\n");
    std::fflush(stdout);
  }

  std::printf("frame cost, %ld frames per phase x %d rounds, %s driver on %s\n", frames, rounds,
              shaders ? "shader" : "fixed-function",
              reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  PrintPhase("bare", bare, 0);
  PhaseFigures game, game_nomemo;
  for (Phase& p : phases) {
    PrintPhase(p.name, p.figures, bare.CpuPerFrame());
    if (std::string(p.name) == "title" || std::string(p.name) == "hole") game.Add(p.figures);
    if (std::string(p.name).find("nomemo") != std::string::npos) game_nomemo.Add(p.figures);
  }
  PrintPhase("game", game, bare.CpuPerFrame());
  PrintPhase("game-nomemo", game_nomemo, bare.CpuPerFrame());
  // The machine's load moves from round to round; the ratio within a round moves less.
  std::printf("ratio to the bare loop of the same round, median over rounds:");
  for (Phase& p : phases) std::printf(" %s %.2f", p.name, Percentile(p.ratios, 0.5));
  std::printf("\nface canvases left undrawn (of every frame played, warm-up included):");
  for (Phase& p : phases) {
    const long played = rounds * (frames + kWarmUpFrames);
    if (runs(p.name)) std::printf(" %s %.0f%%", p.name, 100.0 * p.reused / played);
  }
  std::printf("\n");
  std::printf("start-up: %.1f ms to StartGame's return, %.1f ms to the title's first frame\n",
              started - start, first_title_frame - start);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory: %.1f MB\n", usage.ru_maxrss / 1024.0);

  if (g.frame_timer) g.frame_timer->Stop();
  RunPostedOperations();
  ResetGameState();  // the images go while their display is open
  CloseGraphics();
  SetGraphicsDriver(nullptr);
  SetSystemDriver(nullptr);
  SetClock(nullptr);
  CloseXConnection();
  return 0;
}
