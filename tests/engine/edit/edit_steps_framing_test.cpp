// The background picture, crop and blurred border steps on the real converter: the
// background gives its frame size and lays the video where asked, with or without
// sound, and keeps the work file when it fails; the crop's box is tested against the
// work file's own frame; the blurred border lays the sharp video in its middle, with
// or without sound.

#include "engine/edit/edit_steps_framing.h"

#include <algorithm>
#include <filesystem>

#include "engine/edit/edit_job_steps.h"
#include "engine/edit/edit_steps_pictures.h"
#include "tests/engine/edit/edit_step_test_support.h"
#include "tests/support/logging_converter.h"

namespace {

namespace fs = std::filesystem;
using test_env::decode_frame;
using test_env::DecodedFrame;
using test_env::mean_frame_difference;
using test_env::pixel_near;

const std::vector<int> orange{255, 128, 0}, teal{0, 128, 128};

class FramingSteps : public EditStepTest {
 protected:
  void set_background(const std::string& picture, const std::string& size, const std::string& scale,
                      const std::string& position, const std::string& left = "0", const std::string& top = "0") {
    type("background_picture_field", picture);
    type("background_size_combo", size);
    type("background_scale_combo", scale);
    type("background_position_combo", position);
    type("background_left_field", left);
    type("background_top_field", top);
    check("background_picture_check");
  }
  void set_crop(const std::string& width, const std::string& height, const std::string& left, const std::string& top) {
    type("crop_width_field", width);
    type("crop_height_field", height);
    type("crop_left_field", left);
    type("crop_top_field", top);
    check("crop_check");
  }
  void resize_to(EditVideoState& video, int width, int height) {
    type("resize_width_field", std::to_string(width));
    type("resize_height_field", std::to_string(height));
    check("resize_check");
    run_resize_step(video, page());
    check("resize_check", false);
    ASSERT_EQ(status(video), "尺寸已改");
  }
};

std::vector<std::string> streams_of(const std::string& path) { return test_env::ffprobe(path).codec_types; }

}  // namespace

TEST_F(FramingSteps, BackgroundGivesItsFrameAndLaysTheVideoWhereAsked) {
  const std::string source = landscape_clip();
  struct Case {
    const char* name;
    std::string picture;
    const char* size;
    const char* scale;
    const char* position;
    const char* left;
    const char* top;
    std::vector<int> colour;
    int frame_width, frame_height;  // NW x NH
    int x, y, width, height;        // where the video lies, at SW x SH
  } cases[] = {
      {"picture's size made even, centred", picture("bg.png", 401, 301, "0xFF8000"), "背景图", "95%", "居中", "0",
       "0", orange, 400, 300, 48, 36, 304, 228},
      {"the video's size at 100% covers the picture", picture("bg.jpg", 200, 100, "0x008080"), "原视频", "100%",
       "居中", "0", "0", teal, 320, 240, 0, 0, 320, 240},
      {"custom place", picture("背景 图.jpg", 401, 301, "0x008080"), "背景图", "85%",
       "自定义", "-10.7", "20", teal, 400, 300, -10, 20, 272, 204},
      {"1921x1081", picture("big.png", 1921, 1081, "0xFF8000"), "背景图", "95%", "居中", "0", "0", orange, 1920,
       1080, 808, 426, 304, 228},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EditVideoState video = start_video(source);
    set_background(c.picture, c.size, c.scale, c.position, c.left, c.top);
    run_background_picture_step(video, page());
    EXPECT_EQ(status(video), "背景图片已加");
    ASSERT_EQ(video.current, 2);
    EXPECT_EQ(std::pair(video.width, video.height), std::pair(c.frame_width, c.frame_height));
    const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
    EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(c.frame_width, c.frame_height));
    // Square pixels: the picture's own proportions do not stretch the output.
    EXPECT_EQ(test_env::stream_entry(video.current_file(), "v:0", "sample_aspect_ratio"), "1:1");
    EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));
    EXPECT_NEAR(probe.duration, 2.0, 0.25);
    EXPECT_FALSE(fs::exists(background_video_copy_path()));

    // The visible part of the video is the source scaled to SW x SH.
    const int x0 = std::max(c.x, 0), y0 = std::max(c.y, 0);
    const int x1 = std::min(c.x + c.width, c.frame_width), y1 = std::min(c.y + c.height, c.frame_height);
    const std::string visible = std::to_string(x1 - x0) + ":" + std::to_string(y1 - y0);
    const DecodedFrame shown =
        decode_frame(video.current_file(), 1.0, "crop=" + visible + ":" + std::to_string(x0) + ":" + std::to_string(y0));
    const DecodedFrame expected =
        decode_frame(source, 1.0,
                     "scale=" + std::to_string(c.width) + ":" + std::to_string(c.height) + ",crop=" + visible + ":" +
                         std::to_string(x0 - c.x) + ":" + std::to_string(y0 - c.y));
    EXPECT_LT(mean_frame_difference(shown, expected), 10.0);
    // Around it, the picture.
    const DecodedFrame frame = decode_frame(video.current_file(), 1.0);
    if (c.x > 4) {
      EXPECT_TRUE(pixel_near(frame.pixel(2, c.frame_height / 2), c.colour));
    }
    if (c.y + c.height < c.frame_height - 4) {
      EXPECT_TRUE(pixel_near(frame.pixel(c.frame_width / 2, c.frame_height - 2), c.colour));
    }
  }
}

TEST_F(FramingSteps, BackgroundOfASilentVideoIsSilentWhateverAnEarlierVideoLeft) {
  EditVideoState video = start_video(silent_clip());
  // What an earlier video's step left in the work folder.
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "sine=duration=2", video.work_folder + "tmp.mp3"}));
  fs::copy_file(landscape_clip(), video.work_folder + "tmp.mkv");
  set_background(picture("bg.png", 400, 300, "0xFF8000"), "背景图", "50%", "居中");
  run_background_picture_step(video, page());
  EXPECT_EQ(status(video), "背景图片已加");
  ASSERT_EQ(video.current, 2);
  EXPECT_EQ(streams_of(video.current_file()), (std::vector<std::string>{"video"}));
  EXPECT_EQ(std::pair(video.width, video.height), std::pair(400, 300));
  EXPECT_NEAR(test_env::ffprobe(video.current_file()).duration, 2.0, 0.25);
}

TEST_F(FramingSteps, BackgroundNeverWritesThroughWhatWasAtTheCopysPlace) {
  EditVideoState video = start_video(landscape_clip());
  const std::string user_file = dir / "user.mkv";
  test_env::write_file(user_file, "the user's own file");
  fs::create_symlink(user_file, background_video_copy_path());
  set_background(picture("bg.png", 400, 300, "0xFF8000"), "背景图", "95%", "居中");
  run_background_picture_step(video, page());
  EXPECT_EQ(status(video), "背景图片已加");
  EXPECT_EQ(test_env::read_file(user_file), "the user's own file");
  EXPECT_FALSE(fs::exists(fs::symlink_status(background_video_copy_path())));
}

TEST_F(FramingSteps, AFailedBackgroundKeepsTheWorkFileAndTheFrameSize) {
  EditVideoState video = start_video(landscape_clip());
  // Not a picture: its size cannot be read and the converter cannot read it either.
  const std::string bad = dir / "bad.png";
  test_env::write_file(bad, "not a picture");
  set_background(bad, "背景图", "95%", "居中");
  run_background_picture_step(video, page());
  EXPECT_EQ(status(video), "添加背景图片");
  EXPECT_EQ(video.current, 1);
  EXPECT_EQ(std::pair(video.width, video.height), std::pair(320, 240));
  EXPECT_EQ(test_env::ffprobe(video.current_file()).width, 320);
  EXPECT_FALSE(fs::exists(background_video_copy_path()));

  // A scale that is no number (the box holds no item, as after a settings file with
  // an unknown one) or a place that is no number runs nothing.
  const std::string log = dir / "calls.log";
  test_env::install_logging_converter(run, log);
  set_background(picture("bg.png", 400, 300, "0xFF8000"), "背景图", "", "居中");
  ASSERT_EQ(gui().text(at("background_scale_combo")), "");
  run_background_picture_step(video, page());
  set_background(picture("bg.png", 400, 300, "0xFF8000"), "背景图", "95%", "自定义", "10", "1e2");
  run_background_picture_step(video, page());
  EXPECT_TRUE(test_env::read_logged_commands(log).empty());
  EXPECT_EQ(video.current, 1);
}

TEST_F(FramingSteps, CropIsTestedAgainstTheWorkFilesOwnFrame) {
  const std::string source = landscape_clip();
  struct Case {
    const char* name;
    int resized_width, resized_height;  // 0: no resize before the crop (the clip is 320x240)
    const char* width;
    const char* height;
    const char* left;
    const char* top;
    int out_width, out_height;  // 0: refused
  } cases[] = {
      {"fits", 0, 0, "160", "120", "0", "0", 160, 120},
      {"reaches the right edge", 0, 0, "160", "120", "160", "120", 160, 120},
      {"one past the right edge", 0, 0, "160", "120", "161", "0", 0, 0},
      {"one past the bottom", 0, 0, "160", "120", "0", "121", 0, 0},
      // The held size stays 320x240 after a resize: the file's own frame decides.
      {"after a resize up, beyond the held size", 640, 480, "400", "300", "0", "0", 400, 300},
      {"after a resize down, beyond the file", 160, 120, "100", "100", "100", "0", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EditVideoState video = start_video(source);
    if (c.resized_width) resize_to(video, c.resized_width, c.resized_height);
    const int before = video.current;
    set_crop(c.width, c.height, c.left, c.top);
    run_crop_step(video, page());
    check("crop_check", false);
    EXPECT_EQ(std::pair(video.width, video.height), std::pair(320, 240));
    if (c.out_width == 0) {
      EXPECT_EQ(status(video), "画面裁切失败");
      EXPECT_EQ(video.current, before);
      continue;
    }
    EXPECT_EQ(status(video), "画面已裁切");
    ASSERT_NE(video.current, before);
    const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
    EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(c.out_width, c.out_height));
    EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));
    if (c.resized_width == 0) {
      const std::string box = std::string("crop=") + c.width + ":" + c.height + ":" + c.left + ":" + c.top;
      EXPECT_LT(mean_frame_difference(decode_frame(video.current_file(), 1.0), decode_frame(source, 1.0, box)), 6.0);
    }
  }
}

TEST_F(FramingSteps, BlurredBorderLaysTheSharpVideoInTheMiddleWithOrWithoutSound) {
  struct Case {
    const char* name;
    std::string source;
    const char* scale;
    std::vector<std::string> streams;
    int width, height;  // of the source
    int x, y, inner_width, inner_height;
  } cases[] = {
      {"with sound", landscape_clip(), "90%", {"video", "audio"}, 320, 240, 16, 12, 288, 216},
      {"without sound", silent_clip(), "80%", {"video"}, 320, 240, 32, 24, 256, 192},
      // 95% of 330x250 is 313x237: offsets of 8.5 and 6.5.
      {"half-pixel offsets", clip("odd.mp4", 330, 250), "95%", {"video", "audio"}, 330, 250, 8, 6, 313, 237},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EditVideoState video = start_video(c.source);
    type("blur_border_scale_combo", c.scale);
    check("blur_border_check");
    run_blurred_border_step(video, page());
    EXPECT_EQ(status(video), "背景已虚化");
    ASSERT_EQ(video.current, 2);
    const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
    EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(c.width, c.height));
    EXPECT_EQ(probe.codec_types, c.streams);
    EXPECT_NEAR(probe.duration, 2.0, 0.2);
    // Inside (two pixels in from its edges, where a half-pixel place blends; even
    // numbers, as the crop of a 4:2:0 picture takes them), the sharp video scaled; the
    // border is the blurred copy.
    const std::string inner = std::to_string((c.inner_width - 4) & ~1) + ":" + std::to_string((c.inner_height - 4) & ~1);
    const DecodedFrame shown = decode_frame(video.current_file(), 1.0,
                                            "crop=" + inner + ":" + std::to_string(c.x + 2) + ":" +
                                                std::to_string(c.y + 2));
    const DecodedFrame expected = decode_frame(
        c.source, 1.0,
        "scale=" + std::to_string(c.inner_width) + ":" + std::to_string(c.inner_height) + ",crop=" + inner + ":2:2");
    EXPECT_LT(mean_frame_difference(shown, expected), 10.0);
    const std::string strip = "crop=" + std::to_string(c.width) + ":" + std::to_string(c.y) + ":0:0";
    const DecodedFrame border = decode_frame(video.current_file(), 1.0, strip);
    EXPECT_LT(mean_frame_difference(border, decode_frame(c.source, 1.0, "avgblur=sizeX=64:sizeY=0," + strip)), 10.0);
  }
}

TEST_F(FramingSteps, BlurredBorderUsesTheHeldSizeAndNeedsAFrameToWorkOn) {
  const std::string source = landscape_clip();
  // After a crop the held size stays, and the blurred frame is brought back to it.
  EditVideoState cropped = start_video(source);
  set_crop("160", "120", "0", "0");
  run_crop_step(cropped, page());
  ASSERT_EQ(status(cropped), "画面已裁切");
  check("blur_border_check");
  run_blurred_border_step(cropped, page());
  EXPECT_EQ(status(cropped), "背景已虚化");
  const test_env::ProbeResult probe = test_env::ffprobe(cropped.current_file());
  EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(320, 240));

  // No frame size held, or none in the file: nothing runs and nothing is said.
  EditVideoState unknown = start_video(source);
  unknown.width = unknown.height = 0;
  EditVideoState unreadable = start_video(source);
  test_env::write_file(unreadable.current_file(), std::string(4096, 'x'));
  for (EditVideoState* video : {&unknown, &unreadable}) {
    gui().set_cell_by_id(at("edit_list"), video->row_id, edit_list_status_column, "转码成功");
    run_blurred_border_step(*video, page());
    EXPECT_EQ(status(*video), "转码成功");
    EXPECT_EQ(video->current, 1);
    EXPECT_FALSE(fs::exists(video->work_file_b));
  }
}

TEST_F(FramingSteps, TheChainRunsThePictureStepsInTheirSlots) {
  EditVideoState video = start_video(landscape_clip());
  // A resize down, a crop within the resized frame, the blurred border at the held size.
  type("resize_width_field", "160");
  type("resize_height_field", "120");
  check("resize_check");
  set_crop("120", "90", "40", "30");
  type("blur_border_scale_combo", "50%");
  check("blur_border_check");
  run_edit_steps(video, page());
  EXPECT_EQ(status(video), "背景已虚化");
  const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
  EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(320, 240));
  EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));
  EXPECT_FALSE(fs::exists(video.next_file()));
  // The cropped picture, scaled to half the held size, in the middle.
  const DecodedFrame middle = decode_frame(video.current_file(), 1.0, "crop=156:116:82:62");
  const DecodedFrame expected =
      decode_frame(video.source, 1.0, "scale=160:120,crop=120:90:40:30,scale=160:120,crop=156:116:2:2");
  EXPECT_LT(mean_frame_difference(middle, expected), 12.0);
}
