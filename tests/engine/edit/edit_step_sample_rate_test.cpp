// The sample rate step on the real converter: the field's number in kilohertz becomes
// the mono sound's rate (a field below 1 first reset to 48 and kept so), and a rate the
// sound's encoder refuses keeps the previous work file and says the rate was not
// applied.

#include "engine/edit/edit_step_sample_rate.h"

#include "tests/engine/edit/edit_step_test_support.h"

namespace {

class SampleRateStep : public EditStepTest {};

}  // namespace

TEST_F(SampleRateStep, TheSoundTakesTheFieldsRateInMono) {
  const std::string source = landscape_clip();
  struct Case {
    const char* typed;
    const char* field_after;
    const char* rate;
  };
  for (const Case& c : {Case{"22.05", "22.05", "22050"}, Case{"0", "48", "48000"}, Case{"abc", "48", "48000"},
                        Case{"0.5", "48", "48000"}}) {
    SCOPED_TRACE(c.typed);
    EditVideoState video = start_video(source);
    check("audio_rate_check");
    type("audio_rate_field", c.typed);
    run_audio_sample_rate_step(video, page());
    EXPECT_EQ(gui().text(at("audio_rate_field")), c.field_after);
    EXPECT_EQ(status(video), "音频采样已改");
    ASSERT_EQ(video.current, 2);
    EXPECT_EQ(test_env::stream_entry(video.current_file(), "a:0", "sample_rate"), c.rate);
    EXPECT_EQ(test_env::stream_entry(video.current_file(), "a:0", "channels"), "1");
    EXPECT_NEAR(test_env::ffprobe(video.current_file()).duration, 2.0, 0.15);
  }
}

TEST_F(SampleRateStep, ARateTheEncoderRefusesKeepsTheVideoAndSaysItWasNotApplied) {
  // 1 kHz stays in the field, and the AAC encoder of the mp4 work file refuses it.
  EditVideoState video = start_video(landscape_clip());
  check("audio_rate_check");
  type("audio_rate_field", "1");
  run_audio_sample_rate_step(video, page());
  EXPECT_EQ(gui().text(at("audio_rate_field")), "1");
  EXPECT_EQ(status(video), audio_rate_not_applied_status);
  EXPECT_EQ(video.current, 1);
  EXPECT_EQ(test_env::stream_entry(video.current_file(), "a:0", "sample_rate"), "44100");
}
