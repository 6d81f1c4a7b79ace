// The control model's pop-up menus: their items, and showing one through the pop-up
// menu service.

#include "platform/gui/gui_model_internal.h"

using namespace gui_model_internal;

void GuiModel::set_menu_items(const ControlRef& menu, std::vector<MenuItem> items) {
  impl_->change_control(menu, [&](Window&, ControlState& c, Batch& b) {
    c.menu_items = std::move(items);
    b.add(c.role, ChangeKind::menu_items);
  });
}

std::vector<MenuItem> GuiModel::menu_items(const ControlRef& menu) const {
  return impl_->read_control(menu, std::vector<MenuItem>{}, [](const Window&, const ControlState& c) { return c.menu_items; });
}

int GuiModel::popup_menu(const ControlRef& menu, std::optional<GuiPoint> at) {
  if (!loop_.is_ui_thread() || !exists(menu)) return -1;
  PopupMenuRequest request;
  request.menu = menu;
  request.items = menu_items(menu);
  request.at = at ? *at : services_.cursor->cursor_position();
  const int chosen = services_.popup_menus->popup_menu(request);
  if (chosen < 0 || chosen >= static_cast<int>(request.items.size())) return -1;
  const MenuItem& item = request.items[static_cast<std::size_t>(chosen)];
  if (item.separator || !item.enabled) return -1;
  GuiEvent event;
  event.kind = EventKind::menu_chosen;
  event.target = menu;
  event.value = chosen;
  impl_->dispatch(event);
  return chosen;
}
