#pragma once
// The system driver pumps the window system's events into the runtime's events. The real one
// talks to X11; the scripted one (for tests and replays) delivers scripted input on a virtual
// clock. Game code only sees the free functions below.
#include <functional>
#include <string>

class TSystemDriver {
 public:
  virtual ~TSystemDriver() = default;
  virtual void Poll() = 0;  // translate and emit pending events, then run posted operations
  virtual void Wait() = 0;  // block until an event or a posted operation arrives, then Poll
  virtual void MoveMouse(int x, int y) = 0;
  virtual void SetMouseVisible(bool visible) = 0;
  virtual void Notify(const std::string& /*text*/, bool /*serious*/) {}
  virtual bool Confirm(const std::string& /*text*/, bool /*serious*/) { return false; }
  virtual int Proceed(const std::string& /*text*/, bool /*serious*/) { return -1; }
  virtual std::string RequestFile(const std::string& /*title*/, const std::string& /*filter*/,
                                  bool /*save*/, const std::string& /*path*/) {
    return {};
  }
  virtual std::string RequestDir(const std::string& /*title*/, const std::string& /*path*/) {
    return {};
  }
  virtual bool OpenURL(const std::string& /*url*/) { return false; }
};

// The current driver; none until one is installed (then pumping does nothing).
TSystemDriver* CurrentSystemDriver();
void SetSystemDriver(TSystemDriver* driver);

// Pump or wait through the current driver; both do nothing when called from inside a pump.
void PollSystem();
void WaitSystem();
bool InsideSystemPump();  // true while a driver's Poll or Wait runs
void MoveMouse(int x, int y);
void SetMouseVisible(bool visible);

// Operations posted by other threads (the timer thread) to run on the main thread after a pump.
// Posting appends under a mutex and writes one byte into the wake-up pipe.
void PostOperation(std::function<void()> op);
// Main thread: takes the whole list, drains the pipe, runs the operations in posting order.
void RunPostedOperations();
bool PostedOperationsPending();
int WakeUpFd();  // read end of the wake-up pipe, for select()
// Creates the wake-up pipe now (it is otherwise made on first use); call it before installing
// signal handlers that use RequestExitFromSignal.
void EnsureWakeUpPipe();

// Ending on a signal (SIGINT, SIGTERM, SIGHUP). The signal handler only records the request and
// wakes the main thread (async-signal-safe); the main thread, after its next pump, runs the exit
// request handler, which puts the desktop back and ends the process. Without a handler the
// process ends with status 128 + signal.
void RequestExitFromSignal(int signo);
void SetExitRequestHandler(std::function<void(int signo)> handler);
// Runs the handler if a request is pending (called after every pump).
void CheckExitRequest();
