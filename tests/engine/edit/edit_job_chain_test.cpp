// A whole edit job on the real main window with several steps of the chain checked:
// every row ends saved, with the steps' results in a playable output, and the sources
// are left as they were.

#include <filesystem>

#include "engine/common/globals.h"
#include "engine/edit/edit_job.h"
#include "engine/edit/edit_job_save.h"
#include "tests/engine/edit/edit_step_test_support.h"

namespace {

namespace fs = std::filesystem;
using test_env::decode_frame;
using test_env::mean_frame_difference;

class EditJobChain : public EditStepTest {};

}  // namespace

TEST_F(EditJobChain, SeveralStepsEndInAPlayableOutputAndLeaveTheSourcesAlone) {
  const std::string landscape = clip("横 屏.mp4", 320, 240, true, 8.0);
  const std::string flv = clip("clip.flv", 320, 240, true, 8.0, {"-c:v", "flv1", "-c:a", "mp3"});
  const std::string landscape_bytes = test_env::read_file(landscape), flv_bytes = test_env::read_file(flv);
  const std::string out = dir / "输出";
  fs::create_directories(out);
  type("edit_output_folder_field", out);
  for (const std::string& source : {landscape, flv}) {
    gui().append_row(at("edit_list"), {std::to_string(gui().row_count(at("edit_list")) + 1), source, "", ""});
  }
  // 8 s, one second off each end: D = 6.
  check("head_trim_check");
  check("tail_trim_check");
  type("head_trim_seconds_field", "1");
  type("tail_trim_seconds_field", "1");
  check("frame_rate_check");
  type("frame_rate_field", "20");
  check("sharpen_check");
  check("hflip_check");
  check("rotate_cw_check");
  check("random_transition_check");
  check("edit_format_mkv_radio");

  batch_edit_videos(window);

  for (const auto& [row, name] : {std::pair{0, "横 屏.mkv"}, std::pair{1, "clip.mkv"}}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(gui().cell(at("edit_list"), row, edit_list_status_column), edit_status_done);
    const std::string output = out + "/" + name;
    const test_env::ProbeResult probe = test_env::ffprobe(output);
    ASSERT_TRUE(probe.ok);
    EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));
    EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(240, 320));  // turned
    // D = 6, less the transition's two seconds of picture and sound.
    EXPECT_NEAR(probe.duration, 4.0, 0.3);
    EXPECT_EQ(test_env::stream_entry(output, "v:0", "r_frame_rate"), "20/1");
    EXPECT_TRUE(test_env::decodes_without_errors(output));
    // The first half shows the source from one second on, flipped and turned.
    const std::string source = row == 0 ? landscape : flv;
    EXPECT_LT(mean_frame_difference(decode_frame(output, 0.5), decode_frame(source, 1.5, "hflip,transpose=1")), 12.0);
  }
  EXPECT_EQ(test_env::read_file(landscape), landscape_bytes);
  EXPECT_EQ(test_env::read_file(flv), flv_bytes);
  EXPECT_FALSE(fs::exists(run + "/v_tempx"));
}
