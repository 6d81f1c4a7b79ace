// Report-style list views: rows and their ids, deletions, moves, selection,
// hit-testing and scrolling.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <thread>

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

// Every way of changing the rows, in a long random sequence: after each change the id
// of every row ever made leads to where the row stands (or nowhere once it is gone),
// for reads and writes alike.
TEST_F(ListView, RowsAreFoundByIdAfterEveryKindOfChange) {
  std::mt19937 random(7);
  const auto below = [&](int n) { return n <= 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(n)); };
  std::vector<RowId> made;
  for (int step = 0; step < 400; ++step) {
    const int rows = gui().row_count(list);
    switch (below(7)) {
      case 0:
      case 1:
        made.push_back(gui().append_row(list, {"", "appended", ""}).id);
        break;
      case 2:
        made.push_back(gui().insert_row(list, below(rows + 1), {"", "inserted", ""}).id);
        break;
      case 3:
        gui().delete_rows(list, {below(rows), below(rows), below(rows)});
        break;
      case 4:
        gui().move_row(list, below(rows), below(rows));
        break;
      case 5:
        if (!made.empty()) gui().delete_rows_by_id(list, {made[static_cast<std::size_t>(below(static_cast<int>(made.size())))]});
        break;
      case 6:
        if (below(20) == 0) gui().clear_rows(list);
        else made.push_back(gui().append_numbered_row(list, 0, {"", "numbered", ""}).id);
        break;
    }
    const std::vector<ListRow> now = gui().list_rows(list);
    for (const RowId id : made) {
      const auto at = std::find_if(now.begin(), now.end(), [&](const ListRow& r) { return r.id == id; });
      const int expected = at == now.end() ? -1 : static_cast<int>(at - now.begin());
      ASSERT_EQ(gui().row_index(list, id), expected) << "step " << step;
    }
    if (!now.empty()) {
      const ListRow& some = now[static_cast<std::size_t>(below(static_cast<int>(now.size())))];
      const std::string mark = "step " + std::to_string(step);
      gui().set_cell_by_id(list, some.id, 2, mark);
      ASSERT_EQ(gui().cell(list, gui().row_index(list, some.id), 2), mark);
      ASSERT_EQ(gui().row_by_id(list, some.id)->cells[2], mark);
    }
  }
  EXPECT_FALSE(gui().row_by_id(list, 0).has_value());
}

TEST_F(ListView, NumberedRowsTakeTheRowCountOnceTheyAreIn) {
  gui().append_numbered_row(list, 0, {"", "a"});
  gui().append_numbered_rows(list, 0, {{"", "b"}, {"x", "c"}});
  EXPECT_EQ(column(0), (std::vector<std::string>{"1", "2", "3"}));
  gui().delete_row(list, 0);
  const RowRef last = gui().append_numbered_rows(list, 0, {{"", "d"}, {"", "e"}});
  EXPECT_EQ(column(0), (std::vector<std::string>{"2", "3", "3", "4"}));
  EXPECT_EQ(column(1), (std::vector<std::string>{"b", "c", "d", "e"}));
  EXPECT_EQ(last.index, 3);
  EXPECT_EQ(gui().row_index(list, last.id), 3);
  EXPECT_EQ(gui().append_numbered_rows(list, 0, {}).index, -1);
  EXPECT_EQ(gui().append_numbered_row({window, "ok_button"}, 0, {"1"}).index, -1);  // not a list

  // Threads appending at the same time never share a number.
  gui().clear_rows(list);
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([&] {
      for (int i = 0; i < 200; ++i) gui().append_numbered_row(list, 0, {"", "w"});
    });
  }
  for (std::thread& writer : writers) writer.join();
  std::vector<std::string> numbers = column(0);
  for (std::size_t i = 0; i < numbers.size(); ++i) EXPECT_EQ(numbers[i], std::to_string(i + 1));
}

// Rows made from one column of texts (a drop): each text in its cell, the other cells
// empty at the list's column count, numbered in order, and every row found by its id.
TEST_F(ListView, NumberedRowsFromOneColumnOfTexts) {
  add_rows({"a"});
  gui().delete_row(list, 0);
  add_rows({"b"});
  const RowRef last = gui().append_numbered_rows(list, 0, 1, {"c", "d", "e"});
  EXPECT_EQ(column(0), (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(column(1), (std::vector<std::string>{"b", "c", "d", "e"}));
  EXPECT_EQ(gui().row_cells(list, 3), (std::vector<std::string>{"4", "e", ""}));
  EXPECT_EQ(last.index, 3);
  const std::vector<RowId> all = gui().row_ids(list);
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all.back(), last.id);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(gui().row_index(list, all[static_cast<std::size_t>(i)]), i);
  // Once the index stands, appended rows join it.
  gui().append_numbered_rows(list, 0, 1, {"f", "g"});
  EXPECT_EQ(gui().cell_by_id(list, gui().row_id(list, 5), 1), "g");
  EXPECT_EQ(gui().append_numbered_rows(list, 0, 1, {}).index, -1);
  EXPECT_EQ(gui().append_numbered_rows({window, "ok_button"}, 0, 1, {"x"}).index, -1);  // not a list
}

// What a view that mirrors the list reads: only the new ids while rows are only
// appended, every id after any other change; the selection as runs.
TEST_F(ListView, AMirrorReadsTheAppendedIdsOrAllOfThemAfterOtherChanges) {
  add_rows({"a", "b"});
  ListRowIds all = gui().row_ids_since(list, 0, 0);
  EXPECT_EQ(all.first, 0);
  EXPECT_EQ(all.ids, (std::vector<RowId>{ids[0], ids[1]}));
  add_rows({"c"});
  gui().insert_row(list, 3, {"", "d (at the end)"});
  const ListRowIds tail = gui().row_ids_since(list, all.version, 2);
  EXPECT_EQ(tail.version, all.version);
  EXPECT_EQ(tail.first, 2);
  ASSERT_EQ(tail.ids.size(), 2u);
  EXPECT_EQ(tail.ids[0], ids[2]);

  const std::function<void()> changes[] = {
      [&] { gui().delete_row(list, 0); },
      [&] { gui().insert_row(list, 0, {"", "front"}); },
      [&] { gui().move_row(list, 0, 2); },
      [&] { gui().delete_rows_by_id(list, {gui().row_id(list, 1)}); },
      [&] { gui().clear_rows(list); },
  };
  std::uint64_t version = tail.version;
  for (const auto& change : changes) {
    const int count = gui().row_count(list);
    change();
    const ListRowIds after = gui().row_ids_since(list, version, count);
    EXPECT_NE(after.version, version);
    EXPECT_EQ(after.first, 0);
    EXPECT_EQ(static_cast<int>(after.ids.size()), gui().row_count(list));
    version = after.version;
  }
  // A count beyond the rows, or a stale version, gives everything.
  add_rows({"1", "2", "3", "4", "5", "6", "7", "8", "9"});
  EXPECT_EQ(gui().row_ids_since(list, version, 99).first, 0);
  EXPECT_EQ(gui().row_ids_since(list, version + 1, 3).first, 0);

  for (int row : {0, 1, 2, 5, 7, 8}) gui().set_row_selected(list, row, true);
  const ListSelection selection = gui().list_selection(list);
  EXPECT_EQ(selection.ranges, (std::vector<std::pair<int, int>>{{0, 2}, {5, 5}, {7, 8}}));
  EXPECT_EQ(selection.count, 9);
  EXPECT_EQ(selection.version, version);
  EXPECT_EQ(gui().selected_row_ids(list),
            (std::vector<RowId>{gui().row_id(list, 0), gui().row_id(list, 1), gui().row_id(list, 2),
                                gui().row_id(list, 5), gui().row_id(list, 7), gui().row_id(list, 8)}));
}

TEST_F(ListView, ColumnsCanChangeAfterRowsExist) {
  add_rows({"a"});
  gui().set_columns(list, {{"序号", 60}, {"原视频地址", 703}, {"时长", 100}, {"状态", 100}});
  EXPECT_EQ(gui().row_cells(list, 0), (std::vector<std::string>{"1", "a", "", ""}));
  EXPECT_EQ(gui().columns(list)[1], (ListColumn{"原视频地址", 703}));
}

}  // namespace
