// The control model's state of any control (geometry, flags, texts, values, items,
// colours, pictures, focus) and the rules every control follows: when it is effectively
// visible and enabled, where it sits in its window, radio groups, combo texts.

#include "platform/gui/gui_model_internal.h"

using namespace gui_model_internal;

// ---------------------------------------------------------------- the rules

int GuiModel::Impl::page_index(const Window& w, const ControlState& page) {
  if (page.kind != ControlKind::tab_page) return -1;
  int i = 0;
  for (const ControlState& c : w.controls) {
    if (c.kind == ControlKind::tab_page && c.container == page.container) {
      if (&c == &page) return i;
      ++i;
    }
  }
  return -1;
}

std::vector<const ControlState*> GuiModel::Impl::pages_of(const Window& w, const std::string& tab) {
  std::vector<const ControlState*> pages;
  for (const ControlState& c : w.controls) {
    if (c.kind == ControlKind::tab_page && c.container == tab) pages.push_back(&c);
  }
  return pages;
}

bool GuiModel::Impl::effectively_visible(const Window& w, const ControlState& control) {
  if (!w.state.visible) return false;
  const ControlState* c = &control;
  while (c) {
    if (!c->visible) return false;
    if (c->kind == ControlKind::tab_page) {
      const ControlState* tab = w.find(c->container);
      if (tab && tab->selected != page_index(w, *c)) return false;
    }
    c = w.find(c->container);
  }
  return true;
}

bool GuiModel::Impl::effectively_enabled(const Window& w, const ControlState& control) {
  if (!w.state.enabled || w.blocked > 0) return false;
  for (const ControlState* c = &control; c; c = w.find(c->container)) {
    if (!c->enabled) return false;
  }
  return true;
}

GuiPoint GuiModel::Impl::window_position(const Window& w, const ControlState& control) {
  GuiPoint p;
  for (const ControlState* c = &control; c; c = w.find(c->container)) {
    p.x += c->geometry.x;
    p.y += c->geometry.y;
  }
  return p;
}

std::vector<ControlState*> GuiModel::Impl::radio_group(Window& w, const ControlState& radio) {
  std::vector<ControlState*> group;
  for (ControlState& c : w.controls) {
    if (!is_radio(c)) continue;
    const bool same = radio.group.empty() ? (c.group.empty() && c.container == radio.container)
                                          : c.group == radio.group;
    if (same) group.push_back(&c);
  }
  return group;
}

void GuiModel::Impl::set_checked_locked(Window& w, ControlState& c, bool checked, Batch& batch) {
  if (is_radio(c) && checked) {
    for (ControlState* other : radio_group(w, c)) {
      if (other != &c && other->checked) {
        other->checked = false;
        batch.add(other->role, ChangeKind::checked);
      }
    }
  }
  if (c.checked != checked) {
    c.checked = checked;
    batch.add(c.role, ChangeKind::checked);
  }
}

void GuiModel::Impl::sync_combo_text(ControlState& c) {
  if (c.selected < 0 || c.selected >= static_cast<int>(c.items.size())) {
    c.selected = -1;
    if (!c.editable) c.text.clear();
    return;
  }
  c.text = c.items[static_cast<std::size_t>(c.selected)];
}

int GuiModel::Impl::find_item(const ControlState& c, const std::string& text) {
  for (std::size_t i = 0; i < c.items.size(); ++i) {
    if (c.items[i] == text) return static_cast<int>(i);
  }
  return -1;
}

void GuiModel::Impl::set_text_locked(ControlState& c, const std::string& text, Batch& batch) {
  if (c.kind == ControlKind::combo_box) {
    const std::string old_text = c.text;
    const int old_selected = c.selected;
    c.selected = find_item(c, text);
    if (c.editable) c.text = text;
    else sync_combo_text(c);
    if (c.text != old_text) batch.add(c.role, ChangeKind::text);
    if (c.selected != old_selected) batch.add(c.role, ChangeKind::selected);
    return;
  }
  if (c.text != text) {
    c.text = text;
    batch.add(c.role, ChangeKind::text);
  }
  if (c.kind == ControlKind::edit_box) {
    const int size = static_cast<int>(c.text.size());
    if (c.selection_start > size || c.selection_start + c.selection_length > size) {
      c.selection_start = std::min(c.selection_start, size);
      c.selection_length = 0;
      batch.add(c.role, ChangeKind::text_selection);
    }
  }
}

// ---------------------------------------------------------------- any control

bool GuiModel::exists(const ControlRef& control) const {
  return impl_->read_control(control, false, [](const Window&, const ControlState&) { return true; });
}

std::optional<ControlKind> GuiModel::kind(const ControlRef& control) const {
  return impl_->read_control(control, std::optional<ControlKind>{},
                             [](const Window&, const ControlState& c) { return std::optional<ControlKind>(c.kind); });
}

ControlState GuiModel::control_state_without_rows(const ControlRef& control) const {
  std::lock_guard lock(impl_->mutex);
  Window* w = impl_->find(control.window);
  ControlState* c = w ? w->find(control.role) : nullptr;
  if (!c) return ControlState{};
  // Every field but the rows: they step aside for the copy (the lock is held).
  std::vector<ListRow> rows;
  rows.swap(c->rows);
  ControlState copy = *c;
  rows.swap(c->rows);
  return copy;
}

ControlState GuiModel::control_state(const ControlRef& control) const {
  return impl_->read_control(control, ControlState{}, [](const Window&, const ControlState& c) { return c; });
}

std::vector<std::string> GuiModel::roles(WindowToken window) const {
  std::lock_guard lock(impl_->mutex);
  std::vector<std::string> all;
  if (const Window* w = impl_->find(window)) {
    for (const ControlState& c : w->controls) all.push_back(c.role);
  }
  return all;
}

void GuiModel::set_geometry(const ControlRef& control, GuiRect geometry) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    geometry.width = std::max(0, geometry.width);
    geometry.height = std::max(0, geometry.height);
    if (c.geometry == geometry) return;
    c.geometry = geometry;
    b.add(c.role, ChangeKind::geometry);
  });
}

GuiRect GuiModel::geometry(const ControlRef& control) const {
  return impl_->read_control(control, GuiRect{}, [](const Window&, const ControlState& c) { return c.geometry; });
}

void GuiModel::set_position(const ControlRef& control, int x, int y) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.geometry.x == x && c.geometry.y == y) return;
    c.geometry.x = x;
    c.geometry.y = y;
    b.add(c.role, ChangeKind::geometry);
  });
}

void GuiModel::set_size(const ControlRef& control, int width, int height) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (c.geometry.width == width && c.geometry.height == height) return;
    c.geometry.width = width;
    c.geometry.height = height;
    b.add(c.role, ChangeKind::geometry);
  });
}

GuiPoint GuiModel::window_position(const ControlRef& control) const {
  return impl_->read_control(control, GuiPoint{},
                             [](const Window& w, const ControlState& c) { return Impl::window_position(w, c); });
}

std::string GuiModel::control_at(WindowToken window, GuiPoint point) const {
  std::lock_guard lock(impl_->mutex);
  const Window* w = impl_->find(window);
  if (!w) return {};
  const ControlState* found = nullptr;
  for (;;) {
    const std::string& container = found ? found->role : std::string();
    const ControlState* inner = nullptr;
    for (const ControlState& c : w->controls) {
      if (c.container != container || !Impl::effectively_visible(*w, c)) continue;
      const GuiPoint at = Impl::window_position(*w, c);
      const bool holds = point.x >= at.x && point.y >= at.y && point.x < at.x + c.geometry.width &&
                         point.y < at.y + c.geometry.height;
      if (holds && (!inner || c.z_order > inner->z_order)) inner = &c;
    }
    if (!inner) break;
    found = inner;
  }
  if (!found) return {};
  return found->kind == ControlKind::tab_page ? found->container : found->role;
}

void GuiModel::bring_to_front(const ControlRef& control) {
  impl_->change_control(control, [&](Window& w, ControlState& c, Batch& b) {
    c.z_order = ++w.z_counter;
    b.add(c.role, ChangeKind::z_order);
  });
}

void GuiModel::set_enabled(const ControlRef& control, bool enabled) {
  impl_->set_field(control, &ControlState::enabled, enabled, ChangeKind::enabled);
}

bool GuiModel::enabled(const ControlRef& control) const {
  return impl_->read_control(control, false, [](const Window&, const ControlState& c) { return c.enabled; });
}

bool GuiModel::effectively_enabled(const ControlRef& control) const {
  return impl_->read_control(control, false,
                             [](const Window& w, const ControlState& c) { return Impl::effectively_enabled(w, c); });
}

void GuiModel::set_visible(const ControlRef& control, bool visible) {
  impl_->set_field(control, &ControlState::visible, visible, ChangeKind::visible);
}

bool GuiModel::visible(const ControlRef& control) const {
  return impl_->read_control(control, false, [](const Window&, const ControlState& c) { return c.visible; });
}

void GuiModel::set_text(const ControlRef& control, const std::string& text) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    Impl::set_text_locked(c, text, b);
    if (c.kind == ControlKind::edit_box) b.text_events.push_back({control, c.text});
  });
}

std::string GuiModel::text(const ControlRef& control) const {
  return impl_->read_control(control, std::string{}, [](const Window&, const ControlState& c) { return c.text; });
}

void GuiModel::append_text(const ControlRef& control, const std::string& text) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.kind != ControlKind::edit_box) return;
    Impl::set_text_locked(c, c.text + text, b);
    c.selection_start = static_cast<int>(c.text.size());  // the caret after the insertion
    c.selection_length = 0;
    b.add(c.role, ChangeKind::text_selection);
    b.text_events.push_back({control, c.text});
  });
}

void GuiModel::select_all_text(const ControlRef& control) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.kind != ControlKind::edit_box && c.kind != ControlKind::combo_box) return;
    c.selection_start = 0;
    c.selection_length = static_cast<int>(c.text.size());
    b.add(c.role, ChangeKind::text_selection);
  });
}

void GuiModel::set_checked(const ControlRef& control, bool checked) {
  impl_->change_control(control, [&](Window& w, ControlState& c, Batch& b) { Impl::set_checked_locked(w, c, checked, b); });
}

bool GuiModel::checked(const ControlRef& control) const {
  return impl_->read_control(control, false, [](const Window&, const ControlState& c) { return c.checked; });
}

void GuiModel::set_value(const ControlRef& control, int value) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (has_range(c.kind)) value = clamp_to(value, c.minimum, c.maximum);
    if (c.value == value) return;
    c.value = value;
    b.add(c.role, ChangeKind::value);
  });
}

int GuiModel::value(const ControlRef& control) const {
  return impl_->read_control(control, 0, [](const Window&, const ControlState& c) { return c.value; });
}

void GuiModel::set_range(const ControlRef& control, int minimum, int maximum) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (maximum < minimum) maximum = minimum;
    if (c.minimum != minimum || c.maximum != maximum) {
      c.minimum = minimum;
      c.maximum = maximum;
      b.add(c.role, ChangeKind::range);
    }
    if (has_range(c.kind)) {
      const int clamped = clamp_to(c.value, c.minimum, c.maximum);
      if (clamped != c.value) {
        c.value = clamped;
        b.add(c.role, ChangeKind::value);
      }
    }
  });
}

GuiPoint GuiModel::range(const ControlRef& control) const {
  return impl_->read_control(control, GuiPoint{},
                             [](const Window&, const ControlState& c) { return GuiPoint{c.minimum, c.maximum}; });
}

void GuiModel::set_items(const ControlRef& control, std::vector<std::string> items) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    c.items = std::move(items);
    b.add(c.role, ChangeKind::items);
    if (c.kind == ControlKind::combo_box) {
      const int old = c.selected;
      const std::string old_text = c.text;
      c.selected = c.editable ? Impl::find_item(c, c.text) : -1;
      if (!c.editable) c.text.clear();
      if (old != c.selected) b.add(c.role, ChangeKind::selected);
      if (old_text != c.text) b.add(c.role, ChangeKind::text);
    }
  });
}

void GuiModel::add_item(const ControlRef& control, const std::string& item) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    c.items.push_back(item);
    b.add(c.role, ChangeKind::items);
  });
}

std::vector<std::string> GuiModel::items(const ControlRef& control) const {
  return impl_->read_control(control, std::vector<std::string>{}, [](const Window& w, const ControlState& c) {
    if (c.kind != ControlKind::tab_control) return c.items;
    std::vector<std::string> captions;
    for (const ControlState* page : Impl::pages_of(w, c.role)) captions.push_back(page->text);
    return captions;
  });
}

void GuiModel::set_selected_index(const ControlRef& control, int index) {
  impl_->change_control(control, [&](Window& w, ControlState& c, Batch& b) {
    if (c.kind == ControlKind::tab_control) {
      const int pages = static_cast<int>(Impl::pages_of(w, c.role).size());
      if (index < 0 || index >= pages || index == c.selected) return;
      c.selected = index;
      b.add(c.role, ChangeKind::selected);
      return;
    }
    if (c.kind != ControlKind::combo_box) return;
    const std::string old_text = c.text;
    const int old = c.selected;
    c.selected = index;
    Impl::sync_combo_text(c);
    if (c.selected < 0) c.text.clear();
    if (old != c.selected) b.add(c.role, ChangeKind::selected);
    if (old_text != c.text) b.add(c.role, ChangeKind::text);
  });
}

int GuiModel::selected_index(const ControlRef& control) const {
  return impl_->read_control(control, -1, [](const Window&, const ControlState& c) { return c.selected; });
}

void GuiModel::set_colour(const ControlRef& control, std::optional<GuiColour> colour) {
  impl_->set_field(control, &ControlState::colour, colour, ChangeKind::colour);
}

std::optional<GuiColour> GuiModel::colour(const ControlRef& control) const {
  return impl_->read_control(control, std::optional<GuiColour>{},
                             [](const Window&, const ControlState& c) { return c.colour; });
}

void GuiModel::set_background_colour(const ControlRef& control, std::optional<GuiColour> colour) {
  impl_->set_field(control, &ControlState::background_colour, colour, ChangeKind::background_colour);
}

void GuiModel::set_frame_colour(const ControlRef& control, std::optional<GuiColour> colour) {
  impl_->set_field(control, &ControlState::frame_colour, colour, ChangeKind::frame_colour);
}

std::optional<GuiColour> GuiModel::frame_colour(const ControlRef& control) const {
  return impl_->read_control(control, std::optional<GuiColour>{},
                             [](const Window&, const ControlState& c) { return c.frame_colour; });
}

void GuiModel::set_font(const ControlRef& control, const GuiFont& font) {
  impl_->set_field(control, &ControlState::font, font, ChangeKind::font);
}

void GuiModel::set_picture(const ControlRef& control, GuiPicture picture) {
  impl_->set_field(control, &ControlState::picture, std::move(picture), ChangeKind::picture);
}

GuiPicture GuiModel::picture(const ControlRef& control) const {
  return impl_->read_control(control, GuiPicture{}, [](const Window&, const ControlState& c) { return c.picture; });
}

void GuiModel::set_read_only(const ControlRef& control, bool read_only) {
  impl_->set_field(control, &ControlState::read_only, read_only, ChangeKind::style);
}

void GuiModel::set_tab_headers_visible(const ControlRef& control, bool visible) {
  impl_->set_field(control, &ControlState::tab_headers_visible, visible, ChangeKind::style);
}

void GuiModel::set_drop_target(const ControlRef& control, bool accepts) {
  impl_->set_field(control, &ControlState::drop_target, accepts, ChangeKind::drop_target);
}

void GuiModel::set_focus(const ControlRef& control) {
  impl_->change_control(control, [&](Window& w, ControlState& c, Batch& b) {
    if (w.state.focus == c.role) return;
    w.state.focus = c.role;
    b.add({}, ChangeKind::window_focus);
  });
}

std::string GuiModel::focused_role(WindowToken window) const { return window_state(window).focus; }
