// The playback speed step on the real converter: the output's length for speeds that
// one tempo filter covers and for one that needs a chain, a video without sound sped
// as a picture alone, the lengths the later steps cut to following the speed, and a
// speed that is no number passed over.

#include "engine/edit/edit_step_playback_speed.h"

#include <cstdlib>
#include <filesystem>

#include "tests/engine/edit/edit_step_test_support.h"

namespace {

class PlaybackSpeedStep : public EditStepTest {
 protected:
  // Shows `speed` in the speed combo (a drop-down list: the text must be an item).
  void choose_speed(const std::string& speed) {
    check("speed_check");
    const ControlRef combo = at("speed_combo");
    if (gui().items(combo).size() == 15) gui().add_item(combo, "3");
    gui().set_text(combo, speed);
    ASSERT_EQ(gui().text(combo), speed);
  }
};

double stream_duration(const std::string& path, const std::string& stream) {
  return std::atof(test_env::stream_entry(path, stream, "duration").c_str());
}

}  // namespace

TEST_F(PlaybackSpeedStep, TheVideoAndItsSoundTakeTheSpeedAndTheLengthsFollow) {
  const std::string source = landscape_clip();
  struct Case {
    const char* speed;
    int lengths;  // D and D0 afterwards (both 2 before)
  };
  for (const Case& c : {Case{"0.5", 1}, Case{"2.0", 4}, Case{"3", 6}}) {
    SCOPED_TRACE(c.speed);
    EditVideoState video = start_video(source);
    choose_speed(c.speed);
    run_playback_speed_step(video, page());
    EXPECT_EQ(status(video), "播放倍速已改");
    ASSERT_EQ(video.current, 2);
    const double expected = 2.0 * std::atof(c.speed);
    EXPECT_NEAR(test_env::ffprobe(video.current_file()).duration, expected, 0.15);
    EXPECT_NEAR(stream_duration(video.current_file(), "v:0"), expected, 0.15);
    EXPECT_NEAR(stream_duration(video.current_file(), "a:0"), expected, 0.15);
    EXPECT_EQ(std::pair(video.kept_length, video.full_length), std::pair(c.lengths, c.lengths));
  }
}

TEST_F(PlaybackSpeedStep, AVideoWithoutSoundIsSpedAsAPictureAlone) {
  EditVideoState video = start_video(silent_clip());
  choose_speed("2.0");
  run_playback_speed_step(video, page());
  EXPECT_EQ(status(video), "播放倍速已改");
  ASSERT_EQ(video.current, 2);
  const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
  EXPECT_EQ(probe.codec_types, std::vector<std::string>{"video"});
  EXPECT_NEAR(probe.duration, 4.0, 0.15);
  EXPECT_EQ(video.kept_length, 4);
}

TEST_F(PlaybackSpeedStep, NoSpeedShownOrAFailedRunChangesNothingAndClaimsNothing) {
  EditVideoState video = start_video(landscape_clip());
  check("speed_check");
  gui().set_selected_index(at("speed_combo"), -1);  // the combo shows no speed
  run_playback_speed_step(video, page());
  EXPECT_EQ(status(video), "改播放倍速");
  EXPECT_EQ(video.current, 1);
  EXPECT_FALSE(std::filesystem::exists(video.work_file_b));

  choose_speed("2.0");
  test_env::write_file(video.current_file(), std::string(4096, 'x'));
  gui().set_cell_by_id(at("edit_list"), video.row_id, edit_list_status_column, "");
  run_playback_speed_step(video, page());
  EXPECT_EQ(status(video), "改播放倍速");
  EXPECT_EQ(video.current, 1);
  EXPECT_EQ(std::pair(video.kept_length, video.full_length), std::pair(2, 2));
}
