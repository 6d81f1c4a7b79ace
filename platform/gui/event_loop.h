#pragma once
// The UI thread's event loop as the control model sees it.
//
// Two implementations: HeadlessEventLoop (platform/gui/headless_event_loop.h: a task
// queue and timers on a virtual clock, for tests) and the Qt one in platform/qt.
//
// The UI thread is the thread the loop belongs to (the toolkit's GUI thread). Tasks,
// timer ticks, nested loops and the main loop all run there. The loop registers
// itself as the program's event pump (platform/event_pump.h) when it is installed
// with install_gui (platform/gui/gui.h), so that converter runs and pauses on the UI
// thread keep windows responsive.
//
// The model may call post, start_timer, stop_timer and exit_nested while it holds
// its own lock, so these must never wait for the UI thread nor call into the model
// themselves; they only queue.

#include <chrono>
#include <cstdint>
#include <functional>

using LoopTimerId = std::uint64_t;

class EventLoop {
 public:
  virtual ~EventLoop() = default;

  // True on the loop's UI thread.
  virtual bool is_ui_thread() const = 0;

  // Queues `task` to run on the UI thread. Callable from any thread; tasks run in the
  // order they were posted, each on its own (never inside another task unless that
  // task processes pending events). Tasks posted after quit may never run.
  virtual void post(std::function<void()> task) = 0;

  // On the UI thread: runs what is pending now (posted tasks, due timer ticks, and in
  // the Qt loop the toolkit's own events) and returns without waiting. Elsewhere:
  // does nothing.
  virtual void process_pending() = 0;

  // Starts a repeating timer: `tick` runs on the UI thread every `interval` (at least
  // 1 ms) until stop_timer. Ticks do not pile up: a tick that is late runs once.
  // Callable from any thread; the id is valid at once.
  virtual LoopTimerId start_timer(std::chrono::milliseconds interval, std::function<void()> tick) = 0;

  // Stops a timer; an unknown or stopped id is ignored. Callable from any thread.
  // Once it returns on the UI thread, that timer's tick function is not called again.
  virtual void stop_timer(LoopTimerId id) = 0;

  // Runs the main loop on the UI thread until quit; returns the exit code.
  virtual int run() = 0;

  // Runs a nested loop on the UI thread until exit_nested(token) is called (by a task
  // or handler on the UI thread, or from another thread) or quit is called. Returns
  // true when ended by exit_nested. An exit_nested that comes before run_nested
  // starts makes it return at once. Tokens are chosen by the caller and used once.
  virtual bool run_nested(std::uint64_t token) = 0;
  virtual void exit_nested(std::uint64_t token) = 0;

  // Ends the main loop and every nested loop with `exit_code`, at once. Callable from
  // any thread.
  virtual void quit(int exit_code) = 0;

  // True once quit has been called.
  virtual bool quitting() const = 0;
};
