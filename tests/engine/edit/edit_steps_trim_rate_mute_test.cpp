// The re-encoding steps with a retry form on the real converter: the trim values and
// when the cut runs, the cut itself (its start and length read back), the frame rate
// (a typed value that is no rate never reaches a command), the sound removed, and the
// retry form of each step when the first form's output does not count.

#include "engine/edit/edit_steps_trim_rate_mute.h"

#include <climits>
#include <filesystem>

#include "engine/edit/edit_steps_orientation.h"
#include "tests/engine/edit/edit_step_test_support.h"

namespace {

namespace fs = std::filesystem;
using test_env::decode_frame;
using test_env::mean_frame_difference;
using test_env::stream_entry;

class TrimRateMuteSteps : public EditStepTest {};

}  // namespace

TEST(TrimValues, StartKeptLengthAndWhetherTheCutRuns) {
  struct Case {
    int full;
    bool head_on;
    double head;
    bool tail_on;
    double tail;
    const char* start;
    int kept;
    bool cut;
  };
  const Case cases[] = {
      {100, true, 3.5, false, 2, "00:00:03", 96, true},    // the head's fraction is cut off
      {100, false, 3, true, 2, "00:00:00", 98, true},
      {5, true, 3, true, 2, "00:00:03", 0, false},         // nothing would be left
      {100, false, 3, false, 2, "00:00:00", 100, false},   // neither box: D = D0
      {100, true, 0, false, 0, "00:00:00", 100, false},    // a zero head cuts nothing
      {100, true, 2.9, true, 2.9, "00:00:02", 94, true},   // each subtraction truncated
      {3725, true, 3725, false, 0, "01:02:05", 0, false},  // a head as long as the video
      {10, true, 12, false, 0, "00:00:12", -2, false},     // a head longer than the video
      {100, false, 0, true, -5, "00:00:00", 105, false},   // a negative tail lengthens
      {100, true, -3, true, 10, "00:00:-3", 93, false},    // a negative start is no start
      {100, true, 1e300, true, 0, "23:14:07", INT_MIN, false},  // held at the ends of int
      {100, false, 0, true, -1e300, "00:00:00", INT_MAX, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.full << " head " << c.head_on << " " << c.head << " tail " << c.tail_on
                                    << " " << c.tail);
    const TrimValues values = compute_trim_values(c.full, c.head_on, c.head, c.tail_on, c.tail);
    EXPECT_EQ(values.trim_start, c.start);
    EXPECT_EQ(values.kept_length, c.kept);
    EXPECT_EQ(trim_step_applies(values, c.full), c.cut);
  }
}

TEST_F(TrimRateMuteSteps, TheCutKeepsTheMiddleAndSetsTheTrimValues) {
  const std::string source = landscape_clip(4.0);
  EditVideoState video = start_video(source);
  ASSERT_EQ(video.full_length, 4);
  check("head_trim_check");
  check("tail_trim_check");
  type("head_trim_seconds_field", "1");
  type("tail_trim_seconds_field", "1.5");
  run_trim_ends_step(video, page());
  EXPECT_EQ(video.trim_start, "00:00:01");
  EXPECT_EQ(video.kept_length, 1);  // 4 - 1 = 3, then 3 - 1.5 = 1.5 truncated
  EXPECT_EQ(status(video), "修减完成");
  ASSERT_EQ(video.current, 2);
  const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
  EXPECT_NEAR(probe.duration, 1.0, 0.15);
  EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));
  EXPECT_EQ(probe.codec_names.front(), "h264");
  // Its first frame is the source's frame at one second.
  EXPECT_LT(mean_frame_difference(decode_frame(video.current_file(), 0.0), decode_frame(source, 1.0)), 3.0);
  EXPECT_GT(mean_frame_difference(decode_frame(video.current_file(), 0.0), decode_frame(source, 0.0)), 3.0);
}

TEST_F(TrimRateMuteSteps, TheTrimValuesAreSetEvenWhenNothingIsCut) {
  EditVideoState video = start_video(landscape_clip(2.0));
  log_converter();
  for (const bool head : {false, true}) {
    // Unchecked boxes, then a head that leaves nothing (2 - 3 < 0).
    check("head_trim_check", head);
    video.kept_length = 77;
    video.trim_start = "junk";
    run_trim_ends_step(video, page());
    EXPECT_EQ(video.kept_length, head ? -1 : 2);
    EXPECT_EQ(video.trim_start, head ? "00:00:03" : "00:00:00");
  }
  EXPECT_TRUE(take_converter_calls().empty());
  EXPECT_EQ(status(video), "");
  EXPECT_EQ(video.current, 1);
}

TEST_F(TrimRateMuteSteps, TheFrameRateStepSetsATypedRate) {
  const std::string source = landscape_clip();
  for (const auto& [typed, rate, frames] : {std::tuple{"10", "10/1", 20}, std::tuple{"30000/1001", "30000/1001", 60},
                                            std::tuple{"12.5", "25/2", 25}}) {
    SCOPED_TRACE(typed);
    EditVideoState video = start_video(source);
    check("frame_rate_check");
    type("frame_rate_field", typed);
    run_frame_rate_step(video, page());
    EXPECT_EQ(status(video), "帧速率已改好");
    ASSERT_EQ(video.current, 2);
    EXPECT_EQ(stream_entry(video.current_file(), "v:0", "r_frame_rate"), rate);
    EXPECT_NEAR(test_env::count_video_frames(video.current_file()), frames, 2);
    EXPECT_EQ(test_env::ffprobe(video.current_file()).codec_types, (std::vector<std::string>{"video", "audio"}));
  }
}

TEST_F(TrimRateMuteSteps, AFrameRateThatIsNoRateNeverReachesACommand) {
  EditVideoState video = start_video(landscape_clip());
  log_converter();
  check("frame_rate_check");
  for (const char* typed : {"25 -f mp4 -y x.mp4", "", " 25", "25 ", "abc", "0", "0/1", "25.", "-25", "1e3",
                            "25\" -an \"", "25;x"}) {
    SCOPED_TRACE(typed);
    type("frame_rate_field", typed);
    run_frame_rate_step(video, page());
    EXPECT_EQ(status(video), "正在改帧速率");
    EXPECT_EQ(video.current, 1);
  }
  EXPECT_TRUE(take_converter_calls().empty());
  EXPECT_FALSE(fs::exists(dir / "x.mp4"));
  EXPECT_FALSE(fs::exists(run + "/bin/x.mp4"));
}

TEST_F(TrimRateMuteSteps, MutingLeavesThePictureWithoutSound) {
  for (const std::string& source : {landscape_clip(), silent_clip()}) {
    SCOPED_TRACE(source);
    EditVideoState video = start_video(source);
    check("mute_check");
    run_remove_audio_step(video, page());
    EXPECT_EQ(status(video), "视频已无声");
    ASSERT_EQ(video.current, 2);
    const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
    EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video"}));
    EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(320, 240));
    EXPECT_NEAR(probe.duration, 2.0, 0.2);
  }
}

TEST_F(TrimRateMuteSteps, WhenTheFirstFormFailsTheRetryFormWritesTheOutput) {
  using StepFunction = void (*)(EditVideoState&, const EditPage&);
  struct Case {
    const char* box;
    StepFunction run;
    const char* done;
    const char* first_form;  // what the first form holds and the retry does not
    const char* retry_form;
  };
  const std::string source = landscape_clip();
  const std::string portrait = portrait_clip();
  type("head_trim_seconds_field", "1");
  type("frame_rate_field", "10");
  for (const Case& c : {Case{"head_trim_check", run_trim_ends_step, "修减完成", "-vcodec h264", "-c:v h264"},
                        Case{"frame_rate_check", run_frame_rate_step, "帧速率已改好", "-vcodec h264", "-c:v h264"},
                        Case{"mute_check", run_remove_audio_step, "视频已无声", "-vcodec h264", "-vcodec copy"},
                        Case{"portrait_to_landscape_check", run_portrait_to_landscape_step, "已改成横屏",
                             "-vcodec h264", "-c:v h264"}}) {
    SCOPED_TRACE(c.box);
    EditVideoState video = start_video(c.run == run_portrait_to_landscape_step ? portrait : source);
    // B is current: the retry writes A. The first form leaves 5 bytes and reports success.
    fs::copy_file(video.work_file_a, video.work_file_b);
    fs::remove(video.work_file_a);
    video.current = 2;
    check(c.box);
    fail_converter_calls(c.first_form, 0, 5);
    take_converter_calls();  // the calls that made the video's state
    c.run(video, page());
    check(c.box, false);
    const auto calls = take_converter_calls();
    ASSERT_EQ(calls.size(), 2u);
    std::string retry_args;
    for (const std::string& argument : calls[1]) retry_args += argument + " ";
    EXPECT_NE(retry_args.find(c.retry_form), std::string::npos) << retry_args;
    EXPECT_EQ(calls[1].back(), video.work_file_a);
    EXPECT_EQ(video.current, 1);
    EXPECT_EQ(status(video), c.done);
    EXPECT_TRUE(test_env::decodes_without_errors(video.current_file()));
  }
}

TEST_F(TrimRateMuteSteps, WhenBothFormsFailThePreviousFileStaysAndNothingIsClaimed) {
  EditVideoState video = start_video(landscape_clip());
  const std::string before = test_env::read_file(video.current_file());
  fail_converter_calls("-y", 1, 5);  // every form fails, leaving a partial file
  check("frame_rate_check");
  run_frame_rate_step(video, page());
  EXPECT_EQ(status(video), "正在改帧速率");
  check("mute_check");
  run_remove_audio_step(video, page());
  EXPECT_EQ(status(video), "正在去声音");
  EXPECT_EQ(take_converter_calls().size(), 4u);
  EXPECT_EQ(video.current, 1);
  EXPECT_EQ(test_env::read_file(video.current_file()), before);
}
