// The merge job's command texts, concat lists, output names and transition offset,
// and the converter's behaviour behind the changes made to the command shapes.

#include "engine/merge_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/merge_pair.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::TempDir;

TEST(MergeCommands, PlainPathsStandBetweenQuotesAsTheyAre) {
  const std::string g = " -threads 2";
  EXPECT_EQ(merge_reencode_command(g, "/v/a.mp4", "/r/v_temp1/1.mkv"),
            " -threads 2 -i \"/v/a.mp4\" -vcodec h264 -y \"/r/v_temp1/1.mkv\"");
  EXPECT_EQ(merge_scale_command("", "/r/v_temp2/1.mkv", "/r/v_temp2/1a.mkv", 160, 120),
            " -i \"/r/v_temp2/1.mkv\" -vf scale=160:120,setsar=1:1 -y \"/r/v_temp2/1a.mkv\"");
  EXPECT_EQ(merge_concat_command("", "/r/v_temp1/filelist.txt", "/r/v_temp1/output.mkv"),
            " -f concat -safe 0 -i \"/r/v_temp1/filelist.txt\" -vcodec copy \"/r/v_temp1/output.mkv\"");
  EXPECT_EQ(merge_audio_command("", "/t/a.mkv", "/t/brel.mp3"), " -i \"/t/a.mkv\" -f mp3 -y \"/t/brel.mp3\"");
  EXPECT_EQ(merge_transition_command("", "/t/1.mkv", "/t/2.mkv", "xfade=transition=fade:duration=1:offset=3",
                                     "/t/k5pw.mkv"),
            " -i \"/t/1.mkv\" -i \"/t/2.mkv\" -filter_complex xfade=transition=fade:duration=1:offset=3 -y "
            "\"/t/k5pw.mkv\"");
  EXPECT_EQ(merge_silent_video_command("", "/t/k5pw.mkv", "/t/velmon.mkv"),
            " -i \"/t/k5pw.mkv\" -vcodec copy -an \"/t/velmon.mkv\"");
  EXPECT_EQ(merge_mux_command("", "/t/velmon.mkv", "/t/brel.mp3", "/t/a.mkv"),
            " -i \"/t/velmon.mkv\" -i \"/t/brel.mp3\" -y \"/t/a.mkv\"");
  EXPECT_EQ(merge_final_copy_command("", "/t/a.mkv", "/o/1_1_a.mp4"), " -i \"/t/a.mkv\" -vcodec copy -y \"/o/1_1_a.mp4\"");
  EXPECT_EQ(merge_cover_frame_command("/t/a.mp4", "/t/a.jpg"),
            " -ss 1 -i \"/t/a.mp4\" -frames:v 1 -f image2 -y \"/t/a.jpg\"");
  EXPECT_EQ(merge_attach_cover_command("/t/a.mp4", "/t/a.jpg", "/t/a1.mp4"),
            " -i \"/t/a.mp4\" -i \"/t/a.jpg\" -map 1 -map 0 -c copy -disposition:0 attached_pic -y \"/t/a1.mp4\"");
}

TEST(MergeCommands, PathsThatNeedItAreWrittenAsAliases) {
  TempDir dir;
  const std::string folder = dir / "my \"run\" 100%";
  fs::create_directories(folder);
  const std::string source = folder + "/it's a clip.mp4";
  test_env::write_file(source, "x");
  const std::string part = folder + "/1.mkv";  // still to be written
  const std::string command = merge_reencode_command("", source, part);
  // Two quoted arguments, nothing of the names outside them, and each names its file.
  ASSERT_EQ(std::count(command.begin(), command.end(), '"'), 4) << command;
  EXPECT_EQ(command.find_first_of("%'"), std::string::npos) << command;
  const std::size_t a = command.find('"'), b = command.find('"', a + 1);
  const std::size_t c = command.find('"', b + 1), d = command.find('"', c + 1);
  const std::string written_source = command.substr(a + 1, b - a - 1);
  const std::string written_part = command.substr(c + 1, d - c - 1);
  EXPECT_TRUE(fs::equivalent(written_source, source));
  EXPECT_TRUE(fs::equivalent(fs::path(written_part).parent_path(), folder));
  EXPECT_EQ(fs::path(written_part).filename(), "1.mkv");

  // A concat line carries the alias too, so no quote of the name reaches the list.
  const std::string line = merge_concat_list_line(source);
  ASSERT_EQ(line.rfind("file '", 0), 0u) << line;
  EXPECT_TRUE(fs::equivalent(line.substr(6, line.size() - 7), source));
  // No alias for a path whose folder is missing: such a path is not written at all.
  EXPECT_EQ(merge_reencode_command("", source, dir / "missing/x \"y\"/1.mkv"), "");
  EXPECT_EQ(merge_concat_list_line(dir / "missing/it's.mkv"), "");
}

TEST(MergeCommands, ConcatListsEndTheirLinesAsTheirUseWants) {
  EXPECT_EQ(merge_concat_list_text({"/t/1.mkv", "/t/2a.mkv"}, true), "file '/t/1.mkv'\r\nfile '/t/2a.mkv'\r\n");
  EXPECT_EQ(merge_concat_list_text({"/t/1.mkv", "/t/2.mkv"}, false), "file '/t/1.mkv'\r\nfile '/t/2.mkv'");
  EXPECT_EQ(merge_concat_list_text({"/t/1.mkv", "/missing/it's.mkv"}, false), "");
}

TEST(MergeCommands, OutputNamesAreIndexesAndTitle) {
  EXPECT_EQ(merge_output_path("/out", 2, 3, "clip", "mkv"), "/out/2_3_clip.mkv");
  EXPECT_EQ(merge_output_path("/out", 1, 1, "", "mp4"), "/out/1_1_.mp4");
  EXPECT_EQ(merge_output_path("/my out", 10, 2, "a b", "ts"), "/my out/10_2_a b.ts");
}

TEST(MergeCommands, TheTransitionLiesInsideTheFirstPart) {
  EXPECT_EQ(merge_transition_offset(12), 11);
  EXPECT_EQ(merge_transition_offset(2), 1);
  EXPECT_EQ(merge_transition_offset(1), 0);
  EXPECT_EQ(merge_transition_offset(0), 0);
  EXPECT_EQ(merge_transition_filter("slideright", 11, ""), "xfade=transition=slideright:duration=1:offset=11");
  EXPECT_EQ(merge_transition_filter("fade", 1, "29.97"),
            "[0:v]fps=29.97[a];[1:v]fps=29.97[b];[a][b]xfade=transition=fade:duration=1:offset=1");
  EXPECT_EQ(merge_transition_filter("fade", 1, "1k"), "xfade=transition=fade:duration=1:offset=1");
}

TEST(MergeCommands, FrameRateComesFromTheFirstVideoStreamLine) {
  EXPECT_EQ(parse_frame_rate("  Stream #0:0: Video: h264 (High), yuv420p(progressive), 160x120 [SAR 1:1 DAR 4:3], "
                             "25 fps, 25 tbr, 1k tbn\r\n  Stream #0:0: Video: h264, yuv420p, 160x120, 30 fps\r\n"),
            "25");
  EXPECT_EQ(parse_frame_rate("Video: h264, yuv420p, 1280x720, 29.97 fps, 29.97 tbr\r\n"), "29.97");
  EXPECT_EQ(parse_frame_rate("Video: h264, yuv420p, 1280x720, 1k fps\r\n"), "");
  EXPECT_EQ(parse_frame_rate("Video: h264, yuv420p, 1280x720\r\n  Audio: aac, 25 fps\r\n"), "");
  EXPECT_EQ(parse_frame_rate("no stream"), "");
}

TEST(MergeCommands, TheJoinedFileNeverTakesTheNameOfAnotherWorkFile) {
  TempDir dir;
  const std::string t2 = dir.path() + "/";
  test_env::write_file(t2 + "1.mkv", "part");
  test_env::write_file(t2 + "output.mkv", "part");
  EXPECT_EQ(merge_pair_work_name("clip", t2), "clip");
  EXPECT_EQ(merge_pair_work_name("1", t2), "1_");
  EXPECT_EQ(merge_pair_work_name("output", t2), "output_");
  EXPECT_EQ(merge_pair_work_name("k5pw", t2), "k5pw_");
  EXPECT_EQ(merge_pair_work_name("velmon", t2), "velmon_");
  EXPECT_EQ(merge_pair_work_name("", t2), "_");
}
