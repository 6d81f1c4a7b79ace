// The convert job and the progress display on the headless control model, with the
// real converter on tiny generated clips.

#include "engine/convert/convert_job.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "engine/common/globals.h"
#include "engine/convert/convert_row.h"
#include "engine/converter/converter_runner.h"
#include "engine/converter/job_progress.h"
#include "engine/window/program_pictures.h"
#include "platform/gui/gui.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "tests/engine/convert/convert_job_fixture.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

namespace {

using namespace std::chrono_literals;
using convert_job_test::ConvertJob;

const std::vector<const char*> locked_roles = {
    "convert_add_videos_button", "convert_add_folder_button", "convert_delete_selected_button",
    "convert_clear_button",      "convert_add_m3u8_button",   "merge_page_button",
    "edit_page_button"};
const std::vector<const char*> strip_roles = {"overall_progress_bar", "overall_progress_label", "file_progress_bar",
                                              "file_progress_label"};

}  // namespace

TEST_F(ConvertJob, StartingWithAnEmptyListDoesNothing) {
  click_start();
  EXPECT_EQ(text("convert_start_button"), convert_start_caption);
  EXPECT_FALSE(convert_thread.joinable());
  EXPECT_FALSE(fs::exists(config_file_path.get()));
  EXPECT_FALSE(fs::exists(out));
  for (const char* role : strip_roles) EXPECT_FALSE(gui().visible(at(role))) << role;
}

TEST_F(ConvertJob, TheButtonStartsAndStopsTheJobAndShowsItsState) {
  hold_conversions();
  const std::string source = make_clip("片 段.mp4");
  add_row(source);
  click_start();

  // Started: the stop caption and picture, the strip, the stored choice, the folder.
  EXPECT_EQ(text("convert_start_button"), convert_stop_caption);
  EXPECT_EQ(button_picture(), picture_file(stop_picture_path));
  for (const char* role : strip_roles) EXPECT_TRUE(gui().visible(at(role))) << role;
  EXPECT_EQ(text("file_progress_label"), "0 %");
  EXPECT_EQ(text("overall_progress_label"), "1 / 1");
  EXPECT_EQ(gui().range(at("overall_progress_bar")).y, 1);
  EXPECT_TRUE(fs::is_directory(out));
  EXPECT_EQ(read_profile_text(config_file_path.get(), "批量转换视频", "保存位置"), out);
  EXPECT_EQ(read_profile_text(config_file_path.get(), "批量转换视频", "保存方式"), "b");
  ASSERT_TRUE(wait_for_job_start());
  ASSERT_TRUE(wait_for([&] { return status(0) == "正在转换"; }));
  for (const char* role : locked_roles) EXPECT_FALSE(gui().enabled(at(role))) << role;

  // Stopping: asked, shown, and the running row still finishes.
  click_start();
  EXPECT_EQ(text("convert_start_button"), convert_stopping_caption);
  EXPECT_FALSE(gui().enabled(at("convert_start_button")));
  EXPECT_TRUE(stop_requested);
  open_gate();
  ASSERT_TRUE(wait_for_job_end());

  EXPECT_TRUE(gui().enabled(at("convert_start_button")));
  EXPECT_EQ(button_picture(), picture_file(convert_idle_picture_path));
  for (const char* role : locked_roles) EXPECT_TRUE(gui().enabled(at(role))) << role;
  for (const char* role : strip_roles) EXPECT_FALSE(gui().visible(at(role))) << role;
  EXPECT_EQ(status(0), "任务完成");
  EXPECT_EQ(output_format.get(), "mp4");
  EXPECT_TRUE(test_env::ffprobe(out + "/片 段.mp4").ok);

  // Saving beside the source is stored as "a".
  gui().input_click(at("convert_save_beside_source_radio"));
  open_gate();
  click_start();
  ASSERT_TRUE(wait_for_job_end());
  EXPECT_EQ(read_profile_text(config_file_path.get(), "批量转换视频", "保存方式"), "a");
  EXPECT_TRUE(test_env::ffprobe(dir / "片 段_new.mp4").ok);
}

TEST_F(ConvertJob, AStopDuringTheFirstOfThreeRowsEndsTheJobAfterIt) {
  hold_conversions("/b.mp4");  // the second row's probe, which runs ahead, waits too
  const std::string a = make_clip("a.mp4");
  fs::copy_file(a, dir / "b.mp4");
  fs::copy_file(a, dir / "c.mp4");
  gui().input_click(at("convert_format_mkv_radio"));
  for (const std::string& source : {a, dir / "b.mp4", dir / "c.mp4"}) add_row(source);
  click_start();
  ASSERT_TRUE(wait_for([&] { return status(0) == "正在转换"; }));
  click_start();
  open_gate();
  // The first row ends, but the job has not ended while the second row's probe runs.
  ASSERT_TRUE(wait_for([&] { return status(0) == "任务完成"; }));
  wait_for([] { return false; }, 1s);
  EXPECT_EQ(text("convert_start_button"), convert_stopping_caption);
  EXPECT_EQ(logged("end"), 2);  // the probe of a and its conversion
  open_probe_gate();
  ASSERT_TRUE(wait_for_job_end());

  // Three converter runs (the probes of a and b, the conversion of a: its output is
  // judged from the conversion's own console), all ended; one conversion only.
  EXPECT_EQ(logged("start"), 3);
  EXPECT_EQ(logged("end"), 3);
  EXPECT_EQ(logged("held"), 1);
  EXPECT_TRUE(running_converter_ids().empty());
  EXPECT_EQ(status(0), "任务完成");
  EXPECT_EQ(status(1), "");
  EXPECT_EQ(status(2), "");
  EXPECT_EQ(text("convert_start_button"), convert_start_caption);
  EXPECT_TRUE(test_env::ffprobe(out + "/a.mkv").ok);
  EXPECT_FALSE(fs::exists(out + "/b.mkv"));
  EXPECT_FALSE(fs::exists(out + "/c.mkv"));
}

TEST_F(ConvertJob, TheSourceGoesOnlyAfterItsRowReallySucceeded) {
  const std::string folder = dir / "视频 \"源\"";
  fs::create_directories(folder);
  const std::string good = folder + "/good.mp4", bad = folder + "/bad.mp4", same = folder + "/same.mkv";
  fs::copy_file(make_clip("clip.mp4"), good);
  fs::copy_file(good, same);
  std::string noise(4096, '\0');
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919u + 13u) % 251u);
  write_file(bad, noise);
  const std::string good_bytes = read_file(good), same_bytes = read_file(same);

  // Saving into the sources' own folder as mkv: same.mkv would be its own output.
  gui().set_text(at("convert_output_folder_field"), folder);
  gui().input_click(at("convert_format_mkv_radio"));
  for (const std::string& source : {good, bad, same}) add_row(source);

  for (const bool delete_source : {false, true}) {
    SCOPED_TRACE(delete_source ? "deleting" : "keeping");
    gui().set_checked(at("convert_delete_source_check"), delete_source);
    click_start();
    ASSERT_TRUE(wait_for_job_end());
    EXPECT_EQ(status(0), "任务完成");
    EXPECT_EQ(status(1), "转换失败");
    EXPECT_EQ(status(2), convert_status_output_is_source);
    EXPECT_TRUE(test_env::ffprobe(folder + "/good.mkv").ok);
    EXPECT_EQ(fs::exists(good), !delete_source);
    EXPECT_EQ(read_file(bad), noise);
    EXPECT_EQ(read_file(same), same_bytes);
  }
}

// A converter that says it finished and exits 0 is not believed on its word: a row is
// done only when its output is there and is media.
TEST_F(ConvertJob, ARowIsDoneOnlyWhenItsOutputIsReallyThere) {
  const std::string source = make_clip("clip.mp4", 2);
  const std::string source_bytes = read_file(source);
  // The stand-in passes duration probes (no "-y") to the real converter; a conversion
  // does what the case says to the output (its last argument), reports the finish
  // line of a successful run and exits 0.
  const struct {
    const char* name;
    const char* conversion;
  } cases[] = {
      {"no output", ""},
      {"empty output", ": > \"$out\"\n"},
      {"cut-short output",
       "'" QF_SYSTEM_FFMPEG "' \"$@\" > /dev/null 2>&1\n"
       "size=$(stat -c %s \"$out\")\nhead -c $((size / 2)) \"$out\" > \"$out.part\"\nmv \"$out.part\" \"$out\"\n"},
      {"not media", "printf 'no video in here' > \"$out\"\n"},
      {"a leftover child holds the console", "(sleep 1) &\n"},
  };
  const std::string program = run + "/bin/ffmpeg";
  add_row(source);
  gui().set_checked(at("convert_delete_source_check"), true);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(program);
    write_file(program, std::string("#!/bin/sh\nconverting=\nfor a in \"$@\"; do out=$a; [ \"$a\" = -y ] && converting=1; done\n"
                                    "[ -z \"$converting\" ] && exec '" QF_SYSTEM_FFMPEG "' \"$@\"\n") +
                            c.conversion + "echo 'video:1kB audio:0kB subtitle:0kB other streams:0kB global headers:0kB'\n");
    fs::permissions(program, fs::perms::owner_all);
    fs::remove_all(out);
    click_start();
    ASSERT_TRUE(wait_for_job_end());
    EXPECT_EQ(status(0), convert_status_failed);
    EXPECT_EQ(read_file(source), source_bytes);
  }
}

// A row is judged while the next one converts; a next row with the same source sees
// what the judgement left: the source deleted after the first row succeeded.
TEST_F(ConvertJob, ARowListedTwiceSeesItsSourceGoneAfterTheFirstSucceeded) {
  const std::string source = make_clip("clip.mp4");
  add_row(source);
  add_row(source);
  gui().input_click(at("convert_format_mkv_radio"));
  gui().set_checked(at("convert_delete_source_check"), true);
  click_start();
  ASSERT_TRUE(wait_for_job_end());
  EXPECT_EQ(status(0), "任务完成");
  EXPECT_EQ(status(1), "文件不存在");
  EXPECT_FALSE(fs::exists(source));
}

TEST_F(ConvertJob, EachRowConvertsWithItsOwnSourcesDuration) {
  hold_conversions();
  const std::string two = make_clip("two.mp4", 2), one = make_clip("one.mp4", 1);
  gui().input_click(at("convert_save_beside_source_radio"));
  // The third row's source is the output of the second, written while the third row's
  // probe runs ahead: the row takes the duration of the file it converts.
  for (const std::string& source : {two, one, dir / "one_new.mp4"}) add_row(source);
  click_start();
  const std::vector<std::string> totals = {"00:00:02", "00:00:01", "00:00:01"};
  for (int row = 0; row < 3; ++row) {
    ASSERT_TRUE(wait_for([&] { return logged("held") == row + 1; })) << "row " << row;
    EXPECT_EQ(status(row), "正在转换");
    EXPECT_EQ(progress_total_duration.get(), totals[row]) << "row " << row;
    release_conversion(row);
  }
  ASSERT_TRUE(wait_for_job_end());
  for (int row = 0; row < 3; ++row) EXPECT_EQ(status(row), "任务完成") << "row " << row;
  EXPECT_TRUE(test_env::ffprobe(dir / "one_new_new.mp4").ok);
}

TEST_F(ConvertJob, ANewJobEmptiesEveryStatusFirst) {
  const std::string a = make_clip("a.mp4");
  add_row(a);
  add_row(dir / "missing.mp4");
  click_start();
  ASSERT_TRUE(wait_for_job_end());
  EXPECT_EQ(status(0), "任务完成");
  // A missing source ends its row with the converter's word, without waiting.
  EXPECT_EQ(status(1), "文件不存在");

  hold_conversions();
  click_start();
  ASSERT_TRUE(wait_for([&] { return status(0) == "正在转换"; }));
  EXPECT_EQ(status(1), "");
  open_gate();
  ASSERT_TRUE(wait_for_job_end());
}

// A row whose output is already there reads the listed sources before it runs: an
// output that is another row's source (here listed through a link) is never written.
TEST_F(ConvertJob, AnOutputThatIsAnotherListedSourceIsNeverWritten) {
  const std::string source = make_clip("a.mp4");
  fs::create_directories(out);
  const std::string listed_output = out + "/a.mkv";
  fs::copy_file(source, listed_output);
  const std::string link = dir / "link to a.mkv";
  fs::create_symlink(listed_output, link);
  const std::string listed_bytes = read_file(listed_output);
  gui().input_click(at("convert_format_mkv_radio"));
  add_row(source);
  add_row(link);
  click_start();
  ASSERT_TRUE(wait_for_job_end());
  EXPECT_EQ(status(0), convert_status_output_is_source);
  EXPECT_EQ(read_file(listed_output), listed_bytes);
}

TEST_F(ConvertJob, TheWorkerWritesToTheRowsItStartedWith) {
  hold_conversions();
  const std::string a = make_clip("a.mp4");
  fs::copy_file(a, dir / "b.mp4");
  fs::copy_file(a, dir / "c.mp4");
  const RowId a_row = add_row(a);
  add_row(dir / "b.mp4");
  const RowId c_row = add_row(dir / "c.mp4");
  click_start();
  ASSERT_TRUE(wait_for([&] { return status(0) == "正在转换"; }));
  // Meanwhile a row goes and two come in front: positions shift under the job.
  const ControlRef list = at("convert_list");
  gui().delete_row(list, 1);
  gui().insert_row(list, 0, {"8", dir / "new1.mp4", ""});
  gui().insert_row(list, 0, {"9", dir / "new2.mp4", ""});
  open_gate();
  ASSERT_TRUE(wait_for_job_end());

  ASSERT_EQ(gui().row_count(list), 4);
  EXPECT_EQ(status(0), "");  // the new rows are no part of this job
  EXPECT_EQ(status(1), "");
  EXPECT_EQ(gui().cell_by_id(list, a_row, 2), "任务完成");
  EXPECT_EQ(gui().cell_by_id(list, c_row, 2), "任务完成");
  EXPECT_TRUE(fs::exists(out + "/c.mp4"));
  EXPECT_FALSE(fs::exists(out + "/b.mp4"));  // deleted before its turn
}

TEST_F(ConvertJob, AStreamSavedBesideItsSourceGoesToTheOutputFolderAndStays) {
  const std::string stream_folder = dir / "hls";
  fs::create_directories(stream_folder);
  ASSERT_TRUE(test_env::make_clip({"-i", make_clip("clip.mp4"), "-c", "copy", "-f", "hls", "-hls_time", "1",
                                   "-hls_list_size", "0", stream_folder + "/index.m3u8"}));
  gui().input_click(at("convert_save_beside_source_radio"));
  gui().input_click(at("convert_format_mp3_radio"));
  gui().set_checked(at("convert_delete_source_check"), true);
  add_row(stream_folder + "/index.m3u8");
  click_start();
  ASSERT_TRUE(wait_for_job_end());
  EXPECT_EQ(status(0), "任务完成");
  EXPECT_EQ(test_env::ffprobe(out + "/index.mp3").codec_types, std::vector<std::string>{"audio"});
  EXPECT_FALSE(fs::exists(out + "/indextmp.mp4"));
  EXPECT_TRUE(fs::exists(stream_folder + "/index.m3u8"));
}

TEST_F(ConvertJob, AMissingConverterEndsTheRowAsAFailure) {
  ffmpeg_exe_path.set(run + "/bin/nothing-here");
  add_row(make_clip("a.mp4"));
  click_start();
  ASSERT_TRUE(wait_for_job_end());
  EXPECT_EQ(status(0), convert_status_failed);
  EXPECT_EQ(text("file_progress_label"), "0 %");
}

// Shutdown is for good (no converter starts after it), so it runs in a process of its own.
TEST_F(ConvertJob, ShutdownEndsARunningJob) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        // The conversion and the second row's probe, which runs ahead, would wait for ever.
        hold_conversions("/b.mp4");
        const std::string a = make_clip("a.mp4");
        fs::copy_file(a, dir / "b.mp4");
        gui().set_checked(at("convert_delete_source_check"), true);
        add_row(a);
        add_row(dir / "b.mp4");
        click_start();
        // Both held: the probes of a and b and the conversion of a have started.
        bool ok = wait_for([&] { return status(0) == "正在转换" && logged("start") == 3; });
        end_convert_thread();
        ok = ok && !convert_thread.joinable() && running_converter_ids().empty() && fs::exists(a) &&
             status(0) == convert_status_failed && status(1).empty();
        std::error_code ignored;
        fs::remove_all(dir.path(), ignored);
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}
