#pragma once
// A real X server for tests: started on a free display number (the server picks it with
// -displayfd) and stopped when the object goes. Xorg with the dummy video driver has VidMode,
// GLX and Mesa's llvmpipe; Xvfb has no VidMode and exercises the display's fallback path.
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

class TestXServer {
 public:
  // nullptr (with the reason in *error) if the server cannot be started.
  static std::unique_ptr<TestXServer> StartXorgDummy(std::string* error = nullptr);
  static std::unique_ptr<TestXServer> StartXvfb(int width = 1024, int height = 768,
                                                std::string* error = nullptr);
  // Xorg with the dummy driver and a configuration of tests/support by name:
  // "xorg-dummy-two-monitors.conf" (3840x1080 virtual, 800x600 among the modes) or
  // "xorg-dummy-no-800x600.conf" (the monitor's sync ranges rule every 800x600 mode out).
  static std::unique_ptr<TestXServer> StartXorgDummyWith(const std::string& config_name,
                                                         std::string* error = nullptr);
  // Xwayland under weston: headless (`host_display` empty) or nested in a window of the X
  // server `host_display` (its x11 back end), so that input typed into the host goes through the
  // compositor. The output is width x height; display_name() is Xwayland's display.
  static std::unique_ptr<TestXServer> StartWestonXwayland(int width, int height,
                                                          const std::string& host_display = "",
                                                          std::string* error = nullptr);
  ~TestXServer();  // SIGTERM, then waits for the server to end

  const std::string& display_name() const { return _display; }  // ":N"
  pid_t pid() const { return _pid; }
  const std::string& log_path() const { return _log_path; }
  // Kills the server at once (SIGKILL), as a crash would, and reaps it.
  void Kill();

 private:
  TestXServer() = default;
  static std::unique_ptr<TestXServer> Start(const std::vector<std::string>& args,
                                            const std::string& log_path, bool stderr_to_log,
                                            std::string* error);
  std::string _display;
  pid_t _pid = -1;
  pid_t _owner = -1;  // forked test children share the object but must not stop the server
  std::string _log_path;
  bool _keep_log = false;
  std::string _runtime_dir;  // weston's private XDG_RUNTIME_DIR, removed at the end
};
