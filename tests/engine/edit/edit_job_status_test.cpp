// What a row of the edit job says at its end and what it leaves in the output folder:
// a video saved without one of its ticked options names the first option that was not
// applied, a failed save leaves no file that looks like an output, and the rows of one
// job never write over each other's outputs.

#include <algorithm>
#include <filesystem>
#include <functional>

#include "engine/common/globals.h"
#include "engine/edit/custom_command_file.h"
#include "engine/edit/edit_job.h"
#include "engine/edit/edit_job_save.h"
#include "tests/engine/edit/edit_step_test_support.h"

namespace {

namespace fs = std::filesystem;
using test_env::decode_frame;
using test_env::mean_frame_difference;
using test_env::read_file;
using test_env::write_file;

class EditJobStatus : public EditStepTest {
 protected:
  void SetUp() override {
    EditStepTest::SetUp();
    out = dir / "out";
    fs::create_directories(out);
    use_fresh_window();
  }

  // A main window with every option at its designed default, saving into `out`.
  void use_fresh_window() {
    window = gui().create_window(main_window_spec(run));
    type("edit_output_folder_field", out);
  }

  // Runs the whole job on `sources` and gives each row's final status.
  std::vector<std::string> run_job(const std::vector<std::string>& sources) {
    const ControlRef list = at("edit_list");
    gui().clear_rows(list);
    for (const std::string& source : sources) {
      gui().append_row(list, {std::to_string(gui().row_count(list) + 1), source, "", ""});
    }
    batch_edit_videos(window);
    return gui().column_texts(list, edit_list_status_column);
  }

  static void expect_saved_clip(const std::string& path, double seconds = 2.0) {
    const test_env::ProbeResult probe = test_env::ffprobe(path);
    ASSERT_TRUE(probe.ok) << path;
    EXPECT_NEAR(probe.duration, seconds, 0.3) << path;
    EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(320, 240)) << path;
  }

  // The names in `out`, in order.
  std::vector<std::string> output_names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(out)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string out;
};

}  // namespace

TEST_F(EditJobStatus, ARowSavedWithoutATickedOptionNamesTheFirstOneNotApplied) {
  const std::string source = clip("clip.mp4", 320, 240, true, 2.0);
  fs::create_directories(dir / "a folder");
  write_file(dir / "bg.jpg", "not a picture");
  write_file(dir / "noise.mp3", "not a sound");
  struct Case {
    const char* what;
    std::function<void()> set_up;
    const char* status;
  };
  const Case cases[] = {
      {"a watermark path that is a folder",
       [&] {
         check("picture_watermark_check");
         type("watermark_picture_field", dir / "a folder");
       },
       "未完成：添加图片水印"},
      {"a background picture that is no picture",
       [&] {
         check("background_picture_check");
         type("background_picture_field", dir / "bg.jpg");
       },
       "未完成：添加视频背景图片"},
      {"added audio that cannot be read",
       [&] {
         check("merge_audio_check");
         type("audio_file_field", dir / "noise.mp3");
       },
       "未完成：合并音频文件"},
      {"a frame size that is no number",
       [&] {
         check("resize_check");
         type("resize_width_field", "1280px");
       },
       "未完成：修改视频尺寸"},
      {"a frame rate that is no number",
       [&] {
         check("frame_rate_check");
         type("frame_rate_field", "abc");
       },
       "未完成：帧速率"},
      {"a head cut that is no number",
       [&] {
         check("head_trim_check");
         type("head_trim_seconds_field", "三");
       },
       "未完成：片头减时"},
      {"a tail cut longer than the video",
       [&] {
         check("tail_trim_check");
         type("tail_trim_seconds_field", "5");
       },
       "未完成：片尾减时"},
      {"a logo box beyond the frame",
       [&] {
         check("delogo_check");
         type("delogo_left_field", "1000");
       },
       "未完成：去除视频水印"},
      {"a subtitle distance that is no number",
       [&] {
         check("subtitle_check");
         type("subtitle_text_field", "字幕");
         type("subtitle_bottom_field", "底部");
       },
       "未完成：添加滚动字幕"},
      {"a blurred border scale that is no number",
       [&] {
         check("blur_border_check");
         type("blur_border_scale_combo", "一半");
       },
       "未完成：虚化边框背景"},
      {"a failing converter run",
       [&] {
         check("sharpen_check");
         fail_converter_calls("unsharp", 1, 5000);
       },
       "未完成：视频锐化"},
      {"a cut whose two forms both fail",
       [&] {
         check("head_trim_check");
         type("head_trim_seconds_field", "1");
         fail_converter_calls("-ss 00:00:01", 1, 5000);
       },
       "未完成：片头减时"},
      {"a landscape-to-portrait run that fails",
       [&] {
         check("landscape_to_portrait_check");
         fail_converter_calls("boxblur", 1, 0);
       },
       "未完成：横屏改竖屏"},
      {"a custom command line that fails",
       [&] {
         check("custom_command_check");
         check("custom_after_radio");
         ASSERT_TRUE(write_custom_command_file("-i [input] -vf no_such_filter [output]\r\n"));
       },
       "未完成：高级自定义"},
      {"two options not applied: the first is named",
       [&] {
         check("frame_rate_check");
         type("frame_rate_field", "abc");
         check("resize_check");
         type("resize_height_field", "x");
       },
       "未完成：帧速率"},
      // Options that did apply, or had nothing to do, leave the row done.
      {"a portrait-to-landscape box on a landscape video, and a sharpened picture",
       [&] {
         check("portrait_to_landscape_check");
         check("sharpen_check");
       },
       edit_status_done},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    use_fresh_window();
    log_converter();
    fs::remove(out + "/clip.mp4");
    c.set_up();
    EXPECT_EQ(run_job({source}), std::vector<std::string>{c.status});
    // The video is saved all the same, with what did apply.
    expect_saved_clip(out + "/clip.mp4");
    EXPECT_EQ(test_env::ffprobe(out + "/clip.mp4").codec_types, (std::vector<std::string>{"video", "audio"}));
  }
}

TEST_F(EditJobStatus, WhatDidApplyIsSavedWhenALaterOptionFails) {
  const std::string source = clip("clip.mp4", 320, 240, true, 2.0);
  fs::create_directories(dir / "a folder");
  check("hflip_check");
  check("picture_watermark_check");
  type("watermark_picture_field", dir / "a folder");
  EXPECT_EQ(run_job({source}), std::vector<std::string>{"未完成：添加图片水印"});
  expect_saved_clip(out + "/clip.mp4");
  EXPECT_LT(mean_frame_difference(decode_frame(out + "/clip.mp4", 0.5), decode_frame(source, 0.5, "hflip")), 6.0);
}

TEST_F(EditJobStatus, OptionNamesComeFromTheCaptions) {
  EXPECT_EQ(edit_option_name("帧速率："), "帧速率");
  EXPECT_EQ(edit_option_name("修改视频尺寸，宽度："), "修改视频尺寸");
  EXPECT_EQ(edit_option_name("随机转场"), "随机转场");
  EXPECT_EQ(edit_not_applied_status("虚化边框背景，将原视频缩小到："), "未完成：虚化边框背景");
}

TEST_F(EditJobStatus, AFailedSaveLeavesNoFileThatLooksLikeAnOutput) {
  const std::string source = clip("clip.mp4", 320, 240, true, 2.0);
  const std::string output = out + "/clip.mp4";
  struct Case {
    const char* what;
    bool there_before;
    int bytes;  // what the failing save writes (-1: nothing)
    bool left;  // a file is at the output afterwards
  };
  for (const Case& c : {Case{"a partial file the save made", false, 5000, false},
                        Case{"an empty file the save made", false, 0, false},
                        Case{"a file there before that the save wrote over", true, 5000, false},
                        Case{"a file there before that the save never touched", true, -1, true}}) {
    SCOPED_TRACE(c.what);
    fs::remove(output);
    if (c.there_before) write_file(output, "an earlier file");
    fail_converter_calls("-vcodec copy -y " + output, 1, c.bytes);
    EXPECT_EQ(run_job({source}), std::vector<std::string>{edit_status_save_failed});
    EXPECT_EQ(fs::exists(output), c.left);
    if (c.left) EXPECT_EQ(read_file(output), "an earlier file");
    EXPECT_EQ(output_names(), c.left ? std::vector<std::string>{"clip.mp4"} : std::vector<std::string>{});
  }

  // A save the converter ends with 0 but whose output it cannot read is no output
  // either.
  fs::remove(output);
  fail_converter_calls("-vcodec copy -y " + output, 0, 3000);
  EXPECT_EQ(run_job({source}), std::vector<std::string>{edit_status_save_failed});
  EXPECT_FALSE(fs::exists(output));
  // The source stays as it was.
  expect_saved_clip(source);
}

TEST_F(EditJobStatus, RowsOfOneJobNeverWriteOverEachOthersOutputs) {
  fs::create_directories(dir / "one");
  fs::create_directories(dir / "two");
  const std::string first = clip("one/clip.mp4", 320, 240, true, 2.0);
  const std::string same_name = clip("two/clip.mp4", 320, 240, false, 2.0);
  const std::string same_stem = clip("clip.mkv", 320, 240, true, 3.0);
  // A source in the output folder with the name a numbered output would take.
  const std::string listed_output = clip("out/clip(2).mp4", 320, 240, true, 2.0);
  const std::string listed_bytes = read_file(listed_output);
  log_converter();
  const std::vector<std::string> statuses = run_job({first, same_name, first, same_stem, listed_output});
  EXPECT_EQ(statuses, (std::vector<std::string>{edit_status_done, edit_status_done, edit_status_done,
                                                edit_status_done, edit_status_output_is_source}));
  // The first row keeps the plain name; the numbered names pass over the listed source.
  EXPECT_EQ(output_names(), (std::vector<std::string>{"clip(2).mp4", "clip(3).mp4", "clip(4).mp4", "clip(5).mp4",
                                                      "clip.mp4"}));
  EXPECT_EQ(read_file(listed_output), listed_bytes);
  expect_saved_clip(out + "/clip.mp4");
  EXPECT_EQ(test_env::ffprobe(out + "/clip(3).mp4").codec_types, std::vector<std::string>{"video"});
  expect_saved_clip(out + "/clip(4).mp4");
  expect_saved_clip(out + "/clip(5).mp4", 3.0);

  // The names live for one job: the next job takes the same names again.
  fs::remove(listed_output);
  EXPECT_EQ(run_job({first, first}), (std::vector<std::string>{edit_status_done, edit_status_done}));
  EXPECT_EQ(output_names(), (std::vector<std::string>{"clip(2).mp4", "clip(3).mp4", "clip(4).mp4", "clip(5).mp4",
                                                      "clip.mp4"}));
  EXPECT_EQ(test_env::ffprobe(out + "/clip(2).mp4").codec_types, (std::vector<std::string>{"video", "audio"}));
}
