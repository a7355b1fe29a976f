#include "system/virtual_clock.h"

#include <algorithm>
#include <limits>

#include "system/system_driver.h"
#include "system/timer.h"

namespace {
// Signed distance from b to a on a clock that wraps at 32 bits.
int32_t Diff(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

void PostTick(const std::shared_ptr<TimerRecord>& record) {
  PostOperation([record] { HandleTimerTick(record); });
}
}  // namespace

TVirtualClock::~TVirtualClock() {
  for (auto& s : _timers) {
    s.record->status.store(2);
    s.record->timer.reset();  // the timer and its record held each other
  }
}

void TVirtualClock::SleepMicros(int64_t micros) {
  int64_t ms = micros <= 0 ? 0 : (micros + 999) / 1000;
  AdvanceBy(static_cast<int32_t>(std::min<int64_t>(ms, std::numeric_limits<int32_t>::max())));
}

bool TVirtualClock::StartTimer(std::shared_ptr<TimerRecord> record) {
  if (record->period_ms < 1) return false;  // would fall due forever without moving on
  int32_t first = static_cast<int32_t>(static_cast<uint32_t>(record->start_ms) +
                                       static_cast<uint32_t>(record->period_ms));
  _timers.push_back(Scheduled{std::move(record), first});
  return true;
}

void TVirtualClock::OnBufferSwap(int sync) { AdvanceBy(sync ? swap_ms_sync : swap_ms_nosync); }

void TVirtualClock::AdvanceTo(int32_t ms) {
  // Time never runs backwards.
  if (Diff(ms, _now) > 0) _now = ms;
  PostDue();
}

bool TVirtualClock::AdvanceToNextTick() {
  if (PostDue() > 0) return true;  // a tick was already due: that is the next one
  const Scheduled* next = nullptr;
  for (const auto& s : _timers) {
    if (!next || Diff(s.next_due, next->next_due) < 0) next = &s;
  }
  if (!next) return false;
  AdvanceTo(next->next_due);
  return true;
}

int TVirtualClock::PostDue() {
  // A stopped timer gets the one last operation its thread would post, and is forgotten.
  for (auto it = _timers.begin(); it != _timers.end();) {
    if (it->record->status.load() != 1) {
      PostTick(it->record);
      it = _timers.erase(it);
    } else {
      ++it;
    }
  }
  // Every tick due by now, earliest first across timers (the first started wins a tie).
  int posted = 0;
  for (;;) {
    Scheduled* next = nullptr;
    for (auto& s : _timers) {
      if (Diff(s.next_due, _now) <= 0 && (!next || Diff(s.next_due, next->next_due) < 0)) {
        next = &s;
      }
    }
    if (!next) break;
    next->record->ticks_posted.fetch_add(1);
    PostTick(next->record);
    next->next_due = static_cast<int32_t>(static_cast<uint32_t>(next->next_due) +
                                          static_cast<uint32_t>(next->record->period_ms));
    ++posted;
  }
  return posted;
}
