// The registry of worker threads: counting and joining, and the one-way shutdown
// (run in a child process, since it cannot be undone).

#include "engine/converter/worker_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace {

// A gate a worker waits at until the test opens it.
struct Gate {
  std::mutex mutex;
  std::condition_variable opened_cv;
  bool opened = false;
  void open() {
    std::lock_guard lock(mutex);
    opened = true;
    opened_cv.notify_all();
  }
  void wait() {
    std::unique_lock lock(mutex);
    opened_cv.wait(lock, [this] { return opened; });
  }
};

TEST(WorkerThreads, AreCountedByKindUntilTheyEndAndAreJoinedByTheWait) {
  Gate gate;
  std::atomic<int> ran = 0;
  ASSERT_TRUE(start_worker_thread(WorkerKind::convert, [&] {
    gate.wait();
    ++ran;
  }));
  ASSERT_TRUE(start_worker_thread(WorkerKind::scan, [&] {
    gate.wait();
    ++ran;
  }));
  EXPECT_EQ(running_worker_threads(), 2);
  EXPECT_EQ(running_worker_threads(WorkerKind::convert), 1);
  EXPECT_EQ(running_worker_threads(WorkerKind::merge), 0);
  EXPECT_FALSE(wait_for_worker_threads(20ms));  // still at the gate
  gate.open();
  EXPECT_TRUE(wait_for_worker_threads(10s));
  EXPECT_EQ(ran.load(), 2);
  EXPECT_EQ(running_worker_threads(), 0);
  EXPECT_FALSE(worker_shutdown_requested());
}

// Exits 0 when shutdown behaved; each other code names the first fault.
[[noreturn]] void shut_down_workers() {
  std::mutex order_mutex;
  std::string order;
  auto note = [&](const char* what) {
    std::lock_guard lock(order_mutex);
    order += what;
  };
  // Each cooperative worker loops until its own stop flag or the shutdown flag is set.
  std::atomic<bool> edit_stop = false, scan_stop = false;
  std::atomic<bool> edit_saw_flag = false;
  start_worker_thread(
      WorkerKind::edit,
      [&] {
        while (!edit_stop) std::this_thread::sleep_for(1ms);
        edit_saw_flag = worker_shutdown_requested();
      },
      [&] {
        note("E");
        edit_stop = true;
      });
  start_worker_thread(
      WorkerKind::scan, [&] { while (!scan_stop) std::this_thread::sleep_for(1ms); },
      [&] {
        note("S");
        scan_stop = true;
      });
  // A worker that only reads the shared flag, and one that ignores everything for a while.
  start_worker_thread(WorkerKind::startup, [] { while (!worker_shutdown_requested()) std::this_thread::sleep_for(1ms); });
  Gate stubborn;
  start_worker_thread(WorkerKind::merge, [&] { stubborn.wait(); });

  request_worker_shutdown();
  request_worker_shutdown();  // a second call changes nothing
  if (!worker_shutdown_requested()) std::_Exit(1);
  if (start_worker_thread(WorkerKind::convert, [] {})) std::_Exit(2);
  if (order != "SE") std::_Exit(3);              // kind order, each stop function once
  if (wait_for_worker_threads(100ms)) std::_Exit(4);  // the stubborn one is still there
  if (running_worker_threads() != 1 || running_worker_threads(WorkerKind::merge) != 1) std::_Exit(5);
  stubborn.open();
  if (!wait_for_worker_threads(10s)) std::_Exit(6);
  if (!edit_saw_flag) std::_Exit(7);
  std::_Exit(0);
}

TEST(WorkerThreads, ShutdownStopsEveryWorkerInKindOrderRefusesNewOnesAndWaitsBoundedly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(shut_down_workers(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
