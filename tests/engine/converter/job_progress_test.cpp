#include "engine/converter/job_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/common/globals.h"
#include "platform/gui/gui.h"

TEST(JobProgress, PercentOfTheTotalAsTheStripRoundsAndTruncatesIt) {
  struct Case {
    const char* time;
    const char* total;
    int percent;
  };
  for (const Case& c : std::vector<Case>{{"00:00:25", "00:01:40", 25},
                                         {"00:00:29", "00:01:40", 28},  // 0.29 * 100 is just below 29
                                         {"00:01:41", "00:01:40", 101},
                                         {"00:00:01", "00:00:03", 33},
                                         {"00:00:02", "00:00:03", 67},
                                         {"00:00:01", "00:00:08", 13},  // 12.5 rounds up
                                         {"00:00:00", "00:01:40", 0},
                                         {"", "00:01:40", 0},
                                         {"00:00:25", "", 0},
                                         {"00:00:25", "garbage", 0},
                                         {"01:00:00", "00:00:01", 360000}}) {
    EXPECT_EQ(job_progress_percent(c.time, c.total), c.percent) << c.time << " of " << c.total;
  }
}

TEST(JobProgress, TheStripShowsThePercentOnlyAfterAMissingFileReport) {
  HeadlessGui g;
  WindowSpec spec;
  spec.name = main_window_name;
  spec.controls.push_back(control_spec("file_progress_bar", ControlKind::progress_bar, {0, 0, 330, 22}));
  spec.controls.push_back(control_spec("file_progress_label", ControlKind::label, {0, 30, 90, 22}, "0 %"));
  const WindowToken window = gui().create_window(spec);
  const ControlRef label{window, "file_progress_label"}, bar{window, "file_progress_bar"};
  struct Case {
    const char* status;
    const char* time;
    const char* total;
    const char* label;
    int bar;
  };
  for (const Case& c : std::vector<Case>{{"文件不存在", "00:00:25", "00:01:40", "25 %", 25},
                                         {"文件不存在", "00:00:29", "00:01:40", "28 %", 28},
                                         {"文件不存在", "00:01:41", "00:01:40", "101 %", 100},
                                         {"文件不存在", "00:00:25", "", "0 %", 0},
                                         {"正常运行", "00:00:25", "00:01:40", "100 %", 100},
                                         {"任务完成", "", "", "100 %", 100},
                                         {"输入输出错误", "00:00:01", "00:01:40", "100 %", 100},
                                         {"", "", "00:01:40", "0 %", 0}}) {
    SCOPED_TRACE(std::string(c.status) + " " + c.time + " of " + c.total);
    last_job_status.set("before");
    progress_total_duration.set(c.total);
    job_progress_callback(c.status, c.time);
    EXPECT_EQ(gui().text(label), c.label);
    EXPECT_EQ(gui().value(bar), c.bar);
    EXPECT_EQ(last_job_status.get(), c.status);
  }
}
