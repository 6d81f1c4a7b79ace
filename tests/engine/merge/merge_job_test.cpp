// The merge job on the headless control model, with the real converter on tiny
// generated clips: outputs, names, frame sizes, the transition, the mp4 cover, stopping,
// failures, and the work folders.

#include "engine/merge/merge_job.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "engine/merge/merge_pair.h"
#include "tests/engine/merge/merge_job_fixture.h"

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

namespace {

class MergeJob : public MergeJobFixture {};

}  // namespace

TEST_F(MergeJob, OnePairIsJoinedAtTheFirstPartsFrameSize) {
  const std::string first = make_clip("first.mp4", "160x120", 2);
  const std::string second = make_clip("second.mp4", "320x240", 1);
  add_row("merge_list1", first);
  add_row("merge_list2", second);
  set_output_count(1);
  choose_format("merge_format_mkv_radio");
  gui().set_checked(at("merge_title_from_source1_radio"), false);  // no title: "1_1_"

  click_start();
  EXPECT_EQ(text("merge_start_button"), merge_stop_caption);
  EXPECT_EQ(text("overall_progress_label"), "1 / 1");
  EXPECT_EQ(gui().range(at("overall_progress_bar")).y, 1);
  ASSERT_TRUE(wait_for_job_end());

  const std::string output = out + "/1_1_.mkv";
  const test_env::ProbeResult probe = test_env::ffprobe(output);
  ASSERT_TRUE(probe.ok) << output;
  EXPECT_EQ(probe.width, 160);
  EXPECT_EQ(probe.height, 120);
  EXPECT_EQ(frame_count(output), 75);  // both parts whole
  EXPECT_EQ(text("file_progress_label"), "100 %");
  EXPECT_EQ(text("overall_progress_label"), "1 / 1");
  EXPECT_EQ(gui().cell(at("merge_list1"), 0, 2), "00:00:02");
  EXPECT_EQ(gui().cell(at("merge_list2"), 0, 2), "00:00:01");
  expect_page_restored();
}

TEST_F(MergeJob, ATransitionReplacesTheJointAndAnMp4GetsItsCover) {
  add_row("merge_list1", make_clip("first.mp4", "160x120", 2));
  add_row("merge_list2", make_clip("second.mp4", "320x240", 1));
  set_output_count(1);
  gui().set_checked(at("merge_transition_check"), true);
  gui().set_selected_index(at("merge_transition_combo"), 10);  // slideright

  ASSERT_TRUE(run_job());
  const std::string output = out + "/1_1_first.mp4";
  const test_env::ProbeResult probe = test_env::ffprobe(output);
  ASSERT_TRUE(probe.ok) << output;
  EXPECT_EQ(probe.width, 160);
  EXPECT_EQ(probe.height, 120);
  // The first part up to one second before its end, the transition, the rest of the
  // second part: the sum less the one second of the transition.
  EXPECT_EQ(frame_count(output), 50);
  EXPECT_TRUE(has_attached_picture(output));
  EXPECT_EQ(text("file_progress_label"), "100%");
  expect_page_restored();
}

TEST_F(MergeJob, ATransitionIntoAnotherFormatKeepsTheJoinedSoundWithoutCover) {
  add_row("merge_list1", make_clip("first.mp4", "160x120", 2));
  add_row("merge_list2", make_clip("second.mp4", "160x120", 2));
  set_output_count(1);
  choose_format("merge_format_mkv_radio");
  gui().set_checked(at("merge_transition_check"), true);  // "随机特效"

  ASSERT_TRUE(run_job());
  const std::string output = out + "/1_1_first.mkv";
  const test_env::ProbeResult probe = test_env::ffprobe(output);
  ASSERT_TRUE(probe.ok) << output;
  EXPECT_EQ(frame_count(output), 75);
  EXPECT_EQ(probe.codec_types, (std::vector<std::string>{"video", "audio"}));
  EXPECT_FALSE(has_attached_picture(output));
  EXPECT_EQ(text("file_progress_label"), "100 %");
}

TEST_F(MergeJob, PartsWithUnlikeSoundAndFrameRatesJoinIntoOneCleanVideo) {
  // A 44.1 kHz stereo first part at 25 frames a second; second parts in 48 kHz mono.
  const auto clip = [&](const std::string& name, int frame_rate, int sample_rate, int channels) {
    const std::string path = dir / name;
    EXPECT_TRUE(test_env::make_clip(
        {"-f", "lavfi", "-i", "testsrc=size=160x120:duration=2:rate=" + std::to_string(frame_rate), "-f", "lavfi",
         "-i", "sine=frequency=440:duration=2:sample_rate=" + std::to_string(sample_rate), "-ac",
         std::to_string(channels), "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac",
         "-shortest", path}));
    return path;
  };
  const std::string first = clip("first.mp4", 25, 44100, 2);
  const struct {
    int second_frame_rate;
    bool transition;
    const char* format_radio;
    const char* extension;
    int frames;
  } cases[] = {
      {25, false, "merge_format_mkv_radio", "mkv", 100},
      {25, true, "merge_format_mkv_radio", "mkv", 75},
      {30, false, "merge_format_mp4_radio", "mp4", 100},
      {30, true, "merge_format_mkv_radio", "mkv", 75},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.second_frame_rate) + (c.transition ? " fps, transition " : " fps, ") + c.extension);
    gui().clear_rows(at("merge_list1"));
    gui().clear_rows(at("merge_list2"));
    add_row("merge_list1", first);
    add_row("merge_list2", clip("second.mp4", c.second_frame_rate, 48000, 1));
    set_output_count(1);
    gui().set_checked(at("merge_transition_check"), c.transition);
    choose_format(c.format_radio);
    ASSERT_TRUE(run_job());

    const std::string output = out + "/1_1_first." + c.extension;
    ASSERT_TRUE(test_env::ffprobe(output).ok) << output;
    EXPECT_EQ(frame_count(output), c.frames);
    // The sound of both parts (the transition keeps the joined sound), decoded whole.
    EXPECT_NEAR(sound_seconds(output), 4.0, 0.25);
    EXPECT_EQ(test_env::run_program({QF_SYSTEM_FFMPEG, "-v", "error", "-i", output, "-f", "null", "-"}).output, "");
    fs::remove(output);
  }

  // A first list joined whole from unlike files, then the pair.
  SCOPED_TRACE("first list joined whole");
  gui().clear_rows(at("merge_list1"));
  gui().clear_rows(at("merge_list2"));
  add_row("merge_list1", first);
  add_row("merge_list1", clip("third.mp4", 30, 48000, 1));
  add_row("merge_list2", first);
  gui().set_checked(at("merge_all_source1_check"), true);
  gui().set_checked(at("merge_transition_check"), false);
  choose_format("merge_format_mkv_radio");
  ASSERT_TRUE(run_job());
  const std::string output = out + "/1_1_first.mkv";
  EXPECT_EQ(frame_count(output), 150);
  EXPECT_NEAR(sound_seconds(output), 6.0, 0.25);
  EXPECT_EQ(test_env::run_program({QF_SYSTEM_FFMPEG, "-v", "error", "-i", output, "-f", "null", "-"}).output, "");
}

TEST_F(MergeJob, TheTransitionTakesNoMoreOfTheFirstPartThanItsSecondsAfterTheWholeOnes) {
  choose_format("merge_format_mkv_radio");
  gui().set_checked(at("merge_transition_check"), true);
  set_output_count(1);
  const std::string second = make_clip("second.mp4", "160x120", 2);
  const struct {
    const char* seconds;
    int least_frames;
  } cases[] = {
      {"2.8", 95},  // offset 2: 70 + 50 frames less the one second of the transition
      {"2", 75},    // offset 1: the transition must start before the first part's end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seconds);
    const std::string first = dir / "first.mp4";
    ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", std::string("testsrc=size=160x120:rate=25:duration=") + c.seconds,
                                     "-f", "lavfi", "-i", std::string("sine=sample_rate=44100:duration=") + c.seconds,
                                     "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac",
                                     "-shortest", first}));
    gui().clear_rows(at("merge_list1"));
    gui().clear_rows(at("merge_list2"));
    add_row("merge_list1", first);
    add_row("merge_list2", second);
    ASSERT_TRUE(run_job());
    const std::string output = out + "/1_1_first.mkv";
    EXPECT_GE(frame_count(output), c.least_frames);
    fs::remove(output);
  }
}

TEST_F(MergeJob, EveryRowOfOneListMeetsEveryRowOfTheOther) {
  const std::string a = make_clip("a.mp4", "160x120", 1);
  // Named like the pair's first work file: the join must not write onto it.
  const std::string b1 = make_clip("1.mp4", "160x120", 1);
  const std::string b2 = make_clip("b2.mkv", "160x120", 1);
  add_row("merge_list1", a);
  add_row("merge_list1", a);
  add_row("merge_list2", b1);
  add_row("merge_list2", b2);
  set_output_count(4);
  choose_format("merge_format_ts_radio");
  gui().set_checked(at("merge_title_from_source2_radio"), true);

  ASSERT_TRUE(run_job());
  for (const char* name : {"1_1_1.ts", "1_2_b2.ts", "2_1_1.ts", "2_2_b2.ts"}) {
    EXPECT_TRUE(test_env::ffprobe(out + "/" + name).ok) << name;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 4);
  EXPECT_EQ(text("overall_progress_label"), "4 / 4");
  expect_page_restored();
}

TEST_F(MergeJob, AListJoinedWholeIsOnePart) {
  add_row("merge_list1", make_clip("a1.mp4", "160x120", 1));
  add_row("merge_list1", make_clip("a2.mp4", "320x240", 1));
  add_row("merge_list2", make_clip("b.mp4", "320x240", 1));
  gui().set_checked(at("merge_all_source1_check"), true);
  set_output_count(1);
  choose_format("merge_format_mkv_radio");

  ASSERT_TRUE(run_job());
  const std::string output = out + "/1_1_a1.mkv";  // the title of list 1's first row
  const test_env::ProbeResult probe = test_env::ffprobe(output);
  ASSERT_TRUE(probe.ok) << output;
  EXPECT_EQ(probe.width, 160);
  EXPECT_EQ(frame_count(output), 75);
  EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
  EXPECT_EQ(gui().cell(at("merge_list1"), 1, 2), "00:00:01");
  expect_page_restored();
}

TEST_F(MergeJob, AStopEndsTheJobAfterThePairInProgress) {
  add_row("merge_list1", make_clip("a.mp4", "160x120", 1));
  add_row("merge_list2", make_clip("b1.mp4", "160x120", 1));
  add_row("merge_list2", make_clip("b2.mp4", "160x120", 1));
  set_output_count(2);
  choose_format("merge_format_mkv_radio");

  click_start();
  click_start();  // "停止合并": asked before the first pair has ended
  EXPECT_EQ(text("merge_start_button"), merge_stopping_caption);
  EXPECT_FALSE(gui().enabled(at("merge_start_button")));
  ASSERT_TRUE(wait_for_job_end());
  EXPECT_TRUE(fs::exists(out + "/1_1_a.mkv"));
  EXPECT_FALSE(fs::exists(out + "/1_2_a.mkv"));
  EXPECT_EQ(gui().cell(at("merge_list2"), 1, 2), "");  // never reached
  expect_page_restored();
}

TEST_F(MergeJob, AnUnreadableSourceFailsItsPairAndTheNextPairStillRuns) {
  const std::string broken = dir / "broken.mp4";
  write_file(broken, "not a video");
  add_row("merge_list1", make_clip("a.mp4", "160x120", 1));
  add_row("merge_list2", broken);
  add_row("merge_list2", make_clip("b.mp4", "160x120", 1));
  set_output_count(2);
  choose_format("merge_format_mkv_radio");
  gui().set_checked(at("merge_title_from_source2_radio"), true);

  ASSERT_TRUE(run_job());
  EXPECT_FALSE(fs::exists(out + "/1_1_broken.mkv"));
  EXPECT_TRUE(fs::exists(out + "/1_2_b.mkv"));

  // Alone, the failed pair leaves its failure in the strip, never a success.
  gui().clear_rows(at("merge_list2"));
  add_row("merge_list2", broken);
  set_output_count(1);
  ASSERT_TRUE(run_job());
  EXPECT_FALSE(fs::exists(out + "/1_1_broken.mkv"));
  EXPECT_EQ(read_file(broken), "not a video");
  expect_page_restored(merge_failed_pairs_text(1));
}

TEST_F(MergeJob, AnOutputTheConverterCannotReadBackIsAFailure) {
  add_row("merge_list1", make_clip("a.mp4", "160x120", 2));
  add_row("merge_list2", make_clip("b.mp4", "160x120", 2));
  set_output_count(1);
  // A stand-in that runs the real converter, except for the command that writes the
  // named step's file: that one gets bytes that are no media, and exits 0.
  const struct {
    const char* name;
    bool transition;
    const char* format_radio;
    const char* faulty_argument;  // an argument only that command has
  } cases[] = {
      {"the final copy", false, "merge_format_mkv_radio", "/1_1_a.mkv"},
      {"the cover attached to an mp4", true, "merge_format_mp4_radio", "attached_pic"},
  };
  const std::string program = run + "/bin/ffmpeg";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(program);
    write_file(program, std::string("#!/bin/sh\nfaulty=\nfor a in \"$@\"; do out=$a; case \"$a\" in *'") +
                            c.faulty_argument + "'*) faulty=1;; esac; done\n"
                            "[ -z \"$faulty\" ] && exec '" QF_SYSTEM_FFMPEG "' \"$@\"\n"
                            "printf 'no video in here' > \"$out\"\nexit 0\n");
    fs::permissions(program, fs::perms::owner_all);
    gui().set_checked(at("merge_transition_check"), c.transition);
    choose_format(c.format_radio);
    ASSERT_TRUE(run_job());
    expect_page_restored(merge_failed_pairs_text(1));
  }
}

TEST_F(MergeJob, AnOutputThatWouldReplaceASourceIsNotWritten) {
  // The output of pair (1, 1) titled "x" in the sources' own folder is a listed source.
  const std::string first = make_clip("x.mp4", "160x120", 1);
  const std::string second = make_clip("1_1_x.mkv", "160x120", 1);
  const std::string before = read_file(second);
  add_row("merge_list1", first);
  add_row("merge_list2", second);
  set_output_count(1);
  choose_format("merge_format_mkv_radio");
  gui().set_text(at("merge_output_folder_field"), dir.path());

  ASSERT_TRUE(run_job());
  EXPECT_EQ(read_file(second), before);
  EXPECT_EQ(last_job_status.get(), merge_status_output_is_source);
  expect_page_restored(merge_failed_pairs_text(1));
}

TEST_F(MergeJob, AWorkFolderThatIsNotTheJobsOwnIsLeftAlone) {
  // v_temp1 leads to a folder of the user's; the job must neither empty nor remove it.
  const std::string elsewhere = dir / "elsewhere";
  fs::create_directories(elsewhere);
  write_file(elsewhere + "/keep.mkv", "user data");
  fs::create_directory_symlink(elsewhere, run + "/v_temp1");
  add_row("merge_list1", dir / "a.mp4");
  add_row("merge_list2", dir / "b.mp4");
  set_output_count(1);

  ASSERT_TRUE(run_job());
  EXPECT_EQ(read_file(elsewhere + "/keep.mkv"), "user data");
  EXPECT_TRUE(fs::is_symlink(run + "/v_temp1"));
  EXPECT_EQ(text("file_progress_label"), merge_status_work_folder_unusable);
  EXPECT_TRUE(gui().visible(at("file_progress_label")));  // after the job, until the next start

  // A listed source inside the work folder keeps it from being the job's own too.
  fs::remove(run + "/v_temp1");
  fs::create_directories(run + "/v_temp2");
  const std::string inside = run + "/v_temp2/b.mp4";
  write_file(inside, "user data");
  gui().clear_rows(at("merge_list2"));
  add_row("merge_list2", inside);
  ASSERT_TRUE(run_job());
  EXPECT_EQ(read_file(inside), "user data");
  EXPECT_EQ(text("file_progress_label"), merge_status_work_folder_unusable);
  EXPECT_TRUE(gui().visible(at("file_progress_label")));
  EXPECT_FALSE(fs::exists(run + "/v_temp1"));
}

// The job runs the converter only for the files it writes: each source's duration comes
// from its re-encode, the progress total of the final copy from the copy itself (the
// joined file's duration), and a transition's first part is probed once for all its pairs.
TEST_F(MergeJob, NoSourceOrJoinedFileIsRunOnlyToReadItsDuration) {
  const std::string log = dir / "commands.log";
  const std::string program = run + "/bin/ffmpeg";
  fs::remove(program);
  write_file(program, "#!/bin/sh\nfor a in \"$@\"; do last=$a; prev=$before; before=$a; done\n"
                      "[ \"$prev\" = -i ] && echo \"probe $last\" >> '" + log + "'\n"
                      "exec '" QF_SYSTEM_FFMPEG "' \"$@\"\n");
  fs::permissions(program, fs::perms::owner_all);
  add_row("merge_list1", make_clip("a.mp4", "160x120", 2));
  add_row("merge_list2", make_clip("b1.mp4", "160x120", 1));
  add_row("merge_list2", make_clip("b2.mp4", "160x120", 1));
  set_output_count(2);
  choose_format("merge_format_mkv_radio");
  ASSERT_TRUE(run_job());
  EXPECT_TRUE(fs::exists(out + "/1_2_a.mkv"));
  EXPECT_EQ(gui().cell(at("merge_list1"), 0, 2), "00:00:02");
  EXPECT_EQ(gui().cell(at("merge_list2"), 0, 2), "00:00:01");
  EXPECT_EQ(gui().cell(at("merge_list2"), 1, 2), "00:00:01");
  EXPECT_EQ(progress_total_duration.get(), "00:00:03");  // the last pair's joined file
  EXPECT_EQ(text("file_progress_label"), "100 %");
  // Only each pair's written output is read back, to tell that it is a video.
  const auto probed = [&] {
    std::vector<std::string> lines;
    std::istringstream text(read_file(log));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    fs::remove(log);
    return lines;
  };
  const auto is_probe_of = [](const std::string& line, const std::string& path_end) {
    return line.starts_with("probe ") && line.ends_with(path_end);
  };
  std::vector<std::string> probes = probed();
  ASSERT_EQ(probes.size(), 2u);
  EXPECT_TRUE(is_probe_of(probes[0], "/1_1_a.mkv")) << probes[0];
  EXPECT_TRUE(is_probe_of(probes[1], "/1_2_a.mkv")) << probes[1];

  gui().set_checked(at("merge_transition_check"), true);
  gui().set_selected_index(at("merge_transition_combo"), 10);
  ASSERT_TRUE(run_job());
  EXPECT_TRUE(fs::exists(out + "/1_2_a.mkv"));
  // With a transition the first part is read once, for both of its pairs.
  probes = probed();
  ASSERT_EQ(probes.size(), 3u);
  EXPECT_EQ(probes[0], "probe " + run + "/v_temp1/1.mkv");
  EXPECT_TRUE(is_probe_of(probes[1], "/1_1_a.mkv")) << probes[1];
  EXPECT_TRUE(is_probe_of(probes[2], "/1_2_a.mkv")) << probes[2];
}

TEST_F(MergeJob, AJobWithFailedPairsSaysHowManyFailedUntilTheNextStart) {
  const std::string broken = dir / "broken.mp4";
  write_file(broken, "not a video");
  const std::string good = make_clip("b.mp4", "160x120", 1);
  add_row("merge_list1", make_clip("a.mp4", "160x120", 1));
  add_row("merge_list2", broken);
  add_row("merge_list2", good);
  add_row("merge_list2", broken);
  set_output_count(3);
  choose_format("merge_format_mkv_radio");
  gui().set_checked(at("merge_title_from_source2_radio"), true);

  ASSERT_TRUE(run_job());
  EXPECT_TRUE(fs::exists(out + "/1_2_b.mkv"));
  EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
  EXPECT_EQ(merge_failed_pairs_text(2), "2 个合并失败");
  expect_page_restored(merge_failed_pairs_text(2));

  // The next start shows the progress again; a job without failures hides it all.
  gui().clear_rows(at("merge_list2"));
  add_row("merge_list2", good);
  set_output_count(1);
  click_start();
  EXPECT_EQ(text("file_progress_label"), "0 %");
  EXPECT_TRUE(gui().visible(at("file_progress_bar")));
  ASSERT_TRUE(wait_for_job_end());
  expect_page_restored();
}
