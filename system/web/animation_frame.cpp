#include "system/web/animation_frame.h"

#include <emscripten.h>

EM_ASYNC_JS(void, moody_wait_animation_frame, (), {
  await new Promise(resolve => requestAnimationFrame(resolve));
});

void WaitForAnimationFrame() { moody_wait_animation_frame(); }
