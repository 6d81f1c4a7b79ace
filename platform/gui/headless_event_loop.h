#pragma once
// An event loop without a toolkit, for tests: a queue of posted tasks and timers on
// a virtual clock. Nothing here waits for real time to pass except where a function
// says so (waiting for other threads' posts), so GUI tests are fast and
// deterministic.
//
// The virtual clock starts at 0 and moves only through advance() and the main or
// nested loops when they run out of work (below). A timer started with interval i at
// virtual time t ticks at t + i, t + 2i, ... A timer started or stopped from another
// thread takes effect at once (under the loop's own lock).
//
// Main and nested loops (run, run_nested) repeat, until they are ended:
//   1. run every posted task (also those posted meanwhile) and every timer due now;
//   2. when idle: run the next action queued with when_idle(), if any;
//   3. otherwise, when a timer is scheduled and the virtual time spent in this loop
//      is below nested_time_limit(): move the clock to the next tick;
//   4. otherwise wait (real time, up to real_wait_limit()) for another thread to post;
//      when nothing comes, the loop gives up: run returns -1, run_nested false.
// So a modal window in a test is driven by queuing actions with when_idle (or by
// its own timers and handlers); a test that forgets to close it does not hang.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "platform/gui/event_loop.h"

class HeadlessEventLoop final : public EventLoop {
 public:
  // The constructing thread becomes the loop's UI thread.
  HeadlessEventLoop();
  ~HeadlessEventLoop() override;
  HeadlessEventLoop(const HeadlessEventLoop&) = delete;
  HeadlessEventLoop& operator=(const HeadlessEventLoop&) = delete;

  bool is_ui_thread() const override;
  void post(std::function<void()> task) override;
  void process_pending() override;
  LoopTimerId start_timer(std::chrono::milliseconds interval, std::function<void()> tick) override;
  void stop_timer(LoopTimerId id) override;
  int run() override;
  bool run_nested(std::uint64_t token) override;
  void exit_nested(std::uint64_t token) override;
  void quit(int exit_code) override;
  bool quitting() const override;

  // Makes the calling thread the UI thread (for a loop made on another thread).
  void bind_to_current_thread();

  // Virtual time in milliseconds since the loop was made.
  std::int64_t now_ms() const;

  // UI thread: runs posted tasks and timers due now until none is left; the clock
  // stays. Returns the number of tasks and ticks run.
  int run_until_idle();

  // UI thread: moves the clock forward by `ms`, tick by tick, running each timer at
  // its due time and the posted tasks in between (run_until_idle at every step).
  void advance(std::chrono::milliseconds ms);

  // UI thread: runs pending work, then waits (real time) for posts from other
  // threads until `done()` is true or `real_timeout` has passed; the virtual clock
  // stays. True when done.
  bool wait_until(const std::function<bool()>& done,
                  std::chrono::milliseconds real_timeout = std::chrono::seconds(10));

  // Queues an action for the next time a main or nested loop is idle (step 2 above).
  // Callable from any thread. Typical use: drive a modal window from a test.
  void when_idle(std::function<void()> action);

  // Number of posted tasks not yet run, and of running timers.
  int pending_tasks() const;
  int running_timers() const;

  // Limits of step 3 and 4 above (defaults: 10 minutes virtual, 5 seconds real).
  void set_limits(std::chrono::milliseconds nested_time_limit, std::chrono::milliseconds real_wait_limit);
  std::chrono::milliseconds nested_time_limit() const;
  std::chrono::milliseconds real_wait_limit() const;

  // The exit code given to quit (0 before).
  int exit_code() const;

 private:
  struct Timer {
    std::chrono::milliseconds interval{};
    std::int64_t due = 0;
    std::function<void()> tick;
  };
  bool run_one_task();
  bool run_one_due_timer();
  bool loop_until(const std::function<bool()>& ended);
  std::int64_t next_due_locked() const;

  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::thread::id ui_thread_;
  std::deque<std::function<void()>> tasks_;
  std::deque<std::function<void()>> idle_actions_;
  std::map<LoopTimerId, Timer> timers_;
  LoopTimerId next_timer_id_ = 1;
  std::int64_t now_ = 0;
  std::set<std::uint64_t> exited_nested_;
  bool quit_ = false;
  int exit_code_ = 0;
  std::chrono::milliseconds nested_time_limit_{std::chrono::minutes(10)};
  std::chrono::milliseconds real_wait_limit_{std::chrono::seconds(5)};
};
