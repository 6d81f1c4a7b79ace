// Whole edit jobs on the real converter with pictures of every shape people really
// have: 16:9 and 4:3, odd frame sizes (VP9 in webm, Theora in ogv), a phone recording
// stored on its side with rotation metadata, pixels that are not square, 10-bit and
// 4:4:4 pictures, 30 frames a second; with and without sound. Each output is read back:
// its size as it shows, every frame the same size, pixel format, frame rate, length,
// and the row's status.

#include <filesystem>
#include <tuple>

#include "engine/edit/edit_job.h"
#include "engine/edit/edit_job_save.h"
#include "tests/engine/edit/edit_step_test_support.h"
#include "tests/support/recording_clips.h"

namespace {

namespace fs = std::filesystem;
using test_env::decode_frame;
using test_env::mean_frame_difference;
using test_env::RecordingClip;
using test_env::stream_entry;

class PictureShapesJob : public EditStepTest {
 protected:
  void SetUp() override {
    EditStepTest::SetUp();
    out = dir / "输出";
    fs::create_directories(out);
    type("edit_output_folder_field", out);
    check("edit_format_mp4_radio");
  }

  // A recording in the test's folder, listed in the edit list.
  std::string list_recording(const std::string& name, const RecordingClip& clip) {
    const std::string path = dir / name;
    EXPECT_TRUE(test_env::make_recording_clip(path, clip)) << name;
    list(path);
    return path;
  }
  void list(const std::string& path) {
    gui().append_row(at("edit_list"), {std::to_string(gui().row_count(at("edit_list")) + 1), path, "", ""});
  }
  std::string row_status(int row) const { return gui().cell(at("edit_list"), row, edit_list_status_column); }
  // The saved output of `source`: its name with the mp4 extension in the output folder.
  std::string output_of(const std::string& source) const {
    return out + "/" + fs::path(source).stem().string() + ".mp4";
  }

  std::string out;
};

// The band of `output` (a tall frame of `width` columns) where a picture of `shape`
// (width x height) lies centred at full width, and the source at the same moment,
// both brought down to 16 pixels across so that the half-pixel edges of either do not
// count: their mean difference (about 1 to 8 where the picture keeps its shape, 45 for
// a 4:3 picture squeezed by a 16:9 factor).
double centred_band_difference(const std::string& output, const std::string& source, int width, int tall,
                               std::pair<int, int> shape) {
  const int band = width * shape.second / shape.first;
  const std::string small = "scale=16:" + std::to_string(16 * shape.second / shape.first) + ":flags=area";
  const std::string crop =
      "crop=" + std::to_string(width) + ":" + std::to_string(band) + ":0:" + std::to_string((tall - band) / 2);
  return mean_frame_difference(decode_frame(output, 1.0, crop + "," + small), decode_frame(source, 1.0, small));
}

}  // namespace

// 横屏改竖屏 on 16:9 and 4:3 pictures: the tall frame is the picture's own width with
// its proportions kept (a fixed 16:9 factor squeezed a 4:3 picture to 56 % of its
// height: 101 of 180 rows).
TEST_F(PictureShapesJob, LandscapeToPortraitKeepsAnyLandscapePicturesProportions) {
  struct Case {
    const char* name;
    RecordingClip clip;
  } cases[] = {
      {"wide.mp4", {.seconds = 2, .width = 320, .height = 180}},
      {"four_three.mp4", {.seconds = 2, .width = 320, .height = 240, .sound_tracks = 0}},
  };
  for (const Case& c : cases) list_recording(c.name, c.clip);
  check("landscape_to_portrait_check");

  batch_edit_videos(window);

  for (int row = 0; row < 2; ++row) {
    const Case& c = cases[row];
    SCOPED_TRACE(c.name);
    EXPECT_EQ(row_status(row), edit_status_done);
    const std::string output = output_of(dir / c.name);
    const int width = c.clip.height, tall = c.clip.width;
    EXPECT_EQ(test_env::shown_frame_size(output), std::to_string(width) + "x" + std::to_string(tall));
    EXPECT_EQ(test_env::decoded_frame_sizes(output), std::vector<std::string>{test_env::shown_frame_size(output)});
    EXPECT_LT(centred_band_difference(output, dir / c.name, width, tall, {c.clip.width, c.clip.height}), 15.0);
  }
}

// Sources of odd frame sizes: the work file and every step's output have even sides,
// a typed odd size is rounded down the same way, and every re-encoding step applies
// (the trimmed length and the resize both show in the output).
TEST_F(PictureShapesJob, OddFrameSizesGoThroughEveryReEncodingStep) {
  const std::string webm = list_recording("screen.webm", {.seconds = 4, .width = 321, .height = 241, .container = "webm"});
  const std::string ogv = list_recording(
      "scene.ogv", {.seconds = 4, .width = 275, .height = 269, .container = "ogv", .sound_tracks = 0});
  check("head_trim_check");
  type("head_trim_seconds_field", "1");
  check("sharpen_check");
  check("resize_check");
  type("resize_width_field", "161");
  type("resize_height_field", "121");

  batch_edit_videos(window);

  for (const auto& [row, source, sound] : {std::tuple{0, webm, true}, std::tuple{1, ogv, false}}) {
    SCOPED_TRACE(source);
    EXPECT_EQ(row_status(row), edit_status_done);
    const std::string output = output_of(source);
    const test_env::ProbeResult probe = test_env::ffprobe(output);
    ASSERT_TRUE(probe.ok);
    EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(160, 120));
    EXPECT_EQ(test_env::decoded_frame_sizes(output), std::vector<std::string>{"160x120"});
    EXPECT_NEAR(probe.duration, 3.0, 0.3);  // 4 s less the head's one
    EXPECT_EQ(probe.codec_types, sound ? (std::vector<std::string>{"video", "audio"})
                                       : (std::vector<std::string>{"video"}));
    EXPECT_EQ(stream_entry(output, "v:0", "pix_fmt"), "yuv420p");
  }
}

// A phone recording stored on its side (rotation 90) is portrait, as it plays, and
// "竖屏改横屏" turns it into a landscape frame with the upright picture in the middle.
// A picture of non-square pixels stored 240x250 shows 256x250, landscape: it is not
// turned into landscape again but "横屏改竖屏" gives it the tall frame of its shown
// shape. Both boxes are checked (one block: the first that fits runs).
TEST_F(PictureShapesJob, OrientationIsTheShapeThePictureShows) {
  const std::string phone = list_recording("phone.mp4", {.seconds = 2, .rate = 30, .rotation = 90});
  const std::string dvd = list_recording("dvd.mp4", {.seconds = 2, .width = 240, .height = 250, .sar = "16:15"});
  ASSERT_EQ(test_env::shown_frame_size(phone), "180x320");
  check("portrait_to_landscape_check");
  check("landscape_to_portrait_check");
  batch_edit_videos(window);

  EXPECT_EQ(row_status(0), edit_status_done);
  const std::string turned = output_of(phone);
  EXPECT_EQ(test_env::shown_frame_size(turned), "320x180");
  EXPECT_EQ(test_env::decoded_frame_sizes(turned), std::vector<std::string>{"320x180"});
  // The middle of the upright picture, unscaled, in the middle of the landscape frame
  // (the converter decodes the source upright).
  EXPECT_LT(mean_frame_difference(decode_frame(turned, 1.0, "crop=180:180:70:0"),
                                  decode_frame(phone, 1.0, "crop=180:180:0:70")),
            8.0);

  EXPECT_EQ(row_status(1), edit_status_done);
  const std::string tall = output_of(dvd);
  EXPECT_EQ(test_env::shown_frame_size(tall), "250x256");
  EXPECT_EQ(stream_entry(tall, "v:0", "sample_aspect_ratio"), "1:1");
  EXPECT_EQ(test_env::decoded_frame_sizes(tall), std::vector<std::string>{"250x256"});
}

// 10-bit and 4:4:4 sources in mp4 and mkv come out as 8-bit 4:2:0 H.264 (profile
// High), which every player takes, whether a step re-encoded them or not.
TEST_F(PictureShapesJob, EveryPictureComesOutEightBitFourTwoZero) {
  const std::string mp4 = list_recording("ten_bit.mp4", {.seconds = 2, .ten_bit = true});
  const std::string mkv =
      list_recording("ten_bit.mkv", {.seconds = 2, .container = "mkv", .sound_tracks = 0, .ten_bit = true});
  const std::string full = clip("full_chroma.mkv", 320, 180, true, 2.0,
                                {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv444p", "-c:a", "aac"});
  list(full);
  check("sharpen_check");
  check("hflip_check");

  batch_edit_videos(window);

  int row = 0;
  for (const std::string& source : {mp4, mkv, full}) {
    SCOPED_TRACE(source);
    EXPECT_EQ(row_status(row++), edit_status_done);
    const std::string output = output_of(source);
    EXPECT_EQ(stream_entry(output, "v:0", "pix_fmt"), "yuv420p");
    EXPECT_EQ(stream_entry(output, "v:0", "profile"), "High");
    EXPECT_EQ(test_env::shown_frame_size(output), "320x180");
  }
}

// The background picture step keeps the video's own frame rate (its picture video was
// made at 10 a second, and the overlay took that rate): 30 frames a second stay 30,
// with and without sound.
TEST_F(PictureShapesJob, BackgroundPictureKeepsTheVideosFrameRate) {
  const std::string sound = list_recording("thirty.mp4", {.seconds = 3, .rate = 30});
  const std::string silent = list_recording("thirty_silent.mkv", {.seconds = 3, .rate = 30, .container = "mkv",
                                                                  .sound_tracks = 0});
  check("background_picture_check");
  type("background_picture_field", picture("back ground.jpg", 400, 240, "0x008080"));
  type("background_size_combo", "背景图");
  type("background_scale_combo", "80%");
  type("background_position_combo", "居中");

  batch_edit_videos(window);

  int row = 0;
  for (const std::string& source : {sound, silent}) {
    SCOPED_TRACE(source);
    EXPECT_EQ(row_status(row++), edit_status_done);
    const std::string output = output_of(source);
    EXPECT_EQ(stream_entry(output, "v:0", "r_frame_rate"), "30/1");
    EXPECT_NEAR(test_env::count_video_frames(output), 90, 3);
    EXPECT_EQ(test_env::decoded_frame_sizes(output), std::vector<std::string>{"400x240"});
  }
}
