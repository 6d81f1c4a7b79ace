// The one-filter edit steps on the real converter: each gives the picture its
// filter's result (read back and compared with the converter's own filter applied to
// the source frame), keeps its output and says so; a quarter turn turns the held frame
// size with the picture; an unchecked box runs nothing; a failed run keeps the
// previous work file and claims nothing.

#include "engine/edit/edit_steps_picture_filters.h"

#include <filesystem>
#include <functional>

#include "tests/engine/edit/edit_step_test_support.h"

namespace {

namespace fs = std::filesystem;
using test_env::decode_frame;
using test_env::mean_frame_difference;

using StepFunction = void (*)(EditVideoState&, const EditPage&);

class PictureFilterSteps : public EditStepTest {};

struct FilterCase {
  const char* box;
  StepFunction run;
  const char* before;
  const char* done;
  const char* same_as;  // the converter filter whose result the output must show
  int width, height;    // of the output (the source is 320x240)
};

}  // namespace

TEST_F(PictureFilterSteps, EachStepGivesItsFilteredPictureAndSaysSo) {
  const std::string source = landscape_clip();
  const FilterCase cases[] = {
      {"sharpen_check", run_sharpen_step, "正在锐化视频", "视频已锐化",
       "unsharp=luma_msize_x=7:luma_msize_y=7:luma_amount=2.5", 320, 240},
      {"decolour_check", run_desaturate_step, "正在去色", "视频已去色", "lutyuv=u=128:v=128", 320, 240},
      {"flash_halo_check", run_flicker_vignette_step, "添加闪烁光晕", "闪烁光晕已加", "vignette=PI/4", 320, 240},
      {"hflip_check", run_flip_horizontal_step, "正在水平翻转", "已水平翻转", "hflip", 320, 240},
      {"vflip_check", run_flip_vertical_step, "正在垂直翻转", "已垂直翻转", "vflip", 320, 240},
      {"rotate_cw_check", run_rotate_clockwise_step, "顺时转90度", "已顺时转90度", "transpose=1", 240, 320},
      {"rotate_ccw_check", run_rotate_counter_clockwise_step, "逆时转90度", "已逆时转90度", "transpose=2", 240,
       320},
  };
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.box);
    EditVideoState video = start_video(source);
    const std::string before_file = video.current_file();
    check(c.box);
    c.run(video, page());
    check(c.box, false);
    EXPECT_EQ(status(video), c.done);
    ASSERT_NE(video.current_file(), before_file);
    const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
    EXPECT_EQ(probe.width, c.width);
    EXPECT_EQ(probe.height, c.height);
    EXPECT_NEAR(probe.duration, 2.0, 0.2);
    EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));
    // The output shows the filter's picture: far closer to the converter's own filter
    // of the source frame than to the unfiltered frame (where the two can differ).
    const test_env::DecodedFrame output = decode_frame(video.current_file(), 1.0);
    const test_env::DecodedFrame expected = decode_frame(source, 1.0, c.same_as);
    EXPECT_LT(mean_frame_difference(output, expected), 6.0);
    const test_env::DecodedFrame unfiltered = decode_frame(source, 1.0);
    if (unfiltered.width == output.width) {
      EXPECT_GT(mean_frame_difference(output, unfiltered), mean_frame_difference(output, expected) + 1.0);
    }
  }
}

TEST_F(PictureFilterSteps, QuarterTurnsTurnTheHeldFrameSizeAndTwoTurnsCancelOut) {
  EditVideoState video = start_video(landscape_clip());
  ASSERT_EQ(std::pair(video.width, video.height), std::pair(320, 240));
  check("rotate_cw_check");
  run_rotate_clockwise_step(video, page());
  EXPECT_EQ(std::pair(video.width, video.height), std::pair(240, 320));
  check("rotate_ccw_check");
  run_rotate_counter_clockwise_step(video, page());
  EXPECT_EQ(std::pair(video.width, video.height), std::pair(320, 240));
  const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
  EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(320, 240));
  // Turned there and back: the picture is the source's again.
  EXPECT_LT(mean_frame_difference(decode_frame(video.current_file(), 1.0), decode_frame(video.source, 1.0)), 6.0);
}

TEST_F(PictureFilterSteps, AnUncheckedBoxRunsNothing) {
  EditVideoState video = start_video(landscape_clip());
  gui().set_cell_by_id(at("edit_list"), video.row_id, edit_list_status_column, "转码成功");
  for (StepFunction run : {run_sharpen_step, run_desaturate_step, run_flicker_vignette_step, run_flip_horizontal_step,
                           run_flip_vertical_step, run_rotate_clockwise_step, run_rotate_counter_clockwise_step}) {
    run(video, page());
  }
  EXPECT_EQ(status(video), "转码成功");
  EXPECT_EQ(video.current, 1);
  EXPECT_FALSE(fs::exists(video.work_file_b));
  EXPECT_EQ(std::pair(video.width, video.height), std::pair(320, 240));
}

TEST_F(PictureFilterSteps, AFailedRunKeepsTheWorkFileAndTheSizeAndClaimsNothing) {
  EditVideoState video = start_video(landscape_clip());
  // A current work file the converter cannot read.
  test_env::write_file(video.current_file(), std::string(4096, 'x'));
  check("hflip_check");
  run_flip_horizontal_step(video, page());
  EXPECT_EQ(status(video), "正在水平翻转");
  check("rotate_cw_check");
  run_rotate_clockwise_step(video, page());
  EXPECT_EQ(status(video), "顺时转90度");
  EXPECT_EQ(video.current, 1);
  EXPECT_EQ(std::pair(video.width, video.height), std::pair(320, 240));
}
