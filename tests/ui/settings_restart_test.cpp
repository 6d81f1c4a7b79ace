// The settings across a restart: options changed through the window's events survive
// closing and starting again exactly, and a close while the settings load is still
// running leaves the user's file as it was.
//
// Shutdown cannot be undone in a process, so the run that closes the window happens in
// a child process: a death test forked from this one (no thread of the program runs at
// that moment), so it shares the run folder. The child reports its checks through its
// exit code and prints what failed.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>

#include "tests/ui/settings_test_support.h"
#include "ui/startup_tasks.h"

namespace {

using namespace std::chrono_literals;

// Every control of the main window as one line each: role, then everything the user can
// see or change of it.
std::map<std::string, std::string> control_lines() {
  std::map<std::string, std::string> lines;
  for (const ControlState& c : gui().window_snapshot(main_window()).controls) {
    std::ostringstream line;
    line << "text=" << c.text << " checked=" << c.checked << " enabled=" << c.enabled << " visible=" << c.visible
         << " value=" << c.value << " range=" << c.minimum << ".." << c.maximum << " selected=" << c.selected
         << " colour=" << (c.colour ? std::to_string(*c.colour) : "-") << " rows=" << c.rows.size() << " items=";
    for (const std::string& item : c.items) line << item << "|";
    line << " at=" << c.geometry.x << "," << c.geometry.y << "," << c.geometry.width << "," << c.geometry.height;
    lines[c.role] = line.str();
  }
  return lines;
}

void write_lines(const std::string& path, const std::map<std::string, std::string>& lines) {
  std::string text;
  for (const auto& [role, line] : lines) text += role + "\t" + line + "\n";
  test_env::write_file(path, text);
}

std::map<std::string, std::string> read_lines(const std::string& path) {
  std::map<std::string, std::string> lines;
  std::istringstream in(test_env::read_file(path));
  for (std::string line; std::getline(in, line);) {
    const size_t tab = line.find('\t');
    lines[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return lines;
}

void click(const char* role) { EXPECT_TRUE(gui().input_click(main_control(role))) << role; }
void type(const char* role, const char* text) { EXPECT_TRUE(gui().input_text(main_control(role), text)) << role; }
void choose(const char* role, int index) { EXPECT_TRUE(gui().input_select(main_control(role), index)) << role; }

// Changes nearly every option of the edit page, the global options and the merge page's
// choices as a user would; then two choices that are kept nowhere.
void change_many_options() {
  show_page(2);
  click("head_trim_check");
  type("head_trim_seconds_field", "5");
  click("tail_trim_check");
  type("tail_trim_seconds_field", "4");
  click("frame_rate_check");
  type("frame_rate_field", "30");
  for (const char* box : {"sharpen_check", "decolour_check", "mute_check", "flash_halo_check", "hflip_check",
                          "vflip_check", "rotate_ccw_check", "fade_in_check", "colour_cycle_check", "halo_check",
                          "random_transition_check", "portrait_to_landscape_check", "landscape_to_portrait_check"})
    click(box);
  click("subtitle_check");
  type("subtitle_text_field", "滚动 字幕 = 文字");
  choose("subtitle_font_combo", 1);
  type("subtitle_size_combo", "48");
  choose("subtitle_direction_combo", 1);
  choose("subtitle_shadow_combo", 2);
  choose("subtitle_speed_combo", 4);
  type("subtitle_bottom_field", "40");
  EXPECT_TRUE(gui().input_colour(main_control("subtitle_colour_picker"), make_colour(0x12, 0x34, 0x56)));
  click("merge_audio_check");
  type("audio_file_field", "/music/背景 音乐.mp3");
  click("delogo_check");
  type("delogo_left_field", "11");
  type("delogo_top_field", "12");
  type("delogo_width_field", "130");
  type("delogo_height_field", "60");
  click("picture_watermark_check");
  type("watermark_picture_field", "/p/logo.png");
  type("watermark_left_field", "20");
  type("watermark_top_field", "30");
  click("resize_check");
  type("resize_width_field", "1920");
  type("resize_height_field", "1080");
  click("blur_border_check");
  choose("blur_border_scale_combo", 4);
  click("top_bottom_pictures_check");
  type("top_picture_field", "/p/top.png");
  type("bottom_picture_field", "/p/bottom.png");
  click("background_picture_check");
  type("background_picture_field", "/p/bg.jpg");
  choose("background_size_combo", 1);
  choose("background_scale_combo", 3);
  choose("background_position_combo", 1);
  type("background_left_field", "12");
  type("background_top_field", "34");
  click("crop_check");
  type("crop_width_field", "800");
  type("crop_height_field", "450");
  type("crop_left_field", "16");
  type("crop_top_field", "9");
  click("compress_check");
  choose("compress_mode_combo", 0);
  EXPECT_TRUE(gui().input_slider_moved(main_control("compress_strength_slider"), 14));
  click("speed_check");
  choose("speed_combo", 9);
  click("multithread_check");
  type("thread_count_field", "6");
  click("gpu_decode_check");
  click("custom_command_check");
  click("custom_before_radio");
  click("audio_rate_check");
  type("audio_rate_field", "44");
  click("edit_format_mkv_radio");  // kept nowhere

  show_page(1);
  choose("merge_transition_combo", 10);
  click("merge_transition_check");
  click("merge_title_from_source2_radio");

  show_page(0);
  click("convert_delete_source_check");  // kept nowhere
}

// The first run: start, change the options, remember every control, close (Yes).
void first_run(const std::string& folder, const std::string& snapshot) {
  HeadlessGui g;
  g.loop.when_idle([] { EXPECT_TRUE(wait_for_worker_threads(10s)); });
  g.loop.when_idle([&] {
    EXPECT_TRUE(edit_settings_loaded());
    change_many_options();
    write_lines(snapshot, control_lines());
    g.services.answer_message(MessageAnswer::yes);
    EXPECT_TRUE(gui().input_close(main_window()));
  });
  EXPECT_EQ(program_start_in(folder), 0);
}

TEST(SettingsRestart, EveryOptionChangedThroughTheWindowComesBackAfterARestart) {
  GTEST_FLAG_SET(death_test_style, "fast");
  MainWindowRunFolder run;
  add_font(run, "DejaVuSans.ttf", "a.ttf");
  add_font(run, "DejaVuSerif.ttf", "b.ttf");
  const std::string snapshot = run.path() + "/../controls.txt";
  EXPECT_EXIT(
      {
        first_run(run.path(), snapshot);
        end_child_with_checks();
      },
      ::testing::ExitedWithCode(0), "");

  HeadlessGui g;
  start_main_window(g, run);
  std::map<std::string, std::string> before = read_lines(snapshot);
  std::map<std::string, std::string> after = control_lines();
  ASSERT_GT(before.size(), 200u);
  // The output formats and the delete-source box start as designed at every start.
  EXPECT_TRUE(gui().checked(main_control("edit_format_mp4_radio")));
  EXPECT_FALSE(gui().checked(main_control("edit_format_mkv_radio")));
  EXPECT_FALSE(gui().checked(main_control("convert_delete_source_check")));
  for (const char* not_kept : {"edit_format_mp4_radio", "edit_format_mkv_radio", "convert_delete_source_check"}) {
    EXPECT_NE(before[not_kept], after[not_kept]) << not_kept;
    before.erase(not_kept);
    after.erase(not_kept);
  }
  for (const auto& [role, line] : before) EXPECT_EQ(after[role], line) << role;
  EXPECT_EQ(after.size(), before.size());
  // A few of them by name, so that a change that did not happen cannot pass unseen.
  EXPECT_EQ(gui().text(main_control("subtitle_text_field")), "滚动 字幕 = 文字");
  EXPECT_EQ(gui().text(main_control("subtitle_font_combo")), "DejaVu Serif(b)");
  EXPECT_EQ(gui().colour(main_control("subtitle_colour_picker")), make_colour(0x12, 0x34, 0x56));
  EXPECT_EQ(gui().value(main_control("compress_strength_slider")), 14);
  EXPECT_TRUE(gui().enabled(main_control("compress_strength_slider")));
  EXPECT_TRUE(gui().checked(main_control("custom_before_radio")));
  EXPECT_EQ(gui().text(main_control("merge_transition_combo")), "向右滑动");
  EXPECT_FALSE(gui().checked(main_control("merge_transition_check")));
  EXPECT_TRUE(gui().checked(main_control("merge_title_from_source2_radio")));
  EXPECT_EQ(gui().text(main_control("speed_combo")), "1.5");
}

// Closes the window while the settings load is held back, after an option click.
void close_during_load(const std::string& folder) {
  HeadlessGui g;
  Gate gate;
  g.loop.when_idle([&] {
    show_page(2);
    click("sharpen_check");
    EXPECT_FALSE(edit_settings_loaded());
    g.services.answer_message(MessageAnswer::yes);
    EXPECT_TRUE(gui().input_close(main_window()));
  });
  EXPECT_EQ(program_start_in(folder,
                             [&] {
                               set_startup_task(
                                   StartupTask::settings,
                                   [&] {
                                     gate.wait();
                                     load_edit_settings();
                                   },
                                   [&] { gate.release(); });
                             }),
            0);
  EXPECT_FALSE(edit_settings_loaded());
}

TEST(SettingsRestart, ACloseDuringTheSettingsLoadLeavesTheFileAsItWas) {
  GTEST_FLAG_SET(death_test_style, "fast");
  MainWindowRunFolder run;
  const std::string original = "[批量剪辑视频]\r\nx14=n\r\ny4=9\r\nz1=DejaVu Sans(a)\r\n[原视频]\r\n打开位置1=/v/\r\n";
  run.write_config(original);
  EXPECT_EXIT(
      {
        close_during_load(run.path());
        end_child_with_checks();
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(test_env::read_file(run.config()), original);
}

}  // namespace
