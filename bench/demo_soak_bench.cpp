// Long runs of the demo: does it grow in memory or slow down? Figures only.
//   demo_soak_bench harness ROUNDS   the tour played ROUNDS times at the harness's speed (virtual
//                                    clock, null drawing): time and memory per round
//   demo_soak_bench real SECONDS     the demo as `moody --demo` plays it, full screen on an Xorg
//                                    dummy server of its own, for SECONDS: each minute the frame
//                                    intervals (mean, 99th percentile, longest) and the memory
//   demo_soak_bench sigterm TIMES    moody --demo -root on an Xorg dummy server ended by SIGTERM
//                                    TIMES times: milliseconds from the signal to its end
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "display/graphics.h"
#include "draw2d/gl_quill2d_driver.h"
#include "game/demo/tour.h"
#include "game/headless_run.h"
#include "game/startup.h"
#include "system/clock.h"
#include "system/x11_system_driver.h"
#include "tests/support/x_server.h"

namespace {

using Clock = std::chrono::steady_clock;

// "VmRSS", "VmHWM" (the peak), "Threads" from /proc/self/status, in kB or a count.
long ProcStatus(const std::string& field) {
  std::ifstream in("/proc/self/status");
  std::string key;
  long value = 0;
  while (in >> key) {
    if (key == field + ":") {
      in >> value;
      return value;
    }
    in.ignore(1 << 16, '\n');
  }
  return -1;
}

void PrintMemory() {
  std::printf("  rss %6ld kB  peak %6ld kB  threads %ld\n", ProcStatus("VmRSS"),
              ProcStatus("VmHWM"), ProcStatus("Threads"));
  std::fflush(stdout);
}

int Harness(int rounds) {
  long frames = 0;
  for (const Movie& movie : BuiltinTour()) frames += movie.frames;
  HeadlessRun run(0);
  run.Play([&] {
    OpenGameDisplay();
    for (int round = 1; round <= rounds; ++round) {
      const auto start = Clock::now();
      PlayTour(BuiltinTour(), 1);
      const double s = std::chrono::duration<double>(Clock::now() - start).count();
      if (round <= 3 || round == rounds || round % 100 == 0) {
        std::printf("round %5d: %ld frames in %.3f s, %.0f frames/s", round, frames, s, frames / s);
        PrintMemory();
      }
    }
  });
  return 0;
}

// Frame intervals of one minute, in milliseconds.
void PrintMinute(int minute, std::vector<double>& intervals) {
  if (intervals.empty()) return;
  std::sort(intervals.begin(), intervals.end());
  double sum = 0;
  for (double v : intervals) sum += v;
  std::printf("minute %3d: %zu frames, interval mean %.2f ms, p99 %.2f ms, longest %.2f ms", minute,
              intervals.size(), sum / intervals.size(), intervals[intervals.size() * 99 / 100],
              intervals.back());
  PrintMemory();
  intervals.clear();
}

int Real(int seconds) {
  std::string error;
  static std::unique_ptr<TestXServer> xorg = TestXServer::StartXorgDummy(&error);
  if (!xorg) {
    std::fprintf(stderr, "no Xorg dummy server: %s\n", error.c_str());
    return 1;
  }
  setenv("DISPLAY", xorg->display_name().c_str(), 1);
  static TLinuxSystemDriver system_driver;
  static TGLQuill2DDriver draw_driver;
  SetSystemDriver(&system_driver);
  SetGraphicsDriver(&draw_driver);
  OpenGameDisplay();
  static const Clock::time_point start = Clock::now();
  static Clock::time_point last = start;
  static std::vector<double> intervals;
  static int minute = 1;
  static const int limit = seconds;
  FlipHooks().Add(
      [](const int&) {
        const Clock::time_point now = Clock::now();
        intervals.push_back(std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
        const double elapsed = std::chrono::duration<double>(now - start).count();
        if (elapsed >= 60.0 * minute) PrintMinute(minute++, intervals);
        if (elapsed >= limit) {
          PrintMinute(minute, intervals);
          xorg.reset();
          std::_Exit(0);
        }
      },
      0);
  PlayTour(BuiltinTour(), 0);
  return 0;
}

int Sigterm(int times) {
  std::unique_ptr<TestXServer> xorg = TestXServer::StartXorgDummy();
  if (!xorg) return 1;
  std::vector<double> took;
  for (int i = 0; i < times; ++i) {
    const pid_t pid = fork();
    if (pid == 0) {
      setenv("DISPLAY", xorg->display_name().c_str(), 1);
      execl(MOODY_BINARY_DIR "/moody", "moody", "--demo", "-root", static_cast<char*>(nullptr));
      _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    kill(pid, SIGTERM);
    const auto sent = Clock::now();
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) != pid)
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    took.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
      std::printf("run %d: status %d\n", i, status);
  }
  std::sort(took.begin(), took.end());
  std::printf("SIGTERM to the end, %d runs: median %.1f ms, longest %.1f ms\n", times,
              took[took.size() / 2], took.back());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const int amount = argc > 2 ? std::atoi(argv[2]) : 0;
  if (mode == "harness" && amount > 0) return Harness(amount);
  if (mode == "real" && amount > 0) return Real(amount);
  if (mode == "sigterm" && amount > 0) return Sigterm(amount);
  std::fprintf(stderr, "usage: %s harness ROUNDS | real SECONDS | sigterm TIMES\n", argv[0]);
  return 2;
}
