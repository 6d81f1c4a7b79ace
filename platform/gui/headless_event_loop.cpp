#include "platform/gui/headless_event_loop.h"

#include <algorithm>
#include <limits>

HeadlessEventLoop::HeadlessEventLoop() : ui_thread_(std::this_thread::get_id()) {}

HeadlessEventLoop::~HeadlessEventLoop() = default;

bool HeadlessEventLoop::is_ui_thread() const {
  std::lock_guard lock(mutex_);
  return ui_thread_ == std::this_thread::get_id();
}

void HeadlessEventLoop::bind_to_current_thread() {
  std::lock_guard lock(mutex_);
  ui_thread_ = std::this_thread::get_id();
}

void HeadlessEventLoop::post(std::function<void()> task) {
  if (!task) return;
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  posted_.notify_all();
}

LoopTimerId HeadlessEventLoop::start_timer(std::chrono::milliseconds interval, std::function<void()> tick) {
  if (interval < std::chrono::milliseconds(1)) interval = std::chrono::milliseconds(1);
  LoopTimerId id;
  {
    std::lock_guard lock(mutex_);
    id = next_timer_id_++;
    timers_[id] = Timer{interval, now_ + interval.count(), std::move(tick)};
  }
  posted_.notify_all();
  return id;
}

void HeadlessEventLoop::stop_timer(LoopTimerId id) {
  std::function<void()> dropped;  // destroyed outside the lock
  std::lock_guard lock(mutex_);
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  dropped = std::move(it->second.tick);
  timers_.erase(it);
}

std::int64_t HeadlessEventLoop::now_ms() const {
  std::lock_guard lock(mutex_);
  return now_;
}

bool HeadlessEventLoop::run_one_task() {
  std::function<void()> task;
  {
    std::lock_guard lock(mutex_);
    if (tasks_.empty()) return false;
    task = std::move(tasks_.front());
    tasks_.pop_front();
  }
  task();
  return true;
}

bool HeadlessEventLoop::run_one_due_timer() {
  std::function<void()> tick;
  {
    std::lock_guard lock(mutex_);
    // The earliest due timer (ties: the one started first).
    auto due = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.due <= now_ && (due == timers_.end() || it->second.due < due->second.due)) due = it;
    }
    if (due == timers_.end()) return false;
    // A late timer ticks once, then keeps its rhythm from now on.
    due->second.due = now_ + due->second.interval.count();
    tick = due->second.tick;
  }
  tick();
  return true;
}

std::int64_t HeadlessEventLoop::next_due_locked() const {
  std::int64_t next = std::numeric_limits<std::int64_t>::max();
  for (const auto& [id, timer] : timers_) next = std::min(next, timer.due);
  return next;
}

void HeadlessEventLoop::process_pending() {
  if (!is_ui_thread()) return;
  // Only what is pending now: tasks posted while these run wait for the next call.
  std::size_t count;
  {
    std::lock_guard lock(mutex_);
    count = tasks_.size();
  }
  for (std::size_t i = 0; i < count && run_one_task(); ++i) {
  }
  std::size_t ticks;
  {
    std::lock_guard lock(mutex_);
    ticks = timers_.size();
  }
  for (std::size_t i = 0; i < ticks && run_one_due_timer(); ++i) {
  }
}

int HeadlessEventLoop::run_until_idle() {
  int ran = 0;
  while (true) {
    if (run_one_task() || run_one_due_timer()) {
      ++ran;
      continue;
    }
    return ran;
  }
}

void HeadlessEventLoop::advance(std::chrono::milliseconds ms) {
  std::int64_t target;
  {
    std::lock_guard lock(mutex_);
    target = now_ + ms.count();
  }
  run_until_idle();
  while (true) {
    {
      std::lock_guard lock(mutex_);
      const std::int64_t next = next_due_locked();
      if (next > target) {
        now_ = target;
        break;
      }
      now_ = std::max(now_, next);
    }
    run_until_idle();
  }
  run_until_idle();
}

bool HeadlessEventLoop::wait_until(const std::function<bool()>& done, std::chrono::milliseconds real_timeout) {
  const auto end = std::chrono::steady_clock::now() + real_timeout;
  while (true) {
    run_until_idle();
    if (done()) return true;
    std::unique_lock lock(mutex_);
    if (!tasks_.empty()) continue;
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) {
      lock.unlock();
      run_until_idle();
      return done();
    }
    // A worker's write to the model posts nothing, yet may be what `done` waits for:
    // look again every few milliseconds, and at once when something is posted.
    const std::chrono::steady_clock::duration slice = std::chrono::milliseconds(5);
    posted_.wait_for(lock, std::min(end - now, slice));
  }
}

void HeadlessEventLoop::when_idle(std::function<void()> action) {
  if (!action) return;
  {
    std::lock_guard lock(mutex_);
    idle_actions_.push_back(std::move(action));
  }
  posted_.notify_all();
}

int HeadlessEventLoop::pending_tasks() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(tasks_.size());
}

int HeadlessEventLoop::running_timers() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(timers_.size());
}

void HeadlessEventLoop::set_limits(std::chrono::milliseconds nested_time_limit,
                                   std::chrono::milliseconds real_wait_limit) {
  std::lock_guard lock(mutex_);
  nested_time_limit_ = nested_time_limit;
  real_wait_limit_ = real_wait_limit;
}

std::chrono::milliseconds HeadlessEventLoop::nested_time_limit() const {
  std::lock_guard lock(mutex_);
  return nested_time_limit_;
}

std::chrono::milliseconds HeadlessEventLoop::real_wait_limit() const {
  std::lock_guard lock(mutex_);
  return real_wait_limit_;
}

bool HeadlessEventLoop::loop_until(const std::function<bool()>& ended) {
  std::int64_t started;
  {
    std::lock_guard lock(mutex_);
    started = now_;
  }
  while (true) {
    if (ended()) return true;
    if (run_one_task() || run_one_due_timer()) continue;
    // Idle: a scripted action first.
    std::function<void()> action;
    {
      std::lock_guard lock(mutex_);
      if (!idle_actions_.empty()) {
        action = std::move(idle_actions_.front());
        idle_actions_.pop_front();
      }
    }
    if (action) {
      action();
      continue;
    }
    // Then virtual time, within the limit.
    {
      std::lock_guard lock(mutex_);
      const std::int64_t next = next_due_locked();
      if (next != std::numeric_limits<std::int64_t>::max() && next - started <= nested_time_limit_.count()) {
        now_ = std::max(now_, next);
        continue;
      }
    }
    // Then real time, for posts of other threads.
    std::unique_lock lock(mutex_);
    if (!tasks_.empty() || !idle_actions_.empty()) continue;
    const auto limit = real_wait_limit_;
    const auto woken = [&] { return !tasks_.empty() || !idle_actions_.empty() || !exited_nested_.empty() || quit_; };
    if (!posted_.wait_for(lock, limit, woken)) {
      lock.unlock();
      return ended();
    }
  }
}

int HeadlessEventLoop::run() {
  const bool ended = loop_until([this] {
    std::lock_guard lock(mutex_);
    return quit_;
  });
  std::lock_guard lock(mutex_);
  return ended ? exit_code_ : -1;
}

bool HeadlessEventLoop::run_nested(std::uint64_t token) {
  bool by_exit = false;
  loop_until([&] {
    std::lock_guard lock(mutex_);
    if (exited_nested_.erase(token) > 0) {
      by_exit = true;
      return true;
    }
    return quit_;
  });
  return by_exit;
}

void HeadlessEventLoop::exit_nested(std::uint64_t token) {
  {
    std::lock_guard lock(mutex_);
    exited_nested_.insert(token);
  }
  posted_.notify_all();
}

void HeadlessEventLoop::quit(int exit_code) {
  {
    std::lock_guard lock(mutex_);
    if (!quit_) exit_code_ = exit_code;
    quit_ = true;
  }
  posted_.notify_all();
}

bool HeadlessEventLoop::quitting() const {
  std::lock_guard lock(mutex_);
  return quit_;
}

int HeadlessEventLoop::exit_code() const {
  std::lock_guard lock(mutex_);
  return exit_code_;
}
