// The headless event loop: posted tasks, timers on the virtual clock, one-shot
// triggers, the event pump hook.

#include <gtest/gtest.h>

#include <thread>

#include "platform/event_pump.h"
#include "tests/platform/gui/gui_test_window.h"

namespace {

TEST(HeadlessLoop, TimersTickOnTheVirtualClockAndStopAtZero) {
  HeadlessGui g;
  const WindowToken w = gui().create_window(sample_window_spec());
  gui().open_window(w);
  std::vector<std::int64_t> ticks;
  gui().bind({w, "clipboard_timer"}, EventKind::timer_tick, [&](const GuiEvent& e) {
    ticks.push_back(g.loop.now_ms());
    EXPECT_EQ(e.value, 100);
  });
  gui().set_timer(w, "clipboard_timer", 100);
  EXPECT_EQ(gui().timer_interval(w, "clipboard_timer"), 100);
  g.loop.run_until_idle();
  EXPECT_TRUE(ticks.empty());  // the clock has not moved
  g.loop.advance(std::chrono::milliseconds(350));
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{100, 200, 300}));
  EXPECT_EQ(g.loop.now_ms(), 350);
  gui().set_timer(w, "clipboard_timer", 0);
  EXPECT_EQ(gui().timer_interval(w, "clipboard_timer"), 0);
  g.loop.advance(std::chrono::milliseconds(1000));
  EXPECT_EQ(ticks.size(), 3u);
}

TEST(HeadlessLoop, OneShotTriggerRunsItsWorkOnceAfterTheHandlerReturns) {
  HeadlessGui g;
  const WindowToken w = gui().create_window(sample_window_spec());
  gui().open_window(w);
  std::vector<std::string> log;
  // The pattern of the region editors: a handler starts a 1 ms timer; the tick
  // handler stops its timer first, then does the work.
  gui().bind({w, "ok_button"}, EventKind::clicked, [&](const GuiEvent&) {
    gui().set_timer(w, "probe_timer", 1);
    log.push_back("clicked");
  });
  gui().bind({w, "probe_timer"}, EventKind::timer_tick, [&](const GuiEvent&) {
    gui().set_timer(w, "probe_timer", 0);
    log.push_back("probe");
  });
  gui().input_click({w, "ok_button"});
  gui().input_click({w, "ok_button"});  // restarting a running timer gives still one tick
  g.loop.advance(std::chrono::milliseconds(50));
  EXPECT_EQ(log, (std::vector<std::string>{"clicked", "clicked", "probe"}));
}

TEST(HeadlessLoop, TimersStartedFromWorkersTickOnTheUiThread) {
  HeadlessGui g;
  const WindowToken w = gui().create_window(sample_window_spec());
  gui().open_window(w);
  const auto ui = std::this_thread::get_id();
  int ticks = 0;
  gui().bind({w, "grab_timer"}, EventKind::timer_tick, [&](const GuiEvent&) {
    EXPECT_EQ(std::this_thread::get_id(), ui);
    gui().set_timer(w, "grab_timer", 0);
    ++ticks;
  });
  std::thread worker([&] { gui().set_timer(w, "grab_timer", 1); });
  worker.join();
  g.loop.advance(std::chrono::milliseconds(5));
  EXPECT_EQ(ticks, 1);
  // A timer restarted with another interval keeps only the new rhythm.
  gui().bind({w, "poll"}, EventKind::timer_tick, [&](const GuiEvent&) { ++ticks; });
  gui().set_timer(w, "poll", 1000);
  g.loop.advance(std::chrono::milliseconds(500));
  gui().set_timer(w, "poll", 100);
  g.loop.advance(std::chrono::milliseconds(550));
  EXPECT_EQ(ticks, 1 + 5);
}

TEST(HeadlessLoop, PostedTasksRunInOrderAndWaitUntilSeesOtherThreads) {
  HeadlessEventLoop loop;
  std::vector<int> order;
  loop.post([&] { order.push_back(1); });
  loop.post([&] {
    order.push_back(2);
    loop.post([&] { order.push_back(4); });
  });
  loop.post([&] { order.push_back(3); });
  EXPECT_EQ(loop.pending_tasks(), 3);
  loop.process_pending();  // only what was pending when it started
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(loop.run_until_idle(), 1);
  EXPECT_EQ(order.back(), 4);

  bool done = false;
  std::thread worker([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    loop.post([&] { done = true; });
  });
  EXPECT_TRUE(loop.wait_until([&] { return done; }));
  worker.join();
  EXPECT_FALSE(loop.wait_until([] { return false; }, std::chrono::milliseconds(20)));
}

TEST(HeadlessLoop, ProcessPendingOnlyWorksOnTheUiThread) {
  HeadlessEventLoop loop;
  int ran = 0;
  loop.post([&] { ++ran; });
  std::thread other([&] { loop.process_pending(); });
  other.join();
  EXPECT_EQ(ran, 0);
  loop.process_pending();
  EXPECT_EQ(ran, 1);
}

TEST(HeadlessLoop, InstalledModelIsTheEventPumpOfTheUiThread) {
  {
    HeadlessGui g;
    EXPECT_TRUE(is_ui_thread());
    EXPECT_EQ(&gui(), &g.model);
    int ran = 0;
    gui().post([&] { ++ran; });
    process_pending_events();  // what a converter run on the UI thread calls between polls
    EXPECT_EQ(ran, 1);
  }
  EXPECT_FALSE(is_ui_thread());
  // The fallback model works for reads and writes without a GUI.
  const WindowToken w = gui().create_window(sample_window_spec());
  gui().set_text({w, "file_progress_label"}, "100 %");
  EXPECT_EQ(gui().text({w, "file_progress_label"}), "100 %");
  gui().destroy_window(w);
  gui().loop().process_pending();
  EXPECT_FALSE(gui().window_exists(w));
}

}  // namespace
