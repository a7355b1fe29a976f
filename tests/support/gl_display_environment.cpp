#include "tests/support/gl_display_environment.h"

#include <cstdlib>
#include <string>

#include "display/graphics.h"
#include "draw2d/gl_quill2d_driver.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"

namespace {

TLinuxSystemDriver system_driver;
TGLQuill2DDriver gl_driver;

}  // namespace

void GLDisplayEnvironment::SetUp() {
  std::string error;
  _server = TestXServer::StartXorgDummy(&error);
  ASSERT_TRUE(_server) << "cannot start the dummy X server: " << error;
  setenv("DISPLAY", _server->display_name().c_str(), 1);
  SetSystemDriver(&system_driver);
  SetGraphicsDriver(&gl_driver, 2);
  ASSERT_TRUE(OpenGraphics(800, 600, 32, 60, 0)) << "no display on " << _server->display_name();
}

void GLDisplayEnvironment::TearDown() {
  CloseGraphics();
  SetGraphicsDriver(nullptr, 2);
  SetSystemDriver(nullptr);
  CloseXConnection();
  _server.reset();
}

TGLQuill2DDriver& EnvironmentGLDriver() { return gl_driver; }
