// The Qt list over the control model's rows: whatever the program does to the rows and
// the selection, from any thread and however the changes batch up, the widget ends up
// showing the model's rows in the model's order with the model's selection; and a
// selection the user makes in the widget becomes the model's.

#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QScrollBar>

#include <random>
#include <thread>
#include <vector>

#include "platform/qt/report_list_widget.h"
#include "tests/platform/gui/gui_test_window.h"
#include "tests/platform/qt/qt_test_support.h"

namespace {

class ReportListTest : public QtGuiTest {
 protected:
  void SetUp() override {
    QtGuiTest::SetUp();
    window = open(sample_window_spec());
    list = {window, "job_list"};
    widget = widget_of<ReportListWidget>(window, "job_list");
    ASSERT_NE(widget, nullptr);
  }

  // The widget shows exactly the model's rows, cells and selection.
  void expect_mirror(const std::string& when) {
    SCOPED_TRACE(when);
    settle();
    const std::vector<ListRow> rows = model().list_rows(list);
    ASSERT_EQ(widget->row_count(), static_cast<int>(rows.size()));
    std::vector<int> selected;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
      ASSERT_EQ(widget->row_id_at(i), rows[static_cast<std::size_t>(i)].id) << "row " << i;
      if (rows[static_cast<std::size_t>(i)].selected) selected.push_back(i);
    }
    EXPECT_EQ(widget->selected_row_indexes(), selected);
    if (!rows.empty()) {
      EXPECT_EQ(widget->cell_text(0, 1).toStdString(), rows.front().cells[1]);
    }
  }

  WindowToken window;
  ControlRef list;
  ReportListWidget* widget = nullptr;
};

TEST_F(ReportListTest, TheWidgetFollowsEveryKindOfChangeOfRowsAndSelection) {
  std::mt19937 random(11);
  const auto below = [&](int n) { return n <= 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(n)); };
  GuiModel& m = model();
  for (int i = 0; i < 300; ++i) m.append_row(list, {std::to_string(i + 1), "/v/" + std::to_string(i) + ".mp4", ""});
  expect_mirror("appended");

  for (int step = 0; step < 120; ++step) {
    // A few changes in one batch, some from another thread.
    const int changes = 1 + below(4);
    for (int k = 0; k < changes; ++k) {
      const int rows = m.row_count(list);
      auto change = [&, choice = below(11), a = below(rows), b = below(rows), c = below(rows + 1)] {
        switch (choice) {
          case 0: m.append_row(list, {"", "/v/new.mp4", ""}); break;
          case 1: m.insert_row(list, c, {"", "/v/inserted.mp4", ""}); break;
          case 2: m.delete_rows(list, {a, b}); break;
          case 3: m.move_row(list, a, b); break;
          case 4: {
            // Many runs at once: every third row of the first two hundred.
            std::vector<int> doomed;
            for (int r = a % 3; r < 200 && r < rows; r += 3) doomed.push_back(r);
            m.delete_rows(list, doomed);
            break;
          }
          case 5: m.set_row_selected(list, a, true); break;
          case 6: m.select_all_rows(list); break;
          case 7: m.invert_row_selection(list); break;
          case 8: m.clear_row_selection(list); break;
          case 9: m.set_cell(list, a, 1, "/v/written.mp4"); break;
          case 10:
            if (rows < 100) {
              for (int r = 0; r < 200; ++r) m.append_row(list, {"", "/v/refill.mp4", ""});
            } else {
              m.delete_rows(list, {a, a + 1, a + 2, a + 3});
            }
            break;
        }
      };
      if (below(3) == 0) std::thread(change).join();
      else change();
    }
    expect_mirror("step " + std::to_string(step));
    if (HasFatalFailure()) return;
  }
  m.clear_rows(list);
  expect_mirror("cleared");
}

TEST_F(ReportListTest, AWorkersManyRowsAndScrollsEndWithTheLastRowShown) {
  std::thread worker([&] {
    for (int i = 0; i < 3000; ++i) {
      const RowRef row = model().append_numbered_row(list, 0, {"", "/v/" + std::to_string(i) + ".mp4", ""});
      model().scroll_to_row(list, row.index);
      model().set_cell_by_id(list, row.id, 2, "正在转换");
    }
    model().set_cell(list, 10, 2, "任务完成");
  });
  worker.join();
  ASSERT_TRUE(process_until([&] { return widget->row_count() == 3000; }));
  settle();
  EXPECT_EQ(widget->cell_text(2999, 0), QStringLiteral("3000"));
  EXPECT_EQ(widget->cell_text(10, 2), QString::fromUtf8("任务完成"));
  EXPECT_EQ(widget->cell_text(2999, 2), QString::fromUtf8("正在转换"));
  EXPECT_TRUE(widget->viewport()->rect().intersects(widget->row_rect(2999)));
  EXPECT_FALSE(widget->viewport()->rect().intersects(widget->row_rect(0)));
}

TEST_F(ReportListTest, TheUsersSelectAllReachesTheModelOnce) {
  for (int i = 0; i < 500; ++i) model().append_row(list, {"", "/v/" + std::to_string(i) + ".mp4", ""});
  settle();
  int changed = 0;
  model().bind(list, EventKind::selection_changed, [&](const GuiEvent&) { ++changed; });
  widget->setFocus();
  model().set_focus(list);
  settle();
  widget->selectAll();
  EXPECT_EQ(model().selected_rows(list).size(), 500u);
  EXPECT_EQ(changed, 1);
  // The user's selection of one row replaces it.
  widget->selectionModel()->select(widget->model()->index(7, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  EXPECT_EQ(model().selected_rows(list), std::vector<int>({7}));
}

}  // namespace
