// The control model's user input: the view (or a test acting as the user) reports
// clicks, typing, selections, keys, the mouse, drops, the tray and closing here; each
// updates the state, then runs the handlers. Also the mouse-driven moves of controls.

#include "platform/gui/gui_model_internal.h"

using namespace gui_model_internal;

// ---------------------------------------------------------------- where input goes

bool GuiModel::Impl::accept_input(const ControlRef& ref, bool need_enabled) const {
  std::lock_guard lock(mutex);
  const Window* w = find(ref.window);
  if (!w || !window_takes_input(*w)) return false;
  if (ref.role.empty()) return true;
  const ControlState* c = w->find(ref.role);
  if (!c || !effectively_visible(*w, *c)) return false;
  return !need_enabled || effectively_enabled(*w, *c);
}

bool GuiModel::Impl::window_takes_input(const Window& w) {
  return !w.destroying && w.state.visible && w.blocked <= 0 && w.state.enabled;
}

bool GuiModel::Impl::takes_uncaptured_mouse(const Window& w, const ControlState* c) {
  if (!window_takes_input(w)) return false;
  return !c || (effectively_visible(w, *c) && effectively_enabled(w, *c));
}

void GuiModel::Impl::retarget_from_tab_page(const ControlState* c, GuiEvent& e) {
  if (!c || c->kind != ControlKind::tab_page) return;
  e.target.role = c->container;
  e.x += c->geometry.x;
  e.y += c->geometry.y;
}

bool GuiModel::Impl::mouse_captured(const Window& w) {
  return w.held_buttons != 0 && (w.capture.empty() || w.find(w.capture));
}

void GuiModel::Impl::retarget_to_capture(const Window& w, const ControlState* from, GuiEvent& e) {
  const ControlState* to = w.find(w.capture);
  const GuiPoint a = from ? window_position(w, *from) : GuiPoint{};
  const GuiPoint b = to ? window_position(w, *to) : GuiPoint{};
  e.x += a.x - b.x;
  e.y += a.y - b.y;
  e.target.role = w.capture;
}

// ---------------------------------------------------------------- mouse-driven moves

bool GuiModel::drag_control(const ControlRef& control, DragMode mode) {
  if (!loop_.is_ui_thread() || !exists(control)) return false;
  ControlDragRequest request;
  request.control = control;
  request.mode = mode;
  request.start = geometry(control);
  const std::optional<GuiRect> result = services_.control_drag->drag_control(request);
  {
    // The button has been released during the drag: no capture is left.
    std::lock_guard lock(impl_->mutex);
    if (Window* w = impl_->find(control.window)) {
      w->capture.clear();
      w->held_buttons = 0;
    }
  }
  if (!result || *result == request.start) return false;
  set_geometry(control, *result);
  return geometry(control) != request.start;
}

// ---------------------------------------------------------------- user input

namespace {
// An event of the user's; (x, y) where the mouse was, relative to the target.
GuiEvent make_event(EventKind kind, const ControlRef& target, int x = 0, int y = 0) {
  GuiEvent e;
  e.kind = kind;
  e.target = target;
  e.x = x;
  e.y = y;
  return e;
}
}  // namespace

bool GuiModel::input_click(const ControlRef& control) {
  if (forward_to_ui_thread(&GuiModel::input_click, control)) return false;
  if (!impl_->accept_input(control)) return false;
  impl_->change_control(control, [&](Window& w, ControlState& c, Batch& b) {
    if (c.kind == ControlKind::check_box) Impl::set_checked_locked(w, c, !c.checked, b);
    else if (c.kind == ControlKind::radio_button) Impl::set_checked_locked(w, c, true, b);
  });
  impl_->dispatch(make_event(EventKind::clicked, control));
  return true;
}

bool GuiModel::input_double_click(const ControlRef& control, int x, int y) {
  if (forward_to_ui_thread(&GuiModel::input_double_click, control, x, y)) return false;
  if (!impl_->accept_input(control)) return false;
  GuiEvent e = make_event(EventKind::double_clicked, control, x, y);
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_right_click(const ControlRef& control, int x, int y) {
  if (forward_to_ui_thread(&GuiModel::input_right_click, control, x, y)) return false;
  if (!impl_->accept_input(control)) return false;
  if (kind(control) == ControlKind::list_view) {
    const int row = hit_test_row(control, x, y);
    bool changed = false;
    impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
      if (!valid_row(c, row) || c.rows[static_cast<std::size_t>(row)].selected) return;
      impl_->select_rows_locked(c, {row}, b);
      changed = true;
    });
    if (changed) impl_->dispatch(make_event(EventKind::selection_changed, control));
  }
  GuiEvent e = make_event(EventKind::right_clicked, control, x, y);
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_text(const ControlRef& control, const std::string& text) {
  if (forward_to_ui_thread(&GuiModel::input_text, control, text)) return false;
  if (!impl_->accept_input(control)) return false;
  bool accepted = false;
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.kind == ControlKind::edit_box) {
      if (c.read_only) return;
      if (c.digits_only && !std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) return;
      // Characters, not bytes: a UTF-8 continuation byte starts none.
      const auto characters = std::count_if(text.begin(), text.end(), [](char ch) { return (ch & 0xC0) != 0x80; });
      if (c.max_length > 0 && characters > c.max_length) return;
    } else if (!(c.kind == ControlKind::combo_box && c.editable)) {
      return;
    }
    Impl::set_text_locked(c, text, b);
    accepted = true;
  });
  if (!accepted) return false;
  GuiEvent e = make_event(EventKind::text_changed, control);
  e.text = text;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_select(const ControlRef& control, int index) {
  if (forward_to_ui_thread(&GuiModel::input_select, control, index)) return false;
  if (!impl_->accept_input(control)) return false;
  bool accepted = false;
  impl_->change_control(control, [&](Window& w, ControlState& c, Batch& b) {
    int count = 0;
    if (c.kind == ControlKind::combo_box) count = static_cast<int>(c.items.size());
    else if (c.kind == ControlKind::tab_control) count = static_cast<int>(Impl::pages_of(w, c.role).size());
    else return;
    if (index < 0 || index >= count) return;
    accepted = true;
    if (c.selected == index) return;
    c.selected = index;
    b.add(c.role, ChangeKind::selected);
    if (c.kind == ControlKind::combo_box) {
      Impl::sync_combo_text(c);
      b.add(c.role, ChangeKind::text);
    }
  });
  if (!accepted) return false;
  GuiEvent e = make_event(EventKind::selection_changed, control);
  e.value = index;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_select_rows(const ControlRef& list, const std::vector<int>& rows) {
  if (forward_to_ui_thread(&GuiModel::input_select_rows, list, rows)) return false;
  if (!impl_->accept_input(list) || kind(list) != ControlKind::list_view) return false;
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) { impl_->select_rows_locked(c, rows, b); });
  GuiEvent e = make_event(EventKind::selection_changed, list);
  e.value = first_selected_row(list);
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_row_checked(const ControlRef& list, int row, bool checked) {
  if (forward_to_ui_thread(&GuiModel::input_row_checked, list, row, checked)) return false;
  if (!impl_->accept_input(list)) return false;
  RowId id = 0;
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) {
    if (!valid_row(c, row)) return;
    ListRow& r = c.rows[static_cast<std::size_t>(row)];
    id = r.id;
    if (r.checked == checked) return;
    r.checked = checked;
    b.add(c.role, ChangeKind::row_state, r.id);
  });
  if (!id) return false;
  GuiEvent e = make_event(EventKind::row_checked, list);
  e.value = row;
  e.row_id = id;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_slider_moved(const ControlRef& slider, int value) {
  if (forward_to_ui_thread(&GuiModel::input_slider_moved, slider, value)) return false;
  if (!impl_->accept_input(slider) || kind(slider) != ControlKind::slider) return false;
  set_value(slider, value);
  GuiEvent e = make_event(EventKind::value_changed, slider);
  e.value = this->value(slider);
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_slider_released(const ControlRef& slider) {
  if (forward_to_ui_thread(&GuiModel::input_slider_released, slider)) return false;
  if (!impl_->accept_input(slider) || kind(slider) != ControlKind::slider) return false;
  GuiEvent e = make_event(EventKind::slider_released, slider);
  e.value = value(slider);
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_colour(const ControlRef& picker, GuiColour colour) {
  if (forward_to_ui_thread(&GuiModel::input_colour, picker, colour)) return false;
  if (!impl_->accept_input(picker)) return false;
  set_colour(picker, colour);
  GuiEvent e = make_event(EventKind::colour_changed, picker);
  e.value = static_cast<int>(colour);
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_key(const ControlRef& control, int key, int modifiers) {
  if (forward_to_ui_thread(&GuiModel::input_key, control, key, modifiers)) return false;
  if (!impl_->accept_input(control)) return false;
  GuiEvent e = make_event(EventKind::key_down, control);
  e.key = key;
  e.modifiers = modifiers;
  if (impl_->dispatch(e).value_or(false)) return true;
  if (control.role.empty()) return false;
  e.target = window_ref(control.window);
  return impl_->dispatch(e).value_or(false);
}

bool GuiModel::input_focus(const ControlRef& control) {
  if (forward_to_ui_thread(&GuiModel::input_focus, control)) return false;
  if (!impl_->accept_input(control)) return false;
  set_focus(control);
  impl_->dispatch(make_event(EventKind::focus_gained, control));
  return true;
}

bool GuiModel::input_mouse_down(const ControlRef& control, int x, int y, int button) {
  if (forward_to_ui_thread(&GuiModel::input_mouse_down, control, x, y, button)) return false;
  if (!impl_->accept_input(control)) return false;
  GuiEvent e = make_event(EventKind::mouse_down, control, x, y);
  e.button = button;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(control.window);
    if (!w) return false;
    // A press on a tab page's free surface belongs to the tab control.
    Impl::retarget_from_tab_page(w->find(control.role), e);
    if (w->held_buttons == 0 || !w->find(w->capture)) w->capture = e.target.role;
    else if (w->capture != e.target.role) {
      // Another button while captured: it goes to the capturing control as well.
      Impl::retarget_to_capture(*w, w->find(e.target.role), e);
    }
    w->held_buttons |= button;
  }
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_mouse_move(const ControlRef& control, int x, int y, int buttons) {
  if (forward_to_ui_thread(&GuiModel::input_mouse_move, control, x, y, buttons)) return false;
  GuiEvent e = make_event(EventKind::mouse_move, control, x, y);
  e.buttons = buttons;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(control.window);
    if (!w) return false;
    const bool captured = Impl::mouse_captured(*w);
    if (!captured) {
      w->held_buttons = 0;
    }
    const ControlState* c = w->find(control.role);
    if (!control.role.empty() && !c) return false;
    if (captured) {
      Impl::retarget_to_capture(*w, c, e);
      e.buttons = buttons ? buttons : w->held_buttons;
    } else {
      if (!Impl::takes_uncaptured_mouse(*w, c)) return false;
      Impl::retarget_from_tab_page(c, e);
    }
  }
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_mouse_up(const ControlRef& control, int x, int y, int button) {
  if (forward_to_ui_thread(&GuiModel::input_mouse_up, control, x, y, button)) return false;
  GuiEvent e = make_event(EventKind::mouse_up, control, x, y);
  e.button = button;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(control.window);
    if (!w) return false;
    const ControlState* c = w->find(control.role);
    if (!control.role.empty() && !c) return false;
    const bool captured = Impl::mouse_captured(*w);
    if (captured) {
      Impl::retarget_to_capture(*w, c, e);
      w->held_buttons &= ~button;
      if (w->held_buttons == 0) w->capture.clear();
    } else {
      w->held_buttons = 0;
      if (!Impl::takes_uncaptured_mouse(*w, c)) return false;
      Impl::retarget_from_tab_page(c, e);
    }
  }
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_popup_closed(const ControlRef& control) {
  if (forward_to_ui_thread(&GuiModel::input_popup_closed, control)) return false;
  std::lock_guard lock(impl_->mutex);
  Window* w = impl_->find(control.window);
  if (!w || control.role.empty() || w->held_buttons == 0 || w->capture != control.role) return false;
  // The pop-up took the release of the press that opened it.
  w->capture.clear();
  w->held_buttons = 0;
  return true;
}

bool GuiModel::input_drop_files(const ControlRef& control, const std::vector<std::string>& names) {
  if (forward_to_ui_thread(&GuiModel::input_drop_files, control, names)) return false;
  if (names.empty() || !impl_->accept_input(control)) return false;
  // Only the flag is read: a copy of the control would copy every row of a long list.
  if (!impl_->read_control(control, false, [](const Window&, const ControlState& c) { return c.drop_target; })) {
    return false;
  }
  GuiEvent e = make_event(EventKind::files_dropped, control);
  if (names.size() == 1) {
    e.text = names.front();
  } else {
    std::size_t length = 0;
    for (const std::string& name : names) length += name.size() + 2;
    e.text.reserve(length);
    for (const std::string& name : names) e.text.append(name).append("\r\n");
  }
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_tray(WindowToken window, int kind) {
  if (forward_to_ui_thread(&GuiModel::input_tray, window, kind)) return false;
  if (kind < 1 || kind > 3) return false;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(window);
    if (!w || w->destroying) return false;
  }
  GuiEvent e = make_event(EventKind::tray, window_ref(window));
  e.value = kind;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_menu_choice(const ControlRef& menu, int index) {
  if (forward_to_ui_thread(&GuiModel::input_menu_choice, menu, index)) return false;
  const std::vector<MenuItem> items = menu_items(menu);
  if (index < 0 || index >= static_cast<int>(items.size())) return false;
  const MenuItem& item = items[static_cast<std::size_t>(index)];
  if (item.separator || !item.enabled) return false;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(menu.window);
    if (!w || w->destroying) return false;
  }
  GuiEvent e = make_event(EventKind::menu_chosen, menu);
  e.value = index;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_object_pressed(const ControlRef& box, int object_id) {
  if (forward_to_ui_thread(&GuiModel::input_object_pressed, box, object_id)) return false;
  if (!impl_->accept_input(box) || !animation_position(box, object_id)) return false;
  GuiEvent e = make_event(EventKind::object_pressed, box);
  e.value = object_id;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_object_released(const ControlRef& box, int object_id) {
  if (forward_to_ui_thread(&GuiModel::input_object_released, box, object_id)) return false;
  if (!exists(box)) return false;
  GuiEvent e = make_event(EventKind::object_released, box);
  e.value = object_id;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_close(WindowToken window) {
  if (forward_to_ui_thread(&GuiModel::input_close, window)) return false;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(window);
    if (!w) return true;
    if (w->blocked > 0) return false;
  }
  return request_close(window);
}

bool GuiModel::input_resize(WindowToken window, int width, int height) {
  if (forward_to_ui_thread(&GuiModel::input_resize, window, width, height)) return false;
  if (!window_exists(window)) return false;
  set_window_size(window, width, height);
  GuiEvent e = make_event(EventKind::resized, window_ref(window));
  const GuiPoint size = window_size(window);
  e.width = size.x;
  e.height = size.y;
  impl_->dispatch(e);
  return true;
}
