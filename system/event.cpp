#include "system/event.h"

#include <map>

namespace {
std::map<int, std::string>& Names() {
  static std::map<int, std::string> names = {
      {EventId::AppSuspend, "AppSuspend"},
      {EventId::AppResume, "AppResume"},
      {EventId::AppTerminate, "AppTerminate"},
      {EventId::AppOpenFile, "AppOpenFile"},
      {EventId::AppIdle, "AppIdle"},
      {EventId::KeyDown, "KeyDown"},
      {EventId::KeyUp, "KeyUp"},
      {EventId::KeyChar, "KeyChar"},
      {EventId::KeyRepeat, "KeyRepeat"},
      {EventId::MouseDown, "MouseDown"},
      {EventId::MouseUp, "MouseUp"},
      {EventId::MouseMove, "MouseMove"},
      {EventId::MouseWheel, "MouseWheel"},
      {EventId::MouseEnter, "MouseEnter"},
      {EventId::MouseLeave, "MouseLeave"},
      {EventId::TimerTick, "TimerTick"},
      {EventId::HotkeyHit, "HotkeyHit"},
      {EventId::GadgetAction, "GadgetAction"},
      {EventId::GadgetPaint, "GadgetPaint"},
      {EventId::GadgetSelect, "GadgetSelect"},
      {EventId::GadgetMenu, "GadgetMenu"},
      {EventId::GadgetOpen, "GadgetOpen"},
      {EventId::GadgetClose, "GadgetClose"},
      {EventId::GadgetDone, "GadgetDone"},
      {EventId::GadgetLostFocus, "GadgetLostFocus"},
      {EventId::GadgetShape, "GadgetShape"},
      {EventId::WindowMove, "WindowMove"},
      {EventId::WindowSize, "WindowSize"},
      {EventId::WindowClose, "WindowClose"},
      {EventId::WindowActivate, "WindowActivate"},
      {EventId::WindowAccept, "WindowAccept"},
      {EventId::MenuAction, "MenuAction"},
      {EventId::StreamEof, "StreamEof"},
      {EventId::StreamAvail, "StreamAvail"},
      {EventId::ProcessExit, "ProcessExit"},
  };
  return names;
}

int last_user_id = 0;
}  // namespace

TEvent TEvent::Create(int id, const void* source, int data, int mods, int x, int y,
                      std::shared_ptr<void> extra) {
  TEvent e;
  e.id = id;
  e.source = source;
  e.data = data;
  e.mods = mods;
  e.x = x;
  e.y = y;
  e.extra = std::move(extra);
  return e;
}

void TEvent::Emit() const { EmitEventHooks().Run(*this); }

std::string TEvent::ToString() const {
  return DescriptionForId(id) + ": data=" + std::to_string(data) +
         ", mods=" + std::to_string(mods) + ", x=" + std::to_string(x) + ", y=" + std::to_string(y);
}

int TEvent::AllocUserId() { return ++last_user_id; }

void TEvent::RegisterId(int id, const std::string& name) { Names()[id] = name; }

std::string TEvent::DescriptionForId(int id) {
  auto it = Names().find(id);
  if (it != Names().end()) return it->second;
  return "Event " + std::to_string(id);
}

HookChain<const TEvent>& EmitEventHooks() {
  static HookChain<const TEvent> hooks;
  return hooks;
}
