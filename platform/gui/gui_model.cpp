// The control model: state behind one lock, events dispatched without it.
//
// Every public function follows one pattern: take the lock, find the window and the
// control, read or change the state and collect what changed (a Batch), release the
// lock, then tell the view and fire the events that the change causes (only
// text_changed of edit boxes). Handlers are copied out under the lock and called
// after it has been released.
//
// The class is one lock and one state, but its parts are spread over the gui_model_*.cpp
// files by what they serve (gui_model_internal.h lists them). This one holds the model
// itself, posting to the UI thread, and what every change ends with: the notices to the
// view and the events.

#include "platform/gui/gui_model.h"

#include "platform/gui/gui_model_internal.h"

using namespace gui_model_internal;

GuiModel::GuiModel(EventLoop& loop, GuiServices services)
    : loop_(loop), services_(services), impl_(std::make_shared<Impl>(loop, services)) {
  impl_->self = impl_;
}

GuiModel::~GuiModel() {
  std::lock_guard lock(impl_->mutex);
  for (auto& [id, w] : impl_->windows) impl_->stop_window_timers_locked(*w);
}

void GuiModel::attach_view(GuiView* view) {
  std::vector<WindowToken> existing;
  {
    std::lock_guard lock(impl_->mutex);
    impl_->view = view;
    for (auto& [id, w] : impl_->windows) existing.push_back(w->state.token);
  }
  if (view) {
    for (WindowToken t : existing) view->window_created(t);
  }
}

void GuiModel::post(std::function<void()> task) { loop_.post(std::move(task)); }

void GuiModel::post_to_window(WindowToken window, std::function<void()> task) {
  std::weak_ptr<Impl> weak = impl_;
  loop_.post([weak, window, task = std::move(task)] {
    auto impl = weak.lock();
    if (!impl) return;
    {
      std::lock_guard lock(impl->mutex);
      if (!impl->find(window)) return;
    }
    task();
  });
}

// ---------------------------------------------------------------- notices and events

void GuiModel::Impl::flush(Batch& batch) {
  GuiView* v;
  {
    std::lock_guard lock(mutex);
    v = view;
  }
  if (v) {
    for (const GuiChange& change : batch.changes) v->changed(change);
  }
  for (TextEvent& e : batch.text_events) fire_text_changed(std::move(e));
}

void GuiModel::Impl::fire_text_changed(TextEvent e) {
  GuiEvent event;
  event.kind = EventKind::text_changed;
  event.target = std::move(e.target);
  event.text = std::move(e.text);
  if (loop.is_ui_thread()) {
    dispatch(event);
    return;
  }
  std::weak_ptr<Impl> weak = self;
  loop.post([weak, event] {
    if (auto impl = weak.lock()) impl->dispatch(event);
  });
}

std::optional<bool> GuiModel::Impl::dispatch(const GuiEvent& event) {
  Bound bound;
  {
    std::lock_guard lock(mutex);
    Window* w = find(event.target.window);
    if (!w) return std::nullopt;
    auto it = w->handlers.find({event.target.role, event.kind});
    if (it == w->handlers.end()) return std::nullopt;
    bound = it->second;
  }
  if (bound.answer) return bound.answer(event);
  if (bound.plain) bound.plain(event);
  return std::nullopt;
}
