// The built program on a real X server (Xvfb), driven by xdotool: a clip chosen in the
// real file dialog converted to MKV and the program closed through the exit question;
// "退出软件" in the tray menu of a notification area that docks the icon by XEmbed;
// and a start without any display.

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>

#include "tests/desktop/main_window_driver.h"
#include "tests/support/desktop_session.h"
#include "tests/support/test_env.h"

namespace {

using namespace desktop_test;
using test_env::ScreenWindow;
namespace fs = std::filesystem;

TEST(RealWindow, ConvertsAClipChosenInTheFileDialogToMkvAndEndsAfterTheExitQuestion) {
  test_env::XvfbDisplay display;
  ASSERT_TRUE(display.ok()) << display.log();
  test_env::TempDir media;
  // A folder with a blank and Chinese characters, a name with a blank.
  const std::string folder = media / "我的 视频";
  fs::create_directories(folder);
  const std::string source = folder + "/first clip.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(source, 2.0));
  const std::string source_bytes = test_env::read_file(source);

  test_env::RealProgram program;
  program.write_config(opening_on(folder));
  ASSERT_TRUE(program.start());
  const auto main = wait_for_main_window();
  ASSERT_TRUE(main) << program.log();

  add_video_through_dialog(program, *main, folder, "first clip.mp4");
  start_converting_to_mkv(*main);
  const std::string output = program.folder() + "/新媒体/first clip.mkv";
  // The job has ended once the output is there and no converter runs any more.
  ASSERT_TRUE(test_env::wait_until(
      [&] { return fs::exists(output) && program.converter_processes().empty(); }, step_limit))
      << "no output\n" << test_env::describe_screen() << program.log();

  ASSERT_TRUE(test_env::request_close(*main));
  const auto question = test_env::wait_for_window_titled(exit_question_title, step_limit);
  ASSERT_TRUE(question) << "the exit question did not show";
  ASSERT_TRUE(test_env::press_keys_in(*question, {"y"}));  // "是(&Y)"
  const auto status = program.process().wait_for_exit(step_limit);
  ASSERT_TRUE(status) << "still running after the exit question";
  EXPECT_EQ(*status, 0) << program.log();

  const test_env::ProbeResult probe = test_env::ffprobe(output);
  ASSERT_TRUE(probe.ok);
  EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));
  EXPECT_EQ(probe.codec_names.front(), "h264");  // the video stream copied
  EXPECT_NEAR(probe.duration, 2.0, 0.3);
  EXPECT_EQ(test_env::read_file(source), source_bytes);
  EXPECT_EQ(program.log().find("terminate called"), std::string::npos) << program.log();
}

// "退出软件" from the tray menu, with the main window shown or first hidden through a
// click on the icon: the program ends at once, with status 0, after its shutdown.
class TrayQuit : public ::testing::TestWithParam<bool> {};

TEST_P(TrayQuit, EndsTheProgramWithoutAQuestionAndWithStatusZero) {
  const bool hidden_first = GetParam();
  test_env::XvfbDisplay display;
  ASSERT_TRUE(display.ok()) << display.log();
  test_env::TrayHost tray;
  ASSERT_TRUE(tray.ok());
  test_env::RealProgram program;
  ASSERT_TRUE(program.start());
  const auto main = wait_for_main_window();
  ASSERT_TRUE(main) << program.log();
  const auto icon = tray.wait_for_icon(start_limit);
  ASSERT_TRUE(icon) << "no icon docked in the notification area";

  if (hidden_first) {
    ASSERT_TRUE(test_env::click_in_window(*icon, icon->width / 2, icon->height / 2));
    ASSERT_TRUE(test_env::wait_for_window_gone(test_env::main_window_title, step_limit));
  }
  // The shutdown's closing save puts the edit page's settings back into this file.
  test_env::write_file(program.config(), "[其他]\r\nx=1\r\n");

  ASSERT_TRUE(test_env::click_in_window(*icon, icon->width / 2, icon->height / 2, 3));
  const auto menu = test_env::wait_for_window(
      [](const ScreenWindow& w) { return w.popup && w.height >= 50; }, step_limit);
  ASSERT_TRUE(menu) << "the tray menu did not open\n" << test_env::describe_screen() << program.log();
  // "退出软件" is the menu's last item.
  ASSERT_TRUE(test_env::click_in_window(*menu, menu->width / 2, menu->height - 10));

  const auto status = program.process().wait_for_exit(step_limit);
  ASSERT_TRUE(status) << "still running after 退出软件";
  EXPECT_EQ(*status, 0) << program.log();
  EXPECT_NE(test_env::read_file(program.config()).find("[批量剪辑视频]"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(RealWindow, TrayQuit, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "WindowHidden" : "WindowShown"; });

TEST(RealWindow, WithoutADisplayTheProgramSaysWhatIsMissingInOneLineAndEndsWithStatusOne) {
  test_env::RealProgram program;
  test_env::ScopedEnvironmentVariable platform("QT_QPA_PLATFORM", nullptr);
  test_env::ScopedEnvironmentVariable wayland("WAYLAND_DISPLAY", nullptr);
  for (const char* display : {static_cast<const char*>(nullptr), ":65531"}) {
    test_env::ScopedEnvironmentVariable x("DISPLAY", display);
    const test_env::ProgramResult run = test_env::run_program({program.folder() + "/videotool"});
    EXPECT_EQ(run.exit_code, 1) << run.output;
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    EXPECT_NE(run.output.find("QT_QPA_PLATFORM=offscreen"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(display ? "cannot connect" : "DISPLAY is not set"), std::string::npos) << run.output;
  }
  // It ended before the program's start: nothing was written into its run folder.
  EXPECT_FALSE(fs::exists(program.folder() + "/data"));
}

}  // namespace
