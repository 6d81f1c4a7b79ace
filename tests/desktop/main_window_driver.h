#pragma once
// Driving the real main window on the X server: where its controls are (from the
// window's design table), clicks on them, and adding a video through "添加视频" and
// the real file dialog.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>

#include "engine/window/main_window_token.h"
#include "tests/support/desktop_session.h"
#include "ui/main_window_design.h"

namespace desktop_test {

using namespace std::chrono_literals;
using test_env::ScreenWindow;

// The waits of these tests: bounds on a hang, generous for a loaded machine.
inline constexpr auto start_limit = 60s;
inline constexpr auto step_limit = 30s;

inline constexpr const char* convert_open_dialog_title = "请选择要转换的视频";
inline constexpr const char* exit_question_title = "友情提示：";

// The centre of a control in the main window's coordinates: its designed place inside
// each of its containers, up to the window.
inline std::pair<int, int> control_centre(const std::string& role) {
  const ControlDesign* control = find_main_window_control(role);
  EXPECT_NE(control, nullptr) << role;
  if (!control) return {0, 0};
  int x = control->x + control->w / 2, y = control->y + control->h / 2;
  for (const ControlDesign* c = control; std::string_view(c->container) != main_window_name;) {
    c = find_main_window_control(c->container);
    if (!c) break;
    x += c->x;
    y += c->y;
  }
  return {x, y};
}

inline bool click_control(const ScreenWindow& main, const std::string& role) {
  const auto [x, y] = control_centre(role);
  return test_env::click_in_window(main, x, y);
}

inline std::optional<ScreenWindow> wait_for_main_window() {
  return test_env::wait_for_window_titled(test_env::main_window_title, start_limit);
}

// The settings file that makes the convert list's dialog open on `folder` (written
// without a trailing "/"; the program remembers it with one once it has added a file
// chosen there).
inline std::string opening_on(const std::string& folder) { return "[原视频]\r\n打开位置1=" + folder + "\r\n"; }

// Adds the file named `file_name` in `folder`, the folder the convert list's dialog
// opens on (opening_on), to the convert list: "添加视频", the name typed into the real
// dialog, Enter. Returns once the program has added the row, probed its duration and
// remembered the folder.
inline void add_video_through_dialog(test_env::RealProgram& program, const ScreenWindow& main,
                                     const std::string& folder, const std::string& file_name) {
  ASSERT_TRUE(click_control(main, "convert_add_videos_button"));
  const auto dialog = test_env::wait_for_window_titled(convert_open_dialog_title, step_limit);
  ASSERT_TRUE(dialog) << "the file dialog did not open\n" << test_env::describe_screen();
  ASSERT_TRUE(test_env::type_text_in(*dialog, file_name));
  ASSERT_TRUE(test_env::press_keys_in(*dialog, {"Return"}));
  ASSERT_TRUE(test_env::wait_for_window_gone(convert_open_dialog_title, step_limit)) << test_env::describe_screen();
  const std::string remembered = "打开位置1=" + folder + "/\r\n";
  ASSERT_TRUE(test_env::wait_until(
      [&] { return test_env::read_file(program.config()).find(remembered) != std::string::npos; }, step_limit))
      << "no row added\n" << test_env::read_file(program.config()) << program.log();
}

// Chooses MKV and presses "开始转换".
inline void start_converting_to_mkv(const ScreenWindow& main) {
  ASSERT_TRUE(click_control(main, "convert_format_mkv_radio"));
  ASSERT_TRUE(click_control(main, "convert_start_button"));
}

}  // namespace desktop_test
