// Window lifetime: created, may-close, destroyed, owned windows, modal loops, timers
// that die with their window, and the view's notices.

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "tests/platform/gui/gui_test_window.h"

namespace {

WindowSpec dialog_spec(const std::string& name) {
  WindowSpec spec;
  spec.name = name;
  spec.title = name;
  spec.width = 300;
  spec.height = 200;
  spec.controls.push_back(control_spec("ok_button", ControlKind::button, {10, 10, 80, 24}, "确定"));
  spec.controls.push_back(control_spec("value_field", ControlKind::edit_box, {10, 40, 80, 24}));
  return spec;
}

TEST(Windows, CreatedRunsOnceBeforeShowingThroughTheViewAndTheWindowIsFoundByName) {
  HeadlessGui g;
  const WindowToken w = gui().create_window(sample_window_spec());
  EXPECT_FALSE(gui().window_visible(w));
  int created = 0;
  gui().bind({w, ""}, EventKind::created, [&](const GuiEvent&) {
    ++created;
    gui().set_title(w, "示例 V7.0");
    gui().set_window_size(w, 800, 645);
  });
  gui().open_window(w);
  gui().open_window(w);
  EXPECT_EQ(created, 1);
  EXPECT_TRUE(gui().window_visible(w));
  EXPECT_EQ(gui().title(w), "示例 V7.0");
  EXPECT_EQ(gui().window_size(w), (GuiPoint{800, 645}));
  EXPECT_EQ(gui().find_window("SampleWindow"), w);
  EXPECT_FALSE(gui().find_window("Nothing"));
}

TEST(Windows, ADestroyedWindowIgnoresWritesReadsDefaultsAndItsTokenStaysDead) {
  HeadlessGui g;
  const WindowToken w = gui().create_window(sample_window_spec());
  gui().open_window(w);
  const ControlRef list{w, "job_list"};
  gui().append_row(list, {"1", "a"});
  std::string read_in_handler;
  gui().bind({w, ""}, EventKind::destroyed, [&](const GuiEvent&) { read_in_handler = gui().cell(list, 0, 1); });
  gui().destroy_window(w);
  EXPECT_EQ(read_in_handler, "a");  // still readable in its destroyed handler
  EXPECT_FALSE(gui().window_exists(w));
  gui().set_text({w, "name_field"}, "x");
  gui().set_value({w, "file_progress_bar"}, 5);
  EXPECT_EQ(gui().append_row(list, {"2", "b"}).id, 0u);
  gui().set_timer(w, "poll_timer", 10);
  EXPECT_EQ(gui().text({w, "name_field"}), "");
  EXPECT_EQ(gui().row_count(list), 0);
  EXPECT_EQ(gui().first_selected_row(list), -1);
  EXPECT_EQ(gui().timer_interval(w, "poll_timer"), 0);
  EXPECT_FALSE(gui().input_click({w, "ok_button"}));
  // A new window never gets the old token.
  const WindowToken again = gui().create_window(sample_window_spec());
  EXPECT_NE(again, w);
  gui().set_text({w, "name_field"}, "x");
  EXPECT_EQ(gui().text({again, "name_field"}), "");
}

TEST(Windows, TimersDieWithTheirWindow) {
  HeadlessGui g;
  const WindowToken w = gui().create_window(sample_window_spec());
  gui().open_window(w);
  int ticks = 0;
  gui().bind({w, "poll_timer"}, EventKind::timer_tick, [&](const GuiEvent&) { ++ticks; });
  gui().set_timer(w, "poll_timer", 100);
  g.loop.advance(std::chrono::milliseconds(250));
  EXPECT_EQ(ticks, 2);
  gui().destroy_window(w);
  EXPECT_EQ(g.loop.running_timers(), 0);
  g.loop.advance(std::chrono::milliseconds(1000));
  EXPECT_EQ(ticks, 2);
}

TEST(Windows, MayCloseAnswersSynchronously) {
  HeadlessGui g;
  const WindowToken w = gui().create_window(sample_window_spec());
  gui().open_window(w);
  // The exit question, answered No and then Yes.
  gui().bind_answer({w, ""}, EventKind::may_close, [&](const GuiEvent&) {
    return show_message_box("友情提示：", "是否要退出软件？", MessageButtons::yes_no, w) == MessageAnswer::yes;
  });
  int destroyed = 0;
  gui().bind({w, ""}, EventKind::destroyed, [&](const GuiEvent&) { ++destroyed; });
  g.services.answer_message(MessageAnswer::no);
  g.services.answer_message(MessageAnswer::yes);
  EXPECT_FALSE(gui().input_close(w));
  EXPECT_TRUE(gui().window_exists(w));
  EXPECT_TRUE(gui().input_close(w));
  EXPECT_FALSE(gui().window_exists(w));
  EXPECT_EQ(destroyed, 1);
  const auto asked = g.services.messages();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0], (MessageRequest{w, "友情提示：", "是否要退出软件？", MessageButtons::yes_no, MessageIcon::none}));

  // A handler without an answer, or none at all, lets the window close.
  const WindowToken quiet = gui().create_window(dialog_spec("Quiet"));
  gui().open_window(quiet);
  gui().bind({quiet, ""}, EventKind::may_close, [](const GuiEvent&) {});
  EXPECT_TRUE(gui().request_close(quiet));
  const WindowToken plain = gui().create_window(dialog_spec("Plain"));
  gui().open_window(plain);
  EXPECT_TRUE(gui().request_close(plain));
}

TEST(Windows, AnOwnedWindowGoesBeforeItsOwner) {
  HeadlessGui g;
  const WindowToken main = gui().create_window(sample_window_spec());
  gui().open_window(main);
  const WindowToken editor = gui().create_window(dialog_spec("Editor"));
  gui().open_window(editor, main);
  std::vector<std::string> order;
  gui().bind({main, ""}, EventKind::destroyed, [&](const GuiEvent&) { order.push_back("main"); });
  gui().bind({editor, ""}, EventKind::destroyed, [&](const GuiEvent&) { order.push_back("editor"); });
  EXPECT_TRUE(gui().effectively_enabled({main, "ok_button"}));  // not modal: the owner stays usable
  gui().destroy_window(main);
  EXPECT_EQ(order, (std::vector<std::string>{"editor", "main"}));
  EXPECT_FALSE(gui().window_exists(editor));
}

TEST(Windows, ModalLoopRunsUntilTheWindowIsDestroyedAndBlocksItsOwner) {
  HeadlessGui g;
  const WindowToken main = gui().create_window(sample_window_spec());
  gui().open_window(main);
  const WindowToken dialog = gui().create_window(dialog_spec("CustomDialog"));
  std::vector<std::string> seen;
  gui().bind({dialog, ""}, EventKind::created, [&](const GuiEvent&) {
    gui().set_text({dialog, "value_field"}, "from created");
    gui().set_timer(dialog, "check_timer", 1000);  // a polling timer keeps ticking inside the loop
  });
  int ticks = 0;
  gui().bind({dialog, "check_timer"}, EventKind::timer_tick, [&](const GuiEvent&) { ++ticks; });
  gui().bind({dialog, "ok_button"}, EventKind::clicked, [&](const GuiEvent&) { gui().request_close(dialog); });
  // The user, while the dialog is open: the main window refuses input, the dialog takes it.
  g.loop.when_idle([&] {
    seen.push_back(gui().effectively_enabled({main, "ok_button"}) ? "main enabled" : "main blocked");
    seen.push_back(gui().input_click({main, "ok_button"}) ? "main clicked" : "main refused");
    seen.push_back(gui().input_close(main) ? "main closed" : "main stays");
    seen.push_back(gui().text({dialog, "value_field"}));
  });
  g.loop.when_idle([&] { gui().input_click({dialog, "ok_button"}); });
  EXPECT_TRUE(gui().run_modal(dialog, main));
  EXPECT_EQ(seen, (std::vector<std::string>{"main blocked", "main refused", "main stays", "from created"}));
  EXPECT_FALSE(gui().window_exists(dialog));
  EXPECT_TRUE(gui().effectively_enabled({main, "ok_button"}));
  EXPECT_EQ(ticks, 0);  // the dialog closed at virtual time 0, before its first tick
}

TEST(Windows, ModalLoopWaitsForAWorkerThatClosesTheDialog) {
  HeadlessGui g;
  const WindowToken main = gui().create_window(sample_window_spec());
  gui().open_window(main);
  const WindowToken dialog = gui().create_window(dialog_spec("FillDialog"));
  std::thread worker;
  gui().bind({dialog, ""}, EventKind::created, [&](const GuiEvent&) {
    worker = std::thread([&] {
      for (int i = 0; i < 50; ++i) gui().append_row({main, "job_list"}, {std::to_string(i + 1), "http://x/a.m3u8"});
      gui().request_close(dialog);  // from the worker: handed to the UI thread
    });
  });
  EXPECT_TRUE(gui().run_modal(dialog));  // no owner: every other window is blocked
  worker.join();
  EXPECT_EQ(gui().row_count({main, "job_list"}), 50);
  EXPECT_TRUE(gui().effectively_enabled({main, "ok_button"}));
}

TEST(Windows, ANestedModalWindowAndAModalLoopThatRunsOutOfWork) {
  HeadlessGui g;
  g.loop.set_limits(std::chrono::milliseconds(1000), std::chrono::milliseconds(50));
  const WindowToken main = gui().create_window(sample_window_spec());
  gui().open_window(main);
  const WindowToken outer = gui().create_window(dialog_spec("Outer"));
  const WindowToken inner = gui().create_window(dialog_spec("Inner"));
  bool inner_closed = false;
  g.loop.when_idle([&] {
    g.loop.when_idle([&] { gui().destroy_window(inner); });
    inner_closed = gui().run_modal(inner, outer);
    EXPECT_FALSE(gui().effectively_enabled({main, "ok_button"}));  // still blocked by the outer one
  });
  // Nothing closes the outer window: the headless loop gives up, the window stays.
  EXPECT_FALSE(gui().run_modal(outer));
  EXPECT_TRUE(inner_closed);
  EXPECT_TRUE(gui().window_exists(outer));
  EXPECT_TRUE(gui().effectively_enabled({main, "ok_button"}));
}

TEST(Windows, DestroyingTheQuitWindowEndsTheMainLoopNotHidingIt) {
  HeadlessGui g;
  WindowSpec spec = sample_window_spec();
  spec.quit_on_destroy = true;
  const WindowToken main = gui().create_window(spec);
  gui().open_window(main);
  const WindowToken other = gui().create_window(dialog_spec("Other"));
  gui().open_window(other);
  g.loop.when_idle([&] {
    gui().set_window_visible(main, false);  // hidden in the tray: the program goes on
    gui().destroy_window(other);
  });
  g.loop.when_idle([&] { gui().post([&] { gui().request_close(main); }); });
  EXPECT_EQ(g.loop.run(), 0);
  EXPECT_FALSE(gui().window_exists(main));
}

TEST(Windows, QuitEndsNestedAndMainLoops) {
  HeadlessGui g;
  const WindowToken dialog = gui().create_window(dialog_spec("Dialog"));
  g.loop.when_idle([&] { g.loop.quit(0); });
  EXPECT_FALSE(gui().run_modal(dialog));
  EXPECT_EQ(g.loop.run(), 0);
  EXPECT_TRUE(g.loop.quitting());
}

// A view that records the notices and reads the model back inside them, which only
// works when the model's lock is not held.
class RecordingView : public GuiView {
 public:
  void window_created(WindowToken w) override {
    std::lock_guard lock(mutex);
    log.push_back("created:" + gui().window_snapshot(w).name);
  }
  void window_destroyed(WindowToken) override {
    std::lock_guard lock(mutex);
    log.push_back("destroyed");
  }
  void changed(const GuiChange& c) override {
    std::string entry = std::string(change_kind_name(c.kind)) + ":" + c.role;
    if (c.kind == ChangeKind::text) entry += "=" + gui().text({c.window, c.role});
    if (c.kind == ChangeKind::cell) entry += "=" + gui().cell_by_id({c.window, c.role}, c.row_id, c.column);
    std::lock_guard lock(mutex);
    log.push_back(entry);
  }
  std::mutex mutex;
  std::vector<std::string> log;
};

TEST(Windows, TheViewHearsEveryChangeWithoutTheLockHeld) {
  HeadlessGui g;
  RecordingView view;
  gui().attach_view(&view);
  const WindowToken w = gui().create_window(dialog_spec("Viewed"));
  gui().open_window(w);
  gui().set_text({w, "value_field"}, "12");
  gui().set_text({w, "value_field"}, "12");  // unchanged: no notice (the event still fires)
  gui().set_enabled({w, "ok_button"}, false);
  ControlSpec list = control_spec("rows", ControlKind::list_view, {0, 0, 100, 100});
  list.columns = {{"a", 10}, {"b", 10}};
  gui().add_control(w, list);
  const RowRef r = gui().append_row({w, "rows"}, {"1", ""});
  std::thread worker([&] { gui().set_cell_by_id({w, "rows"}, r.id, 1, "任务完成"); });
  worker.join();
  gui().destroy_window(w);
  gui().attach_view(nullptr);
  EXPECT_EQ(view.log, (std::vector<std::string>{"created:Viewed", "window_visible:", "text:value_field=12",
                                                "enabled:ok_button", "control_added:rows", "rows:rows",
                                                "cell:rows=任务完成", "destroyed"}));
}

}  // namespace
