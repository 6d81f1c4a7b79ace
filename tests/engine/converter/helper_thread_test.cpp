// The helper thread runs what it is handed in order, off the calling thread, gives
// each result through its future, and runs everything handed over before it ends.

#include "engine/converter/helper_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

TEST(HelperThread, RunsTasksInOrderOffTheCallingThreadAndFinishesThemBeforeItEnds) {
  std::vector<int> order;
  std::atomic<int> done{0};
  std::future<std::thread::id> where;
  {
    HelperThread helper;
    where = helper.run([] { return std::this_thread::get_id(); });
    for (int i = 0; i < 20; ++i) {
      helper.run([&order, &done, i] {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        order.push_back(i);
        ++done;
      });
    }
    EXPECT_NE(where.get(), std::this_thread::get_id());
  }  // the destructor waits for all twenty
  EXPECT_EQ(done.load(), 20);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
}

TEST(HelperThread, AResultComesThroughItsFuture) {
  HelperThread helper;
  std::future<std::string> text = helper.run([] { return std::string("00:00:02"); });
  EXPECT_EQ(text.get(), "00:00:02");
}
