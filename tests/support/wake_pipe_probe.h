#pragma once
// Whether the wake-up pipe holds a byte right now, without waiting (tests of the wait path).
#include <sys/select.h>

#include "system/system_driver.h"

inline bool WakeUpPipeReadable() {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(WakeUpFd(), &readable);
  timeval now{0, 0};
  return select(WakeUpFd() + 1, &readable, nullptr, nullptr, &now) == 1;
}
