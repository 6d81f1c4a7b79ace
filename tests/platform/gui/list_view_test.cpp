// Report-style list views: rows and their ids, deletions, moves, selection,
// hit-testing and scrolling.

#include <gtest/gtest.h>

#include "tests/platform/gui/gui_test_window.h"

namespace {

class ListView : public ::testing::Test {
 protected:
  void SetUp() override {
    window = gui().create_window(sample_window_spec());
    gui().open_window(window);
    list = {window, "job_list"};
  }

  // Appends rows numbered like the job lists: the row count after the append.
  void add_rows(const std::vector<std::string>& paths) {
    for (const std::string& p : paths) {
      const RowRef r = gui().append_row(list, {std::to_string(gui().row_count(list) + 1), p, ""});
      ids.push_back(r.id);
    }
  }

  std::vector<std::string> column(int c) const {
    std::vector<std::string> texts;
    for (int i = 0; i < gui().row_count(list); ++i) texts.push_back(gui().cell(list, i, c));
    return texts;
  }

  HeadlessGui g;
  WindowToken window;
  ControlRef list;
  std::vector<RowId> ids;
};

TEST_F(ListView, AppendGivesIndexAndStableIdAndFitsCellsToColumns) {
  const RowRef a = gui().append_row(list, {"1", "a.mp4"});
  const RowRef b = gui().append_row(list, {"2", "b.mp4", "", "extra"});
  EXPECT_EQ(a.index, 0);
  EXPECT_EQ(b.index, 1);
  EXPECT_NE(a.id, 0u);
  EXPECT_NE(a.id, b.id);
  EXPECT_EQ(gui().row_cells(list, 0), (std::vector<std::string>{"1", "a.mp4", ""}));
  EXPECT_EQ(gui().row_cells(list, 1).size(), 3u);
  gui().set_cell(list, 0, 2, "任务完成");
  gui().set_cell(list, 0, 3, "no such column");
  gui().set_cell(list, 5, 1, "no such row");
  EXPECT_EQ(gui().cell(list, 0, 2), "任务完成");
  EXPECT_EQ(gui().cell(list, 0, 3), "");
  EXPECT_EQ(gui().row_count(list), 2);
  EXPECT_EQ(gui().column_count(list), 3);
  const RowRef c = gui().insert_row(list, 1, {"x", "inserted"}, true);
  EXPECT_EQ(c.index, 1);
  EXPECT_TRUE(gui().row_checked(list, 1));
  EXPECT_EQ(gui().row_index(list, b.id), 2);
  EXPECT_EQ(gui().append_row({window, "ok_button"}, {"1"}).index, -1);  // not a list
}

TEST_F(ListView, DeletingSelectedRowsKeepsTheOthersNumbersAndIds) {
  add_rows({"1.mp4", "2.mp4", "3.mp4", "4.mp4", "5.mp4", "6.mp4"});
  gui().set_row_selected(list, 1, true);
  gui().set_row_selected(list, 4, true);
  EXPECT_EQ(gui().selected_rows(list), (std::vector<int>{1, 4}));
  EXPECT_EQ(gui().first_selected_row(list), 1);
  gui().delete_rows(list, {4, 1, 4, 99, -1});
  EXPECT_EQ(column(0), (std::vector<std::string>{"1", "3", "4", "6"}));
  EXPECT_EQ(gui().row_index(list, ids[1]), -1);
  EXPECT_EQ(gui().row_index(list, ids[5]), 3);
  EXPECT_EQ(gui().first_selected_row(list), -1);
  // Row numbers repeat after a deletion, as the job lists number them.
  gui().delete_row(list, 0);
  add_rows({"new.mp4"});
  EXPECT_EQ(column(0), (std::vector<std::string>{"3", "4", "6", "4"}));
}

TEST_F(ListView, AWorkerWritesToItsRowWhereverItMoved) {
  add_rows({"a", "b", "c"});
  const RowId started_with = gui().row_id(list, 1);
  gui().delete_row(list, 0);
  gui().insert_row(list, 0, {"9", "front"});
  gui().move_row(list, 1, -1);
  gui().set_cell_by_id(list, started_with, 2, "正在转换");
  const int now = gui().row_index(list, started_with);
  EXPECT_EQ(now, 2);
  EXPECT_EQ(gui().cell(list, now, 1), "b");
  EXPECT_EQ(gui().cell_by_id(list, started_with, 2), "正在转换");
  gui().clear_rows(list);
  gui().set_cell_by_id(list, started_with, 2, "dropped");  // the row is gone: nothing
  EXPECT_EQ(gui().row_count(list), 0);
  EXPECT_EQ(gui().cell_by_id(list, started_with, 2), "");
}

struct MoveCase {
  int from;
  int to;
  std::vector<std::string> order;
};

class ListMoves : public ListView, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(ListMoves, TakeOutThenInsertAtTarget) {
  add_rows({"A", "B", "C", "D"});
  gui().set_row_checked(list, GetParam().from < 0 ? 0 : GetParam().from, true);
  const RowId moved = GetParam().from >= 0 && GetParam().from < 4 ? ids[GetParam().from] : 0;
  gui().move_row(list, GetParam().from, GetParam().to);
  EXPECT_EQ(column(1), GetParam().order);
  if (moved) {
    const int at = gui().row_index(list, moved);
    EXPECT_TRUE(gui().row_checked(list, at));  // the check state travels with the row
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, ListMoves,
                         ::testing::Values(MoveCase{0, 2, {"B", "C", "A", "D"}},   // down: behind the target
                                           MoveCase{3, 1, {"A", "D", "B", "C"}},   // up: in front of it
                                           MoveCase{1, -1, {"A", "C", "D", "B"}},  // no target: to the end
                                           MoveCase{1, 9, {"A", "C", "D", "B"}},
                                           MoveCase{2, 2, {"A", "B", "C", "D"}},
                                           MoveCase{-1, 2, {"A", "B", "C", "D"}}),  // no source row
                         [](const ::testing::TestParamInfo<MoveCase>& info) {
                           auto n = [](int v) { return v < 0 ? "none" : std::to_string(v); };
                           return "from_" + n(info.param.from) + "_to_" + n(info.param.to);
                         });

TEST_F(ListView, SelectionRulesOfMultiAndSingleSelectLists) {
  add_rows({"a", "b", "c"});
  gui().invert_row_selection(list);
  EXPECT_EQ(gui().selected_rows(list), (std::vector<int>{0, 1, 2}));
  gui().set_row_selected(list, 1, false);
  gui().invert_row_selection(list);
  EXPECT_EQ(gui().selected_rows(list), (std::vector<int>{1}));
  gui().invert_row_selection(list);
  EXPECT_EQ(gui().selected_rows(list), (std::vector<int>{0, 2}));
  gui().clear_row_selection(list);
  gui().select_all_rows(list);
  EXPECT_EQ(gui().selected_rows(list).size(), 3u);

  ControlSpec single = control_spec("single_list", ControlKind::list_view, {0, 0, 100, 100});
  single.columns = {{"a", 10}};
  ASSERT_TRUE(gui().add_control(window, single));
  const ControlRef s{window, "single_list"};
  gui().append_row(s, {"1"});
  gui().append_row(s, {"2"});
  gui().set_row_selected(s, 0, true);
  gui().set_row_selected(s, 1, true);
  EXPECT_EQ(gui().selected_rows(s), (std::vector<int>{1}));
  gui().select_all_rows(s);
  EXPECT_EQ(gui().selected_rows(s).size(), 1u);
}

TEST_F(ListView, HitTestAndScrollUseTheRowLayout) {
  for (int i = 0; i < 30; ++i) add_rows({"row" + std::to_string(i)});
  const int header = GuiModel::list_header_height, row_h = GuiModel::list_row_height;
  EXPECT_EQ(gui().hit_test_row(list, 5, header - 1), -1);  // the header
  EXPECT_EQ(gui().hit_test_row(list, 5, header), 0);
  EXPECT_EQ(gui().hit_test_row(list, 5, header + 2 * row_h + 3), 2);
  EXPECT_EQ(gui().hit_test_row(list, 600, header + 1), -1);  // right of the list
  // 224 px high: 10 rows fit. Scrolling row 25 into view makes it the last visible.
  gui().scroll_to_row(list, 25);
  EXPECT_EQ(gui().control_state(list).top_row, 16);
  EXPECT_EQ(gui().hit_test_row(list, 5, header), 16);
  gui().scroll_to_row(list, 3);
  EXPECT_EQ(gui().control_state(list).top_row, 3);
  // Empty space below the last row hits nothing.
  gui().delete_rows(list, {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29});
  EXPECT_EQ(gui().hit_test_row(list, 5, header + 5 * row_h), -1);
}

TEST_F(ListView, ColumnsCanChangeAfterRowsExist) {
  add_rows({"a"});
  gui().set_columns(list, {{"序号", 60}, {"原视频地址", 703}, {"时长", 100}, {"状态", 100}});
  EXPECT_EQ(gui().row_cells(list, 0), (std::vector<std::string>{"1", "a", "", ""}));
  EXPECT_EQ(gui().columns(list)[1], (ListColumn{"原视频地址", 703}));
}

}  // namespace
