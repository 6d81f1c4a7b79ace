#pragma once
// The control model: every window and control of the program, their state, their
// events, timers and modal loops, without a toolkit.
//
// Threads
// - All state sits behind one lock of the model. Every function may be called from
//   any thread unless it says "UI thread"; reads return copies; the lock is never
//   held while a handler, a view notice or a service runs.
// - Handlers run on the UI thread (the event loop's), one at a time, synchronously.
// - Windows are named by WindowToken, controls by ControlRef (token + role). A write
//   to a window that has been destroyed, or to a role the window does not have, is
//   dropped; a read gives the default (empty text, false, 0, -1 for indexes, an empty
//   list). Nothing here hands out pointers into the model.
//
// Events from program writes
// - A state change made by the program fires no clicked, double_clicked,
//   selection_changed, value_changed, slider_released, row_checked, colour_changed,
//   mouse, key or focus event.
// - Exception, as on the original platform: every program write of an edit box's text
//   (set_text, append_text, clear) fires text_changed, also when the text stays the
//   same. Called on the UI thread the handler runs before the write returns; called
//   from another thread the event is posted to the UI thread (it carries the text as
//   written, and is dropped when the window is gone by then). Region editors rely on
//   this: writing a value box moves the region marker through the box's handler.
//   Program writes of other kinds' texts (labels, combos, buttons) fire nothing.
//
// Enabled state
// - A control is effectively enabled when its own flag and those of all its
//   containers are set, the window's own flag is set, and the window is not blocked
//   by a modal window. User input to a control that is not effectively enabled and
//   visible (its containers included) is dropped, as is input to a blocked window;
//   tray events and timers are never blocked.
//
// Mouse capture
// - A mouse_down on a control captures the mouse for it until the last button is
//   released: the following mouse_move and mouse_up input of that window, whatever
//   control the view reports it on, is delivered to the capturing control with
//   coordinates relative to it (possibly outside its bounds), as toolkits do.
// - A press that opens a pop-up of the control (a combo's drop-down list) hands the
//   rest of that press to the pop-up: the control never sees its release. When the
//   pop-up closes (input_popup_closed) the capture of that press ends, so the next
//   press goes to the control under the mouse, whatever was chosen in the pop-up.
// - Mouse input on a tab page's free surface is delivered as an event of its tab
//   control, with coordinates relative to the tab control (the page's geometry is
//   taken as its offset in the tab control).
//
// Keys
// - input_key runs the focused control's key_down handler; unless that swallows the
//   key, the window's own key_down handler (role "") runs too.
//
// List views
// - Rows have stable ids (RowId) besides their index. Row indexes are 0-based. A row
//   is found by its id through an index, not a scan, so that lists of many thousand
//   rows stay quick to write by id.
//   Writing a cell of a row or column that does not exist is dropped; rows always
//   have one cell per column (appending more cells than columns drops the rest).
// - hit_test_row asks the view; headless (or when the view does not know) the model
//   lays rows out itself: a header of list_header_height pixels, then rows of
//   list_row_height pixels from top_row on.
//
// Timers
// - Timers belong to a window and are named by a role of their own (it need not be a
//   control). set_timer(window, name, interval) starts or restarts the timer from any
//   thread; interval 0 stops it; every tick runs the (window, name) timer_tick
//   handler on the UI thread. A tick never runs after the timer was stopped or its
//   window destroyed. A one-shot trigger is a timer whose handler stops it first.
//
// Windows
// - create_window builds the model of a window (hidden); bind handlers; then
//   open_window runs the created handler and shows the window (when the spec says
//   so), or run_modal does the same and then runs a nested loop until the window is
//   destroyed. request_close asks the may_close handler (none: the window closes);
//   destroy_window closes without asking. After the destroyed handler the window's
//   timers are stopped, its state is gone and its token is invalid for good.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/gui/control_state.h"
#include "platform/gui/event_loop.h"
#include "platform/gui/gui_event.h"
#include "platform/gui/gui_services.h"
#include "platform/gui/gui_types.h"
#include "platform/gui/gui_view.h"

class GuiModel {
 public:
  static constexpr int list_header_height = 24;
  static constexpr int list_row_height = 20;

  // `loop` and every service must outlive the model.
  GuiModel(EventLoop& loop, GuiServices services);
  ~GuiModel();
  GuiModel(const GuiModel&) = delete;
  GuiModel& operator=(const GuiModel&) = delete;

  EventLoop& loop() { return loop_; }
  const GuiServices& services() const { return services_; }

  // Attaches the view that mirrors the model (nullptr detaches). Windows that exist
  // already are announced to it with window_created. The view must outlive its
  // attachment; detach it only when no other thread writes to the model any more.
  void attach_view(GuiView* view);

  // Runs `task` on the UI thread (posted). `post_to_window` drops the task when the
  // window is gone by the time it would run.
  void post(std::function<void()> task);
  void post_to_window(WindowToken window, std::function<void()> task);

  // ---------------------------------------------------------------- windows

  // Builds a window from its description: hidden, not yet opened, no handlers.
  // Controls with an empty or duplicate role, or a container that does not exist
  // (yet), are skipped.
  WindowToken create_window(const WindowSpec& spec);

  // Adds a control to an existing window; false when the role is taken, empty, or
  // its container does not exist.
  bool add_control(WindowToken window, const ControlSpec& spec);

  // Shows the window when its spec says so, then runs the created handler (a view
  // applies the change after the handler, so the handler may still hide it). Runs
  // once per window. With an owner, the window is destroyed together with (just
  // before) its owner. From another thread it is posted to the UI thread.
  void open_window(WindowToken window, WindowToken owner = {});

  // UI thread. Opens the window (when not yet open) as a modal window and runs a
  // nested loop until it is destroyed (an owner given here also owns it as in
  // open_window). With an owner, the owner is blocked (takes no
  // input) meanwhile; without one, every other window is. Returns true when the
  // window was destroyed, false when the loop ended otherwise (quit, or a headless
  // loop that ran out of work; the window then stays open and unblocks the others).
  bool run_modal(WindowToken window, WindowToken owner = {});

  // Asks the window's may_close handler (an answer handler returning false cancels;
  // no handler: it closes) and destroys the window when allowed. On the UI thread:
  // true when the window is gone. From another thread it is posted and returns false.
  bool request_close(WindowToken window);

  // Closes the window without asking: first the windows it owns, then its destroyed
  // handler, then its timers stop and its state goes; a nested loop of a modal window
  // ends; a window made with quit_on_destroy then ends the main loop with exit code 0.
  // From another thread it is posted.
  void destroy_window(WindowToken window);

  bool window_exists(WindowToken window) const;
  // The newest existing window of that type name, or none.
  WindowToken find_window(const std::string& name) const;
  std::vector<WindowToken> windows() const;

  WindowState window_state(WindowToken window) const;     // without controls
  WindowState window_snapshot(WindowToken window) const;  // with every control's state

  void set_title(WindowToken window, const std::string& title);
  std::string title(WindowToken window) const;
  void set_window_size(WindowToken window, int width, int height);
  GuiPoint window_size(WindowToken window) const;  // x = width, y = height
  void set_window_visible(WindowToken window, bool visible);
  bool window_visible(WindowToken window) const;
  void set_window_enabled(WindowToken window, bool enabled);
  void set_window_icons(WindowToken window, std::vector<GuiPicture> icons);

  // ---------------------------------------------------------------- handlers

  // Binds a handler to a control's (or the window's, role "") event kind; replaces
  // the earlier one; an empty function unbinds. Handlers go with their window.
  void bind(const ControlRef& target, EventKind kind, GuiHandler handler);
  void bind_answer(const ControlRef& target, EventKind kind, GuiAnswerHandler handler);
  bool has_handler(const ControlRef& target, EventKind kind) const;

  // ---------------------------------------------------------------- timers

  // Starts (or restarts with the new interval) the window's timer `name`; 0 or less
  // stops it. Any thread.
  void set_timer(WindowToken window, const std::string& name, int interval_ms);
  // The timer's interval, 0 when stopped.
  int timer_interval(WindowToken window, const std::string& name) const;

  // ---------------------------------------------------------------- any control

  bool exists(const ControlRef& control) const;
  std::optional<ControlKind> kind(const ControlRef& control) const;
  ControlState control_state(const ControlRef& control) const;  // a copy; default when missing
  // The same without a list view's rows (a view reads those by id).
  ControlState control_state_without_rows(const ControlRef& control) const;
  std::vector<std::string> roles(WindowToken window) const;    // in creation order

  void set_geometry(const ControlRef& control, GuiRect geometry);
  GuiRect geometry(const ControlRef& control) const;
  void set_position(const ControlRef& control, int x, int y);
  void set_size(const ControlRef& control, int width, int height);
  // The control's top left relative to the window's client area (containers' offsets
  // added up).
  GuiPoint window_position(const ControlRef& control) const;
  // The role of the control the user sees at `point` (relative to the window's client
  // area): among the visible controls holding it, the innermost, and among siblings
  // the one in front. A tab page's free surface counts as its tab control, as input
  // there does (see Mouse capture). "" when only the window itself is there, or no
  // such window exists.
  std::string control_at(WindowToken window, GuiPoint point) const;
  void bring_to_front(const ControlRef& control);

  void set_enabled(const ControlRef& control, bool enabled);
  bool enabled(const ControlRef& control) const;  // the control's own flag
  bool effectively_enabled(const ControlRef& control) const;
  void set_visible(const ControlRef& control, bool visible);
  bool visible(const ControlRef& control) const;  // the control's own flag

  // Text: caption, field text, combo text (see ControlState), tab caption, drawn
  // text of a drawing panel ("" clears what it draws).
  void set_text(const ControlRef& control, const std::string& text);
  std::string text(const ControlRef& control) const;
  // Edit box: moves the caret to the end and inserts `text` there (nothing is added
  // before it). Fires text_changed like set_text.
  void append_text(const ControlRef& control, const std::string& text);
  // Edit box: selects the whole text.
  void select_all_text(const ControlRef& control);

  void set_checked(const ControlRef& control, bool checked);  // radios: see groups
  bool checked(const ControlRef& control) const;

  // Slider, progress bar, animation template scale: the value, clamped where the
  // kind has a range.
  void set_value(const ControlRef& control, int value);
  int value(const ControlRef& control) const;
  void set_range(const ControlRef& control, int minimum, int maximum);
  GuiPoint range(const ControlRef& control) const;  // x = minimum, y = maximum

  // Combo items; tab controls give their pages' captions.
  void set_items(const ControlRef& control, std::vector<std::string> items);
  void add_item(const ControlRef& control, const std::string& item);
  std::vector<std::string> items(const ControlRef& control) const;
  // Combo: the selected item (-1: none). Tab control: the current page.
  void set_selected_index(const ControlRef& control, int index);
  int selected_index(const ControlRef& control) const;

  void set_colour(const ControlRef& control, std::optional<GuiColour> colour);
  std::optional<GuiColour> colour(const ControlRef& control) const;
  void set_background_colour(const ControlRef& control, std::optional<GuiColour> colour);
  // The coloured frame drawn over the control's edge; nothing removes it. It goes
  // with the control.
  void set_frame_colour(const ControlRef& control, std::optional<GuiColour> colour);
  std::optional<GuiColour> frame_colour(const ControlRef& control) const;
  void set_font(const ControlRef& control, const GuiFont& font);

  // Button, picture box, animation box (background), animation template.
  void set_picture(const ControlRef& control, GuiPicture picture);
  GuiPicture picture(const ControlRef& control) const;

  // Edit box read-only flag and the other style flags that windows change at run time.
  void set_read_only(const ControlRef& control, bool read_only);
  void set_tab_headers_visible(const ControlRef& control, bool visible);
  // List view: whether it accepts dropped files (files_dropped events).
  void set_drop_target(const ControlRef& control, bool accepts);

  // Gives the control the keyboard focus (no focus_gained event).
  void set_focus(const ControlRef& control);
  std::string focused_role(WindowToken window) const;

  // ---------------------------------------------------------------- list views

  void set_columns(const ControlRef& list, std::vector<ListColumn> columns);
  std::vector<ListColumn> columns(const ControlRef& list) const;
  int column_count(const ControlRef& list) const;

  int row_count(const ControlRef& list) const;
  // Appends one row with its cells in one step; returns its index and id ({-1, 0}
  // when the list does not exist).
  RowRef append_row(const ControlRef& list, std::vector<std::string> cells);
  // Appends one row whose cell `number_column` holds its number: the list's row count
  // once the row is in, in decimal (written in the same step, so rows appended at the
  // same time by other threads cannot share a number).
  RowRef append_numbered_row(const ControlRef& list, int number_column, std::vector<std::string> cells);
  // The same for many rows in one step (numbered in order); the last row's index and id.
  RowRef append_numbered_rows(const ControlRef& list, int number_column, std::vector<std::vector<std::string>> rows);
  // Appends one row for each of `texts` in one step (numbered in order), the text in
  // cell `text_column` and the other cells empty; the last row's index and id.
  RowRef append_numbered_rows(const ControlRef& list, int number_column, int text_column,
                              std::vector<std::string> texts);
  // Inserts a row at `index` (clamped to 0..row count).
  RowRef insert_row(const ControlRef& list, int index, std::vector<std::string> cells, bool checked = false);
  void delete_row(const ControlRef& list, int index);
  // Deletes the rows at these indexes in one step (invalid and repeated ones ignored).
  void delete_rows(const ControlRef& list, const std::vector<int>& indexes);
  // Deletes the rows with these ids, wherever they are now (gone ones ignored).
  void delete_rows_by_id(const ControlRef& list, const std::vector<RowId>& ids);
  void clear_rows(const ControlRef& list);
  // Moves row `from` so that it ends at index `to` (-1 or past the end: the last
  // index): the row is taken out, then inserted at `to`. It keeps its id, cells,
  // check and selection state. from == to, or an invalid from, changes nothing.
  void move_row(const ControlRef& list, int from, int to);

  std::string cell(const ControlRef& list, int row, int column) const;
  void set_cell(const ControlRef& list, int row, int column, const std::string& text);
  std::vector<std::string> row_cells(const ControlRef& list, int row) const;
  std::vector<ListRow> list_rows(const ControlRef& list) const;
  // The texts of one column, a row after the other ("" for a column the rows lack).
  std::vector<std::string> column_texts(const ControlRef& list, int column) const;
  // The ids of the rows, in their order (no cells are copied).
  std::vector<RowId> row_ids(const ControlRef& list) const;

  RowId row_id(const ControlRef& list, int row) const;      // 0 when no such row
  int row_index(const ControlRef& list, RowId id) const;    // -1 when the row is gone
  std::string cell_by_id(const ControlRef& list, RowId id, int column) const;
  // The row with this id (cells, check and selection state); nothing when it is gone.
  std::optional<ListRow> row_by_id(const ControlRef& list, RowId id) const;
  // Writes a cell of the row with this id, wherever it is now; dropped when gone.
  void set_cell_by_id(const ControlRef& list, RowId id, int column, const std::string& text);

  void set_row_checked(const ControlRef& list, int row, bool checked);
  bool row_checked(const ControlRef& list, int row) const;
  // Selects or deselects one row (in a single-select list selecting one deselects the
  // others).
  void set_row_selected(const ControlRef& list, int row, bool selected);
  bool row_selected(const ControlRef& list, int row) const;
  void select_all_rows(const ControlRef& list);
  void invert_row_selection(const ControlRef& list);
  void clear_row_selection(const ControlRef& list);
  std::vector<int> selected_rows(const ControlRef& list) const;  // ascending
  std::vector<RowId> selected_row_ids(const ControlRef& list) const;  // in row order
  // For a view that mirrors the list: the row ids from index `count` on when the rows'
  // version is still `version` (rows were only appended since), else every row id.
  ListRowIds row_ids_since(const ControlRef& list, std::uint64_t version, int count) const;
  // The selection as runs of indexes, with the rows' version and count it belongs to.
  ListSelection list_selection(const ControlRef& list) const;
  int first_selected_row(const ControlRef& list) const;           // -1 when none

  // Scrolls so that the row is visible (top_row moves as little as needed).
  void scroll_to_row(const ControlRef& list, int row);
  // UI thread. The row under (x, y) relative to the list, -1 for none.
  int hit_test_row(const ControlRef& list, int x, int y) const;

  // ---------------------------------------------------------------- pop-up menus

  void set_menu_items(const ControlRef& menu, std::vector<MenuItem> items);
  std::vector<MenuItem> menu_items(const ControlRef& menu) const;
  // UI thread. Shows the menu at a screen position (nothing: the cursor's) through
  // the pop-up menu service; when the user chooses an item, its menu_chosen handler
  // runs before this returns. Returns the chosen index or -1.
  int popup_menu(const ControlRef& menu, std::optional<GuiPoint> at = std::nullopt);

  // ---------------------------------------------------------------- animation boxes

  // Removes every object.
  void animation_clear(const ControlRef& box);
  // Adds a visible object made from the template control `template_role` (its
  // picture, size and scale = value; 1000 when 0) at (x, y); returns its id (ids
  // count from 1 per box and are not reused), 0 when box or template is missing.
  int animation_add(const ControlRef& box, const std::string& template_role, int x, int y);
  // Moves an object; an unknown id, or the position it has, changes nothing.
  void animation_move(const ControlRef& box, int object_id, int x, int y);
  std::optional<GuiPoint> animation_position(const ControlRef& box, int object_id) const;
  std::vector<AnimationObject> animation_objects(const ControlRef& box) const;

  // ---------------------------------------------------------------- mouse-driven moves

  // UI thread. Lets the user move or resize the control with the mouse (the left
  // button is down) through the control-drag service and applies the new geometry.
  // True when the geometry changed.
  bool drag_control(const ControlRef& control, DragMode mode);

  // ---------------------------------------------------------------- user input
  // UI thread. The view (or a test acting as the user) reports user actions here;
  // each updates the state first, then runs the handlers. Input to a control that is
  // missing, not effectively enabled or hidden, or to a blocked window, is dropped
  // and the functions return false; otherwise true (input_key: true when swallowed).

  // Click: check box toggles, radio button becomes checked (its group follows),
  // then clicked.
  bool input_click(const ControlRef& control);
  bool input_double_click(const ControlRef& control, int x = 0, int y = 0);
  // Right click: on a list view, the row under the point becomes the selection when
  // it is not selected yet (a click on empty space keeps it); then right_clicked.
  bool input_right_click(const ControlRef& control, int x = 0, int y = 0);
  // The user changed the text of an edit box or editable combo (digits-only boxes
  // refuse a text that is not all digits); then text_changed.
  bool input_text(const ControlRef& control, const std::string& text);
  // Combo: the user chose an item; tab control: a page header. Then selection_changed.
  bool input_select(const ControlRef& control, int index);
  // List view: the selection became exactly these rows (single-select lists keep the
  // first); then selection_changed.
  bool input_select_rows(const ControlRef& list, const std::vector<int>& rows);
  // List view: the user toggled a row's check box; then row_checked.
  bool input_row_checked(const ControlRef& list, int row, bool checked);
  // Slider: the thumb moved (value_changed) / was let go (slider_released).
  bool input_slider_moved(const ControlRef& slider, int value);
  bool input_slider_released(const ControlRef& slider);
  // Colour picker: the user chose a colour; then colour_changed.
  bool input_colour(const ControlRef& picker, GuiColour colour);
  // Key down in the focused control (role "" : the window itself); see Keys above.
  bool input_key(const ControlRef& control, int key, int modifiers);
  // The control got the focus from the user; then focus_gained.
  bool input_focus(const ControlRef& control);
  // Mouse input, coordinates relative to `control` (role "": the window's free area);
  // see Mouse capture above.
  bool input_mouse_down(const ControlRef& control, int x, int y, int button = mouse_buttons::left);
  bool input_mouse_move(const ControlRef& control, int x, int y, int buttons = mouse_buttons::none);
  bool input_mouse_up(const ControlRef& control, int x, int y, int button = mouse_buttons::left);
  // Files dropped on a drop target: the names joined as one text, each followed by
  // "\r\n" when there are several (one name: the name alone); then files_dropped.
  bool input_drop_files(const ControlRef& control, const std::vector<std::string>& names);
  // A tray icon event of kind 1, 2 or 3 for the window; then tray.
  bool input_tray(WindowToken window, int kind);
  // The user chose item `index` of a pop-up menu; then menu_chosen.
  bool input_menu_choice(const ControlRef& menu, int index);
  // The pop-up of `control` (a combo's drop-down list) has closed, by a choice or
  // not: a capture that `control` holds since a press ends (no mouse_up is delivered;
  // the pop-up had the release). True when it ended one.
  bool input_popup_closed(const ControlRef& control);
  // Animation box: left button pressed on / released from an object.
  bool input_object_pressed(const ControlRef& box, int object_id);
  bool input_object_released(const ControlRef& box, int object_id);
  // The user asked to close the window (close box): as request_close. True when the
  // window is gone.
  bool input_close(WindowToken window);
  // The user resized the window (client size); then resized.
  bool input_resize(WindowToken window, int width, int height);

 private:
  struct Impl;
  // Off the UI thread: posts `method` with copies of `args` to the loop (run only while
  // the model lives) and answers true; on the UI thread answers false and does nothing.
  template <class Method, class... Args>
  bool forward_to_ui_thread(Method method, const Args&... args);
  EventLoop& loop_;
  GuiServices services_;
  std::shared_ptr<Impl> impl_;  // shared so that posted tasks can tell when the model is gone
};
