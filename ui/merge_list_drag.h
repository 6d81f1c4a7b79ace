#pragma once
// Moving rows of the two merge lists by dragging them with the mouse: the merge job
// takes the rows in list order, so the order is the user's to set.
//
// The drag is built from plain mouse events. A left press on a merge list arms it
// (`list_drag_active`); the list selects the pressed row as usual. The first move after
// the press takes the text of the list's first selected row (two blanks before each
// column's text) as `list_drag_text`; from the next move on `list_drag_label`, a
// drawing panel on the merge page, shows that text in grey 10 pixels right of and below
// the cursor (6 pixels wide per byte, 12 high). Releasing the button over a row of the
// list moves the row the label shows (the list's first selected row when no move took
// its text yet) to that row's place (a row moved down lands behind it, one moved up in
// front of it); a release over the list's empty space below the rows moves it to the
// end. Which row moves is fixed when the label takes its text, so a list that extends
// its selection while the mouse is dragged over it still moves the row dragged. The moved row keeps its number, its cells, its check
// state and its id; nothing is renumbered.
//
// The list holds the mouse while the button is down, so moves and the release outside
// the list still reach it, with coordinates outside its area. There the cursor shows
// that no drop is allowed, and a release there ends the drag without moving anything.
// A move over the page's free surface (the tab control's own area) ends the drag at
// once, so coming back to the list and releasing there moves nothing; over the page's
// other controls or the window's free area the drag goes on. A press and release
// without a drag (the list's click), a move over the tab control's free surface and a
// release over the window's free area end the drag as well.
//
// While the merge job runs, a drag is neither armed nor completed: the job works
// through the rows in list order. A release when the list has no selected row moves
// nothing.
//
// Everything here runs on the UI thread.

#include <string>

#include "platform/gui/gui.h"
#include "ui/job_lists.h"

// The drag state: armed (1) from the left press on a merge list until the drag ends;
// the label's text, empty until the first move of a drag.
extern int list_drag_active;
extern std::string list_drag_text;

// Hides the label (no text, width and height 0) and forgets the drag.
void end_list_drag();

// Moves row `from` of `list` in `window` to index `to` (-1: the last row): deselects the
// row at `to`, moves the row there and selects it. Nothing when from equals to or from
// is no row.
void move_list_row(WindowToken window, const ControlRef& list, int from, int to);

// The handlers. Positions are relative to the control or window the event came from.
void on_merge_list_left_down(JobList list);
void on_merge_list_mouse_move(JobList list, int x, int y);
void on_merge_list_left_up(JobList list, int x, int y);
void on_merge_list_item_clicked();
void on_tabs_mouse_move();
void on_main_window_mouse_move(int x, int y);
void on_main_window_left_up();

void bind_merge_list_drag_handlers(WindowToken window);
