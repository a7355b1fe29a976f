#include "system/web/web_system_driver.h"

#include <emscripten/html5.h>

#include "system/web/animation_frame.h"

namespace {

const char* const kDocument = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;

EM_BOOL OnMotion(int, const EmscriptenMouseEvent* e, void* input) {
  static_cast<WebInput*>(input)->Motion(static_cast<int>(e->movementX),
                                        static_cast<int>(e->movementY));
  return EM_FALSE;
}

EM_BOOL OnButton(int type, const EmscriptenMouseEvent* e, void* input) {
  static_cast<WebInput*>(input)->Button(e->button, type == EMSCRIPTEN_EVENT_MOUSEDOWN);
  return EM_FALSE;
}

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* e, void* input) {
  static_cast<WebInput*>(input)->Key(static_cast<int>(e->keyCode),
                                     type == EMSCRIPTEN_EVENT_KEYDOWN);
  return EM_FALSE;
}

EM_BOOL OnLock(int, const EmscriptenPointerlockChangeEvent* e, void* input) {
  static_cast<WebInput*>(input)->PointerLockChanged(e->isActive);
  return EM_FALSE;
}

}  // namespace

TWebSystemDriver::TWebSystemDriver(TWebClock& clock, int width, int height)
    : _clock(clock), _input(width, height) {
  emscripten_set_mousemove_callback(kDocument, &_input, true, OnMotion);
  emscripten_set_mousedown_callback(kDocument, &_input, true, OnButton);
  emscripten_set_mouseup_callback(kDocument, &_input, true, OnButton);
  emscripten_set_keydown_callback(kDocument, &_input, true, OnKey);
  emscripten_set_keyup_callback(kDocument, &_input, true, OnKey);
  emscripten_set_pointerlockchange_callback(kDocument, &_input, true, OnLock);
}

void TWebSystemDriver::Poll() {
  for (const TEvent& e : _input.Take()) e.Emit();
  _clock.Millis();  // posts the ticks due by now
  RunPostedOperations();
  CheckExitRequest();
}

void TWebSystemDriver::Wait() {
  if (!_input.HasEvents() && !PostedOperationsPending()) {
    _clock.Millis();
    if (!PostedOperationsPending()) WaitForAnimationFrame();
  }
  Poll();
}
