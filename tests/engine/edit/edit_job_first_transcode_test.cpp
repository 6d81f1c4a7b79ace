// The first work file of the edit job with the real converter: copied for mp4 and mkv
// sources, transcoded for others with two fall-backs, and the frame size read from the
// console text.

#include "engine/edit/edit_job_first_transcode.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/common/globals.h"
#include "engine/converter/media_probes.h"
#include "tests/support/media_checks.h"
#include "tests/support/recording_clips.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

namespace {

class FirstWorkFile : public ::testing::Test {
 protected:
  void SetUp() override {
    run = test_env::make_run_folder(dir.path());
    run_folder.set(run);
    ffmpeg_exe_path.set(run + "/bin/ffmpeg");
    ffmpeg_global_options.set("");
    work = run + "/v_tempx/";
    fs::create_directories(work);
  }

  // bin/ffmpeg logs its arguments and fails every command holding one of `refused`.
  void refuse_commands_with(const std::string& refused_pattern) {
    const std::string program = run + "/bin/ffmpeg";
    fs::remove(program);
    write_file(program, "#!/bin/sh\necho \"$*\" >> '" + dir / "commands.log" + "'\ncase \"$*\" in " + refused_pattern +
                            ") exit 1;; esac\nexec '" QF_SYSTEM_FFMPEG "' \"$@\"\n");
    fs::permissions(program, fs::perms::owner_all);
  }

  std::string make(const std::string& name, const std::vector<std::string>& codec) {
    std::vector<std::string> args = {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=1", "-f", "lavfi",
                                     "-i", "sine=duration=1"};
    args.insert(args.end(), codec.begin(), codec.end());
    args.insert(args.end(), {"-shortest", dir / name});
    EXPECT_TRUE(test_env::make_clip(args));
    return dir / name;
  }

  TempDir dir;
  std::string run, work;
};

}  // namespace

TEST_F(FirstWorkFile, AnMkvSourceIsCopiedAndItsFrameSizeRead) {
  const std::string source =
      make("片 段.MKV", {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuvj420p", "-c:a", "libvorbis"});
  EditVideoState state = make_edit_video_state(1, 1, source, "00:00:01", work);
  write_file(state.work_file_b, "left by an earlier job");
  ASSERT_TRUE(make_first_work_file(state));
  EXPECT_EQ(state.work_file_a, work + "1.mkv");
  EXPECT_EQ(read_file(state.work_file_a), read_file(source));
  EXPECT_FALSE(fs::exists(state.work_file_b));
  EXPECT_EQ(state.current, 1);
  EXPECT_EQ(state.width, 160);
  EXPECT_EQ(state.height, 120);
}

TEST_F(FirstWorkFile, AnotherSourceFallsBackToLibx264AndThenToACopy) {
  const std::string source = make("clip.avi", {"-c:v", "mpeg4", "-c:a", "mp3"});
  refuse_commands_with("*-vcodec\\ h264*|*-c:v\\ libx264*");
  EditVideoState state = make_edit_video_state(2, 1, source, "00:00:01", work);
  ASSERT_TRUE(make_first_work_file(state));
  EXPECT_EQ(state.work_file_a, work + "2.mkv");
  const test_env::ProbeResult probe = test_env::ffprobe(state.work_file_a);
  ASSERT_TRUE(probe.ok);
  ASSERT_FALSE(probe.codec_names.empty());
  EXPECT_EQ(probe.codec_names[0], "mpeg4");  // the copy form
  const std::string log = read_file(dir / "commands.log");
  const auto h264 = log.find("-vcodec h264"), libx264 = log.find("-c:v libx264"), copy = log.find("-vcodec copy");
  ASSERT_NE(copy, std::string::npos);
  EXPECT_LT(h264, libx264);
  EXPECT_LT(libx264, copy);
  EXPECT_EQ(state.width, 160);
  EXPECT_EQ(state.height, 120);

  // When every form fails the video cannot be edited.
  refuse_commands_with("*-y*");
  EditVideoState again = make_edit_video_state(3, 1, source, "00:00:01", work);
  EXPECT_FALSE(make_first_work_file(again));
  EXPECT_FALSE(fs::exists(again.work_file_a));
}

TEST_F(FirstWorkFile, ACopiedSourceTakesItsFrameSizeFromTheDurationProbesRun) {
  const std::string source = make("clip.mp4", {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"});
  refuse_commands_with("never");
  std::string console;
  ASSERT_EQ(probe_duration_with_console(source, &console), "00:00:01");
  ASSERT_NE(console.find("160x120"), std::string::npos);
  EXPECT_EQ(test_env::read_file(dir / "commands.log"), "-i " + source + "\n");  // the probe, once

  EditVideoState state = make_edit_video_state(4, 1, source, "00:00:01", work);
  ASSERT_TRUE(make_first_work_file(state, console));
  EXPECT_EQ(test_env::read_file(dir / "commands.log"), "-i " + source + "\n");  // no second run
  EXPECT_EQ(read_file(state.work_file_a), read_file(source));
  EXPECT_EQ(state.width, 160);
  EXPECT_EQ(state.height, 120);
  EXPECT_EQ(ffmpeg_output.get(), console);
}

TEST(SourcePictureCopyable, OnlyAnUprightEvenEightBitH264PictureIsCopied) {
  const auto stream = [](const std::string& description, const std::string& side_data = "") {
    return "  Stream #0:0[0x1](und): Video: " + description + "\n" + side_data +
           "  Stream #0:1[0x2](und): Audio: aac (LC), 48000 Hz, stereo, fltp\n";
  };
  struct Case {
    const char* name;
    std::string console;
    bool copied;
  } cases[] = {
      {"ordinary", stream("h264 (High), yuv420p(progressive), 1280x720 [SAR 1:1 DAR 16:9], 30 fps"), true},
      {"full range", stream("h264 (High), yuvj420p(pc, progressive), 640x480 [SAR 1:1 DAR 4:3], 30 fps"), true},
      {"non-square pixels", stream("h264 (High), yuv420p, 720x576 [SAR 16:15 DAR 4:3], 25 fps"), true},
      {"10-bit", stream("h264 (High 10), yuv420p10le(progressive), 1280x720 [SAR 1:1 DAR 16:9], 30 fps"), false},
      {"4:4:4", stream("h264 (High 4:4:4 Predictive), yuv444p(progressive), 1280x720, 30 fps"), false},
      {"rotated", stream("h264 (High), yuv420p(progressive), 854x480, 30 fps",
                         "    Side data:\n      displaymatrix: rotation of -90.00 degrees\n"),
       false},
      {"upside down", stream("h264 (High), yuv420p(progressive), 854x480, 30 fps",
                             "    Side data:\n      displaymatrix: rotation of 180.00 degrees\n"),
       false},
      {"odd width", stream("h264 (High), yuv420p, 853x480, 25 fps"), false},
      {"another codec", stream("hevc (Main), yuv420p(tv), 1280x720, 30 fps"), false},
      {"no video", "  Stream #0:0: Audio: aac (LC), 48000 Hz, stereo, fltp\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(source_picture_copyable(c.console), c.copied);
  }
}

// Every source's work file is one each later step and every player can take: H.264 in
// 8-bit 4:2:0, even sides, upright; the held frame size and pixel shape are the work
// file's. An ordinary mp4 is still copied as it is.
TEST_F(FirstWorkFile, EverySourceGetsAnEvenUprightEightBitWorkFile) {
  struct Case {
    const char* name;
    test_env::RecordingClip clip;
    std::string size;    // of the work file, as it shows
    SampleAspect aspect;
    bool copied;
  } cases[] = {
      {"ordinary.mp4", {.seconds = 1}, "320x180", {1, 1}, true},
      {"phone.mp4", {.seconds = 1, .rotation = 90}, "180x320", {1, 1}, false},
      {"ten_bit.mp4", {.seconds = 1, .sound_tracks = 0, .ten_bit = true}, "320x180", {1, 1}, false},
      {"ten_bit.mkv", {.seconds = 1, .container = "mkv", .ten_bit = true}, "320x180", {1, 1}, false},
      {"odd.webm", {.seconds = 1, .width = 321, .height = 241, .container = "webm"}, "320x240", {1, 1}, false},
      {"odd.ogv", {.seconds = 1, .width = 275, .height = 269, .container = "ogv", .sound_tracks = 0}, "274x268",
       {1, 1}, false},
      {"dvd.mp4", {.seconds = 1, .width = 180, .height = 144, .sar = "16:15"}, "180x144", {16, 15}, true},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string source = dir / c.name;
    ASSERT_TRUE(test_env::make_recording_clip(source, c.clip));
    std::string console;
    const std::string duration = probe_duration_with_console(source, &console);
    EditVideoState state = make_edit_video_state(++row, 1, source, duration, work);
    ASSERT_TRUE(make_first_work_file(state, console));
    EXPECT_EQ(read_file(state.work_file_a) == read_file(source), c.copied);
    EXPECT_EQ(test_env::shown_frame_size(state.work_file_a), c.size);
    EXPECT_EQ(test_env::stream_entry(state.work_file_a, "v:0", "codec_name"), "h264");
    EXPECT_EQ(test_env::stream_entry(state.work_file_a, "v:0", "pix_fmt"), "yuv420p");
    EXPECT_EQ(std::to_string(state.width) + "x" + std::to_string(state.height), c.size);
    EXPECT_EQ(state.sample_aspect, c.aspect);
  }
}
