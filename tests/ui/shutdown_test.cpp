// The whole program run headless from start to end: the exit question, the shutdown
// of the worker threads and of the converters this program started (and of no other),
// the closing save, "退出软件" without the question, and the exit routine.
//
// Shutdown cannot be undone in a process, so each run happens in a child process
// (a death test); the child reports its checks through its exit code and prints what
// failed.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "engine/common/globals.h"
#include "engine/convert/convert_job.h"
#include "engine/converter/converter_runner.h"
#include "engine/converter/worker_threads.h"
#include "engine/edit/edit_job.h"
#include "platform/gui/gui.h"
#include "platform/process.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/main_window.h"
#include "ui/program_start.h"
#include "ui/ui_globals.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

// Where the child leaves the id of the converter it started outside the program.
std::string unrelated_pid_file(pid_t test_process) {
  return std::filesystem::temp_directory_path().string() + "/videotool-unrelated-" + std::to_string(test_process) +
         ".pid";
}

bool process_alive(pid_t pid) { return kill(pid, 0) == 0; }

// Waits (real time) until `done` or ten seconds have passed.
bool wait_for(const std::function<bool()>& done) {
  for (int i = 0; i < 1000 && !done(); ++i) std::this_thread::sleep_for(10ms);
  return done();
}

// Starts the system's converter outside this program's registry, as another program
// on the machine would: 30 seconds of a generated picture, read in real time.
pid_t start_unrelated_converter() {
  const char* argv[] = {QF_SYSTEM_FFMPEG, "-nostdin", "-hide_banner", "-loglevel", "error", "-re", "-f", "lavfi",
                        "-i", "testsrc=size=64x48:rate=10", "-t", "30", "-f", "null", "-", nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);  // nothing of the test's reaches it
  pid_t pid = 0;
  const int started = posix_spawn(&pid, QF_SYSTEM_FFMPEG, &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  return started == 0 ? pid : 0;
}

void question_no_then_yes(const std::string& folder) {
  HeadlessGui g;
  int saves = 0;
  std::string saved_while_open;
  const auto counting_save = [&] {
    set_closing_save([&] {
      ++saves;
      saved_while_open = gui().text(main_control("edit_output_folder_field"));
    });
  };
  std::atomic<bool> job_left = false;
  g.loop.when_idle([&] {
    // A job runs while the question is answered No: it goes on, the window stays.
    EXPECT_TRUE(start_worker_thread(WorkerKind::edit, [&] {
      while (!worker_shutdown_requested()) std::this_thread::sleep_for(1ms);
      job_left = true;
    }));
    g.services.answer_message(MessageAnswer::no);
    EXPECT_FALSE(gui().input_close(main_window()));
    EXPECT_TRUE(gui().window_exists(main_window()));
    EXPECT_EQ(running_worker_threads(WorkerKind::edit), 1);
    EXPECT_FALSE(worker_shutdown_requested());
    EXPECT_EQ(saves, 0);
  });
  g.loop.when_idle([&] {
    g.services.answer_message(MessageAnswer::yes);
    EXPECT_TRUE(gui().input_close(main_window()));
  });
  EXPECT_EQ(program_start_in(folder, counting_save), 0);

  const auto messages = g.services.messages();
  ASSERT_EQ(messages.size(), 2u);
  for (const MessageRequest& m : messages) {
    EXPECT_EQ(m.title, "友情提示：");
    EXPECT_EQ(m.text, "是否要退出软件？");
    EXPECT_EQ(m.buttons, MessageButtons::yes_no);
    EXPECT_FALSE(m.owner);  // modal to the whole program
  }
  EXPECT_TRUE(job_left);
  EXPECT_EQ(running_worker_threads(), 0);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(saved_while_open, folder + "/新媒体");
  EXPECT_FALSE(gui().window_exists(main_window()));
  EXPECT_FALSE(g.services.tray_icon(main_window()));
  EXPECT_TRUE(converter_shutdown_begun());
  // The exit routine ran last.
  EXPECT_EQ(run_folder.get(), "");
  EXPECT_EQ(config_file_path.get(), "");
  EXPECT_EQ(convert_list_open_folder.get(), "");
}

TEST(ProgramShutdown, TheExitQuestionAnsweredNoKeepsEverythingAndYesEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(run_in_child(question_no_then_yes), ::testing::ExitedWithCode(0), "");
}

void shutdown_with_converters(const std::string& folder) {
  HeadlessGui g;
  const pid_t unrelated = start_unrelated_converter();
  ASSERT_GT(unrelated, 0);
  test_env::write_file(unrelated_pid_file(getppid()), std::to_string(unrelated));

  std::atomic<int> status = -2;
  std::atomic<pid_t> ours = 0;
  g.loop.when_idle([&] {
    // A job of this program runs the converter through the runner.
    EXPECT_TRUE(start_worker_thread(WorkerKind::convert, [&] {
      int s = 0;
      run_console_capture(ffmpeg_exe_path.get(),
                          " -nostdin -hide_banner -re -f lavfi -i testsrc=size=64x48:rate=10 -t 30 -f null -",
                          nullptr, nullptr, nullptr, &s);
      status = s;
    }));
    EXPECT_TRUE(wait_for([] { return !running_converter_ids().empty(); }));
    ours = running_converter_ids().front();
    g.services.answer_message(MessageAnswer::yes);
    gui().input_close(main_window());
  });
  EXPECT_EQ(program_start_in(folder), 0);

  EXPECT_EQ(status.load(), exit_status_of_signal(SIGKILL));
  EXPECT_TRUE(running_converter_ids().empty());
  EXPECT_EQ(running_worker_threads(), 0);
  EXPECT_TRUE(wait_for([&] { return !process_alive(ours); }));
  EXPECT_TRUE(process_alive(unrelated));
}

TEST(ProgramShutdown, EndsTheConvertersThisProgramStartedAndNoOther) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(run_in_child(shutdown_with_converters), ::testing::ExitedWithCode(0), "");
  const std::string pid_file = unrelated_pid_file(getpid());

  // The other program's converter outlived the child that shut down; end it here.
  const pid_t unrelated = static_cast<pid_t>(std::stol("0" + test_env::read_file(pid_file)));
  ASSERT_GT(unrelated, 0);
  EXPECT_TRUE(process_alive(unrelated));
  kill(unrelated, SIGKILL);
  std::remove(pid_file.c_str());
}

void convert_job_then_close(const std::string& folder) {
  HeadlessGui g;
  const std::string clip = folder + "/clip.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(clip, 1.0));
  g.loop.when_idle([&] {
    gui().append_row(main_control("convert_list"), {"1", clip, ""});
    gui().input_click(main_control("convert_format_mkv_radio"));
    EXPECT_TRUE(gui().input_click(main_control("convert_start_button")));
    EXPECT_TRUE(g.loop.wait_until([] { return gui().text(main_control("convert_start_button")) == "开始转换"; }, 60s));
    EXPECT_EQ(gui().cell(main_control("convert_list"), 0, 2), "任务完成");
    g.services.answer_message(MessageAnswer::yes);
    gui().input_close(main_window());
  });
  EXPECT_EQ(program_start_in(folder), 0);
  // The finished job's thread was joined: a thread object left joinable would end the
  // process abnormally when it is destroyed at exit.
  EXPECT_FALSE(convert_thread.joinable());
  EXPECT_TRUE(test_env::ffprobe(folder + "/新媒体/clip.mkv").ok);
}

TEST(ProgramShutdown, TheConvertButtonRunsTheJobAndShutdownJoinsItsThread) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(run_in_child(convert_job_then_close), ::testing::ExitedWithCode(0), "");
}

void edit_job_then_close(const std::string& folder) {
  HeadlessGui g;
  const std::string clip = folder + "/clip.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(clip, 1.0));
  // The converter holds every command that writes a file until it is ended.
  std::filesystem::remove(folder + "/bin/ffmpeg");
  test_env::write_file(folder + "/bin/ffmpeg",
                       "#!/bin/sh\nfor a in \"$@\"; do [ \"$a\" = -y ] && while :; do sleep 0.01; done; done\n"
                       "exec '" QF_SYSTEM_FFMPEG "' \"$@\"\n");
  std::filesystem::permissions(folder + "/bin/ffmpeg", std::filesystem::perms::owner_all);
  g.loop.when_idle([&] {
    gui().append_row(main_control("edit_list"), {"1", clip, "", ""});
    EXPECT_TRUE(gui().input_click(main_control("edit_page_button")));
    gui().set_enabled(main_control("edit_start_button"), true);
    EXPECT_TRUE(gui().input_click(main_control("edit_start_button")));
    EXPECT_EQ(gui().text(main_control("edit_start_button")), edit_stop_caption);
    EXPECT_TRUE(g.loop.wait_until([] { return gui().cell(main_control("edit_list"), 0, 3) == "正在保存"; }, 60s));
    EXPECT_TRUE(std::filesystem::exists(folder + "/v_tempx/1.mp4"));
    g.services.answer_message(MessageAnswer::yes);
    gui().input_close(main_window());
  });
  EXPECT_EQ(program_start_in(folder), 0);
  EXPECT_EQ(running_worker_threads(), 0);
  EXPECT_TRUE(running_converter_ids().empty());
  EXPECT_FALSE(std::filesystem::exists(folder + "/v_tempx"));
}

TEST(ProgramShutdown, ShutdownEndsARunningEditJobAndRemovesItsWorkFolder) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(run_in_child(edit_job_then_close), ::testing::ExitedWithCode(0), "");
}

void exit_menu_while_hidden(const std::string& folder) {
  HeadlessGui g;
  int saves = 0;
  const auto counting_save = [&] { set_closing_save([&] { ++saves; }); };
  std::atomic<bool> scan_left = false;
  g.loop.when_idle([&] {
    EXPECT_TRUE(start_worker_thread(
        WorkerKind::scan, [&] { while (!scan_left) std::this_thread::sleep_for(1ms); }, [&] { scan_left = true; }));
    gui().input_tray(main_window(), 1);
    EXPECT_FALSE(gui().window_visible(main_window()));
    g.services.answer_popup_menu(main_window_menu_item_index("tray_exit_menu_item"));
    gui().input_tray(main_window(), 3);
  });
  EXPECT_EQ(program_start_in(folder, counting_save), 0);
  EXPECT_TRUE(g.services.messages().empty());  // no question
  EXPECT_EQ(saves, 1);
  EXPECT_TRUE(scan_left);
  EXPECT_EQ(running_worker_threads(), 0);
  EXPECT_TRUE(converter_shutdown_begun());
  EXPECT_EQ(run_folder.get(), "");
}

TEST(ProgramShutdown, ExitFromTheTrayMenuAsksNothingButStillShutsDownAndSaves) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(run_in_child(exit_menu_while_hidden), ::testing::ExitedWithCode(0), "");
}

void stubborn_worker_keeps_the_globals(const std::string& folder) {
  HeadlessGui g;
  std::atomic<bool> release = false;
  std::atomic<bool> saw_run_folder = false;
  g.loop.when_idle([&] {
    start_worker_thread(WorkerKind::merge, [&] {
      while (!release) std::this_thread::sleep_for(1ms);
      saw_run_folder = run_folder.get() == folder;
    });
    gui().destroy_window(main_window());
  });
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(program_start_in(folder), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - started, shutdown_wait_limit);
  // The worker outlived the bounded wait: what it uses is still there.
  EXPECT_EQ(running_worker_threads(), 1);
  EXPECT_EQ(run_folder.get(), folder);
  release = true;
  EXPECT_TRUE(wait_for_worker_threads(10s));
  EXPECT_TRUE(saw_run_folder);
}

TEST(ProgramShutdown, AWorkerThatOutlivesTheBoundedWaitStillFindsTheGlobals) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(run_in_child(stubborn_worker_keeps_the_globals), ::testing::ExitedWithCode(0), "");
}

}  // namespace
