#include "ui/main_window.h"

#include <optional>
#include <string_view>

#include "engine/common/globals.h"
#include "engine/window/program_pictures.h"
#include "ui/main_window_design.h"

namespace {

// The picture file at run folder + "/" + relative; no picture when there is none.
GuiPicture load_picture(const std::string& run_folder, const char* relative) {
  return relative && *relative ? load_program_picture(run_folder, relative) : GuiPicture{};
}

std::optional<ControlKind> visual_kind(std::string_view kind) {
  if (kind == "button") return ControlKind::button;
  if (kind == "edit") return ControlKind::edit_box;
  if (kind == "check") return ControlKind::check_box;
  if (kind == "radio") return ControlKind::radio_button;
  if (kind == "combo") return ControlKind::combo_box;
  if (kind == "slider") return ControlKind::slider;
  if (kind == "progress") return ControlKind::progress_bar;
  if (kind == "label") return ControlKind::label;
  if (kind == "tabs") return ControlKind::tab_control;
  if (kind == "tab_page") return ControlKind::tab_page;
  if (kind == "group") return ControlKind::group_box;
  if (kind == "list") return ControlKind::list_view;
  if (kind == "colour_picker") return ControlKind::colour_picker;
  if (kind == "drawing_panel") return ControlKind::drawing_panel;
  return std::nullopt;
}

// The model's container role: the design names the window by its own role, the model
// by "".
std::string container_role(const ControlDesign& row) {
  return std::string_view(row.container) == main_window_name ? std::string() : std::string(row.container);
}

ControlSpec visual_control(const ControlDesign& row, ControlKind kind, const std::string& run_folder) {
  ControlSpec spec = control_spec(row.role, kind, {row.x, row.y, row.w, row.h}, row.caption, container_role(row));
  spec.visible = row.visible;
  spec.enabled = row.enabled;
  spec.checked = row.checked;
  spec.group = row.radio_group;
  switch (kind) {
    case ControlKind::combo_box:
      for (const char* item : row.items) spec.items.emplace_back(item);
      spec.editable = row.editable;
      spec.selected = row.selected_index >= 0 && row.selected_index < static_cast<int>(spec.items.size())
                          ? row.selected_index
                          : -1;
      spec.text = spec.selected >= 0 ? spec.items[static_cast<std::size_t>(spec.selected)] : std::string();
      break;
    case ControlKind::slider:
    case ControlKind::progress_bar:
      spec.minimum = row.range_min;
      spec.maximum = row.range_max;
      spec.value = row.value;
      break;
    case ControlKind::tab_control:
      spec.selected = row.value;
      spec.tab_headers_visible = row.tab_headers;
      break;
    case ControlKind::edit_box:
      spec.multi_line = row.multi_line;
      spec.read_only = row.read_only;
      spec.digits_only = row.digits_only;
      spec.horizontal_scroll_bar = row.h_scroll;
      spec.vertical_scroll_bar = row.v_scroll;
      break;
    case ControlKind::label:
      spec.transparent = row.transparent;
      break;
    case ControlKind::list_view:
      for (const ListColumnDesign& column : row.columns) spec.columns.push_back({column.title, column.width});
      spec.check_boxes = row.check_boxes;
      spec.full_row_select = row.full_row_select;
      spec.multi_select = row.multi_select;
      break;
    case ControlKind::colour_picker:
      spec.colour = row.colour;
      break;
    default:
      break;
  }
  spec.picture = load_picture(run_folder, row.picture);
  return spec;
}

ControlSpec menu_control(const ControlDesign& row) {
  ControlSpec spec = control_spec(row.role, ControlKind::popup_menu, {}, row.caption, container_role(row));
  for (const ControlDesign* item : main_window_children(row.role)) {
    const std::string_view kind = item->kind;
    if (kind == "menu_item")
      spec.menu_items.push_back(MenuItem{item->caption, false, item->enabled, item->checked});
    else if (kind == "menu_separator")
      spec.menu_items.push_back(MenuItem::make_separator());
  }
  return spec;
}

}  // namespace

WindowSpec main_window_spec(const std::string& run_folder) {
  WindowSpec spec;
  spec.name = main_window_name;
  spec.quit_on_destroy = true;
  for (const ControlDesign& row : main_window_design()) {
    const std::string_view kind = row.kind;
    if (kind == "window") {
      spec.title = row.caption;
      spec.width = row.w;
      spec.height = row.h;
      for (const char* path : program_icon_png_paths)
        if (GuiPicture icon = load_picture(run_folder, path); !icon.empty()) spec.icons.push_back(icon);
    } else if (kind == "menu") {
      spec.controls.push_back(menu_control(row));
    } else if (std::optional<ControlKind> control_kind = visual_kind(kind)) {
      spec.controls.push_back(visual_control(row, *control_kind, run_folder));
    }
    // Menu items belong to their menu; timers, drop targets, the balloon tip and the
    // file dialogs are no controls.
  }
  return spec;
}

WindowToken create_main_window() {
  const WindowToken window = gui().create_window(main_window_spec(run_folder.get()));
  remember_main_window(window);
  for (const ControlDesign& row : main_window_design())
    if (std::string_view(row.kind) == "timer" && row.value > 0) gui().set_timer(window, row.role, row.value);
  return window;
}

ControlRef main_control(const std::string& role) { return ControlRef{main_window(), role}; }

int main_window_menu_item_index(const std::string& item_role) {
  const ControlDesign* item = find_main_window_control(item_role);
  if (!item) return -1;
  const std::string_view kind = item->kind;
  if (kind != "menu_item" && kind != "menu_separator") return -1;
  int index = 0;
  for (const ControlDesign* sibling : main_window_children(item->container)) {
    if (sibling == item) return index;
    ++index;
  }
  return -1;
}

void register_main_window_drop_targets(WindowToken window) {
  for (const ControlDesign& row : main_window_design())
    if (std::string_view(row.kind) == "drop_target") gui().set_drop_target({window, row.target}, true);
}
