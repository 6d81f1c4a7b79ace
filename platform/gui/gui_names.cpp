// Names of kinds for messages and tests, and the control description helper.

#include "platform/gui/control_state.h"
#include "platform/gui/gui_event.h"
#include "platform/gui/gui_view.h"

const char* control_kind_name(ControlKind kind) {
  switch (kind) {
    case ControlKind::button: return "button";
    case ControlKind::edit_box: return "edit_box";
    case ControlKind::check_box: return "check_box";
    case ControlKind::radio_button: return "radio_button";
    case ControlKind::combo_box: return "combo_box";
    case ControlKind::slider: return "slider";
    case ControlKind::progress_bar: return "progress_bar";
    case ControlKind::label: return "label";
    case ControlKind::picture_box: return "picture_box";
    case ControlKind::tab_control: return "tab_control";
    case ControlKind::tab_page: return "tab_page";
    case ControlKind::group_box: return "group_box";
    case ControlKind::list_view: return "list_view";
    case ControlKind::popup_menu: return "popup_menu";
    case ControlKind::colour_picker: return "colour_picker";
    case ControlKind::drawing_panel: return "drawing_panel";
    case ControlKind::animation_box: return "animation_box";
    case ControlKind::animation_template: return "animation_template";
  }
  return "?";
}

const char* event_kind_name(EventKind kind) {
  switch (kind) {
    case EventKind::created: return "created";
    case EventKind::may_close: return "may_close";
    case EventKind::destroyed: return "destroyed";
    case EventKind::resized: return "resized";
    case EventKind::clicked: return "clicked";
    case EventKind::double_clicked: return "double_clicked";
    case EventKind::right_clicked: return "right_clicked";
    case EventKind::text_changed: return "text_changed";
    case EventKind::key_down: return "key_down";
    case EventKind::focus_gained: return "focus_gained";
    case EventKind::mouse_down: return "mouse_down";
    case EventKind::mouse_move: return "mouse_move";
    case EventKind::mouse_up: return "mouse_up";
    case EventKind::selection_changed: return "selection_changed";
    case EventKind::slider_released: return "slider_released";
    case EventKind::value_changed: return "value_changed";
    case EventKind::row_checked: return "row_checked";
    case EventKind::files_dropped: return "files_dropped";
    case EventKind::timer_tick: return "timer_tick";
    case EventKind::tray: return "tray";
    case EventKind::menu_chosen: return "menu_chosen";
    case EventKind::colour_changed: return "colour_changed";
    case EventKind::object_pressed: return "object_pressed";
    case EventKind::object_released: return "object_released";
  }
  return "?";
}

const char* change_kind_name(ChangeKind kind) {
  switch (kind) {
    case ChangeKind::window_title: return "window_title";
    case ChangeKind::window_size: return "window_size";
    case ChangeKind::window_visible: return "window_visible";
    case ChangeKind::window_enabled: return "window_enabled";
    case ChangeKind::window_icon: return "window_icon";
    case ChangeKind::window_focus: return "window_focus";
    case ChangeKind::control_added: return "control_added";
    case ChangeKind::geometry: return "geometry";
    case ChangeKind::z_order: return "z_order";
    case ChangeKind::text: return "text";
    case ChangeKind::text_selection: return "text_selection";
    case ChangeKind::checked: return "checked";
    case ChangeKind::enabled: return "enabled";
    case ChangeKind::visible: return "visible";
    case ChangeKind::value: return "value";
    case ChangeKind::range: return "range";
    case ChangeKind::items: return "items";
    case ChangeKind::selected: return "selected";
    case ChangeKind::style: return "style";
    case ChangeKind::font: return "font";
    case ChangeKind::colour: return "colour";
    case ChangeKind::background_colour: return "background_colour";
    case ChangeKind::frame_colour: return "frame_colour";
    case ChangeKind::picture: return "picture";
    case ChangeKind::columns: return "columns";
    case ChangeKind::rows: return "rows";
    case ChangeKind::cell: return "cell";
    case ChangeKind::row_state: return "row_state";
    case ChangeKind::selection: return "selection";
    case ChangeKind::scroll: return "scroll";
    case ChangeKind::menu_items: return "menu_items";
    case ChangeKind::animation_objects: return "animation_objects";
    case ChangeKind::drop_target: return "drop_target";
  }
  return "?";
}

ControlSpec control_spec(std::string role, ControlKind kind, GuiRect geometry, std::string text,
                         std::string container) {
  ControlSpec spec;
  spec.role = std::move(role);
  spec.kind = kind;
  spec.geometry = geometry;
  spec.text = std::move(text);
  spec.container = std::move(container);
  return spec;
}
