#pragma once
// Events of the control model and the handlers bound to them.
//
// A handler is bound per control (or window, role "") and event kind with
// GuiModel::bind or GuiModel::bind_answer; one handler per pair, a later bind
// replaces the earlier one, an empty function unbinds. Handlers run on the UI thread,
// one at a time, synchronously, and never while the model's lock is held, so a
// handler may read and write the model, open modal windows and message boxes.
//
// Where events come from:
// - user input through GuiModel's input_* functions (the view, or a test acting as
//   the user): the model first updates its state, then runs the handler;
// - the model itself: created (open_window), may_close and destroyed (closing),
//   timer_tick (timers), text_changed (a program write of an edit box's text, see
//   GuiModel::set_text).
// A state change made by the program never fires clicked, double_clicked,
// selection_changed, slider_released or any mouse or key event.

#include <functional>
#include <string>

#include "platform/gui/gui_types.h"

enum class EventKind {
  created,           // window: open_window / run_modal, before the window shows
  may_close,         // window: a close request; an answer handler returning false cancels it
  destroyed,         // window: the window is going; its state still readable in the handler
  resized,           // window: the user resized it; width, height = new client size
  clicked,           // button, check box (after the toggle), radio (after checking), label,
                     // picture box, list view (a click on a row without a drag), animation box
  double_clicked,    // x, y relative to the control
  right_clicked,     // x, y relative to the control (list views: after the row under the
                     // cursor has been selected, as the list itself does)
  text_changed,      // edit box, editable combo: text = the new text
  key_down,          // key, modifiers; an answer handler returning true swallows the key
  focus_gained,      // the control got the keyboard focus from the user
  mouse_down,        // x, y relative to the target; button = the button pressed
  mouse_move,        // x, y relative to the target; buttons = the buttons held
  mouse_up,          // x, y relative to the target; button = the button released
  selection_changed, // combo (value = index), tab control (value = page), list view
  slider_released,   // slider: the user let go of the thumb; value = position
  value_changed,     // slider moved by the user (while dragging or by keys); value = position
  row_checked,       // list view: the user toggled a row's check box; value = row, row_id
  files_dropped,     // drop target: text = the names, each followed by "\r\n" when several
  timer_tick,        // timer (role = the timer's name)
  tray,              // window: value = tray event kind 1 (left button released),
                     // 2 (left double click), 3 (right button released or menu key)
  menu_chosen,       // popup menu: value = index of the chosen item
  colour_changed,    // colour picker: the user chose a colour; value = the colour
  object_pressed,    // animation box: left button pressed on an object; value = object id
                     // (the view reports the box's mouse_down first, then this)
  object_released,   // animation box: the press on an object ended; value = object id
                     // (before the box's mouse_up)
};

// The name of an event kind ("clicked", ...), for messages and tests.
const char* event_kind_name(EventKind kind);

// What a handler receives. Fields that the kind does not use are left at their
// defaults.
struct GuiEvent {
  EventKind kind = EventKind::clicked;
  ControlRef target;          // the control or window ("") the event is for
  int x = 0;                  // mouse position relative to the target
  int y = 0;
  int button = 0;             // mouse_down / mouse_up: the button (mouse_buttons)
  int buttons = 0;            // mouse_move: buttons held (mouse_buttons)
  int key = 0;                // key_down: key code (key_codes)
  int modifiers = 0;          // key_down: modifier mask (key_modifiers)
  int value = 0;              // index, position, tray kind, object id, colour (see kinds)
  RowId row_id = 0;           // row_checked
  int width = 0;              // resized
  int height = 0;
  std::string text;           // text_changed, files_dropped
};

// A handler whose answer is not needed.
using GuiHandler = std::function<void(const GuiEvent&)>;

// A handler that answers: for may_close false cancels the close; for key_down true
// swallows the key. For other kinds the answer is ignored.
using GuiAnswerHandler = std::function<bool(const GuiEvent&)>;
