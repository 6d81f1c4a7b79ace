// The first video stream of a console text as the converter prints it: codec, pixel
// format, stored size, pixel shape, frame rate and rotation, from the shapes real
// sources give (the lines below are the converter's own, from phone, VP9, Theora and
// non-square-pixel sources), never from what an output section says.

#include "engine/converter/video_stream_line.h"

#include <gtest/gtest.h>

#include "tests/support/recording_clips.h"
#include "tests/support/test_env.h"

namespace {

struct LineCase {
  const char* name;
  std::string console;
  VideoStreamLine expected;
};

VideoStreamLine line(std::string codec, std::string format, int width, int height, SampleAspect aspect,
                     std::string rate, int rotation = 0) {
  return {true, std::move(codec), std::move(format), width, height, aspect, std::move(rate), rotation};
}

const LineCase line_cases[] = {
    {"phone recording turned by its display matrix",
     "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'p.mp4':\n"
     "  Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661), yuv420p(tv, bt709, progressive), 854x480 "
     "[SAR 1:1 DAR 427:240], 1950 kb/s, 29.97 fps, 29.97 tbr, 90k tbn (default)\n"
     "    Metadata:\n"
     "      handler_name    : VideoHandle\n"
     "    Side data:\n"
     "      displaymatrix: rotation of -90.00 degrees\n"
     "  Stream #0:1[0x2](und): Audio: aac (LC) (mp4a / 0x6134706D), 48000 Hz, stereo, fltp, 128 kb/s\n",
     line("h264", "yuv420p", 854, 480, {1, 1}, "29.97", 270)},
    {"empty lines between the lines, as the runner may hand them over",
     "  Stream #0:0[0x1](und): Video: h264 (High), yuv420p(progressive), 320x180 [SAR 1:1 DAR 16:9], 30 fps\r\n\r\n"
     "    Metadata:\r\n\r\n      handler_name    : VideoHandler\r\n\r\n    Side data:\r\n\r\n"
     "      displaymatrix: rotation of 90.00 degrees\r\n\r\n",
     line("h264", "yuv420p", 320, 180, {1, 1}, "30", 90)},
    {"an older rotate tag",
     "  Stream #0:0(und): Video: h264 (Baseline), yuv420p, 640x480, 30 fps, 30 tbr\r\n"
     "    Metadata:\r\n"
     "      rotate          : 90\r\n",
     line("h264", "yuv420p", 640, 480, {1, 1}, "30", 90)},
    {"VP9 writes its pixel shape outside brackets",
     "  Stream #0:0: Video: vp9 (Profile 0), yuv420p(tv, progressive), 853x479, SAR 1:1 DAR 853:479, 25 fps, 25 tbr, "
     "1k tbn\n",
     line("vp9", "yuv420p", 853, 479, {1, 1}, "25")},
    {"Theora without a frame rate in fps",
     "  Stream #0:0: Video: theora, yuv420p, 275x269 [SAR 36853:36850 DAR 137:134], 25 tbr, 25 tbn\n",
     line("theora", "yuv420p", 275, 269, {36853, 36850}, "")},
    {"DVD picture of non-square pixels, 10-bit",
     "  Stream #0:0: Video: h264 (High 10), yuv420p10le(progressive), 720x576 [SAR 16:15 DAR 4:3], 25 fps, 25 tbr\n",
     line("h264", "yuv420p10le", 720, 576, {16, 15}, "25")},
    {"unknown pixel shape counts as square",
     "  Stream #0:0: Video: mpeg4 (Simple Profile) (FMP4 / 0x34504D46), yuv420p, 320x240 [SAR 0:1 DAR 0:1], 25 fps\n",
     line("mpeg4", "yuv420p", 320, 240, {1, 1}, "25")},
    {"a cover picture after the video is not the video",
     "  Stream #0:0: Video: h264 (High), yuv444p(tv, progressive), 320x180 [SAR 1:1 DAR 16:9], 25 fps\n"
     "  Stream #0:2: Video: mjpeg (Baseline), yuvj420p(pc), 600x600 [SAR 1:1 DAR 1:1], 90k tbr (attached pic)\n",
     line("h264", "yuv444p", 320, 180, {1, 1}, "25")},
    {"what an output section says is not read",
     "  Stream #0:0: Video: h264 (High), yuv420p(progressive), 320x180 [SAR 1:1 DAR 16:9], 25 fps\n"
     "Output #0, matroska, to 'a.mkv':\n"
     "  Stream #0:0: Video: h264, yuv420p(progressive), 180x320 [SAR 1:1 DAR 9:16], q=2-31, 25 fps\n"
     "      displaymatrix: rotation of -0.00 degrees\n",
     line("h264", "yuv420p", 320, 180, {1, 1}, "25")},
    {"no video stream",
     "  Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s\n",
     VideoStreamLine{}},
};

}  // namespace

TEST(VideoStreamLine, ReadsTheFirstVideoStreamOfTheInput) {
  for (const LineCase& c : line_cases) {
    SCOPED_TRACE(c.name);
    const VideoStreamLine got = read_video_stream_line(c.console);
    EXPECT_EQ(got.found, c.expected.found);
    EXPECT_EQ(got.codec, c.expected.codec);
    EXPECT_EQ(got.pixel_format, c.expected.pixel_format);
    EXPECT_EQ(std::pair(got.width, got.height), std::pair(c.expected.width, c.expected.height));
    EXPECT_EQ(got.sample_aspect, c.expected.sample_aspect);
    EXPECT_EQ(got.frame_rate, c.expected.frame_rate);
    EXPECT_EQ(got.rotation, c.expected.rotation);
  }
}

// The converter's own console text of generated recordings, read as ffprobe reads them.
TEST(VideoStreamLine, ReadsWhatTheConverterPrintsForRealClips) {
  test_env::TempDir dir;
  struct Clip {
    const char* name;
    test_env::RecordingClip clip;
    std::string format, rate;
    SampleAspect aspect;
    bool turned;
  } clips[] = {
      {"phone.mp4", {.seconds = 1, .rate = 30, .rotation = 90}, "yuv420p", "30", {1, 1}, true},
      {"odd.webm", {.seconds = 1, .width = 321, .height = 241, .container = "webm"}, "yuv420p", "25", {1, 1}, false},
      {"dvd.mkv", {.seconds = 1, .width = 180, .height = 144, .container = "mkv", .sar = "16:15", .ten_bit = true},
       "yuv420p10le", "25", {16, 15}, false},
  };
  for (const Clip& c : clips) {
    SCOPED_TRACE(c.name);
    const std::string path = dir / c.name;
    ASSERT_TRUE(test_env::make_recording_clip(path, c.clip));
    const test_env::ProgramResult probe = test_env::run_program({QF_SYSTEM_FFMPEG, "-hide_banner", "-i", path});
    const VideoStreamLine got = read_video_stream_line(probe.output);
    EXPECT_EQ(got.pixel_format, c.format);
    EXPECT_EQ(got.frame_rate, c.rate);
    EXPECT_EQ(got.sample_aspect, c.aspect);
    EXPECT_EQ(std::to_string(got.width) + "x" + std::to_string(got.height),
              std::to_string(c.clip.width) + "x" + std::to_string(c.clip.height));
    EXPECT_EQ(got.rotation != 0, c.turned);
  }
}
