// Moving merge-list rows by dragging them, driven with mouse input on the main window.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/job_list_test_support.h"
#include "ui/merge_list_drag.h"

namespace {

class MergeListDrag : public JobListWindowTest {
 protected:
  void SetUp() override {
    JobListWindowTest::SetUp();
    end_list_drag();
  }

  // Rows A, B, C, D numbered 1 to 4 with a duration each.
  void add_rows(JobList list, const std::vector<std::string>& names = {"A", "B", "C", "D"}) {
    for (const std::string& name : names) {
      const RowRef row = append_job_list_row(window, list, "/v/" + name + ".mp4");
      gui().set_cell(list_of(list), row.index, duration_column, "00:00:0" + std::to_string(row.index + 1));
    }
  }
  std::vector<std::string> order(JobList list) {
    std::vector<std::string> names;
    for (const std::string& s : sources(list)) names.push_back(s.substr(3, s.size() - 7));
    return names;
  }

  // The y of the middle of row `row` in the list; rows past the last lie on empty space.
  static int row_y(int row) {
    return GuiModel::list_header_height + GuiModel::list_row_height * row + GuiModel::list_row_height / 2;
  }

  // Presses on row `pressed` (selecting `selected`, as the list does), moves a little
  // within it, then to (x, y), and releases there.
  static void drag(JobList list, const std::vector<int>& selected, int pressed, int x, int y) {
    show_page_of(list);
    gui().input_select_rows(list_of(list), selected);
    EXPECT_TRUE(gui().input_mouse_down(list_of(list), 20, row_y(pressed)));
    gui().input_mouse_move(list_of(list), 22, row_y(pressed) + 2, mouse_buttons::left);
    gui().input_mouse_move(list_of(list), x, y, mouse_buttons::left);
    gui().input_mouse_up(list_of(list), x, y);
  }
  static void drag_row(JobList list, int from, int to_y) { drag(list, {from}, from, 20, to_y); }

  static GuiRect label() { return gui().geometry(at("list_drag_label")); }
  static void expect_label_hidden() {
    EXPECT_EQ(label().width, 0);
    EXPECT_EQ(label().height, 0);
    EXPECT_EQ(gui().text(at("list_drag_label")), "");
    EXPECT_EQ(list_drag_active, 0);
    EXPECT_EQ(list_drag_text, "");
  }
};

TEST_F(MergeListDrag, AReleaseOverARowOrTheEmptySpaceMovesTheFirstSelectedRowThere) {
  const struct {
    JobList list;
    std::vector<int> selected;
    int pressed;
    int release_y;
    std::vector<std::string> order;
    int selected_after;
  } cases[] = {
      {JobList::merge1, {0}, 0, row_y(2), {"B", "C", "A", "D"}, 2},  // down: behind the row under the cursor
      {JobList::merge2, {3}, 3, row_y(1), {"A", "D", "B", "C"}, 1},  // up: in front of it
      {JobList::merge1, {1}, 1, row_y(5), {"A", "C", "D", "B"}, 3},  // empty space below: to the end
      {JobList::merge2, {1, 3}, 3, row_y(0), {"B", "A", "C", "D"}, 0},  // only the first selected row
      {JobList::merge1, {2}, 2, row_y(2), {"A", "B", "C", "D"}, -1},  // same row: deselected
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.order));
    gui().clear_rows(list_of(c.list));
    add_rows(c.list);
    const ControlRef list = list_of(c.list);
    gui().set_row_checked(list, 0, true);
    const std::vector<ListRow> before = gui().list_rows(list);
    drag(c.list, c.selected, c.pressed, 30, c.release_y);
    EXPECT_EQ(order(c.list), c.order);
    // Every row keeps its number, duration, check state and id.
    for (const ListRow& row : gui().list_rows(list)) {
      const int index = gui().row_index(list, row.id);
      ASSERT_GE(index, 0);
      bool found = false;
      for (const ListRow& old : before) {
        if (old.id != row.id) continue;
        found = true;
        EXPECT_EQ(row.cells, old.cells);
        EXPECT_EQ(row.checked, old.checked);
      }
      EXPECT_TRUE(found);
    }
    if (c.selected_after >= 0) {
      EXPECT_TRUE(gui().row_selected(list, c.selected_after));
    } else {
      EXPECT_TRUE(gui().selected_rows(list).empty());
    }
    expect_label_hidden();
  }
}

TEST_F(MergeListDrag, TheRowTheLabelShowsMovesEvenWhenTheSelectionGrowsDuringTheDrag) {
  add_rows(JobList::merge1);
  show_page_of(JobList::merge1);
  const ControlRef list = list_of(JobList::merge1);
  gui().input_select_rows(list, {2});
  gui().input_mouse_down(list, 20, row_y(2));
  gui().input_mouse_move(list, 20, row_y(2) - 3, mouse_buttons::left);
  // Dragged upwards, a list with extended selection selects every row passed over.
  gui().input_select_rows(list, {0, 1, 2});
  gui().input_mouse_move(list, 20, row_y(0), mouse_buttons::left);
  gui().input_mouse_up(list, 20, row_y(0));
  EXPECT_EQ(order(JobList::merge1), (std::vector<std::string>{"C", "A", "B", "D"}));
  EXPECT_TRUE(gui().row_selected(list, 0));

  // A row deleted during the drag is not replaced by another.
  gui().input_select_rows(list, {3});
  gui().input_mouse_down(list, 20, row_y(3));
  gui().input_mouse_move(list, 20, row_y(3) - 3, mouse_buttons::left);
  gui().delete_row(list, 3);
  gui().input_mouse_up(list, 20, row_y(0));
  EXPECT_EQ(order(JobList::merge1), (std::vector<std::string>{"C", "A", "B"}));
}

TEST_F(MergeListDrag, RowNumbersMoveWithTheirRowsAndAreNeverRenumbered) {
  add_rows(JobList::merge1, {"A", "B", "C"});
  drag_row(JobList::merge1, 0, row_y(2));
  EXPECT_EQ(numbers(JobList::merge1), (std::vector<std::string>{"2", "3", "1"}));
  EXPECT_EQ(order(JobList::merge1), (std::vector<std::string>{"B", "C", "A"}));
}

TEST_F(MergeListDrag, TheLabelStaysHiddenOnTheFirstMoveAndFollowsTheCursorFromTheSecond) {
  add_rows(JobList::merge2);
  show_page_of(JobList::merge2);
  const ControlRef list = list_of(JobList::merge2);
  const GuiRect at_list = gui().geometry(list);
  gui().input_select_rows(list, {1});
  gui().input_mouse_down(list, 20, row_y(1));
  EXPECT_EQ(list_drag_active, 1);
  gui().input_mouse_move(list, 25, row_y(1), mouse_buttons::left);
  const std::string text = "  2  /v/B.mp4  00:00:02";
  EXPECT_EQ(list_drag_text, text);
  EXPECT_EQ(label().width, 0);
  EXPECT_EQ(gui().text(at("list_drag_label")), "");

  gui().input_mouse_move(list, 40, row_y(2), mouse_buttons::left);
  EXPECT_EQ(label(), (GuiRect{at_list.x + 40 + 10, at_list.y + row_y(2) + 10, 6 * static_cast<int>(text.size()), 12}));
  EXPECT_EQ(gui().text(at("list_drag_label")), text);
  EXPECT_EQ(gui().colour(at("list_drag_label")), make_colour(128, 128, 128));
  EXPECT_TRUE(g.services.cursor_shapes().empty());
  gui().input_mouse_move(list, 60, row_y(3), mouse_buttons::left);
  EXPECT_EQ(label().x, at_list.x + 70);
  EXPECT_EQ(label().y, at_list.y + row_y(3) + 10);

  gui().input_mouse_up(list, 60, row_y(3));
  expect_label_hidden();
  EXPECT_EQ(order(JobList::merge2), (std::vector<std::string>{"A", "C", "D", "B"}));
}

TEST_F(MergeListDrag, AReleaseOutsideTheListMovesNothingAndTheCursorSaysNoDropThere) {
  add_rows(JobList::merge1);
  const ControlRef list = list_of(JobList::merge1);
  const GuiRect at_list = gui().geometry(list);
  // Below the list (over the second list's buttons), left of it, right of it, above it.
  const GuiPoint outside[] = {{20, at_list.height + 30}, {-5, row_y(2)}, {at_list.width + 3, row_y(1)}, {20, -8}};
  for (const GuiPoint p : outside) {
    g.services.clear_records();
    drag(JobList::merge1, {0}, 0, p.x, p.y);
    EXPECT_EQ(order(JobList::merge1), (std::vector<std::string>{"A", "B", "C", "D"})) << p.x << "," << p.y;
    EXPECT_EQ(gui().selected_rows(list), (std::vector<int>{0}));
    EXPECT_EQ(g.services.cursor_shapes(), (std::vector<CursorShape>{CursorShape::no_drop}));
    expect_label_hidden();
    // Captured by the list, the release never reached the window or the other list.
    EXPECT_EQ(order(JobList::merge2), (std::vector<std::string>{}));
  }
}

TEST_F(MergeListDrag, LeavingTheListForThePagesFreeSurfaceEndsTheDragForGood) {
  const ControlRef list = list_of(JobList::merge1);
  const struct {
    const char* over;
    GuiPoint at;  // in the window
    const char* control_there;
    bool moves;
  } cases[] = {
      {"the page's free surface beside the list", {gui().window_position(list).x - 5, 200}, "job_tabs", false},
      {"the page's free surface right of the list",
       {gui().window_position(list).x + gui().geometry(list).width + 3, 200},
       "job_tabs",
       false},
      {"a button of the page", {40, 96 + 2 + 20}, "merge_add_videos1_button", true},
      {"the window's free area", {320, 90}, "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.over);
    gui().clear_rows(list);
    add_rows(JobList::merge1);
    show_page_of(JobList::merge1);
    ASSERT_EQ(gui().control_at(window, c.at), c.control_there);
    const GuiPoint origin = gui().window_position(list);
    gui().input_select_rows(list, {0});
    ASSERT_TRUE(gui().input_mouse_down(list, 20, row_y(0)));
    gui().input_mouse_move(list, 22, row_y(0) + 2, mouse_buttons::left);
    gui().input_mouse_move(list, 30, row_y(1), mouse_buttons::left);
    // Out of the list (it holds the mouse, so the move is its own) and back in.
    gui().input_mouse_move(list, c.at.x - origin.x, c.at.y - origin.y, mouse_buttons::left);
    EXPECT_EQ(list_drag_active, c.moves ? 1 : 0);
    gui().input_mouse_move(list, 30, row_y(2), mouse_buttons::left);
    gui().input_mouse_up(list, 30, row_y(2));
    EXPECT_EQ(order(JobList::merge1),
              c.moves ? (std::vector<std::string>{"B", "C", "A", "D"}) : (std::vector<std::string>{"A", "B", "C", "D"}));
    expect_label_hidden();
  }
}

TEST_F(MergeListDrag, AClickWithoutADragEndsTheArmedDragAndTheReleaseThenMovesNothing) {
  add_rows(JobList::merge1);
  show_page_of(JobList::merge1);
  const ControlRef list = list_of(JobList::merge1);
  gui().input_select_rows(list, {0});
  gui().input_mouse_down(list, 20, row_y(0));
  EXPECT_EQ(list_drag_active, 1);
  // The list reports its click before the release.
  gui().input_click(list);
  expect_label_hidden();
  gui().input_mouse_up(list, 20, row_y(3));
  EXPECT_EQ(order(JobList::merge1), (std::vector<std::string>{"A", "B", "C", "D"}));
  EXPECT_TRUE(gui().row_selected(list, 0));
}

TEST_F(MergeListDrag, MovesOverThePageOrTheWindowWithoutTheListHoldingTheMouse) {
  add_rows(JobList::merge1);
  show_page_of(JobList::merge1);
  gui().input_select_rows(list_of(JobList::merge1), {0});
  // Armed, and the drag text taken, as a press and a move do.
  on_merge_list_left_down(JobList::merge1);
  on_merge_list_mouse_move(JobList::merge1, 20, row_y(0));
  ASSERT_EQ(list_drag_text, "  1  /v/A.mp4  00:00:01");

  // Over the window's free area: no-drop cursor, the label at the cursor in the page.
  EXPECT_TRUE(gui().input_mouse_move(window_ref(window), 300, 500));
  const GuiPoint page = gui().window_position(at("merge_page"));
  EXPECT_EQ(label().x, 300 - page.x + 10);
  EXPECT_EQ(label().y, 500 - page.y + 10);
  EXPECT_EQ(g.services.cursor_shapes(), (std::vector<CursorShape>{CursorShape::no_drop}));
  EXPECT_EQ(list_drag_active, 1);

  // Over the page's free surface: the drag ends.
  EXPECT_TRUE(gui().input_mouse_move(at("merge_page"), 500, 500));
  expect_label_hidden();

  // A release over the window's free area ends an armed drag as well.
  on_merge_list_left_down(JobList::merge1);
  EXPECT_TRUE(gui().input_mouse_up(window_ref(window), 300, 500));
  expect_label_hidden();
  EXPECT_EQ(order(JobList::merge1), (std::vector<std::string>{"A", "B", "C", "D"}));
}

TEST_F(MergeListDrag, AReleaseWithoutASelectedRowMovesNothing) {
  add_rows(JobList::merge2);
  // A press on the empty space below the rows clears the selection.
  drag(JobList::merge2, {}, 5, 20, row_y(0));
  EXPECT_EQ(order(JobList::merge2), (std::vector<std::string>{"A", "B", "C", "D"}));
  EXPECT_TRUE(gui().selected_rows(list_of(JobList::merge2)).empty());
  expect_label_hidden();
}

TEST_F(MergeListDrag, NoRowMovesWhileTheMergeJobRuns) {
  add_rows(JobList::merge1);
  add_rows(JobList::merge2);
  start_job_on(JobList::merge1);
  for (JobList list : {JobList::merge1, JobList::merge2}) {
    drag_row(list, 0, row_y(3));
    EXPECT_EQ(order(list), (std::vector<std::string>{"A", "B", "C", "D"}));
    expect_label_hidden();
  }

  // A job that starts while a drag is under way: the release moves nothing either.
  end_job_on(JobList::merge1);
  show_page_of(JobList::merge1);
  const ControlRef list = list_of(JobList::merge1);
  gui().input_select_rows(list, {0});
  gui().input_mouse_down(list, 20, row_y(0));
  gui().input_mouse_move(list, 20, row_y(1), mouse_buttons::left);
  start_job_on(JobList::merge1);
  gui().input_mouse_up(list, 20, row_y(3));
  EXPECT_EQ(order(JobList::merge1), (std::vector<std::string>{"A", "B", "C", "D"}));
  expect_label_hidden();
  end_job_on(JobList::merge1);

  // Once the job has ended, dragging works again.
  drag_row(JobList::merge1, 0, row_y(3));
  EXPECT_EQ(order(JobList::merge1), (std::vector<std::string>{"B", "C", "D", "A"}));
}

TEST(MoveListRow, MovesOneRowToAnIndexOrTheEndAndLeavesInvalidSourcesAlone) {
  HeadlessGui g;
  WindowSpec spec;
  spec.name = "W";
  ControlSpec list = control_spec("list", ControlKind::list_view, {0, 0, 400, 200});
  list.columns = {{"序号", 60}, {"地址", 200}, {"时长", 80}};
  spec.controls.push_back(list);
  const WindowToken w = gui().create_window(spec);
  const ControlRef l{w, "list"};
  const struct {
    int from;
    int to;
    std::vector<std::string> order;
  } cases[] = {
      {0, 2, {"B", "C", "A", "D"}}, {3, 1, {"A", "D", "B", "C"}}, {1, -1, {"A", "C", "D", "B"}},
      {1, 9, {"A", "C", "D", "B"}}, {2, 2, {"A", "B", "C", "D"}}, {-1, 0, {"A", "B", "C", "D"}},
      {4, 0, {"A", "B", "C", "D"}},
  };
  for (const auto& c : cases) {
    gui().clear_rows(l);
    for (const char* name : {"A", "B", "C", "D"}) gui().append_row(l, {"n", name, "d"});
    move_list_row(w, l, c.from, c.to);
    std::vector<std::string> names;
    for (const ListRow& row : gui().list_rows(l)) names.push_back(row.cells[1]);
    EXPECT_EQ(names, c.order) << c.from << " -> " << c.to;
  }
}

}  // namespace
