// The Qt event loop: tasks from any thread in order, timers, nested loops, quit, and
// the event pump for converter runs on the UI thread.

#include <gtest/gtest.h>

#include <QTimer>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/event_pump.h"
#include "platform/qt/qt_event_loop.h"
#include "tests/platform/qt/qt_test_support.h"

using namespace std::chrono_literals;

TEST(QtEventLoop, TasksFromManyThreadsRunOnTheUiThreadInPostingOrder) {
  QtEventLoop loop;
  std::mutex mutex;
  std::vector<std::vector<int>> seen(4);
  std::atomic<int> off_thread{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        loop.post([&, t, i] {
          if (!loop.is_ui_thread()) ++off_thread;
          std::lock_guard lock(mutex);
          seen[t].push_back(i);
        });
      }
    });
  }
  for (auto& thread : threads) thread.join();
  ASSERT_TRUE(process_until([&] {
    std::lock_guard lock(mutex);
    for (const auto& s : seen) {
      if (s.size() < 200) return false;
    }
    return true;
  }));
  EXPECT_EQ(off_thread, 0);
  for (const auto& s : seen) {
    for (int i = 0; i < 200; ++i) ASSERT_EQ(s[i], i);
  }
}

TEST(QtEventLoop, TimersTickUntilStoppedAlsoWhenStartedFromAWorker) {
  QtEventLoop loop;
  std::atomic<int> ticks{0};
  LoopTimerId id = 0;
  std::thread starter([&] { id = loop.start_timer(1ms, [&] { ++ticks; }); });
  starter.join();
  ASSERT_TRUE(process_until([&] { return ticks >= 3; }));
  EXPECT_EQ(loop.running_timers(), 1);

  loop.stop_timer(id);
  const int after_stop = ticks;
  process_until([] { return false; }, 30ms);
  EXPECT_EQ(ticks, after_stop);
  EXPECT_EQ(loop.running_timers(), 0);
}

TEST(QtEventLoop, ATimerStoppedInsideItsOwnTickNeverTicksAgain) {
  QtEventLoop loop;
  int ticks = 0;
  LoopTimerId id = 0;
  id = loop.start_timer(1ms, [&] {
    ++ticks;
    loop.stop_timer(id);  // the one-shot trigger pattern
  });
  process_until([] { return false; }, 40ms);
  EXPECT_EQ(ticks, 1);
}

TEST(QtEventLoop, ATimerStoppedFromAWorkerBeforeItWasMadeNeverTicks) {
  QtEventLoop loop;
  std::atomic<int> ticks{0};
  std::thread worker([&] {
    const LoopTimerId id = loop.start_timer(1ms, [&] { ++ticks; });
    loop.stop_timer(id);
  });
  worker.join();
  process_until([] { return false; }, 30ms);
  EXPECT_EQ(ticks, 0);
}

TEST(QtEventLoop, NestedLoopsEndByTheirTokenFromAnyThread) {
  QtEventLoop loop;
  // Ended from another thread while it runs.
  std::thread ender([&] {
    std::this_thread::sleep_for(20ms);
    loop.exit_nested(7);
  });
  EXPECT_TRUE(loop.run_nested(7));
  ender.join();

  // Ended before it started: returns at once.
  loop.exit_nested(8);
  EXPECT_TRUE(loop.run_nested(8));

  // Inner loop ended from a task while an outer one waits.
  bool inner_ended = false;
  loop.post([&] {
    loop.post([&] { loop.exit_nested(10); });
    inner_ended = loop.run_nested(10);
    loop.exit_nested(9);
  });
  EXPECT_TRUE(loop.run_nested(9));
  EXPECT_TRUE(inner_ended);
}

TEST(QtEventLoop, QuitFromAWorkerEndsTheMainLoopWithItsExitCode) {
  QtEventLoop loop;
  bool nested_result = true;
  loop.post([&] {
    std::thread([&] { loop.quit(3); }).detach();
    nested_result = loop.run_nested(1);  // ended by the quit, not by its token
  });
  EXPECT_EQ(loop.run(), 3);
  EXPECT_FALSE(nested_result);
  EXPECT_TRUE(loop.quitting());
  EXPECT_EQ(loop.run(), 3);  // a loop that was quit does not run again
}

TEST(QtEventLoop, QuitEndsQtsOwnModalLoopsToo) {
  QtEventLoop loop;
  int modal_result = 0;
  loop.post([&] {
    QEventLoop modal;  // as a message box's exec runs it
    QTimer::singleShot(10, [&] { loop.quit(0); });
    modal_result = modal.exec();
    loop.post([] {});
  });
  EXPECT_EQ(loop.run(), 0);
  EXPECT_EQ(modal_result, 0);
}

TEST(QtEventLoop, TheEventPumpRunsPostedTasksDuringALongCallOnTheUiThread) {
  QtEventLoop loop;
  set_ui_event_pump([&] { loop.process_pending(); });
  std::atomic<bool> ran{false};
  std::thread worker([&] { loop.post([&] { ran = true; }); });
  worker.join();
  // A converter run waits like this on the UI thread.
  const auto end = std::chrono::steady_clock::now() + 5s;
  while (!ran && std::chrono::steady_clock::now() < end) pause_processing_events(5ms);
  set_ui_event_pump({});
  EXPECT_TRUE(ran);
}
