// The frame-size rule on console texts: the stream-line shapes it must read, the
// pixel-format rewrites it keeps in the text, and what the merge job's shorter rule
// (no second fallback) leaves at 0.

#include "engine/converter/frame_size.h"

#include <gtest/gtest.h>

#include "tests/support/test_env.h"

namespace {

struct FrameCase {
  const char* name;
  std::string console;
  FrameSize all_passes;
  FrameSize without_second_fallback;
};

const FrameCase frame_cases[] = {
    {"plain pixel format", "  Stream #0:0: Video: h264, yuv420p, 1280x720, 30 fps\r\n", {1280, 720}, {1280, 720}},
    {"format with details", "Video: h264 (High), yuv420p(tv, bt709), 1920x1080 [SAR 1:1 DAR 16:9], 25 fps\r\n",
     {1920, 1080}, {1920, 1080}},
    {"full-range format", "Video: mjpeg, yuvj420p(pc), 640x480 [SAR 1:1 DAR 4:3], 25 tbr\r\n", {640, 480}, {640, 480}},
    {"bare 420p", "Video: foo, 420p(tv), 352x288 [SAR 1:1 DAR 11:9]\r\n", {352, 288}, {352, 288}},
    {"no bracket: second fallback", "Video: h264, yuv420p(tv), 720x1280, 30 fps\r\n", {720, 1280}, {0, 0}},
    {"full-width blanks", "Video: h264, yuv420p(tv,\u3000bt709),\u3000320x240 [SAR 1:1]\r\n", {320, 240}, {320, 240}},
    {"no stream line", "Input #0, lavfi, from 'x':\r\n  Duration: N/A\r\n", {0, 0}, {0, 0}},
    {"ten-bit format read through its yuv420p prefix", "Video: hevc, yuv420p10le(tv), 3840x2160 [SAR 1:1]\r\n",
     {3840, 2160}, {3840, 2160}},
    {"other pixel format", "Video: h264, yuv444p(progressive), 320x240 [SAR 1:1]\r\n", {0, 0}, {0, 0}},
    {"first stream line wins",
     "Stream #0:0: Video: h264, yuv420p(progressive), 160x120 [SAR 1:1 DAR 4:3], 25 fps\r\n"
     "Stream #0:0: Video: h264, yuv420p(progressive), 320x240 [SAR 1:1 DAR 4:3], q=2-31\r\n",
     {160, 120}, {160, 120}},
};

}  // namespace

TEST(FrameSize, ReadsTheStreamLineShapes) {
  for (const FrameCase& c : frame_cases) {
    std::string all = c.console;
    std::string shorter = c.console;
    EXPECT_EQ(parse_frame_size(all), c.all_passes) << c.name;
    EXPECT_EQ(parse_frame_size(shorter, FrameSizePasses::without_second_fallback), c.without_second_fallback)
        << c.name;
  }
}

TEST(FrameSize, KeepsThePixelFormatRewritesInTheText) {
  std::string full_range = "Video: mjpeg, YUVJ420P(pc), 640x480 [SAR 1:1]";
  parse_frame_size(full_range);
  EXPECT_EQ(full_range, "Video: mjpeg, yuv420p(pc), 640x480 [SAR 1:1]");

  std::string bare = "a 420p and a 420P";
  parse_frame_size(bare);
  EXPECT_EQ(bare, "a yuv420p and a yuv420p");

  // A text that already names yuv420p keeps its other "420p" words.
  std::string ten_bit = "yuv420p10le, 420p";
  parse_frame_size(ten_bit);
  EXPECT_EQ(ten_bit, "yuv420p10le, 420p");
}

TEST(FrameSize, NumbersAreReadAsADecimalReaderReadsThem) {
  struct {
    std::string console;
    FrameSize size;
  } cases[] = {
      {"yuv420p, 96x 54, x", {96, 54}},        // leading blanks skipped
      {"yuv420p(tv), 320x240.7 [", {320, 240}},  // a fraction is cut off
      {"yuv420p, -4x3, [", {0, 0}},              // a negative width does not count in pass 3
  };
  for (const auto& c : cases) {
    std::string text = c.console;
    EXPECT_EQ(parse_frame_size(text, FrameSizePasses::without_second_fallback), c.size) << c.console;
  }
}

TEST(FrameSize, ReadsTheRealConvertersConsoleText) {
  test_env::TempDir dir;
  const std::string clip = dir / "clip.mkv";
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "testsrc=size=176x144:rate=10:duration=0.2", "-c:v", "libx264",
                                   "-preset", "ultrafast", "-pix_fmt", "yuv420p", clip}));
  test_env::ProgramResult run = test_env::run_program({QF_SYSTEM_FFMPEG, "-hide_banner", "-i", clip});
  std::string console;
  for (const char c : run.output) {
    if (c == '\n') console += '\r';
    console += c;
  }
  EXPECT_EQ(parse_frame_size(console, FrameSizePasses::without_second_fallback), (FrameSize{176, 144}));
}
