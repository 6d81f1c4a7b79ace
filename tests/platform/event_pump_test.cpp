#include "platform/event_pump.h"

#include <gtest/gtest.h>

#include <thread>

TEST(EventPump, PumpsOnlyOnTheRegisteringThreadAndPausesAtLeastTheTime) {
  int pumped = 0;
  set_ui_event_pump([&] { ++pumped; });
  EXPECT_TRUE(is_ui_thread());
  process_pending_events();
  EXPECT_EQ(pumped, 1);

  std::thread other([&] {
    EXPECT_FALSE(is_ui_thread());
    process_pending_events();  // not the UI thread: no pumping
    const auto start = std::chrono::steady_clock::now();
    pause_processing_events(std::chrono::milliseconds(30));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
  });
  other.join();
  EXPECT_EQ(pumped, 1);

  const auto start = std::chrono::steady_clock::now();
  pause_processing_events(std::chrono::milliseconds(30));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
  EXPECT_GT(pumped, 1);  // the UI thread kept processing while it paused
  set_ui_event_pump({});
  EXPECT_FALSE(is_ui_thread());
}
