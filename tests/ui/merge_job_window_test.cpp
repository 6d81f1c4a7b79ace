// The merge job in the program's own main window: its start button runs the job, a job
// with failed pairs leaves their count on the page, and closing the window while it
// runs ends the job's converter and thread and leaves no work folder behind.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "engine/converter/worker_threads.h"
#include "engine/merge/merge_job.h"
#include "platform/gui/gui.h"
#include "platform/process.h"
#include "tests/support/test_env.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/list_counts.h"
#include "ui/main_window.h"
#include "ui/program_start.h"

namespace fs = std::filesystem;

namespace {

using namespace std::chrono_literals;

void merge_job_then_close(const std::string& folder) {
  HeadlessGui g;
  const std::string a = folder + "/a.mp4";
  const std::string b = folder + "/b.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(a, 1.0));
  ASSERT_TRUE(test_env::make_h264_aac_mp4(b, 1.0));
  const std::string out = folder + "/out";
  fs::create_directories(out);
  g.loop.when_idle([&] {
    gui().append_row(main_control("merge_list1"), {"1", a, ""});
    for (int row = 1; row <= 3; ++row) gui().append_row(main_control("merge_list2"), {std::to_string(row), b, ""});
    update_merge_counts();  // "3" outputs, and the start button enabled
    EXPECT_EQ(gui().text(main_control("merge_output_count_label")), "3");
    gui().set_text(main_control("merge_output_folder_field"), out);
    EXPECT_TRUE(gui().input_click(main_control("merge_page_button")));
    EXPECT_TRUE(gui().input_click(main_control("merge_start_button")));
    EXPECT_EQ(gui().text(main_control("merge_start_button")), merge_stop_caption);
    // Under way: the first pair's second part has been probed.
    const auto under_way = [] { return !gui().cell(main_control("merge_list2"), 0, 2).empty(); };
    for (int i = 0; i < 600 && !under_way(); ++i) g.loop.wait_until(under_way, 100ms);
    EXPECT_TRUE(under_way());
    g.services.answer_message(MessageAnswer::yes);
    gui().input_close(main_window());
  });
  EXPECT_EQ(program_start_in(folder), 0);
  EXPECT_EQ(running_worker_threads(), 0);
  EXPECT_TRUE(running_converter_ids().empty());
  EXPECT_FALSE(fs::exists(folder + "/v_temp1"));
  EXPECT_FALSE(fs::exists(folder + "/v_temp2"));
  EXPECT_FALSE(fs::exists(out + "/1_3_a.mp4"));  // the job ended long before its last pair
  EXPECT_TRUE(fs::exists(a) && fs::exists(b));
}

}  // namespace

TEST(MergeJobWindow, ClosingTheWindowEndsTheRunningJob) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(run_in_child(merge_job_then_close), ::testing::ExitedWithCode(0), "");
}

TEST(MergeJobWindow, AJobWithFailedPairsLeavesTheirCountOnThePage) {
  HeadlessGui g;
  MainWindowRunFolder run;
  open_main_window_in(run.path());
  const std::string a = run.path() + "/a.mp4", broken = run.path() + "/broken.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(a, 1.0));
  test_env::write_file(broken, "not a video");
  const std::string out = run.path() + "/out";
  fs::create_directories(out);
  gui().set_text(main_control("merge_output_folder_field"), out);
  gui().set_checked(main_control("merge_transition_check"), false);  // plain joins of 1-second clips
  ASSERT_TRUE(gui().input_click(main_control("merge_page_button")));
  const auto run_merge = [&](const std::vector<std::string>& second_sources) {
    gui().clear_rows(main_control("merge_list2"));
    gui().append_row(main_control("merge_list1"), {"1", a, ""});
    for (const std::string& source : second_sources) {
      gui().append_row(main_control("merge_list2"), {std::to_string(gui().row_count(main_control("merge_list2")) + 1),
                                                     source, ""});
    }
    update_merge_counts();
    EXPECT_TRUE(gui().input_click(main_control("merge_start_button")));
    EXPECT_EQ(gui().text(main_control("file_progress_label")), "0 %");
    const auto ended = [] {
      return gui().text(main_control("merge_start_button")) == merge_start_caption &&
             running_worker_threads(WorkerKind::merge) == 0;
    };
    EXPECT_TRUE(g.loop.wait_until(ended, 120s));
    gui().clear_rows(main_control("merge_list1"));
  };

  // Two of three pairs fail: the per-file label says so after the job.
  run_merge({broken, a, broken});
  EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
  EXPECT_TRUE(gui().visible(main_control("file_progress_label")));
  EXPECT_EQ(gui().text(main_control("file_progress_label")), "2 个合并失败");
  for (const char* role : {"overall_progress_bar", "overall_progress_label", "file_progress_bar"}) {
    EXPECT_FALSE(gui().visible(main_control(role))) << role;
  }

  // The next job starts over, and one without failures ends with the strip hidden.
  run_merge({a});
  EXPECT_FALSE(gui().visible(main_control("file_progress_label")));
}
