// The job lists' columns, row numbers and counts: the count labels, the merge output
// count with its boxes and start button, and what a count update leaves alone while
// the page's job runs.

#include <string>
#include <vector>

#include "tests/ui/job_list_test_support.h"
#include "ui/list_counts.h"

namespace {

std::vector<std::string> names(const std::string& prefix, int count) {
  std::vector<std::string> result;
  for (int i = 1; i <= count; ++i) result.push_back("/videos/" + prefix + std::to_string(i) + ".mp4");
  return result;
}

std::string text(const char* role) { return gui().text(main_control(role)); }
bool enabled(const char* role) { return gui().enabled(main_control(role)); }

using JobListCounts = JobListWindowTest;

TEST_F(JobListCounts, ListsStartEmptyWithTheirColumnsAndDesignedCounts) {
  const std::vector<std::vector<ListColumn>> expected = {
      {{"序号", 60}, {"原视频地址", 805}, {"状态", 100}},
      {{"序号", 60}, {"原视频１的地址", 805}, {"视频时长", 100}},
      {{"序号", 60}, {"原视频２的地址", 805}, {"视频时长", 100}},
      {{"序号", 60}, {"原视频地址", 703}, {"时长", 100}, {"状态", 100}},
  };
  for (JobList list : all_job_lists) {
    EXPECT_EQ(gui().columns(list_of(list)), expected[static_cast<std::size_t>(list) - 1]);
    EXPECT_EQ(gui().row_count(list_of(list)), 0);
  }
  EXPECT_EQ(current_list.load(), 0);
  for (const char* label : {"merge_list1_count_label", "merge_list2_count_label", "edit_list_count_label"})
    EXPECT_EQ(text(label), "共 0 个视频");
  EXPECT_EQ(text("merge_output_count_label"), "0");
  EXPECT_FALSE(enabled("merge_start_button"));
  EXPECT_FALSE(enabled("merge_all_source1_check"));
  EXPECT_FALSE(enabled("merge_all_source2_check"));
}

TEST_F(JobListCounts, MergeOutputCountFollowsTheRowsAndTheMergeAllBoxes) {
  struct Case {
    int rows1, rows2;
    bool all1, all2;
    const char* outputs;
    bool start_enabled;
  };
  const Case cases[] = {
      {3, 4, false, false, "12", true}, {3, 4, true, false, "4", true}, {3, 4, false, true, "3", true},
      {3, 4, true, true, "1", true},    {0, 4, true, false, "0", false}, {1, 1, false, false, "1", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.rows1) + " x " + std::to_string(c.rows2) + (c.all1 ? " all1" : "") +
                 (c.all2 ? " all2" : ""));
    gui().clear_rows(list_of(JobList::merge1));
    gui().clear_rows(list_of(JobList::merge2));
    gui().set_checked(at("merge_all_source1_check"), c.all1);
    gui().set_checked(at("merge_all_source2_check"), c.all2);
    if (c.rows1 > 0) {
      ASSERT_TRUE(drop(JobList::merge1, names("a", c.rows1)));
    }
    if (c.rows2 > 0) {
      ASSERT_TRUE(drop(JobList::merge2, names("b", c.rows2)));
    }
    update_merge_counts();

    EXPECT_EQ(text("merge_list1_count_label"), "共 " + std::to_string(c.rows1) + " 个视频");
    EXPECT_EQ(text("merge_list2_count_label"), "共 " + std::to_string(c.rows2) + " 个视频");
    EXPECT_EQ(text("merge_output_count_label"), c.outputs);
    EXPECT_EQ(enabled("merge_start_button"), c.start_enabled);
    EXPECT_EQ(enabled("merge_all_source1_check"), c.rows1 > 1);
    EXPECT_EQ(enabled("merge_all_source2_check"), c.rows2 > 1);
  }
}

TEST_F(JobListCounts, ADisabledMergeAllBoxKeepsItsCheckAndTheCountStaysTheSame) {
  ASSERT_TRUE(drop(JobList::merge1, names("a", 2)));
  ASSERT_TRUE(drop(JobList::merge2, names("b", 3)));
  gui().input_click(at("merge_all_source1_check"));
  update_merge_counts();
  EXPECT_EQ(text("merge_output_count_label"), "3");

  select_rows(JobList::merge1, {0});
  gui().input_click(at("merge_delete_selected1_button"));
  finish_list_threads();
  EXPECT_FALSE(enabled("merge_all_source1_check"));
  EXPECT_TRUE(gui().checked(at("merge_all_source1_check")));
  EXPECT_EQ(text("merge_output_count_label"), "3");
  EXPECT_EQ(text("merge_list1_count_label"), "共 1 个视频");
}

TEST_F(JobListCounts, RowNumbersAreTheCountWhenAddedAndAreNeverRenumbered) {
  ASSERT_TRUE(drop(JobList::convert, names("v", 3)));
  EXPECT_EQ(numbers(JobList::convert), (std::vector<std::string>{"1", "2", "3"}));

  select_rows(JobList::convert, {0});
  gui().input_click(at("convert_delete_selected_button"));
  finish_list_threads();
  ASSERT_TRUE(drop(JobList::convert, {"/videos/new.mp4"}));
  EXPECT_EQ(numbers(JobList::convert), (std::vector<std::string>{"2", "3", "3"}));
  EXPECT_EQ(sources(JobList::convert),
            (std::vector<std::string>{"/videos/v2.mp4", "/videos/v3.mp4", "/videos/new.mp4"}));
  // The status column is the convert job's; adding leaves it empty.
  EXPECT_EQ(column(JobList::convert, 2), (std::vector<std::string>{"", "", ""}));
}

TEST_F(JobListCounts, TheEditListCountFollowsItsRowsAndRunsTheEditOptionsRefresh) {
  int refreshes = 0;
  set_edit_options_refresh([&refreshes] { ++refreshes; });
  ASSERT_TRUE(drop(JobList::edit, names("e", 2)));
  EXPECT_EQ(text("edit_list_count_label"), "共 2 个视频");
  EXPECT_EQ(refreshes, 1);
  EXPECT_TRUE(click(JobList::edit, "edit_clear_button"));
  EXPECT_EQ(text("edit_list_count_label"), "共 0 个视频");
  EXPECT_EQ(refreshes, 2);
  set_edit_options_refresh({});
}

TEST_F(JobListCounts, TheWindowsOwnHandlersRecountOnMergeAllClicksAndReapplyTheEditOptions) {
  // The settings load and the font list run first, as at every start.
  ASSERT_TRUE(wait_for_worker_threads(std::chrono::seconds(30)));
  g.loop.run_until_idle();

  ASSERT_TRUE(drop(JobList::merge1, names("a", 2)));
  ASSERT_TRUE(drop(JobList::merge2, names("b", 3)));
  EXPECT_EQ(text("merge_output_count_label"), "6");
  ASSERT_TRUE(click(JobList::merge1, "merge_all_source1_check"));
  EXPECT_EQ(text("merge_output_count_label"), "3");
  ASSERT_TRUE(click(JobList::merge2, "merge_all_source2_check"));
  EXPECT_EQ(text("merge_output_count_label"), "1");

  // "开始剪辑" needs rows and an option: the list change re-applies the options.
  ASSERT_TRUE(click(JobList::edit, "sharpen_check"));
  EXPECT_FALSE(enabled("edit_start_button"));
  ASSERT_TRUE(drop(JobList::edit, names("e", 1)));
  EXPECT_TRUE(enabled("edit_start_button"));
  EXPECT_TRUE(click(JobList::edit, "edit_clear_button"));
  EXPECT_FALSE(enabled("edit_start_button"));
}

TEST_F(JobListCounts, WhileAJobRunsACountUpdateChangesOnlyTheLabels) {
  ASSERT_TRUE(drop(JobList::merge1, names("a", 1)));
  ASSERT_TRUE(drop(JobList::merge2, names("b", 1)));
  // The merge job has been asked to stop: its button reads "正在停止", disabled.
  start_job_on(JobList::merge1);
  gui().set_enabled(at("merge_start_button"), false);
  gui().set_enabled(at("merge_all_source1_check"), false);
  gui().set_enabled(at("merge_all_source2_check"), false);

  ASSERT_TRUE(drop(JobList::merge1, names("c", 2)));
  EXPECT_EQ(text("merge_list1_count_label"), "共 3 个视频");
  EXPECT_EQ(text("merge_output_count_label"), "3");
  EXPECT_FALSE(enabled("merge_start_button"));
  EXPECT_FALSE(enabled("merge_all_source1_check"));

  int refreshes = 0;
  set_edit_options_refresh([&refreshes] { ++refreshes; });
  start_job_on(JobList::edit);
  ASSERT_TRUE(drop(JobList::edit, names("e", 1)));
  EXPECT_EQ(text("edit_list_count_label"), "共 1 个视频");
  EXPECT_EQ(refreshes, 0);
  set_edit_options_refresh({});
}

}  // namespace
