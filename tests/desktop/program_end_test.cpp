// Ends of the built program that nobody chose in it, while it converts a long video on
// a real X server: the X server goes away, SIGTERM, SIGHUP, and SIGKILL. Each time no
// converter is left running and the source is untouched; but for SIGKILL, the program
// ends the way its own quit does: status 0, its shutdown's settings save made. Also a
// signal while a modal loop runs.

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <ostream>

#include "tests/desktop/main_window_driver.h"
#include "tests/support/desktop_session.h"
#include "tests/support/test_env.h"

namespace {

using namespace desktop_test;
namespace fs = std::filesystem;

enum class End { display_gone, sigterm, sighup, sigkill };

const char* end_name(End end) {
  switch (end) {
    case End::display_gone: return "DisplayGone";
    case End::sigterm: return "Sigterm";
    case End::sighup: return "Sighup";
    case End::sigkill: return "Sigkill";
  }
  return "";
}

void PrintTo(End end, std::ostream* out) { *out << end_name(end); }

// A video that takes the converter long (a re-encode of five minutes) and is quick to
// make: two seconds looped.
bool make_long_wmv(const std::string& path) {
  const std::string part = path + ".part.wmv";
  const bool made = test_env::make_clip({"-f", "lavfi", "-i", "testsrc2=size=640x360:rate=25", "-f", "lavfi", "-i",
                                         "sine=frequency=440", "-t", "2", "-c:v", "wmv2", "-c:a", "wmav2", part}) &&
                    test_env::make_clip({"-stream_loop", "149", "-i", part, "-c", "copy", path});
  fs::remove(part);
  return made;
}

class ProgramEndDuringAConvert : public ::testing::TestWithParam<End> {};

TEST_P(ProgramEndDuringAConvert, LeavesNoConverterRunningAndTheSourceUntouched) {
  const End end = GetParam();
  test_env::XvfbDisplay display;
  ASSERT_TRUE(display.ok()) << display.log();
  test_env::TempDir media;
  const std::string folder = media / "长 视频";
  fs::create_directories(folder);
  const std::string source = folder + "/long.wmv";
  ASSERT_TRUE(make_long_wmv(source));
  const std::string source_bytes = test_env::read_file(source);

  test_env::RealProgram program;
  program.write_config(opening_on(folder));
  ASSERT_TRUE(program.start());
  const auto main = wait_for_main_window();
  ASSERT_TRUE(main) << program.log();
  add_video_through_dialog(program, *main, folder, "long.wmv");
  start_converting_to_mkv(*main);
  // The conversion itself runs (not only the duration probe before it).
  ASSERT_TRUE(test_env::wait_until([&] { return !program.converter_processes("matroska").empty(); }, step_limit))
      << program.log();
  const std::vector<pid_t> converters = program.converter_processes();
  // The shutdown's closing save puts the edit page's settings back into this file.
  test_env::write_file(program.config(), "[其他]\r\nx=1\r\n");

  switch (end) {
    case End::display_gone: ASSERT_TRUE(display.end()); break;
    case End::sigterm: program.process().send_signal(SIGTERM); break;
    case End::sighup: program.process().send_signal(SIGHUP); break;
    case End::sigkill: program.process().send_signal(SIGKILL); break;
  }
  const auto status = program.process().wait_for_exit(step_limit);
  ASSERT_TRUE(status) << "still running";
  EXPECT_TRUE(test_env::wait_until([&] { return program.converter_processes().empty(); }, 10s))
      << "a converter outlived the program";
  for (const pid_t pid : converters) {
    const std::string stat = test_env::read_file("/proc/" + std::to_string(pid) + "/stat");
    EXPECT_TRUE(stat.empty() || stat.substr(stat.rfind(')') + 2, 1) == "Z") << "converter " << pid << " runs on";
  }
  EXPECT_EQ(test_env::read_file(source), source_bytes);

  if (end == End::sigkill) {
    EXPECT_EQ(*status, 128 + SIGKILL);
    return;
  }
  EXPECT_EQ(*status, 0) << program.log();
  EXPECT_EQ(program.log().find("terminate called"), std::string::npos) << program.log();
  EXPECT_NE(test_env::read_file(program.config()).find("[批量剪辑视频]"), std::string::npos)
      << "the settings were not saved";
}

INSTANTIATE_TEST_SUITE_P(RealWindow, ProgramEndDuringAConvert,
                         ::testing::Values(End::display_gone, End::sigterm, End::sighup, End::sigkill),
                         [](const auto& info) { return std::string(end_name(info.param)); });

// A signal while a modal loop runs (the file dialog, the exit question) ends the
// program as well.
class SignalDuringAModalLoop : public ::testing::TestWithParam<bool> {};

TEST_P(SignalDuringAModalLoop, EndsTheProgramWithStatusZero) {
  const bool exit_question = GetParam();
  test_env::XvfbDisplay display;
  ASSERT_TRUE(display.ok()) << display.log();
  test_env::RealProgram program;
  ASSERT_TRUE(program.start());
  const auto main = wait_for_main_window();
  ASSERT_TRUE(main) << program.log();
  if (exit_question) {
    ASSERT_TRUE(test_env::request_close(*main));
    ASSERT_TRUE(test_env::wait_for_window_titled(exit_question_title, step_limit));
  } else {
    ASSERT_TRUE(click_control(*main, "convert_add_videos_button"));
    ASSERT_TRUE(test_env::wait_for_window_titled(convert_open_dialog_title, step_limit));
  }
  test_env::write_file(program.config(), "[其他]\r\nx=1\r\n");
  program.process().send_signal(SIGTERM);
  const auto status = program.process().wait_for_exit(step_limit);
  ASSERT_TRUE(status) << "still running";
  EXPECT_EQ(*status, 0) << program.log();
  EXPECT_NE(test_env::read_file(program.config()).find("[批量剪辑视频]"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(RealWindow, SignalDuringAModalLoop, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ExitQuestion" : "FileDialog"; });

}  // namespace
