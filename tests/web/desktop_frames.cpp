// The desktop's side of the browser test. On a fresh Xorg dummy server: replays MOVIE with the
// OpenGL driver on the virtual clock, writing each FRAME asked for as OUTDIR/frame-FRAME.ppm (the
// back buffer as that frame is presented) and every hand-over to stdout in the page's words; then
// plays the same movie with the real program (`moody --replay`) on that server, in real time,
// and ends with its status: 0 means it met every hand-over of the movie at its frame.
//   web_desktop_frames MOVIE OUTDIR FRAME...
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "display/graphics.h"
#include "draw2d/gl_quill2d_driver.h"
#include "draw2d/gl_shader_quill2d_driver.h"
#include "draw2d/pixmap.h"
#include "draw2d/render_state.h"
#include "game/headless_run.h"
#include "game/movie/movie.h"
#include "game/movie/movie_session.h"
#include "game/stage_machine.h"
#include "system/polled_input.h"
#include "system/x11_system_driver.h"
#include "tests/support/x_server.h"

namespace {

void WritePpm(const std::string& path, const TPixmap& p) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << p.width << " " << p.height << "\n255\n";
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) out.write(reinterpret_cast<const char*>(p.Row(y) + 4 * x), 3);
  }
}

int ReplayOnTheRealProgram(const std::string& movie) {
  const pid_t pid = fork();
  if (pid == 0) {
    execl(MOODY_BINARY_DIR "/moody", "moody", "--replay", movie.c_str(), nullptr);
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: web_desktop_frames MOVIE OUTDIR FRAME...\n");
    return 2;
  }
  const std::string movie_path = argv[1], out_dir = argv[2];
  static std::set<int64_t> wanted;
  for (int i = 3; i < argc; ++i) wanted.insert(std::atoll(argv[i]));
  std::string error;
  auto server = TestXServer::StartXorgDummy(&error);
  if (!server) {
    std::fprintf(stderr, "cannot start the dummy X server: %s\n", error.c_str());
    return 3;
  }
  setenv("DISPLAY", server->display_name().c_str(), 1);
  Movie movie;
  if (!LoadMovieFile(movie_path, &movie, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }

  static int64_t flips = 0;
  static std::string dir = out_dir;
  OpenXConnection(server->display_name().c_str());
  {
    // MOODY_GL_DRIVER=shader draws with the shader driver, to hold the two desktop drivers side
    // by side.
    const char* driver = std::getenv("MOODY_GL_DRIVER");
    HeadlessRun run(movie.seed, driver && std::string(driver) == "shader"
                                    ? std::unique_ptr<TQuill2DDriver>(new TGLShaderQuill2DDriver)
                                    : std::make_unique<TGLQuill2DDriver>());
    const int flip_hook = FlipHooks().Add(
        [](const int&) {
          if (FrameSamplingOn() && wanted.count(++flips)) {
            WritePpm(dir + "/frame-" + std::to_string(flips) + ".ppm",
                     *CurrentDrawDriver()->GrabPixmap(0, 0, 800, 600));
          }
        },
        100);
    const int stage_hook = StageChangeHooks().Add(
        [](const StageChange& c) {
          std::printf("moody: hand-over at frame %lld: stage %d to %d\n",
                      static_cast<long long>(flips), c.from, c.to);
        },
        0);
    ReplaySession(movie, [](int64_t frame, int stage) {
      std::printf("moody: out of step at frame %lld (stage %d)\n", static_cast<long long>(frame),
                  stage);
      EndProgram(1);
    });
    const int status = run.Play();
    EndMovieSession();
    FlipHooks().Remove(flip_hook);
    StageChangeHooks().Remove(stage_hook);
    std::printf("moody: the end, status %d\n", status);
    std::fflush(stdout);
  }
  CloseXConnection();  // this copy's claim on the display goes with its connection
  const int status = ReplayOnTheRealProgram(movie_path);
  std::printf("real program: status %d\n", status);
  return status;
}
