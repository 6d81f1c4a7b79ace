#include "engine/common/transition_table.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/support/test_env.h"

using test_env::TempDir;

TEST(TransitionTable, RowsAndComboItems) {
  ASSERT_EQ(transition_names().size(), 31u);
  ASSERT_EQ(transition_labels().size(), 31u);
  EXPECT_EQ(transition_name(1), "fade");
  EXPECT_EQ(transition_label(1), "渐变渐入");
  EXPECT_EQ(transition_label(3), "渐白切换");
  EXPECT_EQ(transition_name(5), "wipeleft");
  EXPECT_EQ(transition_name(10), "slideright");
  EXPECT_EQ(transition_label(10), "向右滑动");
  EXPECT_EQ(transition_name(17), "circlecrop");
  EXPECT_EQ(transition_name(18), "rectcrop");
  EXPECT_EQ(transition_name(31), "radial");
  EXPECT_EQ(transition_label(31), "指针效果");
  for (int outside : {0, -1, 32, 1000}) {
    EXPECT_EQ(transition_name(outside), "") << outside;
    EXPECT_EQ(transition_label(outside), "") << outside;
  }
  const auto names = transition_names();
  const auto labels = transition_labels();
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 31u);
  EXPECT_EQ(std::set<std::string>(labels.begin(), labels.end()).size(), 31u);

  // Combo index k is row k; "随机特效" comes first.
  const auto items = transition_combo_items();
  ASSERT_EQ(items.size(), 32u);
  EXPECT_EQ(items[0], "随机特效");
  for (int k = 1; k <= transition_count; ++k) {
    EXPECT_EQ(items[k], transition_label(k)) << k;
    EXPECT_EQ(names[k - 1], transition_name(k)) << k;
    EXPECT_EQ(transition_for_combo_index(k), transition_name(k)) << k;
  }
}

TEST(TransitionTable, RandomChoicesCoverTheTableAndNeverLeaveIt) {
  const auto names = transition_names();
  const std::set<std::string> valid(names.begin(), names.end());
  // Index 0, no selection and out-of-range indexes all draw a row anew each time.
  for (int index : {0, -1, 32, 99}) {
    std::set<std::string> drawn;
    for (int i = 0; i < 3000; ++i) {
      const std::string name = transition_for_combo_index(index);
      ASSERT_TRUE(valid.count(name)) << index << " gave " << name;
      drawn.insert(name);
    }
    EXPECT_EQ(drawn, valid) << index;
  }
  std::set<std::string> drawn;
  for (int i = 0; i < 3000; ++i) drawn.insert(random_transition_name());
  EXPECT_EQ(drawn, valid);
}

// Every name is a transition the converter accepts: each one joins two 1-second clips
// with a half-second transition, and the result holds both.
TEST(TransitionTable, ConverterAcceptsEveryName) {
  TempDir dir;
  const std::string first = dir / "first.mkv", second = dir / "second.mkv";
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "testsrc=size=64x48:rate=25:duration=1", first}));
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "color=c=blue:size=64x48:rate=25:duration=1", second}));
  for (const std::string& name : transition_names()) {
    const std::string out = dir / (name + ".mkv");
    ASSERT_TRUE(test_env::make_clip(
        {"-i", first, "-i", second, "-filter_complex", "xfade=transition=" + name + ":duration=0.5:offset=0.5", out}))
        << name;
    const auto probe = test_env::ffprobe(out);
    EXPECT_TRUE(probe.ok) << name;
    EXPECT_EQ(probe.width, 64) << name;
    EXPECT_GT(probe.duration, 1.3) << name;  // 0.5 s of the first, the transition, 0.5 s of the second
  }
}
