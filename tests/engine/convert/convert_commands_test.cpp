#include "engine/convert/convert_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/converter/media_probes.h"
#include "platform/process.h"
#include "platform/shortpath.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::TempDir;
using test_env::write_file;

namespace {

struct PlanCase {
  const char* source;
  const char* format;
  bool beside;
  ConvertCommand shape;
  const char* output;
  std::vector<std::string> commands;
};

// The real path that a path in a command stands for: a whole-path alias, or a folder's
// alias followed by the file name.
std::string path_behind_command_path(const std::string& path) {
  const std::string whole = path_behind_alias(path);
  if (whole != path) return whole;
  const size_t slash = path.rfind('/');
  return path_behind_alias(path.substr(0, slash)) + path.substr(slash);
}

}  // namespace

TEST(ConvertCommands, ShapeOutputAndCommandLinesOfEachKindOfRow) {
  const std::string g = " -threads 2 -hwaccel auto";
  const std::vector<PlanCase> cases = {
      {"/v/a.mkv",
       "mp4",
       true,
       ConvertCommand::CopyFixAdts,
       "/v/a_new.mp4",
       {g + " -i \"/v/a.mkv\" -vcodec copy -y -bsf:a aac_adtstoasc \"/v/a_new.mp4\""}},
      {"/v/a.mp4",
       "mov",
       false,
       ConvertCommand::CopyFixAdts,
       "/out/a.mov",
       {g + " -i \"/v/a.mp4\" -vcodec copy -y -bsf:a aac_adtstoasc \"/out/a.mov\""}},
      // Re-encoded vorbis, mp3 and wmav2 audio cannot pass the AAC filter.
      {"/v/a.mp4",
       "mkv",
       false,
       ConvertCommand::CopyFixAdts,
       "/out/a.mkv",
       {g + " -i \"/v/a.mp4\" -vcodec copy -y \"/out/a.mkv\""}},
      {"/v/a.mp4",
       "flv",
       false,
       ConvertCommand::CopyFixAdts,
       "/out/a.flv",
       {g + " -i \"/v/a.mp4\" -vcodec copy -y \"/out/a.flv\""}},
      {"/v/a.mp4",
       "wmv",
       false,
       ConvertCommand::CopyFixAdts,
       "/out/a.wmv",
       {g + " -i \"/v/a.mp4\" -vcodec copy -y \"/out/a.wmv\""}},
      {"/v/a",
       "mp4",
       false,
       ConvertCommand::CopyFixAdts,
       "/out/a.mp4",
       {g + " -i \"/v/a\" -vcodec copy -y -bsf:a aac_adtstoasc \"/out/a.mp4\""}},
      {"/v/a.mp4",
       "ts",
       false,
       ConvertCommand::StreamCopy,
       "/out/a.ts",
       {g + " -i \"/v/a.mp4\" -vcodec copy -y \"/out/a.ts\""}},
      {"/v/a.TS",
       "mp4",
       true,
       ConvertCommand::StreamCopy,
       "/v/a_new.mp4",
       {g + " -i \"/v/a.TS\" -vcodec copy -y \"/v/a_new.mp4\""}},
      {"/v/a.mp4",
       "mp3",
       false,
       ConvertCommand::ForceFormat,
       "/out/a.mp3",
       {g + " -i \"/v/a.mp4\" -f mp3 \"/out/a.mp3\""}},
      // The converter knows mkv and wmv files by their muxer names.
      {"/v/a.wmv",
       "mkv",
       false,
       ConvertCommand::ForceFormat,
       "/out/a.mkv",
       {g + " -i \"/v/a.wmv\" -f matroska \"/out/a.mkv\""}},
      {"/v/a.WMV",
       "wmv",
       true,
       ConvertCommand::ForceFormat,
       "/v/a_new.wmv",
       {g + " -i \"/v/a.WMV\" -f asf \"/v/a_new.wmv\""}},
      {"/v/a.mp3",
       "mov",
       false,
       ConvertCommand::ForceFormat,
       "/out/a.mov",
       {g + " -i \"/v/a.mp3\" -f mov \"/out/a.mov\""}},
      {"/v/a.mp3",
       "ts",
       false,
       ConvertCommand::StreamCopy,
       "/out/a.ts",
       {g + " -i \"/v/a.mp3\" -vcodec copy -y \"/out/a.ts\""}},
      // A stream has no folder of its own: beside the source means the output folder.
      {"https://h.cn/live/index.m3u8",
       "mp3",
       true,
       ConvertCommand::M3u8ToMp3,
       "/out/index.mp3",
       {g + " -i \"https://h.cn/live/index.m3u8\" -acodec copy -absf aac_adtstoasc -y \"/out/indextmp.mp4\"",
        g + " -i \"/out/indextmp.mp4\" -f mp3 -y \"/out/index.mp3\""}},
      {"https://h.cn/live/index.m3u8?k=1&t=%20",
       "mp4",
       true,
       ConvertCommand::M3u8Copy,
       "/out/index.mp4",
       {g + " -i \"https://h.cn/live/index.m3u8?k=1&t=%20\" -acodec copy -absf aac_adtstoasc -y \"/out/index.mp4\""}},
      // A transport stream keeps its ADTS audio.
      {"https://h.cn/live/index.m3u8",
       "ts",
       false,
       ConvertCommand::M3u8Copy,
       "/out/index.ts",
       {g + " -i \"https://h.cn/live/index.m3u8\" -acodec copy -y \"/out/index.ts\""}},
      {"/v/list.M3U8",
       "mkv",
       false,
       ConvertCommand::M3u8Copy,
       "/out/list.mkv",
       {g + " -i \"/v/list.M3U8\" -acodec copy -absf aac_adtstoasc -y \"/out/list.mkv\""}},
  };
  for (const PlanCase& c : cases) {
    SCOPED_TRACE(std::string(c.source) + " -> " + c.format);
    const ConvertRowPlan plan = plan_convert_row(c.source, ConvertRowOptions{c.format, c.beside, "/out", g});
    EXPECT_EQ(convert_command_name(plan.shape), std::string(convert_command_name(c.shape)));
    EXPECT_EQ(plan.output_path, c.output);
    EXPECT_EQ(plan.commands, c.commands);
  }

  // Without global options every command begins with " -i ".
  const ConvertRowPlan plain = plan_convert_row("/v/a.mp4", ConvertRowOptions{"mkv", false, "/out", ""});
  ASSERT_EQ(plain.commands.size(), 1u);
  EXPECT_EQ(plain.commands[0], " -i \"/v/a.mp4\" -vcodec copy -y \"/out/a.mkv\"");
}

TEST(ConvertCommands, PlanParts) {
  const ConvertRowPlan stream =
      plan_convert_row("https://h.cn/a/clip.m3u8?x=1", ConvertRowOptions{"mp3", false, "/out", ""});
  EXPECT_EQ(stream.stem, "clip");
  EXPECT_EQ(stream.extension, ".m3u8");
  EXPECT_TRUE(stream.is_stream);
  EXPECT_EQ(stream.output_base, "/out/clip");
  EXPECT_EQ(stream.temporary_path, "/out/cliptmp.mp4");

  const ConvertRowPlan local = plan_convert_row("/v/my.clip.mp4", ConvertRowOptions{"mkv", true, "", ""});
  EXPECT_EQ(local.stem, "my.clip");
  EXPECT_EQ(local.extension, ".mp4");
  EXPECT_FALSE(local.is_stream);
  EXPECT_EQ(local.output_base, "/v/my.clip_new");
  EXPECT_EQ(local.temporary_path, "");

  // ".m3u8" anywhere makes a stream, with case; other addresses are never local files.
  EXPECT_EQ(convert_source_extension("/v/a.m3u8.bak"), ".m3u8");
  EXPECT_EQ(convert_source_extension("/v/a.M3U8"), ".M3U8");
  EXPECT_TRUE(plan_convert_row("https://h.cn/a.mp4", ConvertRowOptions{"mkv", true, "", ""}).is_stream);

  // No output folder: nothing to run (a local file saved beside its source needs none).
  EXPECT_TRUE(plan_convert_row("/v/a.mp4", ConvertRowOptions{"mkv", false, "", ""}).commands.empty());
  EXPECT_TRUE(plan_convert_row("https://h.cn/a.m3u8", ConvertRowOptions{"mp4", true, "", ""}).commands.empty());
  EXPECT_EQ(plan_convert_row("/v/a.mp4", ConvertRowOptions{"mkv", true, "", ""}).commands.size(), 1u);
}

TEST(ConvertCommands, CourseSiteAddressesGoToTheDeliveryHostWithoutTheirQuery) {
  const std::string site = course_site_domain;
  const std::string host = course_stream_host_label;
  EXPECT_EQ(rewrite_course_stream_address("https://www." + site + "/v/a.m3u8?auth=1&t=2"),
            "https://" + host + "." + site + "/v/a.m3u8");
  // Every occurrence of the first label, whatever its case; the rest as it was.
  EXPECT_EQ(rewrite_course_stream_address("https://WWW.Example-Course.com/x//www.y/a.m3u8"),
            "https://" + host + ".Example-Course.com/x//" + host + ".y/a.m3u8");
  // Other sites and other files of the site stay as they are.
  for (const std::string& other :
       {std::string("https://www.other.com/a.m3u8?x=1"), "https://www." + site + "/a.mp4?x=1",
        "https://www." + site + ".cn/a.m3u8?x", std::string("/home/u/example-course.com/a.mp4")}) {
    EXPECT_EQ(rewrite_course_stream_address(other), other);
  }
  // The plan works on the rewritten address.
  const ConvertRowPlan plan =
      plan_convert_row("https://www." + site + "/v/a.m3u8?auth=1", ConvertRowOptions{"mp4", false, "/out", ""});
  EXPECT_EQ(plan.source, "https://" + host + "." + site + "/v/a.m3u8");
  EXPECT_EQ(plan.output_path, "/out/a.mp4");
}

TEST(ConvertCommands, MuxerNamesAndQuoteSafety) {
  EXPECT_EQ(converter_muxer_name("mkv"), "matroska");
  EXPECT_EQ(converter_muxer_name("WMV"), "asf");
  EXPECT_EQ(converter_muxer_name("ts"), "mpegts");
  for (const char* same : {"mp4", "flv", "mov", "mp3"}) EXPECT_EQ(converter_muxer_name(same), same);

  EXPECT_TRUE(fits_between_quotes("/a b/中文 %1 'x'.mp4"));
  EXPECT_TRUE(fits_between_quotes("a\\b"));
  EXPECT_FALSE(fits_between_quotes("a\"b"));
  EXPECT_FALSE(fits_between_quotes("a\\"));
  EXPECT_FALSE(fits_between_quotes("a\nb"));
  EXPECT_FALSE(fits_between_quotes("a\tb"));
}

TEST(ConvertCommands, PathsThatNeedAnAliasGetOneForTheCompletePath) {
  TempDir dir;
  const std::string source_folder = dir / "源 \"视频\"";
  const std::string output_folder = dir / "输出 夹";
  fs::create_directories(source_folder);
  fs::create_directories(output_folder);
  const std::string source = source_folder + "/我的 \"片段\".mp4";
  write_file(source, "x");

  for (const bool beside : {false, true}) {
    const ConvertRowPlan plan = plan_convert_row(source, ConvertRowOptions{"mkv", beside, output_folder, ""});
    EXPECT_EQ(plan.output_path,
              beside ? source_folder + "/我的 \"片段\"_new.mkv" : output_folder + "/我的 \"片段\".mkv");
    ASSERT_EQ(plan.commands.size(), 1u);
    const std::vector<std::string> args = split_command_line(plan.commands[0]);
    ASSERT_EQ(args.size(), 6u) << plan.commands[0];
    // The output's alias stands for the complete output path (extension included) and
    // lies directly in the alias folder: no extension was appended to a folder's alias.
    EXPECT_EQ(path_behind_alias(args[1]), source);
    EXPECT_EQ(path_behind_alias(args[5]), plan.output_path);
    EXPECT_EQ(fs::path(args[5]).parent_path().string(), path_alias_folder());
    EXPECT_EQ(fs::path(args[5]).extension(), ".mkv");
  }

  // A stream to mp3: the temporary file and the output are written at their real places
  // (here through the output folder's alias).
  const ConvertRowPlan stream =
      plan_convert_row("https://h.cn/a b/x.m3u8", ConvertRowOptions{"mp3", false, output_folder, ""});
  ASSERT_EQ(stream.commands.size(), 2u);
  EXPECT_EQ(path_behind_command_path(split_command_line(stream.commands[0]).back()), output_folder + "/xtmp.mp4");
  EXPECT_EQ(path_behind_command_path(split_command_line(stream.commands[1])[1]), output_folder + "/xtmp.mp4");
  EXPECT_EQ(path_behind_command_path(split_command_line(stream.commands[1]).back()), output_folder + "/x.mp3");
  EXPECT_EQ(split_command_line(stream.commands[0])[1], "https://h.cn/a b/x.m3u8");

  // Nothing can stand for a quoted name in a folder that does not exist, nor for an
  // address with a quote: no commands, so nothing reaches the converter split apart.
  EXPECT_TRUE(
      plan_convert_row(dir / "gone/a\"b.mp4", ConvertRowOptions{"mkv", false, output_folder, ""}).commands.empty());
  EXPECT_TRUE(plan_convert_row(source, ConvertRowOptions{"mkv", false, dir / "gone/x\"y", ""}).commands.empty());
  EXPECT_TRUE(
      plan_convert_row("https://h.cn/a\"b.m3u8", ConvertRowOptions{"mp4", false, output_folder, ""}).commands.empty());
}

namespace {

ConsoleStream stream_of(const char* kind, const char* codec, int rotation = 0) {
  ConsoleStream stream;
  stream.kind = kind;
  stream.codec = codec;
  stream.rotation = rotation;
  return stream;
}

}  // namespace

// What the source's streams change in the commands: every sound track mapped where the
// container holds several, a rotated picture turned where the container cannot store
// the rotation; other rows keep the shapes' command lines.
TEST(ConvertCommands, TheSourcesStreamsShapeTheCommands) {
  const std::vector<ConsoleStream> two_tracks = {stream_of("Video", "h264"), stream_of("Audio", "aac"),
                                                 stream_of("Audio", "ac3"), stream_of("Subtitle", "subrip"),
                                                 stream_of("Subtitle", "hdmv_pgs_subtitle"),
                                                 stream_of("Subtitle", "mov_text")};
  const std::vector<ConsoleStream> rotated = {stream_of("Video", "h264", -90), stream_of("Audio", "aac")};
  const std::vector<ConsoleStream> plain = {stream_of("Video", "h264"), stream_of("Audio", "aac")};
  const std::string maps = " -map 0:V? -map 0:a";
  const struct Case {
    const char* source;
    const char* format;
    const std::vector<ConsoleStream>* streams;
    std::string command;
  } cases[] = {
      // mkv takes subrip and PGS as they are, mov_text only as its own text (ass).
      {"/v/a.mkv", "mkv", &two_tracks,
       " -i \"/v/a.mkv\"" + maps + " -map 0:s:0 -c:s:0 copy -map 0:s:1 -c:s:1 copy -map 0:s:2 -c:s:2 ass -vcodec copy -y "
       "\"/out/a.mkv\""},
      // mp4 and mov take mov_text as it is and make their own of other text.
      {"/v/a.mkv", "mp4", &two_tracks,
       " -i \"/v/a.mkv\"" + maps + " -map 0:s:0 -c:s:0 mov_text -map 0:s:2 -c:s:1 copy -vcodec copy -y -bsf:a aac_adtstoasc "
       "\"/out/a.mp4\""},
      {"/v/a.mkv", "mov", &two_tracks,
       " -i \"/v/a.mkv\"" + maps + " -map 0:s:0 -c:s:0 mov_text -map 0:s:2 -c:s:1 copy -vcodec copy -y -bsf:a aac_adtstoasc "
       "\"/out/a.mov\""},
      {"/v/a.mkv", "ts", &two_tracks, " -i \"/v/a.mkv\"" + maps + " -vcodec copy -y \"/out/a.ts\""},
      {"/v/a.wmv", "mkv", &two_tracks,
       " -i \"/v/a.wmv\"" + maps + " -map 0:s:0 -c:s:0 copy -map 0:s:1 -c:s:1 copy -map 0:s:2 -c:s:2 ass -f matroska "
       "\"/out/a.mkv\""},
      // One track each in flv, wmv and mp3: the converter's own choice.
      {"/v/a.mkv", "flv", &two_tracks, " -i \"/v/a.mkv\" -vcodec copy -y \"/out/a.flv\""},
      {"/v/a.mkv", "wmv", &two_tracks, " -i \"/v/a.mkv\" -vcodec copy -y \"/out/a.wmv\""},
      {"/v/a.mkv", "mp3", &two_tracks, " -i \"/v/a.mkv\" -f mp3 \"/out/a.mp3\""},
      // A rotated picture is turned where the container cannot store its rotation.
      {"/v/a.mp4", "mkv", &rotated, " -i \"/v/a.mp4\" -vcodec libx264 -y \"/out/a.mkv\""},
      {"/v/a.mp4", "flv", &rotated, " -i \"/v/a.mp4\" -vcodec libx264 -y \"/out/a.flv\""},
      {"/v/a.mp4", "wmv", &rotated, " -i \"/v/a.mp4\" -vcodec libx264 -y \"/out/a.wmv\""},
      {"/v/a.mp4", "ts", &rotated, " -i \"/v/a.mp4\" -vcodec libx264 -y \"/out/a.ts\""},
      {"/v/a.mp4", "mp4", &rotated, " -i \"/v/a.mp4\" -vcodec copy -y -bsf:a aac_adtstoasc \"/out/a.mp4\""},
      {"/v/a.mp4", "mov", &rotated, " -i \"/v/a.mp4\" -vcodec copy -y -bsf:a aac_adtstoasc \"/out/a.mov\""},
      {"/v/a.mp4", "mkv", &plain, " -i \"/v/a.mp4\" -vcodec copy -y \"/out/a.mkv\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.source) + " to " + c.format);
    const ConvertRowPlan plan = plan_convert_row(c.source, ConvertRowOptions{c.format, false, "/out", ""}, *c.streams);
    ASSERT_EQ(plan.commands.size(), 1u);
    EXPECT_EQ(plan.commands[0], c.command);
  }
  // A stream address keeps its shape's command.
  const ConvertRowPlan stream =
      plan_convert_row("https://h.cn/a.m3u8", ConvertRowOptions{"mkv", false, "/out", ""}, two_tracks);
  EXPECT_EQ(stream.commands[0], " -i \"https://h.cn/a.m3u8\" -acodec copy -absf aac_adtstoasc -y \"/out/a.mkv\"");
}

TEST(ConvertCommands, ANumberedOutputNameCarriesTheWholePlan) {
  const ConvertRowPlan local =
      plan_convert_row("/v/movie.avi", ConvertRowOptions{"mkv", true, "", ""}, {}, "/v/movie_new(2).mkv");
  EXPECT_EQ(local.output_path, "/v/movie_new(2).mkv");
  EXPECT_EQ(local.output_base, "/v/movie_new(2)");
  EXPECT_EQ(local.commands[0], " -i \"/v/movie.avi\" -vcodec copy -y \"/v/movie_new(2).mkv\"");

  const ConvertRowPlan stream =
      plan_convert_row("https://h.cn/index.m3u8", ConvertRowOptions{"mp3", false, "/out", ""}, {}, "/out/index(3).mp3");
  EXPECT_EQ(stream.temporary_path, "/out/index(3)tmp.mp4");
  EXPECT_EQ(stream.commands[1], " -i \"/out/index(3)tmp.mp4\" -f mp3 -y \"/out/index(3).mp3\"");
}
