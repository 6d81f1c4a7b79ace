// What the converter does with the merge job's transition and cover commands: the
// forms the job writes succeed, and the forms it does not write fail or give a wrong
// result on ordinary inputs.

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/common/globals.h"
#include "engine/merge/merge_commands.h"
#include "engine/merge/merge_parts.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::TempDir;

namespace {

class MergeConverter : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string run = test_env::make_run_folder(dir.path());
    ffmpeg_exe_path.set(run + "/bin/ffmpeg");
    ffmpeg_global_options.set("");
  }

  // A part as the job re-encodes it: H.264 in Matroska, whole seconds long.
  std::string make_part(const std::string& name, int rate, int seconds) {
    const std::string path = dir / name;
    EXPECT_TRUE(test_env::make_clip({"-f", "lavfi", "-i",
                                     "testsrc=size=160x120:rate=" + std::to_string(rate) +
                                         ":duration=" + std::to_string(seconds),
                                     "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", path}));
    return path;
  }

  // Frames of the first video stream.
  static int frame_count(const std::string& path) {
    const auto r = test_env::run_program({QF_SYSTEM_FFPROBE, "-v", "error", "-select_streams", "v:0", "-count_frames",
                                          "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0", path});
    return r.exit_code == 0 ? std::atoi(r.output.c_str()) : -1;
  }

  TempDir dir;
};

}  // namespace

TEST_F(MergeConverter, ATransitionAtTheFirstPartsEndDropsTheSecondPart) {
  const std::string first = make_part("1.mkv", 25, 2);
  const std::string second = make_part("2.mkv", 25, 2);
  // The offset at the first part's whole length: the converter succeeds, yet writes
  // the first part alone.
  const std::string at_end = dir / "at_end.mkv";
  EXPECT_EQ(run_merge_command(merge_transition_command(
                "", first, second, "xfade=transition=fade:duration=1:offset=2", at_end)),
            0);
  EXPECT_LE(frame_count(at_end), 52);
  // The job's offset, one second earlier: both parts, less the second of the transition.
  const std::string inside = dir / "inside.mkv";
  EXPECT_EQ(run_merge_command(merge_transition_command(
                "", first, second, merge_transition_filter("fade", merge_transition_offset(2), ""), inside)),
            0);
  EXPECT_EQ(frame_count(inside), 75);
}

TEST_F(MergeConverter, PartsOfDifferentFrameRatesAreBroughtToTheFirstPartsRate) {
  const std::string first = make_part("1.mkv", 25, 2);
  const std::string second = make_part("2.mkv", 30, 2);
  const std::string refused = dir / "refused.mkv";
  EXPECT_NE(run_merge_command(merge_transition_command("", first, second, merge_transition_filter("fade", 1, ""),
                                                       refused)),
            0);
  const std::string joined = dir / "joined.mkv";
  EXPECT_EQ(run_merge_command(merge_transition_command("", first, second, merge_transition_filter("fade", 1, "25"),
                                                       joined)),
            0);
  EXPECT_EQ(frame_count(joined), 75);
}

TEST_F(MergeConverter, TheCoverFrameIsOneFrame) {
  const std::string video = make_part("a.mkv", 25, 2);
  // Without a frame count the picture muxer refuses the second frame.
  const std::string refused = dir / "refused.jpg";
  EXPECT_NE(run_merge_command(" -ss 1 -i \"" + video + "\" -f image2 -y \"" + refused + "\""), 0);
  const std::string picture = dir / "a.jpg";
  EXPECT_EQ(run_merge_command(merge_cover_frame_command(video, picture)), 0);
  EXPECT_TRUE(file_has_content(picture));
}

TEST_F(MergeConverter, AnOddSizedSourceIsReencodedWithOneBlackColumnAndRow) {
  // A screencast of an odd size, as webm carries it.
  const std::string source = dir / "odd.webm";
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "testsrc=size=136x134:rate=25:duration=1", "-vf", "scale=137:135",
                                   "-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", source}));
  // 4:2:0 in whole chroma samples only: the encoder refuses 137x135.
  const std::string refused = dir / "refused.mkv";
  EXPECT_NE(run_merge_command(" -i \"" + source + "\" -vcodec h264 -pix_fmt yuv420p -y \"" + refused + "\""), 0);
  const std::string part = dir / "1.mkv";
  ASSERT_EQ(run_merge_command(merge_reencode_command("", source, part), true), 0);
  EXPECT_EQ(parse_output_frame_size(ffmpeg_output.get()), (FrameSize{138, 136}));
  EXPECT_EQ(frame_count(part), 25);
}
