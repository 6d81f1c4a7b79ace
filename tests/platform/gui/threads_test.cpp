// Many worker threads write list cells, labels and progress bars while the UI thread
// reads and handles input; the ThreadSanitizer build runs these to prove there is no
// data race.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/platform/gui/gui_test_window.h"

namespace {

// A view that reads back everything it is told about, from the writing threads.
class ReadingView : public GuiView {
 public:
  void window_created(WindowToken) override {}
  void window_destroyed(WindowToken) override {}
  void changed(const GuiChange& c) override {
    if (c.kind == ChangeKind::cell) (void)gui().cell_by_id({c.window, c.role}, c.row_id, c.column);
    else (void)gui().control_state({c.window, c.role});
    notices.fetch_add(1, std::memory_order_relaxed);
  }
  std::atomic<int> notices{0};
};

TEST(Threads, WorkersWriteWhileTheUiThreadReadsAndHandlesInput) {
  HeadlessGui g;
  ReadingView view;
  gui().attach_view(&view);
  const WindowToken w = gui().create_window(sample_window_spec());
  gui().open_window(w);
  const ControlRef list{w, "job_list"};
  constexpr int workers = 8, rows_per_worker = 20, rounds = 50;

  std::atomic<int> clicks{0};
  gui().bind({w, "ok_button"}, EventKind::clicked, [&](const GuiEvent&) { clicks.fetch_add(1); });
  std::atomic<bool> stop{false};

  std::vector<std::thread> threads;
  for (int t = 0; t < workers; ++t) {
    threads.emplace_back([&, t] {
      std::vector<RowId> mine;
      for (int r = 0; r < rows_per_worker; ++r) {
        mine.push_back(gui().append_row(list, {std::to_string(t), "/v/" + std::to_string(r) + ".mp4", ""}).id);
      }
      for (int round = 0; round < rounds; ++round) {
        for (RowId id : mine) gui().set_cell_by_id(list, id, 2, std::to_string(round));
        gui().set_value({w, "file_progress_bar"}, round * 3);
        gui().set_text({w, "file_progress_label"}, std::to_string(round) + " %");
        gui().set_text({w, "name_field"}, "worker " + std::to_string(t));  // text_changed posted to the UI
        gui().set_enabled({w, "options_group"}, round % 2 == 0);
        if (round % 10 == 0) gui().input_click({w, "ok_button"});     // handed to the UI thread
        if (t == 0 && round % 5 == 0) gui().move_row(list, 0, -1);
      }
      for (RowId id : mine) gui().set_cell_by_id(list, id, 2, "任务完成");
    });
  }
  std::thread deleter([&] {
    // Rows of its own come and go while the workers write theirs.
    while (!stop.load()) {
      const RowRef r = gui().append_row(list, {"x", "temporary", ""});
      gui().set_row_selected(list, gui().row_index(list, r.id), true);
      gui().delete_rows_by_id(list, {r.id});
    }
  });

  int text_events = 0;
  gui().bind({w, "name_field"}, EventKind::text_changed, [&](const GuiEvent&) { ++text_events; });
  // The UI thread meanwhile reads and runs what the workers post.
  auto all_done = [&] {
    for (const ListRow& row : gui().list_rows(list)) {
      if (row.cells[1] != "temporary" && row.cells[2] != "任务完成") return false;
    }
    return gui().row_count(list) >= workers * rows_per_worker;
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (!all_done()) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the workers' writes never all arrived";
    const ControlState label = gui().control_state({w, "file_progress_label"});
    const int value = gui().value({w, "file_progress_bar"});
    EXPECT_GE(value, 0);
    EXPECT_LE(value, 100);
    EXPECT_FALSE(label.text.empty());
    (void)gui().selected_rows(list);
    (void)gui().window_snapshot(w);
    g.loop.run_until_idle();
  }
  for (auto& t : threads) t.join();
  stop = true;
  deleter.join();
  g.loop.run_until_idle();
  gui().attach_view(nullptr);

  int finished = 0;
  for (const ListRow& row : gui().list_rows(list)) {
    if (row.cells[1] != "temporary") {
      EXPECT_EQ(row.cells[2], "任务完成");
      ++finished;
    }
  }
  EXPECT_EQ(finished, workers * rows_per_worker);
  EXPECT_EQ(clicks.load(), workers * (rounds / 10));
  EXPECT_EQ(text_events, workers * rounds);
  EXPECT_GT(view.notices.load(), 0);
}

TEST(Threads, WorkersWritingIntoAWindowThatIsDestroyedMeanwhileCrashNothing) {
  HeadlessGui g;
  for (int attempt = 0; attempt < 20; ++attempt) {
    const WindowToken w = gui().create_window(sample_window_spec());
    gui().open_window(w);
    gui().set_timer(w, "poll_timer", 1);
    gui().bind({w, "poll_timer"}, EventKind::timer_tick, [&](const GuiEvent&) { gui().set_text({w, "name_field"}, "t"); });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
      threads.emplace_back([w] {
        for (int i = 0; i < 200; ++i) {
          gui().append_row({w, "job_list"}, {"1", "a", ""});
          gui().set_text({w, "name_field"}, "x");
          gui().set_timer(w, "other_timer", 5);
          gui().post_to_window(w, [w] { gui().set_value({w, "file_progress_bar"}, 1); });
        }
      });
    }
    g.loop.advance(std::chrono::milliseconds(3));
    gui().destroy_window(w);
    for (auto& t : threads) t.join();
    g.loop.advance(std::chrono::milliseconds(20));
    EXPECT_FALSE(gui().window_exists(w));
    EXPECT_EQ(g.loop.running_timers(), 0);
  }
}

}  // namespace
