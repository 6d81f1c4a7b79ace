// The picture-position editor of the built program on a real X server (Xvfb), under
// a real mouse through xdotool: a zoom chosen from the "显示比例" drop-down with the
// mouse, then a drag of the picture on the preview at once. The drop-down's list takes
// the release of the press that opened it; the drag after it still moves the picture,
// and "保存设置" hands the dragged position to the edit page, which the program saves
// when it ends.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "dialogs/picture_position_dialog.h"
#include "tests/desktop/main_window_driver.h"
#include "tests/support/desktop_session.h"
#include "tests/support/logging_converter.h"
#include "tests/support/test_env.h"

namespace {

using namespace desktop_test;
using test_env::ScreenWindow;
namespace fs = std::filesystem;

constexpr const char* edit_open_dialog_title = "请选择要剪辑的原视频１";

// A control's middle in the editor's coordinates, from the editor's design.
std::pair<int, int> editor_control_centre(const std::string& role) {
  for (const ControlSpec& control : picture_position_dialog_spec().controls) {
    if (control.role == role) {
      return {control.geometry.x + control.geometry.width / 2, control.geometry.y + control.geometry.height / 2};
    }
  }
  ADD_FAILURE() << "no control " << role;
  return {0, 0};
}

// How many frame grabs the converter was started for so far.
int grabs_logged(const std::string& log) {
  int grabs = 0;
  for (const std::vector<std::string>& call : test_env::read_logged_commands(log)) {
    grabs += std::find(call.begin(), call.end(), "-ss") != call.end() ? 1 : 0;
  }
  return grabs;
}

TEST(RealWindowRegionEditor, AfterAZoomChosenWithTheMouseTheFirstDragMovesThePicture) {
  test_env::XvfbDisplay display;
  ASSERT_TRUE(display.ok()) << display.log();
  test_env::TempDir media;
  const std::string folder = media / "videos";
  fs::create_directories(folder);
  ASSERT_TRUE(test_env::make_h264_aac_mp4(folder + "/clip.mp4", 2.0));  // 320 x 240
  const std::string picture = media / "mark.png";
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "color=c=red:s=200x80", "-frames:v", "1", picture}));

  test_env::RealProgram program;
  const std::string converter_log = media / "converter.log";
  test_env::install_logging_converter(program.folder(), converter_log);
  // The picture watermark on, a 200 x 80 picture at 100 / 60; the edit list's dialog
  // opens on the clip's folder.
  program.write_config("[批量剪辑视频]\r\nx18=y\r\ny8=" + picture + "\r\ny9=100\r\ny10=60\r\n[原视频]\r\n打开位置4=" +
                       folder + "\r\n");
  ASSERT_TRUE(program.start());
  const auto main = wait_for_main_window();
  ASSERT_TRUE(main) << program.log();

  // The clip into the edit list through its open dialog.
  ASSERT_TRUE(click_control(*main, "edit_page_button"));
  ASSERT_TRUE(click_control(*main, "edit_add_videos_button"));
  const auto dialog = test_env::wait_for_window_titled(edit_open_dialog_title, step_limit);
  ASSERT_TRUE(dialog) << "the file dialog did not open\n" << test_env::describe_screen();
  ASSERT_TRUE(test_env::type_text_in(*dialog, "clip.mp4"));
  ASSERT_TRUE(test_env::press_keys_in(*dialog, {"Return"}));
  ASSERT_TRUE(test_env::wait_for_window_gone(edit_open_dialog_title, step_limit)) << test_env::describe_screen();
  ASSERT_TRUE(test_env::wait_until(
      [&] { return test_env::read_file(program.config()).find("打开位置4=" + folder + "/\r\n") != std::string::npos; },
      step_limit))
      << "no row added\n" << program.log();

  // The editor, moved to the screen's corner so that all of it is on the screen.
  ASSERT_TRUE(click_control(*main, "watermark_position_button"));
  auto editor = test_env::wait_for_window_titled(picture_pos_dialog_title, step_limit);
  ASSERT_TRUE(editor) << "the editor did not open\n" << test_env::describe_screen() << program.log();
  ASSERT_TRUE(test_env::xdotool({"windowmove", "--sync", std::to_string(editor->id), "0", "0"}));
  editor = test_env::wait_for_window(
      [](const ScreenWindow& w) { return w.title == picture_pos_dialog_title && w.x == 0 && w.y == 0; }, step_limit);
  ASSERT_TRUE(editor) << test_env::describe_screen();

  // Its frame is grabbed and the picture placed: the grab's converter has ended and
  // its frame file is gone; the placement follows at once.
  const std::string frame_file = program.folder() + picture_pos_frame_file;
  const auto grabbed = [&](int grabs) {
    return test_env::wait_until(
        [&] {
          return grabs_logged(converter_log) >= grabs && program.converter_processes().empty() &&
                 !fs::exists(frame_file);
        },
        step_limit);
  };
  ASSERT_TRUE(grabbed(1)) << program.log();
  test_env::wait_until([] { return false; }, std::chrono::milliseconds(1000));

  // "100%" chosen with the mouse: a click opens the list (which takes that click's
  // release), a click on its last item chooses it; the editor grabs and places anew.
  const auto [combo_x, combo_y] = editor_control_centre(region_zoom_combo);
  ASSERT_TRUE(test_env::click_in_window(*editor, combo_x, combo_y));
  const auto list = test_env::wait_for_window([](const ScreenWindow& w) { return w.popup && w.height >= 80; },
                                              step_limit);
  ASSERT_TRUE(list) << "the drop-down did not open\n" << test_env::describe_screen();
  test_env::wait_until([] { return false; }, std::chrono::milliseconds(600));  // the list ignores a quick release
  ASSERT_TRUE(test_env::click_in_window(*list, list->width / 2, list->height - list->height / 16));
  ASSERT_TRUE(test_env::wait_until(
      [&] {
        const auto windows = test_env::screen_windows();
        return windows && std::none_of(windows->begin(), windows->end(), [](const ScreenWindow& w) { return w.popup; });
      },
      step_limit))
      << test_env::describe_screen();
  ASSERT_TRUE(grabbed(2)) << "the choice did not grab again\n" << program.log();
  test_env::wait_until([] { return false; }, std::chrono::milliseconds(1000));

  // The picture pressed 10 pixels right of its left edge and 5 below its top, at
  // preview (110, 65), and dragged to preview x 260: its left edge goes to 250.
  const int preview_x = editor->x + 23, preview_y = editor->y + 130;
  ASSERT_TRUE(test_env::xdotool({"mousemove", std::to_string(preview_x + 110), std::to_string(preview_y + 65),
                                 "mousedown", "1", "sleep", "0.2", "mousemove", std::to_string(preview_x + 180),
                                 std::to_string(preview_y + 65), "sleep", "0.2", "mousemove",
                                 std::to_string(preview_x + 260), std::to_string(preview_y + 65), "sleep", "0.3",
                                 "mouseup", "1", "sleep", "0.2"}));

  const auto [save_x, save_y] = editor_control_centre(region_save_button);
  ASSERT_TRUE(test_env::click_in_window(*editor, save_x, save_y));
  ASSERT_TRUE(test_env::wait_for_window_gone(picture_pos_dialog_title, step_limit)) << test_env::describe_screen();

  // The program saves the edit page's values as it ends.
  ASSERT_TRUE(test_env::request_close(*main));
  const auto question = test_env::wait_for_window_titled(exit_question_title, step_limit);
  ASSERT_TRUE(question) << "the exit question did not show";
  ASSERT_TRUE(test_env::press_keys_in(*question, {"y"}));
  const auto status = program.process().wait_for_exit(step_limit);
  ASSERT_TRUE(status) << "still running after the exit question";
  EXPECT_EQ(*status, 0) << program.log();
  const std::string config = test_env::read_file(program.config());
  EXPECT_NE(config.find("\r\ny9=250\r\n"), std::string::npos) << config;
  EXPECT_NE(config.find("\r\ny10=60\r\n"), std::string::npos) << config;
}

}  // namespace
