// Closing the program while a folder scan runs: the scan is one of the worker threads
// that shutdown asks to stop and waits for; once shutdown has begun no probe starts,
// and the scan leaves at its next file, so the program does not wait for the rest of
// the folder. Shutdown cannot be undone in a process, so the run happens in a child (a
// death test) that reports its checks through its exit code.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "engine/common/globals.h"
#include "engine/converter/worker_threads.h"
#include "platform/gui/gui.h"
#include "tests/support/test_env.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/main_window.h"
#include "ui/program_start.h"

namespace {

using namespace std::chrono_literals;

// Enough files that the scan, probing each, still runs when the window is closed.
constexpr int scanned_files = 1000;

void close_during_scan(const std::string& folder) {
  test_env::TempDir media;
  for (int i = 0; i < scanned_files; ++i) test_env::write_file(media / ("v" + std::to_string(i) + ".mp4"), "x");

  HeadlessGui g;
  int rows_before_close = 0;
  g.loop.when_idle([&] {
    g.services.answer_folder(media.path());
    gui().set_selected_index(main_control("job_tabs"), 1);
    EXPECT_TRUE(gui().input_click(main_control("merge_add_folder1_button")));
    const ControlRef list = main_control("merge_list1");
    for (int i = 0; i < 1000 && gui().row_count(list) < 3; ++i) std::this_thread::sleep_for(10ms);
    rows_before_close = gui().row_count(list);
    // Each of the remaining files still waits for its probe.
    EXPECT_EQ(running_worker_threads(WorkerKind::scan), 1);
    g.services.answer_message(MessageAnswer::yes);
    EXPECT_TRUE(gui().input_close(main_window()));
  });
  EXPECT_EQ(program_start_in(folder), 0);
  EXPECT_GE(rows_before_close, 3);
  // The scan left within the bounded wait, and the exit routine could run.
  EXPECT_EQ(running_worker_threads(), 0);
  EXPECT_EQ(run_folder.get(), "");
}

TEST(ListScanShutdown, ClosingTheProgramEndsARunningFolderScan) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(run_in_child(close_during_scan), ::testing::ExitedWithCode(0), "");
}

}  // namespace
