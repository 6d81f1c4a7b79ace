#include "tests/support/recording_clips.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "tests/support/media_checks.h"
#include "tests/support/test_env.h"

using namespace test_env;

// The clips the media tests build on are what they claim to be: codecs, sizes, shown
// sizes, key frames at one a second with B-frames, pixel formats and sound tracks.
TEST(RecordingClips, EachShapeIsWhatItSays) {
  struct Case {
    RecordingClip clip;
    const char* video_codec;
    const char* shown;
    const char* pix_fmt;
    int audio_streams;
  };
  const auto shaped = [](auto change) {
    RecordingClip clip;
    change(clip);
    return clip;
  };
  const Case cases[] = {
      {RecordingClip{}, "h264", "320x180", "yuv420p", 1},
      {shaped([](RecordingClip& c) { c.height = 240, c.container = "mkv", c.sound_tracks = 2; }), "h264", "320x240",
       "yuv420p", 2},
      {shaped([](RecordingClip& c) { c.rotation = 90; }), "h264", "180x320", "yuv420p", 1},
      {shaped([](RecordingClip& c) { c.container = "mov", c.ten_bit = true; }), "h264", "320x180", "yuv420p10le", 1},
      {shaped([](RecordingClip& c) { c.width = 321, c.height = 241, c.container = "webm"; }), "vp9", "321x241",
       "yuv420p", 1},
      {shaped([](RecordingClip& c) { c.width = 275, c.height = 269, c.container = "ogv", c.sound_tracks = 0; }),
       "theora", "275x269", "yuv420p", 0},
      {shaped([](RecordingClip& c) { c.container = "avi"; }), "mpeg4", "320x180", "yuv420p", 1},
      {shaped([](RecordingClip& c) { c.container = "flv"; }), "h264", "320x180", "yuv420p", 1},
      {shaped([](RecordingClip& c) { c.container = "ts", c.sar = "16:15"; }), "h264", "320x180", "yuv420p", 1},
  };
  TempDir dir;
  int n = 0;
  for (const Case& c : cases) {
    const std::string path = dir / ("clip" + std::to_string(++n) + "." + c.clip.container);
    SCOPED_TRACE(path);
    ASSERT_TRUE(make_recording_clip(path, c.clip));
    EXPECT_EQ(stream_entry(path, "v:0", "codec_name"), c.video_codec);
    EXPECT_EQ(shown_frame_size(path), c.shown);
    EXPECT_EQ(stream_entry(path, "v:0", "pix_fmt"), c.pix_fmt);
    const auto audio = run_program({QF_SYSTEM_FFPROBE, "-v", "error", "-select_streams", "a", "-show_entries",
                                    "stream=index", "-of", "csv=p=0", path});
    // A transport stream lists its streams once more under its program.
    std::set<std::string> indexes;
    std::istringstream lines(audio.output);
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty()) indexes.insert(line);
    }
    EXPECT_EQ(static_cast<int>(indexes.size()), c.audio_streams);
    EXPECT_NEAR(ffprobe(path).duration, c.clip.seconds, 0.2);
  }
  // H.264 clips have B-frames and a key frame every 25 frames, not one for the clip.
  const std::string h264 = dir / "clip1.mp4";
  EXPECT_NE(stream_entry(h264, "v:0", "has_b_frames"), "0");
  const auto keys = run_program({QF_SYSTEM_FFPROBE, "-v", "error", "-select_streams", "v:0", "-skip_frame", "nokey",
                                 "-show_entries", "frame=pts_time", "-of", "csv=p=0", h264});
  int key_frames = 0;
  for (char ch : keys.output) key_frames += ch == '\n';
  EXPECT_GE(key_frames, 4);
  EXPECT_LE(key_frames, 6);
  EXPECT_EQ(stream_entry(dir / "clip9.ts", "v:0", "sample_aspect_ratio"), "16:15");
}
