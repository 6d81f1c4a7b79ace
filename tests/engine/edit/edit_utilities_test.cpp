#include "engine/edit/edit_utilities.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <set>
#include <thread>

#include "platform/event_pump.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::TempDir;
using test_env::write_file;

TEST(EditUtilities, RandomParityTextStaysInRangeWithTheRightParity) {
  struct Case {
    int low, high, mode;
  };
  const Case cases[] = {
      {10, 20, 2}, {20, 10, 2}, {11, 21, 2}, {21, 11, 2}, {10, 20, 1}, {20, 10, 1},
      {1, 2, 1},   {1, 2, 2},   {2, 1, 1},   {4, 4, 2},   {5, 5, 1},   {10, 20, 0},
      {INT_MAX - 1, INT_MAX, 2}, {INT_MAX, INT_MAX - 1, 1},
  };
  for (const auto& c : cases) {
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
      const std::string text = random_parity_text(c.low, c.high, c.mode);
      const int v = std::stoi(text);
      ASSERT_GE(v, std::min(c.low, c.high)) << c.low << "," << c.high << "," << c.mode;
      ASSERT_LE(v, std::max(c.low, c.high)) << c.low << "," << c.high << "," << c.mode;
      if (c.mode == 1 || c.mode == 2) {
        ASSERT_EQ(v % 2, c.mode == 1 ? 1 : 0) << c.low << "," << c.high << "," << c.mode;
      }
      seen.insert(v);
    }
    if (c.low == 10 && c.high == 20 && c.mode == 2) {
      EXPECT_EQ(seen, (std::set<int>{10, 12, 14, 16, 18, 20}));
    }
    if (c.mode == 0) {
      EXPECT_EQ(seen.size(), 11u);
    }
  }
  EXPECT_EQ(random_parity_text(0, 20, 2), "起始数或结束数都必须≥1");
  EXPECT_EQ(random_parity_text(10, 0, 2), random_parity_bound_message);
  EXPECT_EQ(random_parity_text(-1, -5, 1), random_parity_bound_message);
  EXPECT_EQ(random_parity_text(5, 5, 2), "");  // no even number from 5 to 5
  EXPECT_EQ(random_parity_text(4, 4, 1), "");
  EXPECT_EQ(random_parity_text(5, 5, 0), "5");
}

TEST(EditUtilities, ColourToHex) {
  struct Case {
    std::uint32_t colour;
    const char* hex;
  };
  const Case cases[] = {
      {0x0A00FF, "FF000A"},      // red 255, green 0, blue 10
      {0x00FFFF, "FFFF00"},      // yellow
      {0x000005, "050000"},      // a channel of 5 is written "05"
      {0x000000, "000000"},      {0xFFFFFF, "FFFFFF"},
      {0xAB123456, "563412"},    // the fourth byte is ignored
  };
  for (const auto& c : cases) EXPECT_EQ(colour_to_hex(c.colour), c.hex) << std::hex << c.colour;
}

TEST(EditUtilities, WaitPumpingMessagesWaitsTheTimeAndKeepsEventsFlowing) {
  using clock = std::chrono::steady_clock;
  int pumped = 0;
  set_ui_event_pump([&] { ++pumped; });
  auto start = clock::now();
  wait_pumping_messages(40);
  EXPECT_GE(clock::now() - start, std::chrono::milliseconds(40));
  EXPECT_GT(pumped, 0);
  start = clock::now();
  wait_pumping_messages(1, 1);
  EXPECT_GE(clock::now() - start, std::chrono::seconds(1));
  set_ui_event_pump({});

  start = clock::now();
  wait_pumping_messages(0, 3);
  wait_pumping_messages(-5, 2);
  EXPECT_LT(clock::now() - start, std::chrono::seconds(5));  // no wait at all, only a sanity bound
}
