#include "engine/converter/media_probes.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/common/globals.h"
#include "engine/converter/converter_runner.h"
#include "platform/shortpath.h"
#include "tests/support/logging_converter.h"
#include "tests/support/recording_clips.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::TempDir;
using test_env::write_file;

namespace {

bool same_file(const std::string& a, const std::string& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec);
}

class Probes : public ::testing::Test {
 protected:
  void SetUp() override {
    run = test_env::make_run_folder(dir.path());
    ffmpeg_exe_path.set(run + "/bin/ffmpeg");
    ffmpeg_global_options.set("");
  }
  TempDir dir;
  std::string run;
};

}  // namespace

TEST(ShortPathForCommand, AliasesTheFolderOrTheWholePathByWhereTheTriggerIs) {
  TempDir dir;
  // No trigger character: unchanged, whether or not the path exists.
  for (const std::string& path : {dir / "plain/clip.mp4", std::string("/视频/片段.mp4"), std::string("relative.mp4"),
                                 std::string("/a:b/c;d.mp4"), std::string()}) {
    EXPECT_EQ(short_path_for_command(path), path);
  }

  // Trigger only in the folder part: the folder's alias, then the file name as it is.
  const std::string folder = dir / "My Videos";
  fs::create_directory(folder);
  write_file(folder + "/clip.mp4", "x");
  const std::string in_folder = short_path_for_command(folder + "/clip.mp4");
  EXPECT_TRUE(in_folder.starts_with(path_alias_folder() + "/")) << in_folder;
  EXPECT_TRUE(in_folder.ends_with("/clip.mp4"));
  EXPECT_FALSE(path_needs_alias(in_folder));
  EXPECT_TRUE(same_file(in_folder, folder + "/clip.mp4"));

  // Trigger in the file name: the whole path's alias, its extension kept in full.
  for (const char* name : {"my clip.webm", "a\"b.mp4", "it's.mp4", "a\\b.mp4", "50%.mp4", "tab\there.mp4"}) {
    write_file(folder + "/" + name, name);
    const std::string whole = short_path_for_command(folder + "/" + name);
    EXPECT_FALSE(path_needs_alias(whole)) << whole;
    EXPECT_EQ(fs::path(whole).parent_path().string(), path_alias_folder()) << whole;
    EXPECT_TRUE(same_file(whole, folder + "/" + name)) << name;
  }
  EXPECT_EQ(fs::path(short_path_for_command(folder + "/my clip.webm")).extension(), ".webm");

  // A bare file name with a blank counts from the current folder.
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  const std::string bare = short_path_for_command("my clip.webm");
  fs::current_path(previous);
  EXPECT_TRUE(same_file(bare, folder + "/my clip.webm"));

  // No alias to be had (nothing there, no folder for it): unchanged.
  EXPECT_EQ(short_path_for_command(dir / "gone/no such folder/a.mp4"), dir / "gone/no such folder/a.mp4");
  EXPECT_EQ(short_path_for_command(dir / "gone/no such/a b.mp4"), dir / "gone/no such/a b.mp4");
}

TEST_F(Probes, DurationOfAGeneratedClipAndOfNothing) {
  ASSERT_TRUE(test_env::make_h264_aac_mp4(dir / "clip.mp4"));
  EXPECT_EQ(probe_duration(dir / "clip.mp4"), "00:00:02");
  ffmpeg_global_options.set(" -threads 2");
  EXPECT_EQ(probe_duration(dir / "clip.mp4"), "00:00:02");

  EXPECT_EQ(probe_duration(dir / "missing.mp4"), "");
  write_file(dir / "not media.mp4", "not a video");
  EXPECT_EQ(probe_duration(dir / "not media.mp4"), "");
  EXPECT_EQ(probe_duration(dir / "no folder/a b.mp4"), "");
  // No alias can be made for this path, and unquoted it would read as the clip plus an
  // output file: it must not reach the converter at all.
  EXPECT_EQ(probe_duration(dir / "clip.mp4 gone/sub/x.mp4"), "");

  ffmpeg_exe_path.set(dir / "nothing/ffmpeg");
  EXPECT_EQ(probe_duration(dir / "clip.mp4"), "");
}

TEST_F(Probes, ClipInAFolderWithBlanksChineseAndAQuoteIsProbedAndConvertedThroughAliases) {
  const std::string folder = dir / "我的 视频 \"精选\"";
  fs::create_directory(folder);
  const std::string source = folder + "/第一 段.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(source));
  EXPECT_EQ(probe_duration(source), "00:00:02");

  // A copy into the same folder, the quoted form the workers write: DQ(SP(x)).
  const std::string output = folder + "/输出 \"新\".mkv";
  std::string console;
  int status = -1;
  run_console_capture(ffmpeg_exe_path.get(),
                      " -i \"" + short_path_for_command(source) + "\" -c copy -y \"" +
                          short_path_for_command(output) + "\"",
                      nullptr, nullptr, &console, &status);
  EXPECT_EQ(status, 0) << console;
  ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(output))) << console;  // the real file, not a link
  const auto probe = test_env::ffprobe(output);
  EXPECT_TRUE(probe.ok);
  EXPECT_EQ(probe.width, 320);
  EXPECT_EQ(probe.height, 240);
  EXPECT_NEAR(probe.duration, 2.0, 0.1);
  EXPECT_EQ(probe_duration(output), "00:00:02");
}

TEST(ConsoleListsAudioStream, OnlyAStreamLineWithAudioCounts) {
  struct Case {
    const char* console;
    bool audio;
  } cases[] = {
      {"  Stream #0:0[0x1](und): Video: h264, yuv420p, 320x240, 25 fps\r\n"
       "  Stream #0:1[0x2](und): Audio: aac (LC), 44100 Hz, mono, fltp, 69 kb/s (default)\r\n",
       true},
      {"  Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s\r\n", true},
      {"  Stream #0:0(und): Video: h264, yuv420p, 320x240, 25 fps\r\n", false},
      // The word elsewhere (a title, a file name) is no stream.
      {"    title           : Video: Audio: notes\r\n  Stream #0:0: Video: h264, yuv420p, 320x240\r\n", false},
      {"Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'x: Audio: a.mp4':\r\n", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(console_lists_audio_stream(c.console), c.audio) << c.console;
}

TEST_F(Probes, StreamFactsOfClipsWithAndWithoutSoundAndOfNothing) {
  const std::string folder = dir / "带 \"引号\" 的";
  fs::create_directory(folder);
  const std::string with_sound = folder + "/有 声.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(with_sound));
  const std::string silent = dir / "silent.mkv";
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "testsrc=size=176x144:rate=25:duration=1", "-c:v", "libx264",
                                   "-preset", "ultrafast", "-pix_fmt", "yuv420p", silent}));
  ffmpeg_global_options.set(" -threads 2");

  StreamFacts facts = probe_stream_facts(with_sound);
  EXPECT_EQ(facts.frame, (FrameSize{320, 240}));
  EXPECT_TRUE(facts.has_audio);
  facts = probe_stream_facts(silent);
  EXPECT_EQ(facts.frame, (FrameSize{176, 144}));
  EXPECT_FALSE(facts.has_audio);

  write_file(dir / "not media.mp4", "not a video");
  for (const std::string& nothing : {dir / "missing.mp4", dir / "not media.mp4", std::string()}) {
    facts = probe_stream_facts(nothing);
    EXPECT_EQ(facts.frame, FrameSize{}) << nothing;
    EXPECT_FALSE(facts.has_audio) << nothing;
  }
}

// Several files probed in one converter run: each gets its own duration and streams; a
// file the converter cannot read costs a run of its own, the files after it go on.
TEST_F(Probes, ManyFilesInAsFewRunsAsItTakes) {
  const std::string log = dir / "converter.log";
  test_env::install_logging_converter(run, log);
  ffmpeg_global_options.set(" -threads 2");
  const std::string two = dir / "two.mov", one = dir / "片 一.avi", tracks = dir / "tracks.mkv";
  ASSERT_TRUE(test_env::make_recording_clip(two, {.seconds = 2, .container = "mov", .rotation = 90}));
  ASSERT_TRUE(test_env::make_recording_clip(one, {.seconds = 1, .container = "avi"}));
  ASSERT_TRUE(test_env::make_recording_clip(tracks, {.seconds = 3, .container = "mkv", .sound_tracks = 2}));
  write_file(dir / "noise.mp4", std::string(3000, 'x'));
  const std::vector<std::string> paths = {two, one, dir / "missing.mp4", tracks, dir / "noise.mp4",
                                          dir / "gone/a\"b.mp4", two};
  const std::vector<FileProbe> probes = probe_files(paths);

  ASSERT_EQ(probes.size(), paths.size());
  const std::vector<std::string> durations = {"00:00:02", "00:00:01", "", "00:00:03", "", "", "00:00:02"};
  const std::vector<std::size_t> stream_counts = {2, 2, 0, 3, 0, 0, 2};
  for (std::size_t i = 0; i < paths.size(); ++i) {
    SCOPED_TRACE(paths[i]);
    EXPECT_EQ(probes[i].duration, durations[i]);
    EXPECT_EQ(probes[i].streams.size(), stream_counts[i]);
  }
  EXPECT_NE(probes[0].streams[0].rotation, 0);
  EXPECT_EQ(probes[1].streams[0].codec, "mpeg4");
  EXPECT_EQ(count_streams(probes[3].streams, "Audio"), 2);
  // Three runs: up to the missing file, up to the noise, the rest; the path no command
  // can hold is in none. Each input has the global options before it.
  const auto calls = test_env::read_logged_commands(log);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0], (std::vector<std::string>{"-threads", "2", "-i", two, "-threads", "2", "-i",
                                                short_path_for_command(one), "-threads", "2", "-i",
                                                dir / "missing.mp4", "-threads", "2", "-i", tracks, "-threads", "2",
                                                "-i", dir / "noise.mp4", "-threads", "2", "-i", two}));
  EXPECT_EQ(calls[2], (std::vector<std::string>{"-threads", "2", "-i", two}));

  EXPECT_TRUE(probe_files({}).empty());
}
