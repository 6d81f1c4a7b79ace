// What the convert job writes from clips shaped like real recordings, read back with
// ffprobe: one output per row however the names clash, nothing left by a failed row,
// every sound track, and phone videos the right way up.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/convert/convert_job.h"
#include "platform/gui/gui.h"
#include "tests/engine/convert/convert_job_fixture.h"
#include "tests/support/logging_converter.h"
#include "tests/support/media_checks.h"
#include "tests/support/recording_clips.h"
#include "tests/support/test_env.h"

namespace {

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;

// The recordings every test copies from, made once.
struct Recordings {
  TempDir dir;
  std::map<std::string, std::string> path;  // by name: "portrait.mp4", "two tracks.mkv", "clip.webm", ...
};
Recordings* recordings = nullptr;

int stream_count(const test_env::ProbeResult& probe, const std::string& kind) {
  int count = 0;
  for (const std::string& type : probe.codec_types) count += type == kind ? 1 : 0;
  return count;
}

// The codec names of the streams of `kind`, in order, joined by ",".
std::string codecs_of(const test_env::ProbeResult& probe, const std::string& kind) {
  std::string codecs;
  for (std::size_t i = 0; i < probe.codec_types.size() && i < probe.codec_names.size(); ++i) {
    if (probe.codec_types[i] == kind) codecs += (codecs.empty() ? "" : ",") + probe.codec_names[i];
  }
  return codecs;
}

class ConvertJobOutputs : public convert_job_test::ConvertJob {
 protected:
  static void SetUpTestSuite() {
    recordings = new Recordings;
    const TempDir& d = recordings->dir;
    auto make = [&](const std::string& name, test_env::RecordingClip clip) {
      clip.container = name.substr(name.rfind('.') + 1);
      recordings->path[name] = d / name;
      ASSERT_TRUE(test_env::make_recording_clip(d / name, clip)) << name;
    };
    make("portrait.mp4", {.seconds = 2, .rotation = 90});
    make("one.mp4", {.seconds = 1});
    make("two.avi", {.seconds = 2});
    make("three.mp4", {.seconds = 3});
    for (const char* name : {"clip.webm", "clip.ogv", "clip.avi", "clip.flv", "clip.ts", "clip.mov", "clip.mpg"}) {
      make(name, {.seconds = 2});
    }
    // Two sound tracks (440 and 660 Hz) and a text subtitle, as a film with two
    // languages has them.
    make("tracks.mkv", {.seconds = 2, .sound_tracks = 2});
    const std::string srt = d / "subtitle.srt";
    test_env::write_file(srt, "1\n00:00:00,200 --> 00:00:01,500\nhello\n");
    recordings->path["two tracks.mkv"] = d / "two tracks.mkv";
    ASSERT_TRUE(test_env::make_clip({"-i", recordings->path["tracks.mkv"], "-i", srt, "-map", "0", "-map", "1", "-c",
                                     "copy", recordings->path["two tracks.mkv"]}));
  }
  static void TearDownTestSuite() {
    delete recordings;
    recordings = nullptr;
  }

  // A copy of the recording `name` at `path` (folders made), to be listed and maybe deleted.
  std::string copy_recording(const std::string& name, const std::string& path) {
    fs::create_directories(fs::path(path).parent_path());
    fs::copy_file(recordings->path.at(name), path, fs::copy_options::overwrite_existing);
    return path;
  }
  void choose_format(const std::string& format) { gui().input_click(at(("convert_format_" + format + "_radio").c_str())); }
  void clear_rows() { gui().clear_rows(at("convert_list")); }
  // Runs the job over `sources` and gives each row's status.
  std::vector<std::string> convert(const std::vector<std::string>& sources) {
    clear_rows();
    for (const std::string& source : sources) add_row(source);
    click_start();
    EXPECT_TRUE(wait_for_job_end());
    std::vector<std::string> statuses;
    for (std::size_t row = 0; row < sources.size(); ++row) statuses.push_back(status(static_cast<int>(row)));
    return statuses;
  }
  // The names in `folder`.
  static std::set<std::string> names_in(const std::string& folder) {
    std::set<std::string> names;
    if (!fs::is_directory(folder)) return names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
  }
};

}  // namespace

// Sources with one stem in one folder, same-named files of two folders and a file
// listed twice, with "删除原视频" on: every row's output is its own, the first keeps the
// name, and a source goes only once its own output is there.
TEST_F(ConvertJobOutputs, RowsThatWouldWriteOneNameGetNumberedNames) {
  const std::string log = dir / "converter.log";
  test_env::install_logging_converter(run, log);
  gui().set_checked(at("convert_delete_source_check"), true);
  const struct Case {
    const char* format;
    bool beside;
  } cases[] = {{"mkv", false}, {"mkv", true}, {"mp3", false}, {"mp3", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.format) + (c.beside ? " beside the sources" : " into the folder"));
    const std::string d1 = dir / "甲 片", d2 = dir / "乙";
    fs::remove_all(d1);
    fs::remove_all(d2);
    fs::remove_all(out);
    fs::remove(log);
    const std::string first = copy_recording("one.mp4", d1 + "/movie.mp4");
    const std::string second = copy_recording("two.avi", d1 + "/movie.avi");
    const std::string third = copy_recording("three.mp4", d2 + "/movie.mp4");
    choose_format(c.format);
    gui().input_click(at(c.beside ? "convert_save_beside_source_radio" : "convert_save_to_folder_radio"));
    const std::vector<std::string> statuses = convert({first, second, third, first});

    EXPECT_EQ(statuses, (std::vector<std::string>{"任务完成", "任务完成", "任务完成", "文件不存在"}));
    const std::string f = c.format;
    // Output, and the duration of the source it came from.
    const std::vector<std::pair<std::string, double>> outputs =
        c.beside ? std::vector<std::pair<std::string, double>>{{d1 + "/movie_new." + f, 1},
                                                               {d1 + "/movie_new(2)." + f, 2},
                                                               {d2 + "/movie_new." + f, 3}}
                 : std::vector<std::pair<std::string, double>>{
                       {out + "/movie." + f, 1}, {out + "/movie(2)." + f, 2}, {out + "/movie(3)." + f, 3}};
    for (const auto& [output, seconds] : outputs) {
      SCOPED_TRACE(output);
      const test_env::ProbeResult probe = test_env::ffprobe(output);
      EXPECT_NEAR(probe.duration, seconds, 0.15);
      EXPECT_EQ(stream_count(probe, "audio"), 1);
      EXPECT_EQ(stream_count(probe, "video"), f == "mp3" ? 0 : 1);
    }
    if (c.beside) {
      EXPECT_EQ(names_in(d1), (std::set<std::string>{"movie_new." + f, "movie_new(2)." + f}));
      EXPECT_EQ(names_in(d2), (std::set<std::string>{"movie_new." + f}));
    } else {
      EXPECT_EQ(names_in(out), (std::set<std::string>{"movie." + f, "movie(2)." + f, "movie(3)." + f}));
      EXPECT_TRUE(names_in(d1).empty());
      EXPECT_TRUE(names_in(d2).empty());
    }
    // An output is judged from its conversion's own console: no run reads one. The
    // sources are probed ahead, several in one run; the last row's again (its file went).
    const auto calls = test_env::read_logged_commands(log);
    int conversions = 0;
    for (const std::vector<std::string>& call : calls) {
      if (call.empty()) continue;
      conversions += call.back() == "-" || fs::path(call.back()).extension() == "." + f ? 1 : 0;
      for (std::size_t i = 0; i + 1 < call.size(); ++i) {
        if (call[i] != "-i") continue;
        const std::string input = fs::weakly_canonical(call[i + 1]).string();
        for (const auto& [output, seconds] : outputs) EXPECT_NE(input, fs::weakly_canonical(output).string());
      }
    }
    EXPECT_EQ(conversions, 4);
    EXPECT_EQ(calls.size(), 7u);
  }
}

// A failed row removes what it wrote: the empty file of a container that refused the
// streams, the start of a conversion that broke off. What it did not write stays: the
// output an earlier row wrote under the name, and every source.
TEST_F(ConvertJobOutputs, AFailedRowLeavesNoFileThatLooksLikeAnOutput) {
  gui().set_checked(at("convert_delete_source_check"), true);
  const struct Case {
    const char* format;
    const char* recording;  // converted after an mp4 of the same stem that succeeds
    const char* output;     // what the failed row would have left
  } cases[] = {
      {"mp4", "clip.ogv", "clip(2).mp4"},   // Theora: an empty file
      {"mov", "clip.webm", "clip(2).mov"},  // VP9 and Opus: an empty file
      {"flv", "clip.avi", "clip(2).flv"},   // MPEG-4 part 2: an empty file
      {"mkv", "clip.mpg", "clip(2).mkv"},   // MPEG-2 without time stamps: cut off after a second
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recording + std::string(" to ") + c.format);
    fs::remove_all(out);
    const std::string folder = dir / c.format;
    const std::string good = copy_recording("one.mp4", folder + "/clip.mp4");
    const std::string bad = copy_recording(c.recording, folder + "/" + c.recording);
    const std::string bad_bytes = read_file(bad);
    choose_format(c.format);
    const std::vector<std::string> statuses = convert({good, bad});

    EXPECT_EQ(statuses[0], "任务完成");
    EXPECT_EQ(statuses[1], convert_status_failed);
    const std::string kept = out + "/clip." + c.format;
    EXPECT_NEAR(test_env::ffprobe(kept).duration, 1, 0.15);
    EXPECT_EQ(names_in(out), std::set<std::string>{"clip." + std::string(c.format)});
    EXPECT_FALSE(fs::exists(out + "/" + c.output));
    EXPECT_FALSE(fs::exists(good));
    EXPECT_EQ(read_file(bad), bad_bytes);
  }
}

// Every sound track goes where the container holds several, subtitles where it takes
// them; a phone's portrait video plays upright in every container.
TEST_F(ConvertJobOutputs, EveryTrackAndAnUprightPictureInEachFormat) {
  const std::string portrait = copy_recording("portrait.mp4", dir / "v/portrait.mp4");
  const std::string tracks = copy_recording("two tracks.mkv", dir / "v/two tracks.mkv");
  const test_env::DecodedFrame upright = test_env::decode_frame(portrait);
  ASSERT_EQ(upright.width, 180);
  ASSERT_EQ(upright.height, 320);
  const struct Case {
    const char* format;
    int sound_tracks;
    const char* subtitle;  // the subtitle codec of the output, "" for none
    bool copied;           // the portrait video copied with its rotation, not turned
  } cases[] = {
      {"mkv", 2, "subrip", false}, {"mp4", 2, "mov_text", true}, {"mov", 2, "mov_text", true},
      {"ts", 2, "", false},        {"flv", 1, "", false},        {"wmv", 1, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    choose_format(c.format);
    EXPECT_EQ(convert({portrait, tracks}), (std::vector<std::string>{"任务完成", "任务完成"}));

    // Shown upright: the decoded picture (rotation applied) is the source's.
    const std::string turned = out + "/portrait." + c.format;
    const test_env::ProbeResult turned_probe = test_env::ffprobe(turned);
    EXPECT_EQ(turned_probe.width, c.copied ? 320 : 180);
    EXPECT_NEAR(turned_probe.duration, 2, 0.2);
    const test_env::DecodedFrame frame = test_env::decode_frame(turned);
    EXPECT_EQ(frame.width, 180);
    EXPECT_EQ(frame.height, 320);
    EXPECT_LT(test_env::mean_frame_difference(frame, upright), 12);

    const std::string kept = out + "/two tracks." + c.format;
    const test_env::ProbeResult probe = test_env::ffprobe(kept);
    EXPECT_EQ(stream_count(probe, "audio"), c.sound_tracks) << codecs_of(probe, "audio");
    EXPECT_EQ(stream_count(probe, "video"), 1);
    EXPECT_EQ(codecs_of(probe, "subtitle"), c.subtitle);
    EXPECT_NEAR(probe.duration, 2, 0.2);
    // Each track is its own: 440 Hz in the first, 660 Hz in the second.
    EXPECT_GT(test_env::tone_level_db(kept, 440, 0, 0), -40);
    if (c.sound_tracks == 2) EXPECT_GT(test_env::tone_level_db(kept, 660, 0, 1), -40);
  }
}

// Clips of each container converted into each other's: every row that reads
// "任务完成" has its output, with the source's picture and sound.
TEST_F(ConvertJobOutputs, ARowIsDoneExactlyWhenItsOutputIsThere) {
  std::vector<std::string> sources;
  for (const char* name : {"clip.webm", "clip.ogv", "clip.avi", "clip.flv", "clip.ts", "clip.mov"}) {
    sources.push_back(copy_recording(name, dir / ("in/" + std::string(name).substr(5)) + "/" + name));
  }
  for (const char* format : {"mkv", "mp4", "flv"}) {
    SCOPED_TRACE(format);
    fs::remove_all(out);
    choose_format(format);
    const std::vector<std::string> statuses = convert(sources);
    std::set<std::string> expected;
    for (std::size_t i = 0; i < sources.size(); ++i) {
      SCOPED_TRACE(sources[i]);
      const std::string name = i == 0 ? "clip." + std::string(format) : "clip(" + std::to_string(i + 1) + ")." + format;
      if (statuses[i] == "任务完成") {
        expected.insert(name);
        const test_env::ProbeResult probe = test_env::ffprobe(out + "/" + name);
        EXPECT_NEAR(probe.duration, 2, 0.2);
        EXPECT_EQ(stream_count(probe, "video"), 1);
        EXPECT_EQ(stream_count(probe, "audio"), 1);
      } else {
        EXPECT_EQ(statuses[i], convert_status_failed);
      }
    }
    EXPECT_EQ(names_in(out), expected);
    EXPECT_GE(expected.size(), 3u);
  }
}
