// The effect, speed, sample rate, subtitle and added-audio steps in their slots of the
// chain, all on at once, with the subtitle font copied next to the converter as the
// start of the job does: each block hands the next a readable video and the last one
// says so.

#include <filesystem>

#include "engine/common/globals.h"
#include "engine/edit/edit_job_checks.h"
#include "engine/edit/edit_job_steps.h"
#include "platform/fonts.h"
#include "tests/engine/edit/edit_step_test_support.h"

namespace {

namespace fs = std::filesystem;

class EditStepChain : public EditStepTest {
 protected:
  void TearDown() override { font_file_names.clear(); }
};

}  // namespace

TEST_F(EditStepChain, TheStepsRunInTheirSlotsOneAfterTheOther) {
  const std::string fonts = dir / "fonts";
  fs::create_directories(fonts);
  fs::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", fonts + "/DejaVuSans.ttf");
  const test_env::ScopedEnvironmentVariable folder(fonts_folder_variable, fonts.c_str());
  font_file_names.set({"DejaVuSans.ttf"});
  gui().set_items(at("subtitle_font_combo"), {"DejaVu Sans(DejaVuSans)"});
  gui().set_selected_index(at("subtitle_font_combo"), 0);
  ASSERT_TRUE(copy_subtitle_font_into_bin(page()));

  const std::string audio = dir / "music.mp3";
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "sine=frequency=1000:duration=5", audio}));
  for (const char* box : {"fade_in_check", "colour_cycle_check", "halo_check", "speed_check", "audio_rate_check",
                          "subtitle_check", "merge_audio_check"}) {
    check(box);
  }
  gui().set_text(at("speed_combo"), "2.0");
  type("audio_rate_field", "22.05");
  type("subtitle_text_field", "字幕 subtitle");
  type("audio_file_field", audio);

  EditVideoState video = start_video(landscape_clip());
  run_edit_steps(video, page());
  EXPECT_EQ(status(video), "已合并音频");
  const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
  EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"audio", "video"}));
  EXPECT_NEAR(probe.duration, 4.0, 0.15);
  EXPECT_EQ(std::pair(video.kept_length, video.full_length), std::pair(4, 4));
  EXPECT_TRUE(test_env::decodes_without_errors(video.current_file()));
  EXPECT_FALSE(fs::exists(video.next_file()));
}
