// The orientation steps on the real converter: portrait to landscape and landscape to
// portrait give the swapped frame with the picture over a blurred background, the held
// size follows, their filter texts reach the converter as one argument each, step 9
// does not run after step 8, and the failure paths of step 9's two commands.

#include "engine/edit/edit_steps_orientation.h"

#include <filesystem>

#include "tests/engine/edit/edit_step_test_support.h"

namespace {

namespace fs = std::filesystem;
using test_env::decode_frame;
using test_env::mean_frame_difference;

// The filters as the converter receives them from the command line.
const std::string portrait_filter =
    "[0:v]scale=ih:iw,boxblur=luma_radius=min(h\\,w)/10:luma_power=3:chroma_radius=min(cw\\,ch)/10:chroma_power=1[bg];"
    "[bg][0:v]overlay=(W-w)/2:(H-h)/2,setsar=1,crop=w=iw";
// Step 9's filter for a 16:9 picture.
const std::string landscape_filter =
    "[0:v]scale=256/81*iw:256/81*ih,boxblur=luma_radius=min(h\\,w)/10:luma_power=3:chroma_radius=min(cw\\,ch)/10:"
    "chroma_power=1[bg];[bg][0:v]overlay=(W-w)/2:(H-h)/2,setsar=1,crop=w=iw*81/256";

// `filter` with its input label "[0:v]" taken by a split, so that it can run as the
// simple filter of a frame read-back.
std::string as_simple_filter(std::string filter) {
  filter.replace(filter.find("[0:v]"), 5, "[c]");
  filter.replace(filter.find("[0:v]"), 5, "[m]");
  return "split[m][c];" + filter;
}

class OrientationSteps : public EditStepTest {};

}  // namespace

TEST_F(OrientationSteps, PortraitToLandscapeLaysThePictureOverItsBlurredCopy) {
  const std::string source = portrait_clip();
  EditVideoState video = start_video(source);
  ASSERT_EQ(std::pair(video.width, video.height), std::pair(240, 320));
  log_converter();
  check("portrait_to_landscape_check");
  check("landscape_to_portrait_check");  // the same block: step 9 does not follow
  run_portrait_to_landscape_step(video, page());
  run_landscape_to_portrait_step(video, page());
  EXPECT_EQ(status(video), "已改成横屏");
  EXPECT_EQ(std::pair(video.width, video.height), std::pair(320, 240));

  const auto calls = take_converter_calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], (std::vector<std::string>{"-i", video.work_file_a, "-lavfi", portrait_filter, "-vcodec",
                                                "h264", "-y", video.work_file_b}));
  ASSERT_EQ(video.current, 2);
  const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
  EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(320, 240));
  EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));
  EXPECT_NEAR(probe.duration, 2.0, 0.2);
  // The middle 240 rows of the picture, unscaled, in the middle; a blurred picture
  // (not black) at the sides.
  const test_env::DecodedFrame middle = decode_frame(video.current_file(), 1.0, "crop=240:240:40:0");
  EXPECT_LT(mean_frame_difference(middle, decode_frame(source, 1.0, "crop=240:240:0:40")), 6.0);
  const std::vector<int> side = decode_frame(video.current_file(), 1.0).pixel(10, 120);
  EXPECT_GT(side[0] + side[1] + side[2], 60);
}

TEST(LandscapeToPortraitFilter, EnlargesByTheSquareOfThePicturesProportions) {
  EXPECT_EQ(landscape_to_portrait_filter(1920, 1080), landscape_filter);
  EXPECT_EQ(landscape_to_portrait_filter(1280, 720), landscape_filter);
  struct Case {
    int width, height;
    std::string up, back;
  } cases[] = {
      {320, 240, "16/9", "9/16"},          // 4:3
      {768, 576, "16/9", "9/16"},          // a DVD picture as it shows
      {852, 478, "181476/57121", "57121/181476"},
      {1000, 1000, "1/1", "1/1"},
      {0, 0, "1/1", "1/1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    std::string expected = landscape_filter;
    expected.replace(expected.find("256/81"), 6, c.up);
    expected.replace(expected.find("256/81"), 6, c.up);
    expected.replace(expected.find("81/256"), 6, c.back);
    EXPECT_EQ(landscape_to_portrait_filter(c.width, c.height), expected);
  }
}

TEST_F(OrientationSteps, LandscapeToPortraitGivesTheTallFrameAtTheSwappedSize) {
  const std::string source = landscape_clip();
  EditVideoState video = start_video(source);
  log_converter();
  check("landscape_to_portrait_check");
  run_portrait_to_landscape_step(video, page());  // its box is off
  run_landscape_to_portrait_step(video, page());
  EXPECT_EQ(status(video), "已改成竖屏");
  EXPECT_EQ(std::pair(video.width, video.height), std::pair(240, 320));

  const auto calls = take_converter_calls();
  ASSERT_EQ(calls.size(), 2u);
  // A 4:3 picture: enlarged by (4/3)^2.
  const std::string filter = landscape_to_portrait_filter(320, 240);
  EXPECT_EQ(calls[0], (std::vector<std::string>{"-i", video.work_file_a, "-lavfi", filter, "-vcodec", "h264",
                                                "-preset", "ultrafast", "-y", video.work_file_b}));
  EXPECT_EQ(calls[1], (std::vector<std::string>{"-i", video.work_file_b, "-vf", "scale=240:320,setsar=1", "-vcodec",
                                                "h264", "-preset", "ultrafast", "-y", video.work_file_a}));
  // The scaled frame was written over the current file, which stays current.
  EXPECT_EQ(video.current, 1);
  const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
  EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(240, 320));
  EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));
  EXPECT_NEAR(probe.duration, 2.0, 0.2);
  const test_env::DecodedFrame expected =
      decode_frame(source, 1.0, as_simple_filter(filter) + ",scale=240:320,setsar=1");
  ASSERT_EQ(expected.width, 240);
  EXPECT_LT(mean_frame_difference(decode_frame(video.current_file(), 1.0), expected), 6.0);
}

TEST_F(OrientationSteps, StepNineScalesToTheHeldSizeSwapped) {
  EditVideoState video = start_video(landscape_clip());
  video.width = 640;  // as held for a 640x360 video
  video.height = 360;
  log_converter();
  check("landscape_to_portrait_check");
  run_landscape_to_portrait_step(video, page());
  const auto calls = take_converter_calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1][3], "scale=360:640,setsar=1");
  EXPECT_EQ(std::pair(video.width, video.height), std::pair(360, 640));
  const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
  EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(360, 640));
}

TEST_F(OrientationSteps, NeitherRunsWithoutTheFrameSizeOrOnTheWrongOrientation) {
  EditVideoState video = start_video(landscape_clip());
  log_converter();
  check("portrait_to_landscape_check");
  check("landscape_to_portrait_check");
  struct Case {
    int width, height;
  };
  for (const Case& c : {Case{0, 0}, Case{240, 240}}) {
    video.width = c.width;
    video.height = c.height;
    run_portrait_to_landscape_step(video, page());
    run_landscape_to_portrait_step(video, page());
    EXPECT_EQ(std::pair(video.width, video.height), std::pair(c.width, c.height));
  }
  // Landscape, only step 8 checked.
  check("landscape_to_portrait_check", false);
  video.width = 320;
  video.height = 240;
  run_portrait_to_landscape_step(video, page());
  run_landscape_to_portrait_step(video, page());
  EXPECT_TRUE(take_converter_calls().empty());
  EXPECT_EQ(status(video), "");
  EXPECT_EQ(video.current, 1);
}

TEST_F(OrientationSteps, StepNineClaimsNothingWhenItsFirstCommandFails) {
  EditVideoState video = start_video(landscape_clip());
  test_env::write_file(video.current_file(), std::string(4096, 'x'));  // unreadable
  log_converter();
  check("landscape_to_portrait_check");
  run_landscape_to_portrait_step(video, page());
  EXPECT_EQ(take_converter_calls().size(), 1u);  // the scaling never runs on nothing
  EXPECT_EQ(status(video), "正在改成竖屏");
  EXPECT_EQ(video.current, 1);
  EXPECT_EQ(test_env::read_file(video.current_file()), std::string(4096, 'x'));
  EXPECT_EQ(std::pair(video.width, video.height), std::pair(320, 240));
}

TEST_F(OrientationSteps, WhenStepNinesScalingFailsTheTallFrameIsKeptAtItsOwnSize) {
  EditVideoState video = start_video(landscape_clip());
  // A held width of 321 asks for an odd height, which the encoder refuses.
  video.width = 321;
  check("landscape_to_portrait_check");
  fail_converter_calls("scale=240:321", 1, 5);  // and the failed run leaves a torn file
  run_landscape_to_portrait_step(video, page());
  EXPECT_EQ(video.current, 2);
  EXPECT_EQ(status(video), "已改成竖屏");
  const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
  ASSERT_TRUE(probe.ok);
  EXPECT_EQ(std::pair(video.width, video.height), std::pair(probe.width, probe.height));
  EXPECT_GT(probe.height, probe.width);
}
