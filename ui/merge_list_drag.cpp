#include "ui/merge_list_drag.h"

#include "engine/window/main_window_token.h"
#include "ui/main_window.h"

int list_drag_active = 0;
std::string list_drag_text;

namespace {

constexpr int label_offset = 10;
constexpr int label_pixels_per_byte = 6;
constexpr int label_height = 12;
constexpr GuiColour label_colour = make_colour(128, 128, 128);

// The row whose text the label shows, and its list. A list that extends its selection
// while the mouse is dragged over it must not change which row moves.
RowId dragged_row = 0;
JobList dragged_list = JobList::merge1;

// Two blanks before the text of every column of the row.
std::string drag_text_of_row(const ControlRef& list, int row) {
  std::string text;
  for (const std::string& cell : gui().row_cells(list, row)) text += "  " + cell;
  return text;
}

bool inside(const ControlRef& control, int x, int y) {
  const GuiRect r = gui().geometry(control);
  return x >= 0 && y >= 0 && x < r.width && y < r.height;
}

// Shows the label at (left, top) in the merge page's coordinates.
void show_drag_label(int left, int top) {
  const ControlRef label = main_control("list_drag_label");
  GuiModel& model = gui();
  model.set_geometry(label, {left, top, label_pixels_per_byte * static_cast<int>(list_drag_text.size()), label_height});
  model.set_colour(label, label_colour);
  model.set_text(label, list_drag_text);
}

}  // namespace

void end_list_drag() {
  const ControlRef label = main_control("list_drag_label");
  gui().set_text(label, "");
  gui().set_size(label, 0, 0);
  list_drag_active = 0;
  list_drag_text.clear();
  dragged_row = 0;
}

void move_list_row(WindowToken window, const ControlRef& list, int from, int to) {
  GuiModel& model = gui();
  if (!model.window_exists(window) || from == to) return;
  const int count = model.row_count(list);
  if (from < 0 || from >= count) return;
  if (to < 0 || to >= count) to = count - 1;
  model.set_row_selected(list, to, false);
  model.move_row(list, from, to);
  model.set_row_selected(list, to, true);
}

void on_merge_list_left_down(JobList list) {
  if (job_runs_on_list(list)) return;
  list_drag_active = 1;
}

void on_merge_list_mouse_move(JobList list, int x, int y) {
  if (list_drag_active == 0) return;
  const ControlRef control = job_list_control(list);
  if (!inside(control, x, y)) {
    gui_services().cursor->set_cursor_shape(CursorShape::no_drop);
    // Over the page's free surface (the tab control's own area) the drag ends, as a
    // move over the tab control does when the list does not hold the mouse.
    const GuiPoint origin = gui().window_position(control);
    if (gui().control_at(control.window, {origin.x + x, origin.y + y}) == "job_tabs") {
      end_list_drag();
      return;
    }
  }
  if (list_drag_text.empty()) {
    const int row = gui().first_selected_row(control);
    if (row >= 0) {
      list_drag_text = drag_text_of_row(control, row);
      dragged_row = gui().row_id(control, row);
      dragged_list = list;
    }
    return;
  }
  const GuiRect at = gui().geometry(control);
  show_drag_label(at.x + x + label_offset, at.y + y + label_offset);
}

void on_merge_list_left_up(JobList list, int x, int y) {
  if (list_drag_active == 0) return;
  const RowId row = dragged_list == list ? dragged_row : 0;
  end_list_drag();
  const ControlRef control = job_list_control(list);
  // Let go outside the list: no drop there.
  if (!inside(control, x, y) || job_runs_on_list(list)) return;
  // The row the label showed (gone when it was deleted meanwhile), else the first
  // selected row.
  const int from = row != 0 ? gui().row_index(control, row) : gui().first_selected_row(control);
  if (from < 0) return;
  gui().set_row_selected(control, from, false);
  move_list_row(main_window(), control, from, gui().hit_test_row(control, x, y));
}

void on_merge_list_item_clicked() { end_list_drag(); }

void on_tabs_mouse_move() { end_list_drag(); }

void on_main_window_mouse_move(int x, int y) {
  if (list_drag_active == 0) return;
  gui_services().cursor->set_cursor_shape(CursorShape::no_drop);
  if (list_drag_text.empty()) return;
  // The label lives on the merge page: the window position in the page's coordinates.
  const GuiPoint page = gui().window_position(main_control("merge_page"));
  show_drag_label(x - page.x + label_offset, y - page.y + label_offset);
}

void on_main_window_left_up() {
  if (list_drag_active == 1) end_list_drag();
}

void bind_merge_list_drag_handlers(WindowToken window) {
  GuiModel& model = gui();
  for (JobList list : {JobList::merge1, JobList::merge2}) {
    const ControlRef control = job_list_control(window, list);
    model.bind(control, EventKind::mouse_down, [list](const GuiEvent& e) {
      if (e.button == mouse_buttons::left) on_merge_list_left_down(list);
    });
    model.bind(control, EventKind::mouse_move,
               [list](const GuiEvent& e) { on_merge_list_mouse_move(list, e.x, e.y); });
    model.bind(control, EventKind::mouse_up, [list](const GuiEvent& e) {
      if (e.button == mouse_buttons::left) on_merge_list_left_up(list, e.x, e.y);
    });
    model.bind(control, EventKind::clicked, [](const GuiEvent&) { on_merge_list_item_clicked(); });
  }
  model.bind({window, "job_tabs"}, EventKind::mouse_move, [](const GuiEvent&) { on_tabs_mouse_move(); });
  model.bind(window_ref(window), EventKind::mouse_move,
             [](const GuiEvent& e) { on_main_window_mouse_move(e.x, e.y); });
  model.bind(window_ref(window), EventKind::mouse_up, [](const GuiEvent& e) {
    if (e.button == mouse_buttons::left) on_main_window_left_up();
  });
}
