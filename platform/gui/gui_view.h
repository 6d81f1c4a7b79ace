#pragma once
// The interface by which a view (the Qt window in platform/qt) mirrors the control
// model.
//
// Model -> view: the model tells the attached view about every state change with a
// GuiChange (window token, role, what changed, and the row for row-level changes).
// Notifications come from whichever thread made the change, after the model's lock
// has been released; the view must hand them to its GUI thread (queued calls) and
// there read the current state from the model (control_state, cell_by_id,
// list_rows, window_snapshot, ...). A change notice carries no values on purpose:
// when several notices arrive late, the view still shows the latest state. Notices
// for a window destroyed meanwhile are to be ignored (reads give defaults).
//
// View -> model: user input enters through GuiModel's input_* functions, called on
// the UI thread. They first update the model's state (the text typed, the box
// toggled, the rows selected) and then run the handlers. The view must call them
// only for input from the user, never when it applies a model change to a widget
// (in Qt: use the signals that only user actions emit, such as clicked, textEdited,
// activated, sliderReleased, or block signals while applying). The model's change
// notices for the state an input set are still sent; applying them again is
// harmless.
//
// Window lifecycle: window_created when create_window has built the window's model
// (the view builds its widgets from window_snapshot at the designed geometry, hidden
// until the window's `visible` changes); window_destroyed after the destroyed
// handlers ran (the view removes the widgets).

#include <optional>
#include <string>

#include "platform/gui/gui_types.h"

enum class ChangeKind {
  window_title,
  window_size,
  window_visible,
  window_enabled,      // the window's own flag or its blocked state (modal loops)
  window_icon,
  window_focus,        // the focused control (WindowState::focus)
  control_added,       // a control was added after creation (GuiModel::add_control)
  geometry,
  z_order,             // stacking among siblings
  text,
  text_selection,      // selection_start / selection_length of an edit box
  checked,
  enabled,             // the control's own flag (containers pass it on to children)
  visible,
  value,
  range,
  items,               // combo items
  selected,            // combo item or current tab page
  style,               // flags such as read_only, transparent, editable, tab_headers_visible
  font,
  colour,
  background_colour,
  frame_colour,
  picture,
  columns,             // list columns
  rows,                // list rows added, deleted, moved or cleared: resync the list
  cell,                // one cell: row_id, column
  row_state,           // check or selection state of one row: row_id
  selection,           // selection of many rows changed at once (select all, invert)
  scroll,              // top_row: bring that row into view
  menu_items,
  animation_objects,   // objects added, removed or moved (object_id names a moved one)
  drop_target,
};

// The name of a change kind, for messages and tests.
const char* change_kind_name(ChangeKind kind);

struct GuiChange {
  WindowToken window;
  std::string role;     // "" for window-level changes
  ChangeKind kind = ChangeKind::text;
  RowId row_id = 0;     // cell, row_state
  int column = -1;      // cell
  int object_id = 0;    // animation_objects: the object moved, 0 for other changes
};

class GuiView {
 public:
  virtual ~GuiView() = default;

  // Any thread, no model lock held. See the comment at the top.
  virtual void window_created(WindowToken window) = 0;
  virtual void window_destroyed(WindowToken window) = 0;
  virtual void changed(const GuiChange& change) = 0;

  // UI thread: the row of list view `list` under the point (x, y) relative to the
  // list, -1 for none (header, empty space); nothing to let the model compute it from
  // its own row layout (GuiModel::hit_test_row).
  virtual std::optional<int> hit_test_row(const ControlRef& list, int x, int y) {
    (void)list;
    (void)x;
    (void)y;
    return std::nullopt;
  }
};
