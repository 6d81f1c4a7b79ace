#include "platform/event_pump.h"

#include <mutex>
#include <thread>

namespace {
std::mutex pump_mutex;
std::function<void()> ui_pump;
std::thread::id ui_thread_id;
}  // namespace

void set_ui_event_pump(std::function<void()> pump) {
  std::lock_guard lock(pump_mutex);
  ui_pump = std::move(pump);
  ui_thread_id = ui_pump ? std::this_thread::get_id() : std::thread::id();
}

bool is_ui_thread() {
  std::lock_guard lock(pump_mutex);
  return ui_pump && ui_thread_id == std::this_thread::get_id();
}

void process_pending_events() {
  std::function<void()> pump;
  {
    std::lock_guard lock(pump_mutex);
    if (!ui_pump || ui_thread_id != std::this_thread::get_id()) return;
    pump = ui_pump;
  }
  pump();  // never called with the lock held: handlers may run inside
}

void pause_processing_events(std::chrono::milliseconds duration) {
  using clock = std::chrono::steady_clock;
  const auto end = clock::now() + duration;
  if (!is_ui_thread()) {
    std::this_thread::sleep_until(end);
    return;
  }
  // On the UI thread: process events, then sleep in short slices until the end.
  for (auto now = clock::now(); now < end; now = clock::now()) {
    process_pending_events();
    const auto slice = std::min<clock::duration>(end - clock::now(), std::chrono::milliseconds(5));
    if (slice > clock::duration::zero()) std::this_thread::sleep_for(slice);
  }
}
