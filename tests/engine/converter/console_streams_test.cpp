#include "engine/converter/console_streams.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/common/globals.h"
#include "engine/converter/converter_runner.h"
#include "tests/support/recording_clips.h"
#include "tests/support/test_env.h"

namespace {

// A conversion's console as the runner hands it on: CR LF line ends, the progress
// reports run together on one line.
const std::string conversion_console =
    "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'Stream #9 clip.mp4':\r\n"
    "  Metadata:\r\n"
    "    title           : Stream #0:5: Audio: fake\r\n"
    "  Duration: 00:00:04.00, start: 0.000000, bitrate: 324 kb/s\r\n"
    "  Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661), yuv420p(progressive), 320x180, 25 fps\r\n"
    "    Metadata:\r\n"
    "      handler_name    : VideoHandler\r\n"
    "    Side data:\r\n"
    "      displaymatrix: rotation of -90.00 degrees\r\n"
    "  Stream #0:1[0x2](eng): Audio: aac (LC) (mp4a / 0x6134706D), 48000 Hz, mono, fltp, 64 kb/s (default)\r\n"
    "  Stream #0:2[0x3](ger): Audio: ac3, 48000 Hz, stereo, fltp, 192 kb/s\r\n"
    "  Stream #0:3(eng): Subtitle: mov_text (tx3g / 0x67337874), 0 kb/s\r\n"
    "  Stream #0:4: Video: mjpeg (Baseline), yuvj420p(pc), 300x300, 90k tbn (attached pic)\r\n"
    "Stream mapping:\r\n"
    "  Stream #0:0 -> #0:0 (copy)\r\n"
    "  Stream #0:1 -> #0:1 (aac (native) -> vorbis (libvorbis))\r\n"
    "Press [q] to stop, [?] for help\r\n"
    "Output #0, matroska, to 'out.mkv':\r\n"
    "  Stream #0:0(und): Video: h264 (High) (avc1 / 0x31637661), yuv420p, 320x180, q=2-31, 25 fps (default)\r\n"
    "  Stream #0:1(eng): Audio: vorbis (oV[0][0] / 0x566F), 48000 Hz, mono, fltp (default)\r\n"
    "frame=    3 fps=0.0 q=-1.0 size=       4kB time=00:00:00.00 bitrate=34168.0kbits/s speed=11.6x    "
    "frame=  100 fps=0.0 q=-1.0 Lsize=     136kB time=00:00:04.05 bitrate= 279.1kbits/s speed=24.2x    \n"
    "video:122kB audio:8kB subtitle:0kB other streams:0kB global headers:3kB muxing overhead: 4.713043%\r\n";

TEST(ConsoleStreams, TheStreamsOfTheInputAndOfTheOutput) {
  const std::vector<ConsoleStream> input = console_streams(conversion_console, ConsoleFile::input);
  ASSERT_EQ(input.size(), 5u);
  const struct {
    const char* kind;
    const char* codec;
    bool attached_picture;
    int rotation;
  } expected[] = {{"Video", "h264", false, -90},
                  {"Audio", "aac", false, 0},
                  {"Audio", "ac3", false, 0},
                  {"Subtitle", "mov_text", false, 0},
                  {"Video", "mjpeg", true, 0}};
  for (std::size_t i = 0; i < input.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(input[i].kind, expected[i].kind);
    EXPECT_EQ(input[i].codec, expected[i].codec);
    EXPECT_EQ(input[i].attached_picture, expected[i].attached_picture);
    EXPECT_EQ(input[i].rotation, expected[i].rotation);
  }
  EXPECT_EQ(count_streams(input, "Audio"), 2);
  EXPECT_EQ(count_streams(input, "Video"), 2);

  // The mapping lines are no streams; the output's own streams carry no rotation here.
  const std::vector<ConsoleStream> output = console_streams(conversion_console, ConsoleFile::output);
  ASSERT_EQ(output.size(), 2u);
  EXPECT_EQ(output[0].codec, "h264");
  EXPECT_EQ(output[1].codec, "vorbis");
  EXPECT_EQ(output[0].rotation, 0);

  // A probe lists no output; an empty text lists nothing.
  EXPECT_TRUE(console_streams("Input #0, avi, from 'a.avi':\r\n  Stream #0:0: Video: mpeg4\r\n"
                              "At least one output file must be specified\r\n",
                              ConsoleFile::output)
                  .empty());
  EXPECT_TRUE(console_streams("", ConsoleFile::input).empty());
}

// A probe of two files lists each under its own heading.
TEST(ConsoleStreams, EachFileOfARunHasItsOwnListing) {
  const std::string console =
      "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'a.mov':\r\n"
      "  Duration: 00:00:02.00, start: 0.000000, bitrate: 315 kb/s\r\n"
      "  Stream #0:0[0x1]: Video: h264 (High), yuv420p(progressive), 320x180, 25 fps (default)\r\n"
      "Input #1, avi, from 'b.avi':\r\n"
      "  Duration: 00:00:01.04, start: 0.000000, bitrate: 720 kb/s\r\n"
      "  Stream #1:0: Video: mpeg4 (Simple Profile), yuv420p, 320x180, 25 fps\r\n"
      "  Stream #1:1: Audio: mp3, 48000 Hz, mono, fltp, 64 kb/s\r\n"
      "At least one output file must be specified\r\n";
  const std::string second = console_file_listing(console, ConsoleFile::input, 1);
  EXPECT_EQ(second.substr(0, second.find("\r\n")), "Input #1, avi, from 'b.avi':");
  EXPECT_NE(second.find("Duration: 00:00:01.04"), std::string::npos);
  EXPECT_EQ(second.find("a.mov"), std::string::npos);
  EXPECT_EQ(console_file_listing(console, ConsoleFile::input, 0).find("b.avi"), std::string::npos);
  EXPECT_EQ(console_file_listing(console, ConsoleFile::input, 2), "");
  EXPECT_EQ(console_file_listing(console, ConsoleFile::output, 0), "");

  const std::vector<ConsoleStream> streams = console_streams(console, ConsoleFile::input, 1);
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_EQ(streams[0].codec, "mpeg4");
  EXPECT_EQ(streams[1].kind, "Audio");
  EXPECT_EQ(console_streams(console, ConsoleFile::input, 0).size(), 1u);
}

TEST(ConsoleStreams, TheFinalReportOfAConversion) {
  const struct Case {
    const char* name;
    std::string console;
    bool found;
    double size_kib, seconds;
  } cases[] = {
      {"video", conversion_console, true, 136, 4.05},
      // Without video the last report has no "L" in front of its size.
      {"sound only",
       "size=       0kB time=00:00:00.00 bitrate=N/A speed=   0x    size=      32kB time=00:00:04.03 bitrate=  65.0kbits/s\r\n"
       "video:0kB audio:32kB subtitle:0kB other streams:0kB global headers:0kB muxing overhead: 1.047830%\r\n",
       true, 32, 4.03},
      {"nothing muxed",
       "frame=    0 fps=0.0 q=0.0 Lsize=N/A time=N/A bitrate=N/A speed=N/A\r\n"
       "video:0kB audio:0kB subtitle:0kB other streams:0kB global headers:0kB muxing overhead: unknown\r\n",
       true, -1, -1},
      {"a negative time",
       "size=       1kB time=-00:00:00.04 bitrate=N/A\r\n"
       "video:0kB audio:0kB subtitle:0kB other streams:0kB global headers:0kB muxing overhead: unknown\r\n",
       true, 1, -1},
      {"no statistics line", "frame=  100 fps=0.0 q=-1.0 size=     136kB time=00:00:04.00 bitrate= 279.1kbits/s\r\n",
       false, -1, -1},
      {"a title naming the statistics", "    title : video:1kB muxing overhead\r\nsize= 3kB time=00:00:01.00\r\n", false,
       -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ConsoleFinalReport report = console_final_report(c.console);
    EXPECT_EQ(report.found, c.found);
    EXPECT_DOUBLE_EQ(report.size_kib, c.size_kib);
    EXPECT_NEAR(report.seconds, c.seconds, 1e-9);
  }
}

// What the real converter prints of a phone's portrait clip with two sound tracks.
TEST(ConsoleStreams, ARealProbeOfARotatedClipWithTwoSoundTracks) {
  test_env::TempDir dir;
  const std::string run = test_env::make_run_folder(dir.path());
  ffmpeg_exe_path.set(run + "/bin/ffmpeg");
  const std::string clip = dir / "portrait.mov";
  ASSERT_TRUE(test_env::make_recording_clip(
      clip, {.seconds = 1, .container = "mov", .sound_tracks = 2, .rotation = 90}));
  std::string console;
  run_console_capture(ffmpeg_exe_path.get(), " -i " + clip, nullptr, nullptr, &console);
  const std::vector<ConsoleStream> streams = console_streams(console, ConsoleFile::input);
  ASSERT_EQ(streams.size(), 3u) << console;
  EXPECT_EQ(streams[0].kind, "Video");
  EXPECT_NE(streams[0].rotation % 360, 0);
  EXPECT_EQ(std::abs(streams[0].rotation), 90);
  EXPECT_EQ(count_streams(streams, "Audio"), 2);
}

}  // namespace
