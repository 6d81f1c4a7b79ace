// The convert job's command lines run by the real converter on tiny generated clips.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <future>
#include <memory>
#include <set>

#include "engine/common/globals.h"
#include "engine/convert/convert_commands.h"
#include "engine/convert/convert_row.h"
#include "platform/files.h"
#include "platform/shortpath.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

namespace {

constexpr double clip_seconds = 1.5;

std::string video_source_args() { return "testsrc=size=160x120:rate=25:duration=1.5"; }
std::string audio_source_args() { return "sine=frequency=440:sample_rate=44100:duration=1.5"; }

// The clips every test reads, made once: an H.264/AAC mp4, the same streams in an mkv
// and a ts, a wmv, an mp3 and an HLS stream cut from the mp4.
struct Clips {
  TempDir dir;
  std::string run;
  std::string mp4, mkv, ts, wmv, mp3, hls;
};
Clips* clips = nullptr;

struct Converted {
  ConvertRowPlan plan;
  int exit_status = -1;
  std::string console_text;
  bool succeeded = false;
};

Converted convert(const std::string& source, const std::string& format, const std::string& output_folder,
                  bool beside = false) {
  Converted result;
  result.plan = plan_convert_row(source, ConvertRowOptions{format, beside, output_folder, ""});
  const ConvertRowRun run = run_convert_row(result.plan, {source}, nullptr);
  result.exit_status = run.exit_status;
  result.console_text = run.console_text;
  result.succeeded = convert_row_succeeded(result.plan, run);
  return result;
}

// Several rows at once, each on its own thread (the runner works on any thread).
std::vector<Converted> convert_all(const std::vector<std::pair<std::string, std::string>>& rows,
                                   const std::string& output_folder) {
  std::vector<std::future<Converted>> runs;
  for (const auto& [source, format] : rows) {
    runs.push_back(std::async(std::launch::async, convert, source, format, output_folder, false));
  }
  std::vector<Converted> results;
  for (auto& run : runs) results.push_back(run.get());
  return results;
}

std::set<std::string> codec_names(const std::string& path) {
  const auto probe = test_env::ffprobe(path);
  return {probe.codec_names.begin(), probe.codec_names.end()};
}

// Decodes the whole file; the converter's complaints, "" when every packet decodes.
std::string decode_errors(const std::string& path) {
  const auto r = test_env::run_program({QF_SYSTEM_FFMPEG, "-v", "error", "-i", path, "-f", "null", "-"});
  return r.exit_code == 0 ? r.output : "exit " + std::to_string(r.exit_code) + ": " + r.output;
}

void expect_good_output(const Converted& c, const std::set<std::string>& expected_codecs) {
  SCOPED_TRACE(c.plan.output_path);
  EXPECT_EQ(c.exit_status, 0);
  ASSERT_TRUE(fs::exists(c.plan.output_path));
  EXPECT_EQ(codec_names(c.plan.output_path), expected_codecs);
  EXPECT_NEAR(test_env::ffprobe(c.plan.output_path).duration, clip_seconds, 0.3);
  EXPECT_EQ(decode_errors(c.plan.output_path), "");
}

class ConvertWithConverter : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    clips = new Clips;
    const TempDir& d = clips->dir;
    clips->run = test_env::make_run_folder(d.path());
    clips->mp4 = d / "video.mp4";
    clips->mkv = d / "remux.mkv";
    clips->ts = d / "remux.ts";
    clips->wmv = d / "old.wmv";
    clips->mp3 = d / "tone.mp3";
    fs::create_directory(d / "hls");
    clips->hls = d / "hls/index.m3u8";
    const std::vector<std::string> lavfi = {"-f", "lavfi", "-i", video_source_args(),
                                            "-f", "lavfi", "-i", audio_source_args()};
    auto with = [&](std::vector<std::string> tail) {
      std::vector<std::string> args = lavfi;
      args.insert(args.end(), tail.begin(), tail.end());
      return args;
    };
    ASSERT_TRUE(test_env::make_clip(with(
        {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest", clips->mp4})));
    ASSERT_TRUE(test_env::make_clip(with({"-c:v", "wmv2", "-c:a", "wmav2", "-shortest", clips->wmv})));
    ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", audio_source_args(), "-c:a", "libmp3lame", clips->mp3}));
    ASSERT_TRUE(test_env::make_clip({"-i", clips->mp4, "-c", "copy", clips->mkv}));
    ASSERT_TRUE(test_env::make_clip({"-i", clips->mp4, "-c", "copy", clips->ts}));
    ASSERT_TRUE(test_env::make_clip(
        {"-i", clips->mp4, "-c", "copy", "-f", "hls", "-hls_time", "1", "-hls_list_size", "0", clips->hls}));
  }
  static void TearDownTestSuite() {
    delete clips;
    clips = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(clips, nullptr);
    ffmpeg_exe_path.set(clips->run + "/bin/ffmpeg");
    ffmpeg_global_options.set("");
  }
  TempDir out;
};

}  // namespace

TEST_F(ConvertWithConverter, AnH264AacMp4IntoEveryFormat) {
  const auto results = convert_all({{clips->mp4, "mp4"},
                                    {clips->mp4, "flv"},
                                    {clips->mp4, "mov"},
                                    {clips->mp4, "mkv"},
                                    {clips->mp4, "ts"},
                                    {clips->mp4, "wmv"},
                                    {clips->mp4, "mp3"}},
                                   out.path());
  // The video is copied (H.264 everywhere, also where the container's own encoder
  // would have made something else); the audio is whatever the container takes.
  const std::vector<std::pair<ConvertCommand, std::set<std::string>>> expected = {
      {ConvertCommand::CopyFixAdts, {"h264", "aac"}}, {ConvertCommand::CopyFixAdts, {"h264", "mp3"}},
      {ConvertCommand::CopyFixAdts, {"h264", "aac"}}, {ConvertCommand::CopyFixAdts, {"h264", "vorbis"}},
      {ConvertCommand::StreamCopy, {"h264", "mp2"}},  {ConvertCommand::CopyFixAdts, {"h264", "wmav2"}},
      {ConvertCommand::ForceFormat, {"mp3"}}};
  ASSERT_EQ(results.size(), expected.size());
  for (size_t i = 0; i < results.size(); ++i) {
    EXPECT_STREQ(convert_command_name(results[i].plan.shape), convert_command_name(expected[i].first));
    expect_good_output(results[i], expected[i].second);
    EXPECT_TRUE(results[i].succeeded) << results[i].plan.output_path;
  }
}

TEST_F(ConvertWithConverter, OtherSourcesTakeTheirShapes) {
  const auto results = convert_all(
      {{clips->wmv, "mkv"}, {clips->mp3, "mp4"}, {clips->mp3, "wmv"}, {clips->ts, "mp4"}, {clips->mkv, "flv"}},
      out.path());
  EXPECT_EQ(results[0].plan.shape, ConvertCommand::ForceFormat);
  EXPECT_NE(results[0].plan.commands[0].find(" -f matroska "), std::string::npos);
  expect_good_output(results[0], {"h264", "vorbis"});
  EXPECT_EQ(results[1].plan.shape, ConvertCommand::ForceFormat);
  expect_good_output(results[1], {"aac"});
  EXPECT_EQ(results[2].plan.shape, ConvertCommand::ForceFormat);
  expect_good_output(results[2], {"wmav2"});
  EXPECT_EQ(results[3].plan.shape, ConvertCommand::StreamCopy);
  expect_good_output(results[3], {"h264", "aac"});
  EXPECT_EQ(results[4].plan.shape, ConvertCommand::CopyFixAdts);
  expect_good_output(results[4], {"h264", "mp3"});
  for (const Converted& c : results) EXPECT_TRUE(c.succeeded) << c.plan.output_path;
}

TEST_F(ConvertWithConverter, AnHlsStreamSavedAsMp4TsAndMp3) {
  const auto results = convert_all({{clips->hls, "mp4"}, {clips->hls, "ts"}, {clips->hls, "mp3"}}, out.path());
  EXPECT_EQ(results[0].plan.shape, ConvertCommand::M3u8Copy);
  expect_good_output(results[0], {"h264", "aac"});
  // The transport stream's AAC audio decodes cleanly (ADTS kept).
  EXPECT_EQ(results[1].plan.shape, ConvertCommand::M3u8Copy);
  expect_good_output(results[1], {"mpeg2video", "aac"});
  EXPECT_EQ(results[2].plan.shape, ConvertCommand::M3u8ToMp3);
  expect_good_output(results[2], {"mp3"});
  EXPECT_FALSE(fs::exists(out / "indextmp.mp4"));
  // A stream is saved, never judged deletable.
  for (const Converted& c : results) EXPECT_FALSE(c.succeeded);
  // Beside the source means the output folder for a stream.
  const Converted beside = convert(clips->hls, "mkv", out.path(), true);
  EXPECT_EQ(beside.plan.output_path, out / "index.mkv");
  expect_good_output(beside, {"h264", "aac"});
}

TEST_F(ConvertWithConverter, NamesWithBlanksChineseAndQuotes) {
  const std::string source_folder = out / "原 视频 \"甲\"";
  const std::string output_folder = out / "输出 \"乙\" 夹";
  fs::create_directories(source_folder);
  fs::create_directories(output_folder);
  const std::string source = source_folder + "/我的 \"片段\" 一.mp4";
  fs::copy_file(clips->mp4, source);
  const std::string stream_folder = out / "流 \"丙\"";
  fs::create_directories(stream_folder);
  for (const auto& entry : fs::directory_iterator(fs::path(clips->hls).parent_path())) {
    fs::copy_file(entry.path(), stream_folder / entry.path().filename());
  }

  std::vector<std::future<Converted>> runs;
  runs.push_back(std::async(std::launch::async, convert, source, "mkv", output_folder, false));
  runs.push_back(std::async(std::launch::async, convert, source, "mp4", output_folder, true));
  runs.push_back(std::async(std::launch::async, convert, stream_folder + "/index.m3u8", "mp3", output_folder, false));
  const Converted into_folder = runs[0].get();
  const Converted beside = runs[1].get();
  const Converted stream = runs[2].get();

  EXPECT_EQ(into_folder.plan.output_path, output_folder + "/我的 \"片段\" 一.mkv");
  expect_good_output(into_folder, {"h264", "vorbis"});
  EXPECT_EQ(beside.plan.output_path, source_folder + "/我的 \"片段\" 一_new.mp4");
  expect_good_output(beside, {"h264", "aac"});
  EXPECT_EQ(stream.plan.output_path, output_folder + "/index.mp3");
  expect_good_output(stream, {"mp3"});
  EXPECT_FALSE(fs::exists(output_folder + "/indextmp.mp4"));
  EXPECT_TRUE(into_folder.succeeded);
  EXPECT_TRUE(beside.succeeded);

  // Everything was written at its real place: the alias folder holds links only.
  for (const auto& entry : fs::directory_iterator(path_alias_folder())) {
    EXPECT_TRUE(entry.is_symlink()) << entry.path();
  }
}

TEST_F(ConvertWithConverter, AnOutputThatIsAListedSourceIsNeverWritten) {
  const std::string folder = out / "v";
  fs::create_directories(folder);
  fs::create_directory_symlink(folder, out / "v link");
  const std::string a = folder + "/a.mp4", b_mp4 = folder + "/b.mp4", b_mkv = folder + "/b.mkv";
  for (const std::string& path : {a, b_mp4, b_mkv}) fs::copy_file(clips->mp4, path);
  const std::string original = read_file(a);
  const std::vector<std::string> listed = {a, b_mp4, b_mkv};

  // The row's own source, spelled through a linked folder.
  const ConvertRowPlan own = plan_convert_row(a, ConvertRowOptions{"mp4", false, out / "v link", ""});
  EXPECT_EQ(own.output_path, out / "v link/a.mp4");
  EXPECT_TRUE(convert_row_would_overwrite_source(own, {}));
  EXPECT_EQ(run_convert_row(own, listed, nullptr).exit_status, -1);
  // Another listed source.
  const ConvertRowPlan other = plan_convert_row(b_mp4, ConvertRowOptions{"mkv", false, folder, ""});
  EXPECT_FALSE(convert_row_would_overwrite_source(other, {b_mp4}));
  EXPECT_TRUE(convert_row_would_overwrite_source(other, listed));
  EXPECT_EQ(run_convert_row(other, listed, nullptr).exit_status, -1);
  // The temporary file of a stream saved as mp3.
  write_file(folder + "/indextmp.mp4", "listed bytes");
  const ConvertRowPlan stream = plan_convert_row(clips->hls, ConvertRowOptions{"mp3", false, folder, ""});
  EXPECT_TRUE(convert_row_would_overwrite_source(stream, {folder + "/indextmp.mp4"}));
  EXPECT_EQ(run_convert_row(stream, {folder + "/indextmp.mp4"}, nullptr).exit_status, -1);

  EXPECT_EQ(read_file(a), original);
  EXPECT_EQ(read_file(b_mkv), original);
  EXPECT_EQ(read_file(folder + "/indextmp.mp4"), "listed bytes");
  EXPECT_FALSE(fs::exists(folder + "/index.mp3"));

  // An old output that is no source is replaced, also by a shape without "-y".
  write_file(out / "a.mp3", "old output");
  const Converted replaced = convert(a, "mp3", out.path());
  EXPECT_EQ(replaced.plan.shape, ConvertCommand::ForceFormat);
  expect_good_output(replaced, {"mp3"});
}

TEST_F(ConvertWithConverter, ARowSucceedsOnlyWithAReadableOutputOfItsOwn) {
  const std::string bad = out / "bad.mp4";
  std::string noise(4096, '\0');
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919u + 13u) % 251u);
  write_file(bad, noise);

  const Converted good = convert(clips->mp4, "mkv", out.path());
  EXPECT_TRUE(good.succeeded);
  const Converted failed = convert(bad, "mkv", out.path());
  EXPECT_NE(failed.exit_status, 0);
  EXPECT_FALSE(failed.succeeded);
  EXPECT_EQ(read_file(bad), noise);

  // Exit 0 alone is not enough: an empty output, an unreadable one, the source itself,
  // a console that reports no output.
  ConvertRowPlan plan = good.plan;
  const std::string& console = good.console_text;
  EXPECT_TRUE(convert_row_output_written(plan, 0, console));
  EXPECT_FALSE(convert_row_output_written(plan, 1, console));
  EXPECT_FALSE(convert_row_output_written(plan, 0, ""));
  const std::string written = read_file(plan.output_path);
  write_file(plan.output_path, written.substr(0, written.size() / 2));
  EXPECT_FALSE(convert_row_output_written(plan, 0, console));
  write_file(plan.output_path, "");
  EXPECT_FALSE(convert_row_output_written(plan, 0, console));
  write_file(plan.output_path, noise);
  EXPECT_FALSE(convert_row_output_written(plan, 0, console));
  plan.output_path = plan.source;
  EXPECT_FALSE(convert_row_output_written(plan, 0, console));
}
