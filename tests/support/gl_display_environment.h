#pragma once
// For test programs that draw with the OpenGL driver directly: the Xorg dummy server started once
// per program, the real X11 and OpenGL drivers installed and the 800x600 display opened on it.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/x_server.h"

class TGLQuill2DDriver;

class GLDisplayEnvironment : public ::testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;

 private:
  std::unique_ptr<TestXServer> _server;
};

// The OpenGL drawing driver the environment installed.
TGLQuill2DDriver& EnvironmentGLDriver();
