#pragma once
// A real X server for tests: started on a free display number (the server picks it with
// -displayfd) and stopped when the object goes. Xorg with the dummy video driver has VidMode,
// GLX and Mesa's llvmpipe; Xvfb has no VidMode and exercises the display's fallback path.
#include <memory>
#include <string>
#include <sys/types.h>

class TestXServer {
 public:
  // nullptr (with the reason in *error) if the server cannot be started.
  static std::unique_ptr<TestXServer> StartXorgDummy(std::string* error = nullptr);
  static std::unique_ptr<TestXServer> StartXvfb(int width = 1024, int height = 768,
                                                std::string* error = nullptr);
  ~TestXServer();

  const std::string& display_name() const { return display_; }  // ":N"
  pid_t pid() const { return pid_; }

 private:
  TestXServer() = default;
  std::string display_;
  pid_t pid_ = -1;
  std::string log_path_;
};
