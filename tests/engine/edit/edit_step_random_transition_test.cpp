// The random transition on the real converter: HALF and REST and where a video is cut,
// the pieces' command lines for a kept length of 10 s, an output that shows both halves
// with the sound laid back and the lengths that follow it, the first try per current
// file and its fall-back, a video without sound, the pieces of an earlier video never
// joined, an flv source's pieces, and whole jobs on clips like real recordings of every
// container and of 3 to 10 s, each converter run bounded so that a join that never
// ends fails.

#include "engine/edit/edit_step_random_transition.h"

#include <algorithm>
#include <filesystem>

#include "engine/common/globals.h"
#include "engine/common/transition_table.h"
#include "engine/edit/edit_job.h"
#include "engine/edit/edit_job_save.h"
#include "tests/engine/edit/edit_step_test_support.h"
#include "tests/support/recording_clips.h"

namespace {

namespace fs = std::filesystem;
using test_env::decode_frame;
using test_env::mean_frame_difference;

using Call = std::vector<std::string>;

class RandomTransitionStep : public EditStepTest {
 protected:
  void SetUp() override {
    EditStepTest::SetUp();
    check("random_transition_check");
  }

  // A 320x240 clip whose picture changes at `first` seconds: the test pattern, then
  // colour bars, for `first` + `second` seconds at 25 frames a second, with one key
  // frame at the start; in an mp4, `ts` is the video track's time scale. Unless `sound`
  // is false, its sound changes with the picture: a tone of 440 Hz, then one of 880 Hz.
  std::string two_part_clip(const std::string& name, int first, int second, bool sound = true,
                            const std::string& ts = "") {
    const std::string path = dir / name;
    std::vector<std::string> args{"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=" + std::to_string(first),
                                  "-f", "lavfi", "-i",
                                  "smptebars=size=320x240:rate=25:duration=" + std::to_string(second)};
    std::string graph = "[0:v][1:v]concat=n=2:v=1:a=0[v]";
    if (sound) {
      args.insert(args.end(), {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=" +
                                                        std::to_string(first),
                               "-f", "lavfi", "-i", "sine=frequency=880:sample_rate=44100:duration=" +
                                                        std::to_string(second)});
      graph += ";[2:a][3:a]concat=n=2:v=0:a=1[a]";
    }
    args.insert(args.end(), {"-filter_complex", graph, "-map", "[v]"});
    if (sound) args.insert(args.end(), {"-map", "[a]", "-c:a", "aac"});
    args.insert(args.end(), {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-g", "1000"});
    if (!ts.empty()) args.insert(args.end(), {"-video_track_timescale", ts});
    args.push_back(path);
    EXPECT_TRUE(test_env::make_clip(args)) << name;
    return path;
  }

  // The logged calls that write `file_name` (their last argument ends with it).
  static std::vector<Call> calls_writing(const std::vector<Call>& calls, const std::string& file_name) {
    std::vector<Call> found;
    for (const Call& call : calls) {
      if (!call.empty() && call.back().ends_with("/" + file_name)) found.push_back(call);
    }
    return found;
  }
  // The argument after `option` in `call`; "" when there is none.
  static std::string after(const Call& call, const std::string& option) {
    const auto it = std::find(call.begin(), call.end(), option);
    return it == call.end() || it + 1 == call.end() ? std::string() : *(it + 1);
  }
};

std::string joined_filter(const std::string& name, int duration, int offset) {
  return "[0:v]settb=AVTB[a];[1:v]settb=AVTB[b];[a][b]xfade=transition=" + name +
         ":duration=" + std::to_string(duration) + ":offset=" + std::to_string(offset);
}

}  // namespace

TEST(TransitionLengths, HalfIsEvenAndTheOffsetEndsTheTransitionWithTheFirstPiece) {
  struct Case {
    int kept, half, rest;
  };
  for (const Case& c : {Case{10, 6, 4}, Case{12, 6, 6}, Case{7, 4, 3}, Case{0, 0, 0}, Case{1, 0, 1}, Case{2, 2, 0},
                        Case{3, 2, 1}, Case{21, 10, 11}, Case{2147483647, 1073741824, 1073741823}}) {
    const TransitionLengths lengths = transition_lengths(c.kept);
    EXPECT_EQ(lengths.half, c.half) << c.kept;
    EXPECT_EQ(lengths.rest, c.rest) << c.kept;
  }
}

TEST(TransitionPlan, TheSecondPieceOutlastsTheTransitionByASecondAndTheFirstHoldsIt) {
  struct Case {
    int kept, longest, cut, duration;
  };
  for (const Case& c : {Case{10, 2, 6, 2}, Case{12, 2, 6, 2}, Case{8, 2, 4, 2}, Case{7, 2, 4, 2}, Case{5, 2, 2, 2},
                        // HALF would leave the second piece no longer than the transition.
                        Case{6, 2, 3, 2},
                        // Too short for two seconds: one second, both halves kept.
                        Case{4, 2, 2, 1}, Case{3, 2, 1, 1},
                        // No room for any transition.
                        Case{2, 2, 2, 0}, Case{1, 2, 0, 0}, Case{0, 2, 0, 0},
                        Case{6, 1, 4, 1}, Case{2147483647, 2, 1073741824, 2}}) {
    const TransitionPlan plan = transition_plan(c.kept, c.longest);
    EXPECT_EQ(plan.cut, c.cut) << c.kept;
    EXPECT_EQ(plan.duration, c.duration) << c.kept;
  }
}

TEST_F(RandomTransitionStep, TenSecondsAreCutAtSixAndTheOutputShowsBothHalves) {
  const std::string source = two_part_clip("two parts.mp4", 6, 4);
  EditVideoState video = start_video(source);
  ASSERT_EQ(video.kept_length, 10);
  log_converter();
  run_random_transition_step(video, page());
  EXPECT_EQ(status(video), "随机转场已加");
  ASSERT_EQ(video.current, 2);

  const std::vector<Call> calls = take_converter_calls();
  const std::string folder = video.work_folder;
  const std::string cur = video.work_file_a;
  ASSERT_EQ(calls.size(), 8u);
  EXPECT_EQ(calls[0], (Call{"-ss", "00:00:00", "-t", "00:00:06", "-i", cur, "-pix_fmt", "yuv420p", "-y",
                            folder + "velmon1.mp4"}));
  EXPECT_EQ(calls[1], (Call{"-ss", "00:00:06", "-t", "00:00:05", "-i", cur, "-pix_fmt", "yuv420p", "-y",
                            folder + "velmon2.mp4"}));
  ASSERT_EQ(calls[2].size(), 8u);
  EXPECT_EQ(calls[2][1], folder + "velmon2.mp4");
  const std::string fade = calls[2][3];
  EXPECT_TRUE(fade == "fade=in:0:10" || fade == "fade=in:0:12" || fade == "fade=in:0:14" || fade == "fade=in:0:16" ||
              fade == "fade=in:0:18" || fade == "fade=in:0:20")
      << fade;
  // A current: the random transition comes first, and it was enough.
  ASSERT_EQ(calls[3].size(), 10u);
  const std::string filter = calls[3][5];
  const std::string name = filter.substr(filter.find("transition=") + 11, filter.find(":duration") -
                                                                              filter.find("transition=") - 11);
  EXPECT_NE(std::find(transition_names().begin(), transition_names().end(), name), transition_names().end()) << name;
  EXPECT_EQ(calls[3], (Call{"-i", folder + "velmon1.mp4", "-i", folder + "velmon3.mp4", "-filter_complex",
                            joined_filter(name, 2, 4), "-pix_fmt", "yuv420p", "-y", folder + "k5pw_cn.mp4"}));
  // The sound's halves overlap by the transition's two seconds, as the picture's do.
  EXPECT_EQ(calls[4], (Call{"-i", cur, "-filter_complex",
                            "[0:a]atrim=end=6,apad=whole_dur=6[a];[0:a]atrim=start=6,asetpts=PTS-STARTPTS[b];"
                            "[a][b]acrossfade=d=2",
                            "-f", "mp3", "-y", folder + "brel.mp3"}));
  EXPECT_EQ(calls[5], (Call{"-i", folder + "k5pw_cn.mp4", "-vcodec", "copy", "-an", "-y", folder + "velmon.mp4"}));
  EXPECT_EQ(calls[6], (Call{"-i", folder + "velmon.mp4", "-i", folder + "brel.mp3", "-pix_fmt", "yuv420p", "-y",
                            folder + "yes.mp4"}));
  EXPECT_EQ(calls[7], (Call{"-t", "00:00:10", "-i", folder + "yes.mp4", "-vcodec", "copy", "-y",
                            video.work_file_b}));

  // Both halves: the test pattern before the transition, the colour bars after it.
  const std::string output = video.current_file();
  EXPECT_LT(mean_frame_difference(decode_frame(output, 2.0), decode_frame(source, 2.0)), 6.0);
  EXPECT_LT(mean_frame_difference(decode_frame(output, 7.0), decode_frame(source, 9.0)), 6.0);
  EXPECT_GT(mean_frame_difference(decode_frame(output, 7.0), decode_frame(source, 2.0)), 20.0);
  const test_env::ProbeResult probe = test_env::ffprobe(output);
  EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));
  EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(320, 240));
  // The video's lengths follow: later steps see 8 s, not 10.
  EXPECT_EQ(video.kept_length, 8);
  EXPECT_EQ(video.full_length, 8);
  // Picture and sound both lose the transition's two seconds, and stay together: after
  // the transition the colour bars are heard with their own tone.
  EXPECT_NEAR(probe.duration, 8.0, 0.3);
  EXPECT_NEAR(std::stod(test_env::stream_entry(output, "v:0", "duration")), 8.0, 0.3);
  EXPECT_GT(test_env::tone_level_db(output, 880, 6.5), test_env::tone_level_db(output, 440, 6.5) + 20.0);
  EXPECT_GT(test_env::tone_level_db(output, 440, 0.0), -40.0);
  EXPECT_TRUE(test_env::decodes_without_errors(output));
}

TEST_F(RandomTransitionStep, OrdinarySourcesAreJoinedAtTheFirstTryWithTheSecondHalfFromItsMiddle) {
  // A video track counted in 1/90000 s (the re-encoded second half counts in 1/12800),
  // and a plain mkv, whose pieces hold no edit list.
  for (const auto& [name, ts] : {std::pair{"camera.mp4", "90000"}, std::pair{"plain.mkv", ""}}) {
    SCOPED_TRACE(name);
    const std::string source = two_part_clip(name, 4, 4, true, ts);
    EditVideoState video = start_video(source);
    ASSERT_EQ(video.kept_length, 8);
    log_converter();
    run_random_transition_step(video, page());
    EXPECT_EQ(status(video), "随机转场已加");
    const std::string extension = fs::path(name).extension().string();
    EXPECT_EQ(calls_writing(take_converter_calls(), "k5pw_cn" + extension).size(), 1u);
    ASSERT_EQ(video.current, 2);
    // The transition runs from 2 s to 4 s; after it the second half goes on from 4 s.
    const std::string output = video.current_file();
    EXPECT_LT(mean_frame_difference(decode_frame(output, 1.0), decode_frame(source, 1.0)), 6.0);
    EXPECT_LT(mean_frame_difference(decode_frame(output, 5.0), decode_frame(source, 7.0)), 6.0);
    fs::remove(video.work_file_a);
    fs::remove(video.work_file_b);
  }
}

TEST_F(RandomTransitionStep, EachCurrentFileHasItsFirstTryAndItsFallBack) {
  const std::string source = two_part_clip("clip.mp4", 2, 3);  // D = 5: HALF = 2, REST = 3
  struct Case {
    int current;
    const char* failing;  // the first try fails when this is set
    int exit_code, bytes;
    const char* first_try;   // what the first join holds
    const char* fall_back;   // what the second join holds
  };
  const Case cases[] = {
      {2, nullptr, 0, 0, "transition=rectcrop:duration=2:offset=0", nullptr},
      {2, "rectcrop:duration=2", 0, 5, "transition=rectcrop:duration=2:offset=0", ":duration=1:offset=1"},
      {2, "rectcrop:duration=2", 1, -1, "transition=rectcrop:duration=2:offset=0", ":duration=1:offset=1"},
      {1, "velmon3.mp4 -filter_complex", 0, 5, "velmon3", "transition=circlecrop:duration=2:offset=0"},
      {1, "velmon3.mp4 -filter_complex", 1, -1, "velmon3", "transition=circlecrop:duration=2:offset=0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "current " << c.current << " failing " << (c.failing ? c.failing : "-")
                                    << " exit " << c.exit_code << " bytes " << c.bytes);
    EditVideoState video = start_video(source);
    if (c.current == 2) {
      fs::rename(video.work_file_a, video.work_file_b);
      video.current = 2;
    }
    if (c.failing) {
      fail_converter_calls(c.failing, c.exit_code, c.bytes);
    } else {
      log_converter();
    }
    take_converter_calls();
    run_random_transition_step(video, page());
    EXPECT_EQ(status(video), "随机转场已加");
    EXPECT_EQ(video.current, c.current == 2 ? 1 : 2);
    EXPECT_TRUE(test_env::decodes_without_errors(video.current_file()));
    const std::vector<Call> joins = calls_writing(take_converter_calls(), "k5pw_cn.mp4");
    ASSERT_EQ(joins.size(), c.fall_back ? 2u : 1u);
    std::string first_args;
    for (const std::string& argument : joins[0]) first_args += argument + " ";
    EXPECT_NE(first_args.find(c.first_try), std::string::npos) << first_args;
    if (c.fall_back) {
      EXPECT_NE(after(joins[1], "-filter_complex").find(c.fall_back), std::string::npos);
      // With A current the fall-back joins the unfaded second half.
      EXPECT_EQ(joins[1][3].ends_with("/velmon2.mp4"), c.current == 1);
    }
    log_converter();
    fs::remove(video.work_file_a);
    fs::remove(video.work_file_b);
  }
}

TEST_F(RandomTransitionStep, AVideoWithoutSoundIsJoinedAndCutWithoutSoundCommands) {
  const std::string source = two_part_clip("silent.mp4", 4, 4, false);
  EditVideoState video = start_video(source);
  // A sound piece left by an earlier video is not this one's.
  test_env::write_file(video.work_folder + "brel.mp3", test_env::read_file(landscape_clip()));
  log_converter();
  run_random_transition_step(video, page());
  EXPECT_EQ(status(video), "随机转场已加");
  ASSERT_EQ(video.current, 2);
  const std::vector<Call> calls = take_converter_calls();
  EXPECT_TRUE(calls_writing(calls, "brel.mp3").empty());
  EXPECT_TRUE(calls_writing(calls, "yes.mp4").empty());
  EXPECT_FALSE(fs::exists(video.work_folder + "brel.mp3"));
  const std::vector<Call> cut = calls_writing(calls, fs::path(video.work_file_b).filename().string());
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(after(cut[0], "-i"), video.work_folder + "k5pw_cn.mp4");
  EXPECT_EQ(after(cut[0], "-t"), "00:00:08");
  const test_env::ProbeResult probe = test_env::ffprobe(video.current_file());
  EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video"}));
  EXPECT_LT(mean_frame_difference(decode_frame(video.current_file(), 5.0), decode_frame(source, 7.0)), 6.0);
}

TEST_F(RandomTransitionStep, PiecesOfAnEarlierVideoAreNeverJoined) {
  EditVideoState video = start_video(two_part_clip("clip.mp4", 4, 4));
  const std::string earlier = test_env::read_file(landscape_clip());
  const std::vector<std::string> pieces = {"velmon1.mp4", "velmon2.mp4", "velmon3.mp4", "brel.mp3",
                                           "k5pw_cn.mp4", "velmon.mp4",  "yes.mp4"};
  for (const std::string& piece : pieces) test_env::write_file(video.work_folder + piece, earlier);
  // This video's current file cannot be read: nothing of it can be cut.
  test_env::write_file(video.current_file(), std::string(4096, 'x'));
  run_random_transition_step(video, page());
  EXPECT_EQ(status(video), "添加随机转场");
  EXPECT_EQ(video.current, 1);
  EXPECT_FALSE(fs::exists(video.work_file_b));
  for (const std::string& piece : pieces) EXPECT_FALSE(fs::exists(video.work_folder + piece)) << piece;
}

TEST_F(RandomTransitionStep, AnFlvSourcesPiecesAreWrittenLikeItsWorkFiles) {
  const std::string source = flv_clip(6.0);  // Sorenson H.263 and MP3
  EditVideoState video = start_video(source);  // D = 6: cut at 3
  ASSERT_EQ(fs::path(video.work_file_a).extension(), ".mkv");
  log_converter();
  run_random_transition_step(video, page());
  EXPECT_EQ(status(video), "随机转场已加");
  ASSERT_EQ(video.current, 2);
  const std::vector<Call> calls = take_converter_calls();
  for (const char* piece : {"velmon1.mkv", "velmon2.mkv", "velmon3.mkv", "k5pw_cn.mkv", "velmon.mkv", "yes.mkv"}) {
    EXPECT_EQ(calls_writing(calls, piece).size(), 1u) << piece;
    EXPECT_TRUE(fs::exists(video.work_folder + piece)) << piece;
  }
  for (const Call& call : calls) EXPECT_FALSE(call.back().ends_with(".flv")) << call.back();
  const std::string output = video.current_file();
  const test_env::ProbeResult probe = test_env::ffprobe(output);
  EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));
  EXPECT_EQ(test_env::stream_entry(output, "v:0", "codec_name"), "h264");
  EXPECT_EQ(test_env::stream_entry(output, "v:0", "pix_fmt"), "yuv420p");
  EXPECT_NEAR(probe.duration, 4.0, 0.3);  // picture and sound: D less the transition
  EXPECT_TRUE(test_env::decodes_without_errors(output));
  // The whole joined picture, from its first frame: 1 s before the transition, 2 s of
  // it, and the second half's last second.
  EXPECT_NEAR(test_env::count_video_frames(output), 100, 3);
  EXPECT_LT(mean_frame_difference(decode_frame(output, 0.5), decode_frame(source, 0.5)), 10.0);
  EXPECT_LT(mean_frame_difference(decode_frame(output, 3.5), decode_frame(source, 5.5)), 10.0);
}

TEST_F(RandomTransitionStep, AnUncheckedBoxRunsNothing) {
  EditVideoState video = start_video(landscape_clip());
  check("random_transition_check", false);
  log_converter();
  run_random_transition_step(video, page());
  EXPECT_TRUE(take_converter_calls().empty());
  EXPECT_EQ(status(video), "");
  EXPECT_EQ(video.current, 1);
}

namespace {

// Whole jobs with only the random transition ticked, saved as mp4, on clips shaped like
// real recordings (one key frame a second, B-frames, each container's usual codecs).
// Every converter run is bounded: a join that never ends fails the test.
class RandomTransitionRecordings : public EditStepTest {
 protected:
  struct Row {
    int seconds;
    const char* container;
    bool sound;
    int shown;  // the output's seconds: the kept length less the transition
  };

  // The job on the listed rows, as the start button starts it, each converter run
  // bounded; none may have been killed.
  void run_bounded_job() {
    stop_requested = false;
    bound_converter_runs();
    batch_edit_videos(window);
    EXPECT_TRUE(killed_converter_calls().empty());
  }

  void run_rows(const std::vector<Row>& rows) {
    const std::string out = dir / "out";
    fs::create_directories(out);
    type("edit_output_folder_field", out);
    check("random_transition_check");
    // The clips' picture, unshrunk.
    const std::string reference = dir / "reference.mkv";
    ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "testsrc2=size=160x90:rate=25:duration=11", "-c:v",
                                     "libx264", "-preset", "ultrafast", "-qp", "0", reference}));
    std::vector<std::string> sources;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const Row& r = rows[i];
      test_env::RecordingClip clip;
      clip.seconds = r.seconds;
      clip.container = r.container;
      clip.sound_tracks = r.sound ? 1 : 0;
      clip.width = 160;
      clip.height = 90;
      const std::string source = dir / ("row" + std::to_string(i + 1) + "." + r.container);
      ASSERT_TRUE(test_env::make_recording_clip(source, clip)) << source;
      sources.push_back(source);
      gui().append_row(at("edit_list"), {std::to_string(i + 1), source, "", ""});
    }
    run_bounded_job();

    for (std::size_t i = 0; i < rows.size(); ++i) {
      const Row& r = rows[i];
      SCOPED_TRACE(testing::Message() << r.seconds << " s " << r.container << (r.sound ? " with" : " without")
                                      << " sound");
      EXPECT_EQ(gui().cell(at("edit_list"), static_cast<int>(i), edit_list_status_column), edit_status_done);
      const std::string output = out + "/row" + std::to_string(i + 1) + ".mp4";
      // "V": the picture, not the cover picture an mp4 source's output carries.
      EXPECT_EQ(test_env::stream_entry(output, "V:0", "codec_name"), "h264");
      EXPECT_EQ(test_env::stream_entry(output, "V:0", "pix_fmt"), "yuv420p");
      EXPECT_EQ(test_env::stream_entry(output, "V:0", "width") + "x" + test_env::stream_entry(output, "V:0", "height"),
                "160x90");
      const int frames = std::atoi(test_env::stream_entry(output, "V:0", "nb_read_frames", {"-count_frames"}).c_str());
      EXPECT_NEAR(frames, r.shown * 25, 3);
      EXPECT_EQ(test_env::stream_entry(output, "a:0", "codec_type"), r.sound ? "audio" : "");
      if (r.sound) {
        EXPECT_NEAR(std::atof(test_env::stream_entry(output, "a:0", "duration").c_str()), r.shown, 0.25);
        EXPECT_GT(test_env::tone_level_db(output, 440, 0.0), -40.0);
      }
      EXPECT_TRUE(test_env::decodes_without_errors(output));
      // Both halves: the source's start begins the output and its end ends it, moving to
      // the last frame (no frozen tail). The sources' pictures are those of the reference
      // at the same time.
      const auto near_reference = [&](double at_output, double at_reference) {
        return mean_frame_difference(decode_frame(output, at_output), decode_frame(reference, at_reference));
      };
      // The first frame is the first piece's alone, also where the transition begins with
      // it.
      EXPECT_LT(near_reference(0.0, 0.0), 14.0);
      for (const double before_end : {0.1, 0.6}) {
        const double at_output = r.shown - before_end;
        const double same = near_reference(at_output, r.seconds - before_end);
        EXPECT_LT(same, 14.0) << before_end;
        EXPECT_GT(near_reference(at_output, at_output), same + 8.0) << before_end;
      }
    }
  }
};

}  // namespace

// The lengths that hung: with HALF = 4 the second piece was no longer than the
// transition.
TEST_F(RandomTransitionRecordings, SixSecondClipsOfEveryKindAreJoinedAndTheJoinEnds) {
  run_rows({{6, "mp4", true, 4}, {6, "avi", false, 4}, {6, "webm", false, 4}, {6, "ts", true, 4}});
}

// Too short for a transition of two seconds: one second, both halves kept.
TEST_F(RandomTransitionRecordings, ShortClipsGetAOneSecondTransitionAndKeepBothHalves) {
  run_rows({{3, "flv", true, 2}, {3, "mp4", false, 2}, {4, "webm", true, 3}, {4, "mkv", false, 3}});
}

TEST_F(RandomTransitionRecordings, TenSecondClipsAreJoinedAtSix) {
  run_rows({{10, "mov", true, 8}, {10, "flv", false, 8}});
}

// The steps after the transition see the shortened video: the background picture video
// and the added audio last as long as the joined picture, with no frozen, silent tail
// and no sound past the picture's end.
TEST_F(RandomTransitionRecordings, LaterStepsGoOnWithTheShortenedLength) {
  test_env::RecordingClip clip;
  clip.seconds = 10;
  clip.width = 160;
  clip.height = 90;
  const std::string source = dir / "ten.mp4";
  ASSERT_TRUE(test_env::make_recording_clip(source, clip));
  const std::string music = dir / "music.mp3";
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "sine=frequency=1000:duration=14", music}));
  const std::string out = dir / "out";
  fs::create_directories(out);
  type("edit_output_folder_field", out);
  check("random_transition_check");
  check("mute_check");
  check("merge_audio_check");
  type("audio_file_field", music);
  check("background_picture_check");
  type("background_picture_field", picture("background.jpg", 160, 90, "blue"));
  check("edit_format_mkv_radio");
  gui().append_row(at("edit_list"), {"1", source, "", ""});
  run_bounded_job();

  EXPECT_EQ(gui().cell(at("edit_list"), 0, edit_list_status_column), edit_status_done);
  const std::string output = out + "/ten.mkv";
  const test_env::ProbeResult probe = test_env::ffprobe(output);
  EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));
  // 10 s less the transition's 2 s, picture and sound alike.
  EXPECT_NEAR(probe.duration, 8.0, 0.3);
  const int frames = test_env::count_video_frames(output);
  const double rate = [&] {
    const std::string r = test_env::stream_entry(output, "v:0", "r_frame_rate");
    return std::atof(r.c_str()) / std::max(1.0, std::atof(r.substr(r.find('/') + 1).c_str()));
  }();
  EXPECT_NEAR(frames / rate, 8.0, 0.3);
  EXPECT_GT(test_env::tone_level_db(output, 1000, 7.0), -50.0);
  // The picture moves to its end.
  const double end = probe.duration;
  EXPECT_GT(mean_frame_difference(decode_frame(output, end - 0.1), decode_frame(output, end - 0.7)), 5.0);
}
