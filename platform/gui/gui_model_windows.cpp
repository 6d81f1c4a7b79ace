// The control model's windows: building them, opening them (modal ones with their
// nested loop), closing and destroying them, and their own state.

#include "platform/gui/gui_model_internal.h"

using namespace gui_model_internal;

bool GuiModel::Impl::add_control_locked(Window& w, ControlSpec spec, Batch* batch) {
  if (spec.role.empty() || w.index.count(spec.role)) return false;
  if (!spec.container.empty() && !w.find(spec.container)) return false;
  if (has_range(spec.kind)) {
    if (spec.maximum < spec.minimum) spec.maximum = spec.minimum;
    spec.value = clamp_to(spec.value, spec.minimum, spec.maximum);
  }
  if (spec.kind == ControlKind::combo_box) {
    if (spec.selected >= 0) sync_combo_text(spec);
    else if (!spec.text.empty()) {
      spec.selected = find_item(spec, spec.text);
      if (!spec.editable) sync_combo_text(spec);
    }
  }
  if (spec.kind == ControlKind::list_view) {
    for (ListRow& row : spec.rows) {
      row.id = next_row++;
      fit_cells(row.cells, spec.columns.size());
    }
    if (!spec.multi_select) {
      bool seen = false;
      for (ListRow& row : spec.rows) {
        if (row.selected && seen) row.selected = false;
        seen = seen || row.selected;
      }
    }
  }
  if (spec.kind == ControlKind::animation_box) {
    int next = 1;
    for (AnimationObject& o : spec.objects) next = std::max(next, o.id + 1);
    w.next_object_id[spec.role] = next;
  }
  spec.z_order = ++w.z_counter;
  const std::string role = spec.role;
  const std::string container = spec.container;
  const bool radio_checked = is_radio(spec) && spec.checked;
  w.controls.push_back(std::move(spec));
  w.index[role] = w.controls.size() - 1;
  if (radio_checked) {
    Batch ignored;
    set_checked_locked(w, w.controls.back(), true, batch ? *batch : ignored);
  }
  // A tab control shows its first page when it gets one and shows none.
  if (ControlState* tab = w.find(container); tab && tab->kind == ControlKind::tab_control &&
                                             w.controls.back().kind == ControlKind::tab_page && tab->selected < 0) {
    tab->selected = 0;
    if (batch) batch->add(tab->role, ChangeKind::selected);
  }
  if (batch) batch->add(role, ChangeKind::control_added);
  return true;
}

void GuiModel::Impl::destroy(WindowToken token) {
  std::vector<WindowToken> owned;
  {
    std::lock_guard lock(mutex);
    Window* w = find(token);
    if (!w || w->destroying) return;
    w->destroying = true;
    owned = w->owned;
  }
  for (WindowToken child : owned) destroy(child);

  GuiEvent event;
  event.kind = EventKind::destroyed;
  event.target = window_ref(token);
  dispatch(event);

  std::uint64_t nested = 0;
  bool quit = false;
  GuiView* v = nullptr;
  std::unique_ptr<Window> gone;  // freed after the lock: its handlers may hold anything
  {
    std::lock_guard lock(mutex);
    auto it = windows.find(token.id);
    if (it == windows.end()) return;
    gone = std::move(it->second);
    windows.erase(it);
    stop_window_timers_locked(*gone);
    nested = gone->nested_token;
    quit = gone->state.quit_on_destroy;
    v = view;
    for (auto& [id, other] : windows) std::erase(other->owned, token);
  }
  services.tray->remove_tray_icon(token);
  if (nested) loop.exit_nested(nested);
  if (v) v->window_destroyed(token);
  if (quit) loop.quit(0);
}

WindowToken GuiModel::create_window(const WindowSpec& spec) {
  WindowToken token;
  GuiView* view;
  {
    std::lock_guard lock(impl_->mutex);
    token.id = impl_->next_window++;
    auto w = std::make_unique<Window>();
    w->state.token = token;
    w->state.name = spec.name;
    w->state.title = spec.title;
    w->state.width = spec.width;
    w->state.height = spec.height;
    w->state.resizable = spec.resizable;
    w->state.visible = false;
    w->state.quit_on_destroy = spec.quit_on_destroy;
    w->state.icons = spec.icons;
    w->show_on_open = spec.show_on_open;
    for (const ControlSpec& c : spec.controls) impl_->add_control_locked(*w, c, nullptr);
    impl_->windows[token.id] = std::move(w);
    view = impl_->view;
  }
  if (view) view->window_created(token);
  return token;
}

bool GuiModel::add_control(WindowToken window, const ControlSpec& spec) {
  bool added = false;
  impl_->change_window(window, [&](Window& w, Batch& b) { added = impl_->add_control_locked(w, spec, &b); });
  return added;
}

void GuiModel::open_window(WindowToken window, WindowToken owner) {
  if (forward_to_ui_thread(&GuiModel::open_window, window, owner)) return;
  bool show = false;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(window);
    if (!w || w->state.opened) return;
    w->state.opened = true;
    if (owner && owner != window) {
      if (Window* o = impl_->find(owner)) {
        w->state.owner = owner;
        o->owned.push_back(window);
      }
    }
    show = w->show_on_open;
  }
  if (show) set_window_visible(window, true);
  GuiEvent event;
  event.kind = EventKind::created;
  event.target = window_ref(window);
  impl_->dispatch(event);
}

bool GuiModel::run_modal(WindowToken window, WindowToken owner) {
  if (!loop_.is_ui_thread()) return false;
  std::uint64_t token;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(window);
    if (!w) return false;
    w->state.modal = true;
    token = impl_->next_nested++;
    w->nested_token = token;
  }
  open_window(window, owner);

  // Block the owner, or every other window; each block is counted, so nested modal
  // windows unblock in turn.
  std::vector<WindowToken> blocked;   // every window this call blocks
  std::vector<WindowToken> newly;     // those that were not blocked before
  GuiView* view;
  {
    std::lock_guard lock(impl_->mutex);
    if (!impl_->find(window)) return true;  // closed by its created handler
    for (auto& [id, other] : impl_->windows) {
      const WindowToken t = other->state.token;
      if (t == window || (owner && t != owner)) continue;
      blocked.push_back(t);
      if (++other->blocked == 1) {
        other->state.blocked = true;
        newly.push_back(t);
      }
    }
    view = impl_->view;
  }
  if (view) {
    for (WindowToken t : newly) view->changed(GuiChange{t, {}, ChangeKind::window_enabled});
  }

  const bool ended = loop_.run_nested(token);

  std::vector<WindowToken> unblocked;
  bool gone;
  {
    std::lock_guard lock(impl_->mutex);
    for (WindowToken t : blocked) {
      Window* o = impl_->find(t);
      if (o && o->blocked > 0 && --o->blocked == 0) {
        o->state.blocked = false;
        unblocked.push_back(t);
      }
    }
    Window* w = impl_->find(window);
    gone = w == nullptr;
    if (w) {
      w->nested_token = 0;
      w->state.modal = false;
    }
    view = impl_->view;
  }
  if (view) {
    for (WindowToken t : unblocked) view->changed(GuiChange{t, {}, ChangeKind::window_enabled});
  }
  (void)ended;
  return gone;
}

bool GuiModel::request_close(WindowToken window) {
  if (forward_to_ui_thread(&GuiModel::request_close, window)) return false;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(window);
    if (!w || w->destroying) return w == nullptr;
    if (w->asking_close) return false;  // a question is open already
    w->asking_close = true;
  }
  GuiEvent event;
  event.kind = EventKind::may_close;
  event.target = window_ref(window);
  const std::optional<bool> answer = impl_->dispatch(event);
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(window);
    if (!w) return true;
    w->asking_close = false;
  }
  if (answer.has_value() && !*answer) return false;
  impl_->destroy(window);
  return !window_exists(window);
}

void GuiModel::destroy_window(WindowToken window) {
  if (!loop_.is_ui_thread()) {
    std::weak_ptr<Impl> weak = impl_;
    loop_.post([weak, window] {
      if (auto impl = weak.lock()) impl->destroy(window);
    });
    return;
  }
  impl_->destroy(window);
}

bool GuiModel::window_exists(WindowToken window) const {
  std::lock_guard lock(impl_->mutex);
  return impl_->find(window) != nullptr;
}

WindowToken GuiModel::find_window(const std::string& name) const {
  std::lock_guard lock(impl_->mutex);
  WindowToken found;
  for (auto& [id, w] : impl_->windows) {
    if (w->state.name == name && !w->destroying) found = w->state.token;  // ids ascend: the newest wins
  }
  return found;
}

std::vector<WindowToken> GuiModel::windows() const {
  std::lock_guard lock(impl_->mutex);
  std::vector<WindowToken> all;
  for (auto& [id, w] : impl_->windows) all.push_back(w->state.token);
  return all;
}

WindowState GuiModel::window_state(WindowToken window) const {
  std::lock_guard lock(impl_->mutex);
  const Window* w = impl_->find(window);
  return w ? w->state : WindowState{};
}

WindowState GuiModel::window_snapshot(WindowToken window) const {
  std::lock_guard lock(impl_->mutex);
  const Window* w = impl_->find(window);
  if (!w) return {};
  WindowState s = w->state;
  s.controls = w->controls;
  return s;
}

void GuiModel::set_title(WindowToken window, const std::string& title) {
  impl_->change_window(window, [&](Window& w, Batch& b) {
    if (w.state.title == title) return;
    w.state.title = title;
    b.add({}, ChangeKind::window_title);
  });
}

std::string GuiModel::title(WindowToken window) const { return window_state(window).title; }

void GuiModel::set_window_size(WindowToken window, int width, int height) {
  impl_->change_window(window, [&](Window& w, Batch& b) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (w.state.width == width && w.state.height == height) return;
    w.state.width = width;
    w.state.height = height;
    b.add({}, ChangeKind::window_size);
  });
}

GuiPoint GuiModel::window_size(WindowToken window) const {
  std::lock_guard lock(impl_->mutex);
  const Window* w = impl_->find(window);
  return w ? GuiPoint{w->state.width, w->state.height} : GuiPoint{};
}

void GuiModel::set_window_visible(WindowToken window, bool visible) {
  impl_->change_window(window, [&](Window& w, Batch& b) {
    if (w.state.visible == visible) return;
    w.state.visible = visible;
    b.add({}, ChangeKind::window_visible);
  });
}

bool GuiModel::window_visible(WindowToken window) const {
  std::lock_guard lock(impl_->mutex);
  const Window* w = impl_->find(window);
  return w && w->state.visible;
}

void GuiModel::set_window_enabled(WindowToken window, bool enabled) {
  impl_->change_window(window, [&](Window& w, Batch& b) {
    if (w.state.enabled == enabled) return;
    w.state.enabled = enabled;
    b.add({}, ChangeKind::window_enabled);
  });
}

void GuiModel::set_window_icons(WindowToken window, std::vector<GuiPicture> icons) {
  impl_->change_window(window, [&](Window& w, Batch& b) {
    w.state.icons = std::move(icons);
    b.add({}, ChangeKind::window_icon);
  });
}
