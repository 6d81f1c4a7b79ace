// The effect steps on the real converter: each gives the picture its effect (a frame of
// the output compared with the converter's own filter applied to the same frame of the
// source), keeps its output with the sound and the length, and says so.

#include "engine/edit/edit_steps_effects.h"

#include "tests/engine/edit/edit_step_test_support.h"

namespace {

using test_env::decode_frame;
using test_env::mean_frame_difference;

class EffectSteps : public EditStepTest {};

struct EffectCase {
  const char* box;
  void (*run)(EditVideoState&, const EditPage&);
  const char* before;
  const char* done;
  const char* same_as;  // the converter filter whose result the output must show
  int frame;            // the frame compared: the effects that change with time differ there
};

// Frame `n` of the file, after `filter` when one is given (time-based filters see the
// frame's own time, as in the step).
test_env::DecodedFrame frame_of(const std::string& path, int n, const std::string& filter = "") {
  return decode_frame(path, 0.0, (filter.empty() ? "" : filter + ",") + "select=eq(n\\," + std::to_string(n) + ")");
}

}  // namespace

TEST_F(EffectSteps, EachStepGivesItsEffectAndSaysSo) {
  const std::string source = landscape_clip();
  const EffectCase cases[] = {
      // Frame 25 of the 90 that fade in: still dark.
      {"fade_in_check", run_fade_in_step, "添加渐入效果", "已添加渐入", "fade=in:0:90", 25},
      // A quarter second in: the hue turned by a quarter, the saturation doubled.
      {"colour_cycle_check", run_hue_cycle_step, "添加色彩变幻", "色彩变幻已加", "hue=H=2*PI*t:s=sin(2*PI*t)+1",
       6},
      {"halo_check", run_vignette_step, "添加光晕效果", "已添加光晕", "vignette=PI/4", 25},
  };
  for (const EffectCase& c : cases) {
    SCOPED_TRACE(c.box);
    EditVideoState video = start_video(source);
    const std::string before_file = video.current_file();
    check(c.box);
    c.run(video, page());
    check(c.box, false);
    EXPECT_EQ(status(video), c.done);
    ASSERT_NE(video.current_file(), before_file);
    const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
    EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(320, 240));
    EXPECT_NEAR(probe.duration, 2.0, 0.15);
    EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));

    const test_env::DecodedFrame output = frame_of(video.current_file(), c.frame);
    const test_env::DecodedFrame expected = frame_of(source, c.frame, c.same_as);
    const test_env::DecodedFrame untouched = frame_of(source, c.frame);
    EXPECT_LT(mean_frame_difference(output, expected), 6.0);
    EXPECT_GT(mean_frame_difference(output, untouched), mean_frame_difference(output, expected) + 5.0);
  }
}

TEST_F(EffectSteps, AnUncheckedBoxRunsNothingAndAFailedRunClaimsNothing) {
  EditVideoState video = start_video(landscape_clip());
  gui().set_cell_by_id(at("edit_list"), video.row_id, edit_list_status_column, "转码成功");
  for (auto run : {run_fade_in_step, run_hue_cycle_step, run_vignette_step}) run(video, page());
  EXPECT_EQ(status(video), "转码成功");
  EXPECT_EQ(video.current, 1);

  test_env::write_file(video.current_file(), std::string(4096, 'x'));
  check("halo_check");
  run_vignette_step(video, page());
  EXPECT_EQ(status(video), "添加光晕效果");
  EXPECT_EQ(video.current, 1);
}
