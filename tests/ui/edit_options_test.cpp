// The edit page's options: which value controls each box enables, the hints shown when
// an option is switched on, the "开始剪辑" rule, and `FfmpegGlobalOptions`.

#include <gtest/gtest.h>

#include "engine/common/globals.h"
#include "tests/ui/settings_test_support.h"
#include "ui/edit_options.h"

namespace {

bool checked(const char* role) { return gui().checked(control(role)); }
bool enabled(const char* role) { return gui().enabled(control(role)); }
bool click(const char* role) { return gui().input_click(control(role)); }

TEST(FfmpegGlobalOptions, BuiltFromTheTwoBoxesAndOnlyAValidThreadCount) {
  EXPECT_EQ(build_ffmpeg_global_options(false, "4", false), "");
  EXPECT_EQ(build_ffmpeg_global_options(true, "4", false), " -threads 4");
  EXPECT_EQ(build_ffmpeg_global_options(false, "4", true), " -hwaccel auto");
  EXPECT_EQ(build_ffmpeg_global_options(true, "4", true), " -threads 4 -hwaccel auto");
  EXPECT_EQ(build_ffmpeg_global_options(true, "2", true), " -threads 2 -hwaccel auto");

  const std::pair<const char*, std::optional<int>> counts[] = {
      {"1", 1},          {"999", 999},        {" 8 ", 8},         {"08", 8},           {"", std::nullopt},
      {"0", std::nullopt}, {"1000", std::nullopt}, {"2 -y", std::nullopt}, {"-2", std::nullopt}, {"2.5", std::nullopt},
      {"４", std::nullopt}, {"2\t", std::nullopt}, {"a", std::nullopt}, {"1 2", std::nullopt}, {"\"2\"", std::nullopt},
  };
  for (const auto& [text, count] : counts) {
    EXPECT_EQ(thread_count_from_text(text), count) << text;
    EXPECT_EQ(build_ffmpeg_global_options(true, text, true),
              (count ? " -threads " + std::to_string(*count) : std::string()) + " -hwaccel auto")
        << text;
  }
}

TEST(EditOptions, TheGlobalBoxesSetTheGlobalOptionsButDoNotEnableTheStartButton) {
  HeadlessGui g;
  MainWindowRunFolder run;
  start_main_window(g, run);
  gui().append_row(control("edit_list"), {"1", "/v/a.mp4", "00:00:02", ""});

  EXPECT_TRUE(click("multithread_check"));
  EXPECT_TRUE(enabled("thread_count_field"));
  EXPECT_EQ(ffmpeg_global_options.get(), " -threads 2");
  EXPECT_TRUE(click("gpu_decode_check"));
  EXPECT_EQ(ffmpeg_global_options.get(), " -threads 2 -hwaccel auto");
  EXPECT_FALSE(enabled("edit_start_button"));
  EXPECT_TRUE(gui().input_text(control("thread_count_field"), "16"));
  EXPECT_TRUE(click("multithread_check"));  // off
  EXPECT_FALSE(enabled("thread_count_field"));
  EXPECT_EQ(ffmpeg_global_options.get(), " -hwaccel auto");
  EXPECT_TRUE(click("multithread_check"));
  EXPECT_EQ(ffmpeg_global_options.get(), " -threads 16 -hwaccel auto");
  // A field emptied by the user leaves the count out instead of breaking every command.
  EXPECT_TRUE(gui().input_text(control("thread_count_field"), ""));
  EXPECT_TRUE(click("gpu_decode_check"));
  EXPECT_EQ(ffmpeg_global_options.get(), "");
  EXPECT_EQ(stored(run, "y34"), "");
  EXPECT_EQ(stored(run, "x31"), "y");
  EXPECT_EQ(stored(run, "x32"), "n");
}

TEST(EditOptions, EachBoxEnablesItsValueControls) {
  struct Case {
    const char* box;
    std::vector<const char*> values;
  };
  const Case cases[] = {
      {"head_trim_check", {"head_trim_seconds_field"}},
      {"tail_trim_check", {"tail_trim_seconds_field"}},
      {"frame_rate_check", {"frame_rate_field"}},
      {"subtitle_check",
       {"subtitle_text_field", "reverse_subtitle_button", "subtitle_font_combo", "subtitle_size_combo",
        "subtitle_colour_picker", "subtitle_direction_combo", "subtitle_shadow_combo", "subtitle_bottom_field",
        "subtitle_speed_combo"}},
      {"merge_audio_check", {"audio_file_field", "choose_audio_file_button"}},
      {"delogo_check",
       {"delogo_left_field", "delogo_top_field", "delogo_width_field", "delogo_height_field", "delogo_region_button"}},
      {"picture_watermark_check",
       {"watermark_picture_field", "choose_watermark_picture_button", "watermark_left_field", "watermark_top_field",
        "watermark_position_button"}},
      {"resize_check", {"resize_width_field", "resize_height_field"}},
      {"blur_border_check", {"blur_border_scale_combo"}},
      {"top_bottom_pictures_check",
       {"top_picture_field", "choose_top_picture_button", "choose_bottom_picture_button", "bottom_picture_field"}},
      {"background_picture_check",
       {"background_picture_field", "choose_background_picture_button", "background_size_combo",
        "background_scale_combo", "background_position_combo"}},
      {"crop_check", {"crop_width_field", "crop_height_field", "crop_left_field", "crop_top_field", "crop_region_button"}},
      {"compress_check", {"compress_mode_combo"}},
      {"speed_check", {"speed_combo"}},
      {"custom_command_check", {"custom_command_edit_button", "custom_before_radio", "custom_after_radio"}},
      {"audio_rate_check", {"audio_rate_field"}},
  };
  HeadlessGui g;
  MainWindowRunFolder run;
  start_main_window(g, run);
  show_page(2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    for (const char* value : c.values) EXPECT_FALSE(enabled(value)) << value;
    EXPECT_TRUE(click(c.box));
    for (const char* value : c.values) EXPECT_TRUE(enabled(value)) << value;
    EXPECT_TRUE(click(c.box));
    for (const char* value : c.values) EXPECT_FALSE(enabled(value)) << value;
  }
}

TEST(EditOptions, BackgroundPositionAndCompressionModeRefineWhatTheirBoxesEnable) {
  HeadlessGui g;
  MainWindowRunFolder run;
  start_main_window(g, run);
  show_page(2);

  EXPECT_TRUE(click("background_picture_check"));
  EXPECT_FALSE(enabled("background_left_field"));  // "居中"
  EXPECT_FALSE(enabled("background_top_field"));
  EXPECT_TRUE(gui().input_select(control("background_position_combo"), 1));  // "自定义"
  EXPECT_TRUE(enabled("background_left_field"));
  EXPECT_TRUE(enabled("background_top_field"));
  EXPECT_EQ(stored(run, "z9"), "自定义");
  EXPECT_TRUE(click("background_picture_check"));
  EXPECT_FALSE(enabled("background_left_field"));
  EXPECT_FALSE(enabled("background_position_combo"));

  EXPECT_TRUE(click("compress_check"));
  EXPECT_FALSE(enabled("compress_strength_slider"));  // "模式二"
  EXPECT_TRUE(gui().input_select(control("compress_mode_combo"), 0));  // "模式一"
  EXPECT_TRUE(enabled("compress_strength_slider"));
  EXPECT_TRUE(gui().input_slider_moved(control("compress_strength_slider"), 15));
  EXPECT_TRUE(gui().input_select(control("compress_mode_combo"), 1));
  // Disabled, but it keeps its position, which is still saved.
  EXPECT_FALSE(enabled("compress_strength_slider"));
  EXPECT_EQ(gui().value(control("compress_strength_slider")), 15);
  EXPECT_EQ(stored(run, "h1"), "15");
  EXPECT_EQ(stored(run, "z11"), "模式二");
  EXPECT_TRUE(click("compress_check"));
  EXPECT_FALSE(enabled("compress_mode_combo"));
}

TEST(EditOptions, TheStartButtonNeedsARowAndOneEditOption) {
  HeadlessGui g;
  MainWindowRunFolder run;
  start_main_window(g, run);
  show_page(2);
  EXPECT_TRUE(click("sharpen_check"));
  EXPECT_FALSE(enabled("edit_start_button"));  // the list is empty
  gui().append_row(control("edit_list"), {"1", "/v/a.mp4", "00:00:02", ""});
  refresh_edit_options();  // as a change of the edit list does
  EXPECT_TRUE(enabled("edit_start_button"));
  EXPECT_TRUE(click("sharpen_check"));
  EXPECT_FALSE(enabled("edit_start_button"));
  for (const std::string& box : edit_start_option_boxes()) {
    EXPECT_TRUE(gui().input_click(control(box.c_str()))) << box;
    EXPECT_TRUE(enabled("edit_start_button")) << box;
    EXPECT_TRUE(gui().input_click(control(box.c_str()))) << box;
    EXPECT_FALSE(enabled("edit_start_button")) << box;
  }
  // The merge page's transition box does not count either.
  show_page(1);
  EXPECT_TRUE(click("merge_transition_check"));
  EXPECT_TRUE(click("merge_transition_check"));
  EXPECT_FALSE(enabled("edit_start_button"));
}

TEST(EditOptions, CheckingOneRotationUnchecksTheOther) {
  HeadlessGui g;
  MainWindowRunFolder run;
  start_main_window(g, run);
  show_page(2);
  EXPECT_TRUE(click("rotate_ccw_check"));
  EXPECT_TRUE(click("rotate_cw_check"));
  EXPECT_TRUE(checked("rotate_cw_check"));
  EXPECT_FALSE(checked("rotate_ccw_check"));
  EXPECT_EQ(stored(run, "x8"), "y");
  EXPECT_EQ(stored(run, "x9"), "n");
  EXPECT_TRUE(click("rotate_ccw_check"));
  EXPECT_FALSE(checked("rotate_cw_check"));
  EXPECT_TRUE(click("rotate_ccw_check"));  // unchecking leaves the other as it is
  EXPECT_FALSE(checked("rotate_cw_check"));
  EXPECT_FALSE(checked("rotate_ccw_check"));
}

TEST(EditOptions, HintsShowAtTheCursorWhenAnOptionIsSwitchedOnOnly) {
  HeadlessGui g;
  MainWindowRunFolder run;
  const WindowToken w = start_main_window(g, run);
  g.services.set_cursor_position({321, 234});
  show_page(2);
  const char* hinted[] = {"sharpen_check",        "speed_check",      "subtitle_check",
                          "merge_audio_check",    "delogo_check",     "picture_watermark_check",
                          "background_picture_check", "crop_check",   "custom_command_check",
                          "compress_check",       "gpu_decode_check"};
  for (const char* box : hinted) {
    SCOPED_TRACE(box);
    g.services.clear_records();
    EXPECT_TRUE(click(box));
    const auto on = g.services.balloons();
    ASSERT_EQ(on.size(), 1u);
    EXPECT_EQ(on[0].text, edit_option_hint(box));
    EXPECT_FALSE(on[0].text.empty());
    EXPECT_EQ(on[0].at, (GuiPoint{321, 234}));
    EXPECT_EQ(on[0].owner, w);
    g.services.clear_records();
    EXPECT_TRUE(click(box));
    EXPECT_TRUE(g.services.balloons().empty());
  }
  // Boxes without a hint show none.
  g.services.clear_records();
  for (const char* box : {"head_trim_check", "mute_check", "multithread_check", "resize_check"}) EXPECT_TRUE(click(box));
  EXPECT_TRUE(g.services.balloons().empty());

  EXPECT_EQ(edit_option_hint("gpu_decode_check"), "用Nvidia显卡解码，未必会比CPU解码更快。");
  EXPECT_EQ(edit_option_hint("background_picture_check"),
            "背景图片请用PS等软件设计成新视频的大小。\r\n比如：1280*720或720*1280等视频常规尺寸\r\n"
            "如果背景图尺寸小于原视频的话，可能导致视频变形。");

  // The frame-rate hint shows whenever its field gets the focus.
  EXPECT_TRUE(click("frame_rate_check"));
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(gui().input_focus(control("frame_rate_field")));
  const auto focus = g.services.balloons();
  ASSERT_EQ(focus.size(), 2u);
  EXPECT_EQ(focus[1].text,
            "只能在原视频的帧频上减少，不能增加。\r\n比如原视频是30帧/秒，可以改成低于30帧/秒，不能改成大于30帧/秒");
}

TEST(EditOptions, TheAfterRadioShowsItsHintAndSavesNothing) {
  HeadlessGui g;
  MainWindowRunFolder run;
  run.write_config("[批量剪辑视频]\r\nx33=y\r\ndd33=a\r\n");
  start_main_window(g, run);
  show_page(2);
  EXPECT_TRUE(checked("custom_before_radio"));
  g.services.clear_records();
  const std::string before = test_env::read_file(run.config());
  EXPECT_TRUE(click("custom_after_radio"));
  ASSERT_EQ(g.services.balloons().size(), 1u);
  EXPECT_EQ(g.services.balloons()[0].text, "在所有选项后面，压缩视频选项的前面执行。");
  EXPECT_EQ(test_env::read_file(run.config()), before);
  // Nor does the before radio; the choice reaches the file with the next save.
  EXPECT_TRUE(click("custom_before_radio"));
  EXPECT_TRUE(click("custom_after_radio"));
  EXPECT_EQ(stored(run, "dd33"), "a");
  EXPECT_TRUE(click("sharpen_check"));
  EXPECT_EQ(stored(run, "dd33"), "b");
}

}  // namespace
