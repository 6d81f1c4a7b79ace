#pragma once
// The kinds of controls, the state one control holds, and how a window is described
// when it is created.
//
// A window is a tree: every control names its container (a role of the same window,
// or "" for the window itself). Containers are the window, group boxes, tab pages,
// picture boxes, animation boxes and drawing panels; a tab page's container is its
// tab control. Controls are kept in creation order, which is also their stacking
// order among siblings (later ones on top) until GuiModel::bring_to_front changes it.

#include <optional>
#include <string>
#include <vector>

#include "platform/gui/gui_types.h"

enum class ControlKind {
  button,              // push button: caption (text), optional picture
  edit_box,            // text field: single or multi-line, read-only, digits-only, scroll bars
  check_box,           // caption, checked
  radio_button,        // caption, checked; exclusive within its group (see radio groups below)
  combo_box,           // items, selected index (-1 allowed); editable or drop-down list
  slider,              // value within range
  progress_bar,        // value clamped to range
  label,               // caption; `transparent` for a label without background
  picture_box,         // picture, scaled to the box; also a container
  tab_control,         // selected index = the current page; its pages are tab_page children
  tab_page,            // container; text = the page's tab caption
  group_box,           // container; text = caption
  list_view,           // report-style list: columns, rows with cells, check and selection state
  popup_menu,          // menu items; shown with GuiModel::popup_menu, never part of the layout
  colour_picker,       // a colour value (colour)
  drawing_panel,       // a panel that draws its text at its top left in `colour` on `background_colour`
  animation_box,       // background picture; picture objects placed from templates
  animation_template,  // template of animation objects: picture, size, scale (value); never shown
};

// The name of a kind ("button", "list_view", ...), for messages and tests.
const char* control_kind_name(ControlKind kind);

// The whole state of one control, as GuiModel::control_state returns it (a copy) and
// as a window description gives it at creation. Fields that a kind does not use stay
// at their defaults and are ignored.
//
// Rules the model keeps (GuiModel enforces them on every write, from the program or
// from user input):
// - progress_bar and slider: `value` always lies within [minimum, maximum]; a write
//   outside is clamped; changing the range clamps the value. A disabled slider keeps
//   its value.
// - combo_box: `selected` is -1 (nothing) or a valid index; writing another index
//   selects nothing. For a drop-down list (not `editable`) `text` is always the
//   selected item's text ("" with nothing selected); writing a text selects the first
//   item with exactly that text, or nothing. For an editable combo `text` is free and
//   `selected` is the first item equal to it, or -1.
// - tab_control: `selected` is the index of the current page among its tab_page
//   children (-1 when it has none).
// - radio_button: checking one unchecks the others of its group. A radio's group is
//   its `group` name when that is not empty (all radios of the window with the same
//   group name), otherwise all radios with an empty group name in the same container.
// - list_view: without `multi_select` at most one row is selected.
// - edit_box with `digits_only`: user input that is not all ASCII digits is refused;
//   with `max_length` above 0, user input of more characters than that is refused;
//   the program may write any text.
struct ControlState {
  std::string role;
  ControlKind kind = ControlKind::label;
  std::string container;  // role of the container; "" = the window
  GuiRect geometry;       // designed geometry, relative to the container
  std::string group;      // radio buttons: explicit group name (see radio groups above)

  std::string text;   // caption, field text, combo text, tab caption, drawn text
  bool checked = false;
  bool enabled = true;   // the control's own flag; see GuiModel::effectively_enabled
  bool visible = true;
  int value = 0;         // slider / progress position, template scale, tab index via `selected`
  int minimum = 0;
  int maximum = 100;

  // combo box, tab control
  std::vector<std::string> items;  // combo items
  int selected = -1;               // combo item / current tab page
  bool editable = false;           // combo box: the user may type a text of their own

  // edit box
  bool multi_line = false;
  bool read_only = false;
  bool digits_only = false;
  int max_length = 0;        // characters the user may type; 0: no limit
  bool horizontal_scroll_bar = false;
  bool vertical_scroll_bar = false;
  bool password = false;
  int selection_start = 0;   // selected text, in bytes (GuiModel::select_all_text)
  int selection_length = 0;
  TextAlign align = TextAlign::left;

  // look
  bool transparent = false;                  // label or panel without background
  std::optional<GuiColour> colour;           // text colour; colour picker's value
  std::optional<GuiColour> background_colour;
  std::optional<GuiColour> frame_colour;     // a one-pixel frame drawn over the control's edge
  GuiFont font;
  GuiPicture picture;                           // button, picture box, animation box background, template
  bool tab_headers_visible = true;           // tab control: whether the page headers show

  // list view
  std::vector<ListColumn> columns;
  std::vector<ListRow> rows;
  bool multi_select = false;
  bool check_boxes = false;   // a check box in front of each row
  bool grid_lines = false;
  bool full_row_select = true;
  int top_row = 0;            // first visible row (scroll position), see GuiModel::scroll_to_row
  bool drop_target = false;   // accepts dropped files (GuiModel::set_drop_target)

  // popup menu
  std::vector<MenuItem> menu_items;

  // animation box
  std::vector<AnimationObject> objects;

  int z_order = 0;  // stacking among siblings, higher on top
};

// Describes one control at creation: its initial state. Only role, kind, container
// and geometry are required; everything else starts as given.
using ControlSpec = ControlState;

// Builds a ControlSpec with the fields every control needs.
ControlSpec control_spec(std::string role, ControlKind kind, GuiRect geometry, std::string text = {},
                         std::string container = {});

// Describes a window at creation.
struct WindowSpec {
  std::string name;     // the window's type name, e.g. "MainWindow" (GuiModel::find_window)
  std::string title;
  int width = 0;        // the size of the window's client area, where its controls lie
  int height = 0;
  bool resizable = false;
  bool show_on_open = true;        // shown by open_window / run_modal
  bool quit_on_destroy = false;    // destroying this window ends the main loop (exit code 0)
  std::vector<GuiPicture> icons;      // the window's icon in several sizes (may be empty)
  std::vector<ControlSpec> controls;  // containers before their children
};

// A window's own state, as GuiModel::window_state returns it (a copy).
struct WindowState {
  WindowToken token;
  std::string name;
  std::string title;
  int width = 0;
  int height = 0;
  bool resizable = false;
  bool visible = false;
  bool enabled = true;     // the window's own flag (GuiModel::set_window_enabled)
  bool blocked = false;    // a modal window owned by this one (or program-modal) is open
  bool opened = false;     // open_window or run_modal has run
  bool modal = false;      // runs in a modal loop
  WindowToken owner;       // the owner given to run_modal
  bool quit_on_destroy = false;
  std::vector<GuiPicture> icons;
  std::string focus;       // role of the control that has the keyboard focus ("" none)
  std::vector<ControlState> controls;  // only filled by window_snapshot
};
