// The region editors that are not modal open beside the real main window on a real X
// server without a window manager: the mosaic editor to the right of a main window that
// has room there, the picture position editor to the left of one moved to the screen's
// right edge; neither covers the main window, both lie fully on the screen.

#include <gtest/gtest.h>

#include <string>

#include "tests/desktop/main_window_driver.h"
#include "tests/support/desktop_session.h"
#include "tests/support/test_env.h"

namespace {

using namespace desktop_test;
using test_env::ScreenWindow;

// Wide enough for the main window (1020 pixels) centred with an editor (950) beside it.
constexpr int screen_width = 3000;
constexpr int screen_height = 1200;

constexpr const char* editor_title = "智能编辑水印位置";

bool overlap(const ScreenWindow& a, const ScreenWindow& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool on_screen(const ScreenWindow& w) {
  return w.x >= 0 && w.y >= 0 && w.x + w.width <= screen_width && w.y + w.height <= screen_height;
}

std::string describe(const ScreenWindow& w) {
  return std::to_string(w.width) + "x" + std::to_string(w.height) + "+" + std::to_string(w.x) + "+" +
         std::to_string(w.y);
}

TEST(RealWindow, TheMosaicAndPicturePositionEditorsOpenBesideTheMainWindowFullyOnTheScreen) {
  test_env::XvfbDisplay display(screen_width, screen_height);
  ASSERT_TRUE(display.ok()) << display.log();
  test_env::TempDir media;
  const std::string picture = media / "mark.png";
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "color=c=red:s=200x80", "-frames:v", "1", picture}));

  test_env::RealProgram program;
  // Logo removal and the picture watermark ticked, so that both editors' buttons work.
  program.write_config("[批量剪辑视频]\r\nx18=y\r\ny8=" + picture + "\r\nx21=y\r\n");
  ASSERT_TRUE(program.start());
  auto main = wait_for_main_window();
  ASSERT_TRUE(main) << program.log();
  // The settings thread has restored the edit options once it has saved them all back.
  ASSERT_TRUE(test_env::wait_until(
      [&] { return test_env::read_file(program.config()).find("y13=") != std::string::npos; }, step_limit))
      << test_env::read_file(program.config());
  ASSERT_TRUE(click_control(*main, "edit_page_button"));

  // The main window opened on the screen's middle: the screen has room on its right.
  ASSERT_TRUE(click_control(*main, "delogo_region_button"));
  const auto mosaic = test_env::wait_for_window_titled(editor_title, step_limit);
  ASSERT_TRUE(mosaic) << "the mosaic editor did not open\n" << test_env::describe_screen() << program.log();
  EXPECT_GE(mosaic->x, main->x + main->width) << describe(*mosaic) << " beside " << describe(*main);
  EXPECT_FALSE(overlap(*mosaic, *main)) << describe(*mosaic) << " over " << describe(*main);
  EXPECT_TRUE(on_screen(*mosaic)) << describe(*mosaic);
  ASSERT_TRUE(test_env::request_close(*mosaic));
  ASSERT_TRUE(test_env::wait_for_window_gone(editor_title, step_limit)) << test_env::describe_screen();

  // The main window at the screen's right edge: no room on its right, room on its left.
  const int right_edge = screen_width - main->width;
  ASSERT_TRUE(test_env::xdotool({"windowmove", "--sync", std::to_string(main->id), std::to_string(right_edge),
                                 std::to_string(main->y)}));
  main = test_env::wait_for_window(
      [&](const ScreenWindow& w) { return w.id == main->id && w.x == right_edge; }, step_limit);
  ASSERT_TRUE(main) << test_env::describe_screen();
  ASSERT_TRUE(click_control(*main, "watermark_position_button"));
  const auto picture_editor = test_env::wait_for_window_titled(editor_title, step_limit);
  ASSERT_TRUE(picture_editor) << "the picture position editor did not open\n"
                              << test_env::describe_screen() << program.log();
  EXPECT_LE(picture_editor->x + picture_editor->width, main->x)
      << describe(*picture_editor) << " beside " << describe(*main);
  EXPECT_FALSE(overlap(*picture_editor, *main)) << describe(*picture_editor) << " over " << describe(*main);
  EXPECT_TRUE(on_screen(*picture_editor)) << describe(*picture_editor);
}

}  // namespace
