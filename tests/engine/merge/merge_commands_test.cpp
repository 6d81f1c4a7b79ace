// The merge job's command texts, concat lists, output names and transition offset,
// and the converter's behaviour behind the changes made to the command shapes.

#include "engine/merge/merge_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/merge/merge_pair.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::TempDir;

TEST(MergeCommands, PlainPathsStandBetweenQuotesAsTheyAre) {
  const std::string g = " -threads 2";
  EXPECT_EQ(merge_reencode_command(g, "/v/a.mp4", "/r/v_temp1/1.mkv"),
            " -threads 2 -i \"/v/a.mp4\" -vcodec h264 -pix_fmt yuv420p -vf pad=ceil(iw/2)*2:ceil(ih/2)*2 -y "
            "\"/r/v_temp1/1.mkv\"");
  EXPECT_EQ(merge_scale_command("", "/r/v_temp2/1.mkv", "/r/v_temp2/1a.mkv", 160, 120),
            " -i \"/r/v_temp2/1.mkv\" -vf scale=160:120:force_original_aspect_ratio=decrease:force_divisible_by=2,"
            "pad=160:120:(ow-iw)/2:(oh-ih)/2,setsar=1:1 -y \"/r/v_temp2/1a.mkv\"");
  EXPECT_EQ(merge_concat_command("", "/r/v_temp1/filelist.txt", "/r/v_temp1/output.mkv"),
            " -f concat -safe 0 -i \"/r/v_temp1/filelist.txt\" -vcodec copy \"/r/v_temp1/output.mkv\"");
  EXPECT_EQ(merge_audio_command("", "/t/a.mkv", "/t/brel.mp3"), " -i \"/t/a.mkv\" -f mp3 -y \"/t/brel.mp3\"");
  EXPECT_EQ(merge_transition_command("", "/t/1.mkv", "/t/2.mkv", "xfade=transition=fade:duration=1:offset=3",
                                     "/t/k5pw.mkv"),
            " -i \"/t/1.mkv\" -i \"/t/2.mkv\" -filter_complex xfade=transition=fade:duration=1:offset=3 -pix_fmt yuv420p -y "
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

TEST(MergeCommands, TheTransitionStartsAtTheFirstPartsWholeSecondsWhenAFrameIsThere) {
  const double frame = 1.0 / 25;
  const struct {
    double seconds;
    double frame_seconds;
    int offset;
  } cases[] = {
      {12.8, frame, 12}, {2.8, frame, 2},  {2.04, frame, 2}, {2.003, frame, 1}, {2.0, frame, 1},
      {2.05, 0.1, 1},    {0.5, frame, 0},  {1.0, frame, 0},  {0, frame, 0},     {-1, frame, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(merge_transition_offset(c.seconds, c.frame_seconds), c.offset) << c.seconds << " " << c.frame_seconds;
  }
}

TEST(MergeCommands, ThePartsLengthSoundAndRateComeFromTheConsole) {
  const std::string probe =
      "Input #0, matroska,webm, from '1.mkv':\r\n  Duration: 00:00:02.82, start: 0.000000, bitrate: 75 kb/s\r\n"
      "  Stream #0:0: Video: h264 (High), yuv420p(progressive), 160x120, 25 fps, 25 tbr, 1k tbn (default)\r\n"
      "    Metadata:\r\n      DURATION        : 00:00:02.803000000\r\n"
      "  Stream #0:1: Audio: vorbis, 44100 Hz, stereo, fltp (default)\r\n"
      "    Metadata:\r\n      DURATION        : 00:00:02.823000000\r\n";
  EXPECT_DOUBLE_EQ(parse_video_seconds(probe), 2.803);
  // Without a tag of the video stream: the container's duration.
  EXPECT_DOUBLE_EQ(parse_video_seconds("  Duration: 00:01:02.50, start: 0\r\n  Stream #0:0: Video: h264, 25 fps\r\n"
                                       "  Stream #0:1: Audio: aac\r\n    DURATION : 00:00:09.000\r\n"),
                   62.5);
  EXPECT_LT(parse_video_seconds("no such file"), 0);

  const std::string reencode = "Input #0, mov,mp4\r\n  Stream #0:1(und): Audio: aac (LC), 48000 Hz, mono, fltp\r\n"
                               "Output #0, matroska, to '2.mkv':\r\n"
                               "  Stream #0:0: Video: h264 (libx264), yuv420p, 160x120, q=2-31, 30 fps\r\n"
                               "  Stream #0:1(und): Audio: vorbis (libvorbis), 44100 Hz, 5.1(side), fltp\r\n";
  EXPECT_EQ(parse_output_sound(reencode), (MergeSound{"44100", "5.1(side)"}));
  EXPECT_TRUE(parse_output_sound("Output #0, matroska\r\n  Stream #0:0: Video: h264, 25 fps\r\n").empty());
  EXPECT_TRUE(parse_output_sound("  Stream #0:1: Audio: aac, 48000 Hz, mono\r\n").empty());  // input only

  // The frame size of the written stream: a phone video's stored size stands in its
  // input line, the size it shows (turned by its rotation) in the output's.
  const std::string turned =
      "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'a.mp4':\r\n"
      "  Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661), yuv420p(progressive), 854x480 [SAR 1:1 DAR "
      "427:240], 232 kb/s, 25 fps, 25 tbr, 12800 tbn (default)\r\n"
      "    Side data:\r\n      displaymatrix: rotation of -90.00 degrees\r\n"
      "Output #0, matroska, to '1.mkv':\r\n"
      "  Stream #0:0(und): Video: h264 (H264 / 0x34363248), yuv420p(tv, progressive), 480x854 [SAR 1:1 DAR 240:427], "
      "q=2-31, 25 fps, 1k tbn (default)\r\n";
  EXPECT_EQ(parse_output_frame_size(turned), (FrameSize{480, 854}));
  EXPECT_EQ(parse_output_frame_size(reencode), (FrameSize{160, 120}));
  EXPECT_EQ(parse_output_frame_size(turned.substr(0, turned.find("Output #0"))), (FrameSize{}));

  // The part brought to the first part: only what differs is in the command.
  const std::string part = "/t/2.mkv", matched = "/t/2a.mkv";
  EXPECT_EQ(merge_match_command("", part, matched, {.scale = true, .width = 160, .height = 120}),
            merge_scale_command("", part, matched, 160, 120));
  EXPECT_EQ(merge_match_command(" -threads 2", part, matched,
                                {.sound = {"44100", "stereo"}, .frame_rate = "29.97"}),
            " -threads 2 -i \"/t/2.mkv\" -vf fps=29.97 -af aformat=sample_rates=44100:channel_layouts=stereo -y "
            "\"/t/2a.mkv\"");
  EXPECT_EQ(merge_match_command("", part, matched, {.scale = true, .width = 320, .height = 240, .frame_rate = "25"}),
            " -i \"/t/2.mkv\" -vf scale=320:240:force_original_aspect_ratio=decrease:force_divisible_by=2,"
            "pad=320:240:(ow-iw)/2:(oh-ih)/2,setsar=1:1,fps=25 -y \"/t/2a.mkv\"");
  EXPECT_EQ(merge_match_command("", part, matched, {.sound = {"48000", "3 channels"}}),
            " -i \"/t/2.mkv\" -af aformat=sample_rates=48000:channel_layouts=3c -y \"/t/2a.mkv\"");
  // Text that is no plain rate or layout never reaches the command.
  EXPECT_EQ(merge_match_command("", part, matched, {.sound = {"48000", "x:y,z"}, .frame_rate = "25 -y"}),
            " -i \"/t/2.mkv\" -y \"/t/2a.mkv\"");
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
