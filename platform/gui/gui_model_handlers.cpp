// The control model's handlers and timers: binding a handler to a control's event, and
// the windows' timers, whose ticks run their handlers on the UI thread.

#include <chrono>

#include "platform/gui/gui_model_internal.h"

using namespace gui_model_internal;

void GuiModel::bind(const ControlRef& target, EventKind kind, GuiHandler handler) {
  Bound old;  // released after the lock
  std::lock_guard lock(impl_->mutex);
  Window* w = impl_->find(target.window);
  if (!w) return;
  auto key = std::make_pair(target.role, kind);
  if (auto it = w->handlers.find(key); it != w->handlers.end()) old = std::move(it->second);
  if (handler) w->handlers[key] = Bound{std::move(handler), {}};
  else w->handlers.erase(key);
}

void GuiModel::bind_answer(const ControlRef& target, EventKind kind, GuiAnswerHandler handler) {
  Bound old;
  std::lock_guard lock(impl_->mutex);
  Window* w = impl_->find(target.window);
  if (!w) return;
  auto key = std::make_pair(target.role, kind);
  if (auto it = w->handlers.find(key); it != w->handlers.end()) old = std::move(it->second);
  if (handler) w->handlers[key] = Bound{{}, std::move(handler)};
  else w->handlers.erase(key);
}

bool GuiModel::has_handler(const ControlRef& target, EventKind kind) const {
  std::lock_guard lock(impl_->mutex);
  const Window* w = impl_->find(target.window);
  return w && w->handlers.count({target.role, kind}) > 0;
}

// ---------------------------------------------------------------- timers

void GuiModel::Impl::stop_window_timers_locked(Window& w) {
  for (auto& [name, timer] : w.timers) loop.stop_timer(timer.loop_id);
  w.timers.clear();
}

void GuiModel::set_timer(WindowToken window, const std::string& name, int interval_ms) {
  std::lock_guard lock(impl_->mutex);
  Window* w = impl_->find(window);
  if (!w || w->destroying) return;
  auto it = w->timers.find(name);
  if (it != w->timers.end()) {
    loop_.stop_timer(it->second.loop_id);
    w->timers.erase(it);
  }
  if (interval_ms <= 0) return;
  TimerEntry entry;
  entry.interval = interval_ms;
  entry.generation = impl_->next_generation++;
  std::weak_ptr<Impl> weak = impl_;
  const std::uint64_t generation = entry.generation;
  entry.loop_id = loop_.start_timer(std::chrono::milliseconds(interval_ms), [weak, window, name, generation] {
    auto impl = weak.lock();
    if (!impl) return;
    GuiEvent event;
    event.kind = EventKind::timer_tick;
    event.target = ControlRef{window, name};
    {
      std::lock_guard lock(impl->mutex);
      Window* w = impl->find(window);
      if (!w || w->destroying) return;
      auto t = w->timers.find(name);
      if (t == w->timers.end() || t->second.generation != generation) return;
      event.value = t->second.interval;
    }
    impl->dispatch(event);
  });
  w->timers[name] = entry;
}

int GuiModel::timer_interval(WindowToken window, const std::string& name) const {
  std::lock_guard lock(impl_->mutex);
  const Window* w = impl_->find(window);
  if (!w) return 0;
  auto it = w->timers.find(name);
  return it == w->timers.end() ? 0 : it->second.interval;
}
