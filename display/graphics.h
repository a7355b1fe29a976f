#pragma once
// The display front end: one graphics opened at a time, presented with Flip, with the soft
// frame pacing of Flip(-1). The driver behind it is replaceable (OpenGL on X11, or a null driver
// for tests); the front end never knows which.
#include <memory>
#include <vector>

#include "system/hooks.h"

class TGraphicsDriver;

class TGraphics {
 public:
  virtual ~TGraphics() = default;
  virtual TGraphicsDriver* Driver() = 0;
  virtual void GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) = 0;
  virtual void Close() = 0;
};

struct TGraphicsMode {
  int width, height, depth, hertz;
};

class TGraphicsDriver {
 public:
  virtual ~TGraphicsDriver() = default;
  virtual std::vector<TGraphicsMode> GraphicsModes() { return {}; }
  virtual std::shared_ptr<TGraphics> AttachGraphics(long /*widget*/, int /*flags*/) {
    return nullptr;
  }
  virtual std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz,
                                                    int flags) = 0;
  virtual void SetGraphics(std::shared_ptr<TGraphics> graphics) = 0;
  virtual void Flip(int sync) = 0;
};

// Installs the driver that OpenGraphics uses; `default_flags` are OR-ed into every open.
void SetGraphicsDriver(TGraphicsDriver* driver, int default_flags = 2);
TGraphicsDriver* GetGraphicsDriver();

// Closes any display opened before, opens a new one and makes it current; nullptr on failure.
// depth 0 asks for a window, any other depth for full screen.
std::shared_ptr<TGraphics> OpenGraphics(int width, int height, int depth, int hertz, int flags);
void CloseGraphics();  // closes the opened display (also registered to run at exit)
std::shared_ptr<TGraphics> CurrentGraphics();

// sync 0: no vertical sync, 1: vertical sync, -1: paced (soft sync when the hardware has none).
void Flip(int sync);

int GraphicsWidth();
int GraphicsHeight();
int GraphicsDepth();
int GraphicsHertz();
int GraphicsFlags();
bool SoftSyncEnabled();

// Changes on every display open and close and is never 0; textures remember it.
int DisplaySequence();

HookChain<const int>& FlipHooks();
