// The merge page's options: the transition box and combo and the title radios, each
// writing its own key at once; the stored transition index read back safely.

#include <gtest/gtest.h>

#include "engine/common/transition_table.h"
#include "tests/ui/settings_test_support.h"
#include "ui/merge_options.h"

namespace {

bool enabled(const char* role) { return gui().enabled(control(role)); }
bool click(const char* role) { return gui().input_click(control(role)); }

TEST(MergeOptions, ChoosingATransitionStoresItsIndexAtOnceWithoutSavingTheEditOptions) {
  HeadlessGui g;
  MainWindowRunFolder run;
  start_main_window(g, run);
  show_page(1);
  ASSERT_EQ(gui().items(control("merge_transition_combo")).size(), 32u);
  // Typed values wait for the next save of the edit options.
  gui().set_text(control("head_trim_seconds_field"), "8");

  EXPECT_TRUE(gui().input_select(control("merge_transition_combo"), 10));
  EXPECT_EQ(gui().text(control("merge_transition_combo")), "向右滑动");
  EXPECT_EQ(transition_for_combo_index(gui().selected_index(control("merge_transition_combo"))), "slideright");
  EXPECT_EQ(stored(run, "zctx1"), "10");
  EXPECT_EQ(stored(run, "zctx"), "(missing)");
  EXPECT_EQ(stored(run, "y4"), "3");

  // Unchecking the box stores "b", keeps the index, disables the combo and saves the
  // edit options.
  EXPECT_TRUE(click("merge_transition_check"));
  EXPECT_FALSE(enabled("merge_transition_combo"));
  EXPECT_EQ(stored(run, "zctx"), "b");
  EXPECT_EQ(stored(run, "zctx1"), "10");
  EXPECT_EQ(stored(run, "y4"), "8");
  EXPECT_TRUE(click("merge_transition_check"));
  EXPECT_TRUE(enabled("merge_transition_combo"));
  EXPECT_EQ(stored(run, "zctx"), "a");
  EXPECT_EQ(stored(run, "zctx1"), "10");
}

TEST(MergeOptions, TheTitleRadiosWriteTheirKeyOnEveryClick) {
  HeadlessGui g;
  MainWindowRunFolder run;
  start_main_window(g, run);
  show_page(1);
  EXPECT_EQ(stored(run, "hbtitle"), "(missing)");
  EXPECT_TRUE(click("merge_title_from_source2_radio"));
  EXPECT_EQ(stored(run, "hbtitle"), "b");
  EXPECT_TRUE(click("merge_title_from_source1_radio"));
  EXPECT_EQ(stored(run, "hbtitle"), "a");
  // Clicking the radio that is already checked writes its value again.
  test_env::write_file(run.config(), "[批量剪辑视频]\r\nhbtitle=x\r\n");
  EXPECT_TRUE(click("merge_title_from_source1_radio"));
  EXPECT_EQ(stored(run, "hbtitle"), "a");
  EXPECT_EQ(section_entries(run.config(), "批量剪辑视频").size(), 1u);  // nothing else written
}

TEST(MergeOptions, AStoredTransitionIndexOutsideTheComboReadsAsRandom) {
  const std::pair<const char*, int> cases[] = {
      {"0", 0}, {"3", 3}, {"31", 31}, {"31.5", 31}, {"３", 3}, {"32", 0}, {"-1", 0}, {"1e9", 0}, {"abc", 0}, {"", 0}};
  for (const auto& [value, index] : cases) EXPECT_EQ(transition_index_from_setting(value), index) << value;

  for (const auto& [value, index] : {std::pair{"3", 3}, std::pair{"99", 0}}) {
    SCOPED_TRACE(value);
    HeadlessGui g;
    MainWindowRunFolder run;
    run.write_config(std::string("[批量剪辑视频]\r\nzctx1=") + value + "\r\n");
    start_main_window(g, run);
    EXPECT_EQ(gui().selected_index(control("merge_transition_combo")), index);
    EXPECT_EQ(gui().text(control("merge_transition_combo")), index == 3 ? "渐白切换" : "随机特效");
    // The load leaves the stored text alone; the box's click writes what is selected.
    EXPECT_EQ(stored(run, "zctx1"), value);
    show_page(1);
    EXPECT_TRUE(click("merge_transition_check"));
    EXPECT_EQ(stored(run, "zctx1"), std::to_string(index));
  }
}

}  // namespace
