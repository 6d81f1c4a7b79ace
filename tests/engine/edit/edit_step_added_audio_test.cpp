// The added-audio step on the real converter: with the video's sound taken away the
// audio file's sound, cut to the video's length, becomes its sound; otherwise it is
// lowered and mixed under the video's own sound for the whole picture, or becomes the
// sound of a video that has none. Its temporary file is the job's own: an audio file
// named like a work file overwrites nothing, and nothing an earlier video left is used;
// an audio file without an extension, of any usual sound format, is added all the same.

#include "engine/edit/edit_step_added_audio.h"

#include <cstdlib>
#include <filesystem>

#include "tests/engine/edit/edit_step_test_support.h"

namespace {

namespace fs = std::filesystem;
using test_env::tone_level_db;

// The video clips sound at 440 Hz; the added audio at 1000 Hz.
constexpr double video_tone = 440;
constexpr double added_tone = 1000;
// A tone counts as heard above this level (the other tone's leak lies far below).
constexpr double heard_db = -50;

class AddedAudioStep : public EditStepTest {
 protected:
  // A 1000 Hz tone of `seconds` in the audio file `name` (its extension picks the
  // format), chosen in the audio field.
  std::string audio_file(const std::string& name, double seconds = 5.0) {
    const std::string path = dir / name;
    EXPECT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "sine=frequency=1000:duration=" + std::to_string(seconds),
                                     "-vn", path}));
    check("merge_audio_check");
    type("audio_file_field", path);
    return path;
  }
};

double stream_duration(const std::string& path, const std::string& stream) {
  return std::atof(test_env::stream_entry(path, stream, "duration").c_str());
}
double audio_duration(const std::string& path) { return stream_duration(path, "a:0"); }

}  // namespace

TEST_F(AddedAudioStep, WithTheSoundTakenAwayTheAudioCutToTheVideoBecomesItsSound) {
  const std::string source = silent_clip();
  audio_file("music.mp3");
  check("mute_check");
  struct Case {
    int kept;        // D
    double length;   // of the sound afterwards: D when above 0, else D0 (2)
  };
  for (const Case& c : {Case{1, 1.0}, Case{0, 2.0}}) {
    SCOPED_TRACE(c.kept);
    EditVideoState video = start_video(source);
    video.kept_length = c.kept;
    run_mix_audio_file_step(video, page());
    EXPECT_EQ(status(video), "已合并音频");
    ASSERT_EQ(video.current, 2);
    EXPECT_EQ(test_env::ffprobe(video.current_file()).codec_types, (std::vector<std::string>{"video", "audio"}));
    EXPECT_NEAR(audio_duration(video.current_file()), c.length, 0.15);
    EXPECT_GT(tone_level_db(video.current_file(), added_tone), heard_db);
  }
}

TEST_F(AddedAudioStep, OtherwiseTheLoweredAudioIsMixedUnderTheVideosSoundForTheWholePicture) {
  EditVideoState video = start_video(landscape_clip());
  audio_file("music.mp3");
  run_mix_audio_file_step(video, page());
  EXPECT_EQ(status(video), "已合并音频");
  ASSERT_EQ(video.current, 2);
  const std::string output = video.current_file();
  EXPECT_EQ(test_env::ffprobe(output).codec_types, (std::vector<std::string>{"audio", "video"}));
  EXPECT_EQ(test_env::stream_entry(output, "a:0", "channels"), "1");
  EXPECT_NEAR(test_env::ffprobe(output).duration, 2.0, 0.15);
  EXPECT_NEAR(audio_duration(output), 2.0, 0.15);
  // Both sounds to the end: the video's own in the last second too.
  EXPECT_GT(tone_level_db(output, video_tone, 1.0), heard_db);
  EXPECT_GT(tone_level_db(output, added_tone, 1.0), heard_db);
}

TEST_F(AddedAudioStep, AVideoWithoutSoundTakesTheLoweredAudioAsItsSound) {
  EditVideoState video = start_video(silent_clip());
  audio_file("music.mp3");
  run_mix_audio_file_step(video, page());
  EXPECT_EQ(status(video), "已合并音频");
  ASSERT_EQ(video.current, 2);
  const std::string output = video.current_file();
  EXPECT_EQ(test_env::ffprobe(output).codec_types, (std::vector<std::string>{"audio", "video"}));
  EXPECT_NEAR(test_env::ffprobe(output).duration, 2.0, 0.15);
  EXPECT_NEAR(audio_duration(output), 2.0, 0.15);
  EXPECT_GT(tone_level_db(output, added_tone), heard_db);
  // A shorter audio file is padded to the picture, which keeps its length.
  EditVideoState second = start_video(video.source);
  audio_file("short.mp3", 1.0);
  run_mix_audio_file_step(second, page());
  EXPECT_EQ(status(second), "已合并音频");
  EXPECT_NEAR(stream_duration(second.current_file(), "v:0"), 2.0, 0.15);
}

TEST_F(AddedAudioStep, TheTemporaryAudioIsTheJobsOwnAndRemovedBeforeEachUse) {
  // An audio file named like the current work file overwrites nothing.
  EditVideoState video = start_video(landscape_clip());
  audio_file(fs::path(video.current_file()).filename().string());
  run_mix_audio_file_step(video, page());
  EXPECT_EQ(status(video), "已合并音频");
  ASSERT_EQ(video.current, 2);
  EXPECT_EQ(test_env::ffprobe(video.current_file()).codec_types, (std::vector<std::string>{"audio", "video"}));
  EXPECT_NEAR(test_env::ffprobe(video.current_file()).duration, 2.0, 0.15);

  // The next video's audio file cannot be read: what the first one left is not used.
  EditVideoState next = start_video(video.source);
  audio_file("music.mp3");
  run_mix_audio_file_step(next, page());
  ASSERT_EQ(status(next), "已合并音频");
  EditVideoState third = start_video(video.source);
  const std::string broken = dir / "broken.mp3";
  test_env::write_file(broken, std::string(4096, 'x'));
  type("audio_file_field", broken);
  run_mix_audio_file_step(third, page());
  EXPECT_EQ(status(third), "正在合并音频");
  EXPECT_EQ(third.current, 1);
  EXPECT_FALSE(fs::exists(added_audio_work_file(third.work_folder)));
}

TEST_F(AddedAudioStep, AnAudioFileWithoutAnExtensionIsAddedWhateverItsFormat) {
  const std::string source = silent_clip();
  struct Format {
    const char* name;
    std::vector<std::string> codec;
  };
  const Format formats[] = {{"mp3", {"-c:a", "libmp3lame", "-f", "mp3"}}, {"adts", {"-c:a", "aac", "-f", "adts"}},
                            {"m4a", {"-c:a", "aac", "-f", "ipod"}},        {"opus", {"-c:a", "libopus", "-f", "ogg"}},
                            {"flac", {"-c:a", "flac", "-f", "flac"}},      {"wav", {"-c:a", "pcm_s16le", "-f", "wav"}}};
  for (const Format& format : formats) {
    // The sound's own container, under a name that does not tell it.
    const std::string audio = dir / (std::string("song ") + format.name);
    std::vector<std::string> args{"-f", "lavfi", "-i", "sine=frequency=1000:sample_rate=48000:duration=5"};
    args.insert(args.end(), format.codec.begin(), format.codec.end());
    args.push_back(audio);
    ASSERT_TRUE(test_env::make_clip(args)) << format.name;
    check("merge_audio_check");
    type("audio_file_field", audio);
    // With the video's sound taken away the sound is copied; otherwise it is lowered
    // and encoded anew.
    for (const bool muted : {true, false}) {
      if (!muted && std::string(format.name) != "mp3") continue;
      SCOPED_TRACE(testing::Message() << format.name << (muted ? " copied" : " mixed"));
      check("mute_check", muted);
      EditVideoState video = start_video(source);
      run_mix_audio_file_step(video, page());
      EXPECT_EQ(status(video), "已合并音频");
      ASSERT_EQ(video.current, 2);
      EXPECT_NEAR(audio_duration(video.current_file()), 2.0, 0.15);
      EXPECT_GT(tone_level_db(video.current_file(), added_tone), heard_db);
      fs::remove(video.work_file_a);
      fs::remove(video.work_file_b);
    }
  }
}
