// The logo removal, picture watermark, top and bottom pictures and resize steps on the
// real converter: the logo box is tested against the work file's own frame and moved
// off the frame's edge where the converter needs it; the watermark's pixels sit at the
// given place, a GIF that plays once lasts the whole video; the pictures sit at the top
// and bottom; the resize gives its size; typed text and picture names never add
// arguments; a failed run keeps the previous work file and claims nothing.

#include "engine/edit/edit_steps_pictures.h"

#include <filesystem>

#include "engine/edit/edit_steps_framing.h"
#include "tests/engine/edit/edit_step_test_support.h"
#include "tests/support/logging_converter.h"

namespace {

namespace fs = std::filesystem;
using test_env::decode_frame;
using test_env::DecodedFrame;
using test_env::mean_frame_difference;
using test_env::pixel_near;

const std::vector<int> red{255, 0, 0}, lime{0, 255, 0}, blue{0, 0, 255};

class PictureSteps : public EditStepTest {
 protected:
  void set_logo_box(const std::string& left, const std::string& top, const std::string& width,
                    const std::string& height) {
    type("delogo_left_field", left);
    type("delogo_top_field", top);
    type("delogo_width_field", width);
    type("delogo_height_field", height);
  }
  // Logs every converter call from here on.
  std::string log_converter_calls() {
    const std::string log = dir / "calls.log";
    test_env::install_logging_converter(run, log);
    return log;
  }
};

bool any_argument_holds(const std::vector<std::vector<std::string>>& calls, const std::string& piece) {
  for (const auto& call : calls) {
    for (const std::string& argument : call) {
      if (argument.find(piece) != std::string::npos) return true;
    }
  }
  return false;
}

}  // namespace

TEST_F(PictureSteps, LogoBoxInsideOnTheEdgeAndBeyondTheWorkFilesOwnFrame) {
  const std::string source = landscape_clip();
  struct Case {
    const char* name;
    const char* left;
    const char* top;
    const char* width;
    const char* height;
    int held_width, held_height;  // the frame size the state holds (the clip is 320x240)
    const char* status;
    const char* same_as;          // the converter's delogo of the source that the output shows
  } cases[] = {
      {"inside", "10", "10", "100", "50", 320, 240, "已去水印", "delogo=x=10:y=10:w=100:h=50"},
      // The converter refuses a box on the frame's edge; moved one pixel in, it takes it.
      {"top left corner", "0", "0", "100", "50", 320, 240, "已去水印", "delogo=x=1:y=1:w=99:h=49"},
      {"bottom right corner", "220", "190", "100", "50", 320, 240, "已去水印", "delogo=x=220:y=190:w=99:h=49"},
      {"beyond the right edge", "300", "10", "100", "50", 320, 240, "去水印失败", nullptr},
      {"negative left", "-5", "10", "100", "50", 320, 240, "去水印失败", nullptr},
      // The held size is not the file's: the file's own frame decides.
      {"beyond the file, within a larger held size", "300", "10", "100", "50", 640, 480, "去水印失败", nullptr},
      {"within the file, beyond a smaller held size", "200", "150", "100", "50", 160, 120, "已去水印",
       "delogo=x=200:y=150:w=100:h=50"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EditVideoState video = start_video(source);
    video.width = c.held_width;
    video.height = c.held_height;
    set_logo_box(c.left, c.top, c.width, c.height);
    check("delogo_check");
    run_remove_logo_step(video, page());
    EXPECT_EQ(status(video), c.status);
    EXPECT_EQ(std::pair(video.width, video.height), std::pair(c.held_width, c.held_height));
    if (!c.same_as) {
      EXPECT_EQ(video.current, 1);
      EXPECT_FALSE(fs::exists(video.work_file_b));
      continue;
    }
    ASSERT_EQ(video.current, 2);
    EXPECT_EQ(test_env::ffprobe(video.current_file()).codec_types, (std::vector<std::string>{"video", "audio"}));
    // Inside the box the picture is the converter's own delogo result, not the source's.
    const std::string box = std::string("crop=100:50:") + c.left + ":" + c.top;
    const DecodedFrame output = decode_frame(video.current_file(), 1.0, box);
    const DecodedFrame expected = decode_frame(source, 1.0, std::string(c.same_as) + "," + box);
    const DecodedFrame untouched = decode_frame(source, 1.0, box);
    EXPECT_LT(mean_frame_difference(output, expected), 6.0);
    EXPECT_GT(mean_frame_difference(output, untouched), mean_frame_difference(output, expected) + 3.0);
  }
}

TEST_F(PictureSteps, TypedTextThatIsNoNumberRunsNoCommand) {
  EditVideoState video = start_video(landscape_clip());
  const std::string log = log_converter_calls();
  struct Case {
    const char* box;
    const char* field;
    const char* text;
    void (*run)(EditVideoState&, const EditPage&);
    const char* status;
  } cases[] = {
      {"delogo_check", "delogo_left_field", "10:show=1", run_remove_logo_step, "正在去水印"},
      {"delogo_check", "delogo_height_field", "50 -y /tmp/x.mp4", run_remove_logo_step, "正在去水印"},
      {"picture_watermark_check", "watermark_top_field", "10,drawbox", run_picture_watermark_step, "添加图片水印"},
      {"resize_check", "resize_width_field", "iw/2", run_resize_step, "正在改尺寸"},
      {"resize_check", "resize_height_field", "", run_resize_step, "正在改尺寸"},
  };
  type("watermark_picture_field", picture("wm.png", 40, 30, "red"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string kept = gui().text(at(c.field));
    type(c.field, c.text);
    check(c.box);
    c.run(video, page());
    check(c.box, false);
    type(c.field, kept);
    EXPECT_EQ(status(video), c.status);
  }
  EXPECT_TRUE(test_env::read_logged_commands(log).empty());
  EXPECT_EQ(video.current, 1);
}

TEST_F(PictureSteps, WatermarkPixelsSitAtTheGivenPlaceForPngJpegAndAOneShotGif) {
  const std::string source = landscape_clip();
  struct Case {
    std::string picture;
    int x, y;
    std::vector<std::vector<int>> colours;  // what the watermark may show
  } cases[] = {
      {picture("水印 图.png", 40, 30, "red"), 100, 50, {red}},
      {picture("wm.jpg", 40, 30, "blue"), 0, 0, {blue}},
      // 0.3 s of animation made to play once, on a 2 s video.
      {one_shot_gif("动 图.gif", 40, 30, {"red", "lime", "blue"}), 200, 150, {red, lime, blue}},
  };
  const int source_frames = test_env::count_video_frames(source);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picture);
    EditVideoState video = start_video(source);
    type("watermark_picture_field", c.picture);
    type("watermark_left_field", std::to_string(c.x));
    type("watermark_top_field", std::to_string(c.y));
    check("picture_watermark_check");
    run_picture_watermark_step(video, page());
    EXPECT_EQ(status(video), "已加图片水印");
    ASSERT_EQ(video.current, 2);
    EXPECT_EQ(test_env::count_video_frames(video.current_file()), source_frames);
    EXPECT_EQ(test_env::ffprobe(video.current_file()).codec_types, (std::vector<std::string>{"video", "audio"}));
    for (const double at_time : {0.5, 1.9}) {
      SCOPED_TRACE(at_time);
      const DecodedFrame frame = decode_frame(video.current_file(), at_time);
      const DecodedFrame plain = decode_frame(source, at_time);
      for (const auto& [px, py] : {std::pair(c.x + 3, c.y + 3), std::pair(c.x + 36, c.y + 26)}) {
        bool shown = false;
        for (const auto& colour : c.colours) shown = shown || pixel_near(frame.pixel(px, py), colour);
        EXPECT_TRUE(shown) << px << "," << py;
      }
      // Beside the picture the video is untouched.
      for (const auto& [px, py] : {std::pair(c.x + 45, c.y + 15), std::pair(c.x + 20, c.y + 35)}) {
        EXPECT_TRUE(pixel_near(frame.pixel(px, py), plain.pixel(px, py), 30)) << px << "," << py;
      }
    }
  }
}

TEST_F(PictureSteps, OnlyALowerCaseGifExtensionTakesTheAnimatedForm) {
  EditVideoState video = start_video(landscape_clip());
  const std::string log = log_converter_calls();
  const std::string upper = dir / "anim.GIF";
  fs::copy_file(one_shot_gif("anim.gif", 40, 30, {"red", "lime"}), upper);
  for (const auto& [picture, animated] : {std::pair(dir / "anim.gif", true), std::pair(upper, false)}) {
    SCOPED_TRACE(picture);
    fs::remove(log);
    type("watermark_picture_field", picture);
    check("picture_watermark_check");
    run_picture_watermark_step(video, page());
    EXPECT_EQ(status(video), "已加图片水印");
    const auto calls = test_env::read_logged_commands(log);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(any_argument_holds(calls, "-ignore_loop"), animated);
  }
}

TEST_F(PictureSteps, AnAnimatedRunThatWroteNoPictureIsFollowedByOneStillRunIntoTheSameFile) {
  EditVideoState video = start_video(landscape_clip());
  // A converter that reports an empty picture for the animated form and is the real
  // one otherwise; every call is logged.
  const std::string log = dir / "calls.log";
  const std::string program = run + "/bin/ffmpeg";
  fs::remove(program);
  test_env::write_file(program, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\037' \"$a\" >> '" + log +
                                    "'; done\nprintf '\\035' >> '" + log +
                                    "'\ncase \" $* \" in *' -ignore_loop '*)\n"
                                    "  echo 'video:0kB audio:0kB subtitle:0kB other streams:0kB'; exit 0;;\nesac\n"
                                    "exec '" QF_SYSTEM_FFMPEG "' \"$@\"\n");
  fs::permissions(program, fs::perms::owner_all);

  type("watermark_picture_field", one_shot_gif("still.gif", 40, 30, {"red"}));
  type("watermark_left_field", "100");
  type("watermark_top_field", "50");
  check("picture_watermark_check");
  run_picture_watermark_step(video, page());

  const auto calls = test_env::read_logged_commands(log);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_TRUE(any_argument_holds({calls[0]}, "-ignore_loop"));
  EXPECT_FALSE(any_argument_holds({calls[1]}, "-ignore_loop"));
  EXPECT_EQ(calls[0].back(), calls[1].back());  // the same output file
  EXPECT_TRUE(any_argument_holds({calls[1]}, "overlay=100:50"));
  EXPECT_EQ(status(video), "已加图片水印");
  ASSERT_EQ(video.current, 2);
  EXPECT_TRUE(pixel_near(decode_frame(video.current_file(), 1.0).pixel(110, 60), red));
}

TEST_F(PictureSteps, PicturePathsWithQuotesAndBlanksGoInAsPlainAliases) {
  EditVideoState video = start_video(landscape_clip());
  const std::string log = log_converter_calls();
  const std::string folder = dir / "我的 \"图片\"";
  fs::create_directory(folder);
  const std::string quoted = folder + "/wm\" -y \"x.png";
  fs::copy_file(picture("wm.png", 40, 30, "red"), quoted);
  type("watermark_picture_field", quoted);
  check("picture_watermark_check");
  run_picture_watermark_step(video, page());
  EXPECT_EQ(status(video), "已加图片水印");
  const auto calls = test_env::read_logged_commands(log);
  ASSERT_EQ(calls.size(), 1u);
  // " -i CUR -i PICTURE -filter_complex overlay=10:10 -y NEXT", nothing more.
  EXPECT_EQ(calls[0].size(), 8u);
  EXPECT_EQ(fs::canonical(calls[0][3]), fs::canonical(quoted));
  EXPECT_FALSE(fs::exists(dir / "x.png"));
  EXPECT_TRUE(pixel_near(decode_frame(video.current_file(), 1.0).pixel(20, 20), red));
}

TEST_F(PictureSteps, TopAndBottomPicturesSitAtTheTopAndEightPixelsPastTheBottom) {
  const std::string source = landscape_clip();
  EditVideoState video = start_video(source);
  const std::string folder = dir / "上下 图片";
  fs::create_directory(folder);
  const std::string top = folder + "/top.png", bottom = folder + "/bottom.jpg";
  fs::rename(picture("top.png", 320, 20, "blue"), top);
  fs::rename(picture("bottom.jpg", 320, 30, "lime"), bottom);
  type("top_picture_field", top);
  type("bottom_picture_field", bottom);
  check("top_bottom_pictures_check");
  run_top_bottom_pictures_step(video, page());
  EXPECT_EQ(status(video), "上下图片已加");
  ASSERT_EQ(video.current, 2);
  EXPECT_EQ(test_env::ffprobe(video.current_file()).codec_types, (std::vector<std::string>{"video", "audio"}));
  const DecodedFrame frame = decode_frame(video.current_file(), 1.0);
  const DecodedFrame plain = decode_frame(source, 1.0);
  ASSERT_EQ(std::pair(frame.width, frame.height), std::pair(320, 240));
  EXPECT_TRUE(pixel_near(frame.pixel(160, 2), blue));
  EXPECT_TRUE(pixel_near(frame.pixel(300, 17), blue));
  // The bottom picture covers rows 218 to 239 (its lower 8 rows lie past the frame).
  EXPECT_TRUE(pixel_near(frame.pixel(160, 221), lime));
  EXPECT_TRUE(pixel_near(frame.pixel(10, 238), lime));
  for (const auto& [px, py] : {std::pair(160, 25), std::pair(160, 214), std::pair(40, 120)}) {
    EXPECT_TRUE(pixel_near(frame.pixel(px, py), plain.pixel(px, py), 30)) << px << "," << py;
  }
}

TEST_F(PictureSteps, ResizeGivesTheTypedSizeAndLeavesTheHeldSize) {
  EditVideoState video = start_video(landscape_clip());
  type("resize_width_field", "160");
  type("resize_height_field", "120");
  check("resize_check");
  run_resize_step(video, page());
  EXPECT_EQ(status(video), "尺寸已改");
  ASSERT_EQ(video.current, 2);
  const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
  EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(160, 120));
  EXPECT_EQ(test_env::stream_entry(video.current_file(), "v:0", "sample_aspect_ratio"), "1:1");
  EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));
  EXPECT_NEAR(probe.duration, 2.0, 0.2);
  EXPECT_EQ(std::pair(video.width, video.height), std::pair(320, 240));
}

TEST_F(PictureSteps, AFailedRunKeepsTheWorkFileAndClaimsNothing) {
  const std::string wm = picture("wm.png", 40, 30, "red");
  type("watermark_picture_field", wm);
  type("top_picture_field", wm);
  type("bottom_picture_field", wm);
  struct Case {
    const char* box;
    void (*run)(EditVideoState&, const EditPage&);
    const char* status;
  } cases[] = {
      // An unreadable file has no frame for the box to fit.
      {"delogo_check", run_remove_logo_step, "去水印失败"},
      {"picture_watermark_check", run_picture_watermark_step, "添加图片水印"},
      {"top_bottom_pictures_check", run_top_bottom_pictures_step, "添加上下图片"},
      {"resize_check", run_resize_step, "正在改尺寸"},
  };
  EditVideoState video = start_video(landscape_clip());
  test_env::write_file(video.current_file(), std::string(4096, 'x'));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    check(c.box);
    c.run(video, page());
    check(c.box, false);
    EXPECT_EQ(status(video), c.status);
    EXPECT_EQ(video.current, 1);
  }
}

TEST_F(PictureSteps, UncheckedBoxesRunNothing) {
  EditVideoState video = start_video(landscape_clip());
  const std::string log = log_converter_calls();
  gui().set_cell_by_id(at("edit_list"), video.row_id, edit_list_status_column, "转码成功");
  for (auto run : {run_remove_logo_step, run_picture_watermark_step, run_top_bottom_pictures_step, run_resize_step,
                   run_background_picture_step, run_crop_step, run_blurred_border_step}) {
    run(video, page());
  }
  EXPECT_EQ(status(video), "转码成功");
  EXPECT_TRUE(test_env::read_logged_commands(log).empty());
  EXPECT_EQ(video.current, 1);
}
