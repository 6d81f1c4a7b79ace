#pragma once
// The design of `MainWindow`: every control of the strip above the pages, of the tab
// control with its three pages, and the window's non-visual members (menus, timer,
// dialogs, drop targets, balloon tip), as plain data. The window is built from this
// table: each row names the control by its role, says what kind it is, where it sits
// and what it shows when the window is created, before any settings are read.
//
// Geometry is in pixels relative to the container's top-left corner (for a group box
// that is the corner of its frame, so children start below the caption). Rows come in
// creation order: a container always comes before its children, and the rows of one
// tab page, menu or radio group keep their order (page index, item order).
//
// The window is designed at 1020 x 658 and shown at 1020 x 645 (its created handler
// sets the height); everything is laid out inside 1020 x 645.

#include <cstdint>
#include <string_view>
#include <vector>

#include "ui/resource_paths.h"

// One column of a report-style list.
struct ListColumnDesign {
  const char* title;
  int width;
};

// One control, menu item or non-visual member of the window. Fields that do not apply
// to a kind keep their defaults.
struct ControlDesign {
  const char* role;               // the name the code uses, unique in the window
  const char* designer_name = "";  // the designer's own name (e.g. "选择框18"); "" when none
  // "window", "button", "edit", "check", "radio", "combo", "slider", "progress",
  // "label", "tabs", "tab_page", "group", "list", "colour_picker", "drawing_panel",
  // "menu", "menu_item", "menu_separator", "timer", "balloon_tip", "file_dialog",
  // "drop_target".
  const char* kind = "";
  const char* container = "";  // role of the container; "" for the window itself
  const char* caption = "";    // caption, title or initial text; a combo's text comes from its selection
  int x = 0, y = 0, w = 0, h = 0;
  bool visible = true;
  bool enabled = true;
  // check box and radio button
  bool checked = false;
  const char* radio_group = "";  // radios of one group share it and their container
  // combo box
  std::vector<const char*> items{};
  int selected_index = -1;  // -1: nothing selected
  bool editable = false;    // the user can type a text that is not an item
  // slider and progress bar: range and position; timer: interval in ms (0 = stopped);
  // tab control: the page shown; tab page: its index
  int range_min = 0, range_max = 0, value = 0;
  // edit box
  bool multi_line = false;
  bool read_only = false;
  bool digits_only = false;  // typing accepts the digits 0-9 only
  bool h_scroll = false, v_scroll = false;
  // label: drawn without a background, over whatever lies behind it
  bool transparent = false;
  // list
  std::vector<ListColumnDesign> columns{};
  bool check_boxes = false;
  bool full_row_select = false;
  bool multi_select = false;
  // tab control: whether it shows page headers of its own (the page buttons switch pages)
  bool tab_headers = false;
  // colour picker: 0x00BBGGRR
  std::uint32_t colour = 0;
  // window icon or button picture, relative to the run folder; "" when none
  const char* picture = "";
  // file dialog: its filter, "name|patterns|name|patterns"
  const char* filter = "";
  // drop target: the list it is registered on
  const char* target = "";
  // a sibling this control is designed to stand on (a number inside a label's text)
  const char* overlaps = "";
};

// Values the window's created handler applies on top of the design.
inline constexpr int main_window_design_width = 1020;
inline constexpr int main_window_design_height = 658;
inline constexpr int main_window_created_height = 645;
inline constexpr const char* main_window_design_title = "栖枫视频剪辑工具";
inline constexpr const char* main_window_created_title = "栖枫视频剪辑工具 V7.0";
inline constexpr const char* tray_tip_text = "栖枫视频剪辑工具";
// `merge_output_group` is designed at top 218 and moved to this top by the created handler.
inline constexpr int merge_output_group_created_top = 439;

// All rows, containers before their children; built once, never changed.
const std::vector<ControlDesign>& main_window_design();

// The row of a role, or nullptr.
const ControlDesign* find_main_window_control(std::string_view role);
// The row of a designer name (e.g. "编辑框12"), or nullptr; "" finds nothing.
const ControlDesign* find_main_window_control_by_designer_name(std::string_view designer_name);
// The direct children of a container, in table order.
std::vector<const ControlDesign*> main_window_children(std::string_view container);
// The rows of a radio group, in table order.
std::vector<const ControlDesign*> main_window_radio_group(std::string_view group);
// True for the kinds that occupy an area of the window (not menus, timers, dialogs,
// drop targets, the balloon tip).
bool is_visual_control_kind(std::string_view kind);
