// The edit job's work files, the keeping rule of a step's output, and the save's
// option texts.

#include "engine/edit/edit_job_state.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/edit/edit_job_command.h"
#include "engine/edit/edit_job_save.h"
#include "engine/edit/edit_job_steps.h"
#include "tests/support/job_run_folder.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::TempDir;
using test_env::write_file;

TEST(EditJobState, WorkFilesFollowTheRowNumberAndTheSourceContainer) {
  struct Case {
    const char* source;
    const char* a;
    const char* b;
    const char* extension;
  };
  for (const Case& c : {Case{"/v/clip.MKV", "/w/1.mkv", "/w/1a.mkv", ".mkv"},
                        Case{"/v/clip.mp4", "/w/1.mp4", "/w/1a.mp4", ".mp4"},
                        Case{"/v/clip.avi", "/w/1.mkv", "/w/1a.mkv", ".avi"},
                        Case{"/v/clip.flv", "/w/1.mkv", "/w/1a.mkv", ".flv"}}) {
    const EditVideoState state = make_edit_video_state(1, 7, c.source, "00:01:40", "/w/");
    EXPECT_EQ(state.work_file_a, c.a) << c.source;
    EXPECT_EQ(state.work_file_b, c.b) << c.source;
    EXPECT_EQ(state.source_extension, c.extension) << c.source;
    EXPECT_EQ(state.full_length, 100);
    EXPECT_EQ(state.kept_length, 100);
    EXPECT_EQ(state.trim_start, "00:00:00");
    EXPECT_EQ(state.current_file(), state.work_file_a);
    EXPECT_EQ(state.next_file(), state.work_file_b);
  }
  // Two rows of one file get their own work files.
  EXPECT_EQ(make_edit_video_state(2, 8, "/v/clip.mp4", "00:00:01", "/w/").work_file_a, "/w/2.mp4");
}

TEST(EditJobState, AStepOutputCountsFromTenBytesAndTheOtherFileIsDiscarded) {
  TempDir dir;
  EditVideoState state = make_edit_video_state(3, 1, "/v/c.avi", "00:00:05", dir.path() + "/");
  write_file(state.work_file_a, "current A");
  write_file(state.work_file_b, "123456789");  // 9 bytes
  EXPECT_FALSE(edit_step_verify(state));
  EXPECT_EQ(state.current, 1);
  write_file(state.work_file_b, "1234567890");
  EXPECT_TRUE(edit_step_verify(state));
  EXPECT_EQ(state.current, 2);
  // A missing output never counts.
  fs::remove(state.work_file_a);
  EXPECT_FALSE(edit_step_verify(state));
  EXPECT_EQ(state.current, 2);

  // The frame discards the file that is not current after every block.
  write_file(state.work_file_a, "left over");
  run_edit_steps(state, EditPage(WindowToken{}));
  EXPECT_FALSE(fs::exists(state.work_file_a));
  EXPECT_TRUE(fs::exists(state.work_file_b));
}

TEST(EditJobSave, OptionTextsForRateAndCompression) {
  EXPECT_EQ(edit_save_rate_option(false, "25 -an"), "");
  EXPECT_EQ(edit_save_rate_option(true, "30"), " -r 30");
  EXPECT_EQ(edit_save_rate_option(true, "29.97"), " -r 29.97");
  EXPECT_EQ(edit_save_rate_option(true, "30000/1001"), " -r 30000/1001");
  for (const char* refused : {"", "0", "0.0", "25 -an", "-5", "abc", "1/0", "25.", ".5x", "\"25\""}) {
    EXPECT_EQ(edit_save_rate_option(true, refused), std::nullopt) << refused;
  }
  EXPECT_EQ(edit_save_pack_option(false, "模式一", 10, "mp4"), " -vcodec copy");
  EXPECT_EQ(edit_save_pack_option(true, "模式一", 1, "mp4"), " -crf 28 -b:a 50k -preset ultrafast");
  EXPECT_EQ(edit_save_pack_option(true, "模式一", 10, "mp4"), " -crf 37 -b:a 50k -preset ultrafast");
  EXPECT_EQ(edit_save_pack_option(true, "模式一", 20, "mp4"), " -crf 47 -b:a 50k -preset ultrafast");
  EXPECT_EQ(edit_save_pack_option(true, "模式二", 10, "mp4"), " -vcodec libx265 -preset ultrafast");
  EXPECT_EQ(edit_save_pack_option(true, "", 10, "mp4"), " -vcodec libx265 -preset ultrafast");
  EXPECT_EQ(edit_save_pack_option(true, "模式一", 10, "ts"), " -crf 37 -b:a 48k -preset ultrafast");
  EXPECT_EQ(edit_save_pack_option(true, "模式二", 10, "flv"), " -vcodec libx264 -preset ultrafast");
  EXPECT_EQ(edit_save_pack_option(true, "模式二", 10, "wmv"), " -vcodec libx264 -preset ultrafast");
  EXPECT_EQ(edit_save_pack_option(true, "模式二", 10, "mkv"), " -vcodec libx265 -preset ultrafast");
  EXPECT_EQ(edit_output_path("/out", "/a/clip.avi", "mkv"), "/out/clip.mkv");

  EditSaveOptions cover;
  cover.random_transition = true;
  cover.mp4_radio = true;
  EXPECT_TRUE(edit_save_takes_cover_path(cover, ".mp4"));
  EXPECT_FALSE(edit_save_takes_cover_path(cover, ".mkv"));
  cover.mp4_radio = false;
  EXPECT_FALSE(edit_save_takes_cover_path(cover, ".mp4"));
}

namespace {

// A command that writes `bytes` of nothing into the next work file through the
// converter (a raw byte stream of that length), or, with `bytes` 0, one that fails.
EditCommand writing(const EditVideoState& state, int bytes) {
  EditCommand command;
  if (bytes == 0) return command.text(" -i ").path(state.work_folder + "missing.mkv").text(" -y ").path(state.next_file());
  return command.text(" -f lavfi -i anullsrc=sample_rate=8000:channel_layout=mono -t 1 -f u8 -ac 1 -ar " +
                      std::to_string(bytes) + " -y ")
      .path(state.next_file());
}

}  // namespace

TEST(EditJobState, ARetryMakesItsOutputCurrentOnlyWhenItCounts) {
  TempDir dir;
  test_env::use_job_run_folder(dir.path());
  struct Case {
    int primary_bytes, retry_bytes;
    int current_after;  // 1: the old file stays current
    bool counted;
  };
  for (const Case c : {Case{0, 0, 1, false}, Case{5, 0, 1, false}, Case{5, 9, 1, false}, Case{0, 20, 2, true},
                       Case{5, 20, 2, true}, Case{40, 0, 2, true}}) {
    SCOPED_TRACE(std::to_string(c.primary_bytes) + " then " + std::to_string(c.retry_bytes));
    EditVideoState state = make_edit_video_state(1, 1, "/v/c.avi", "00:00:05", dir.path() + "/");
    write_file(state.work_file_a, "the current work file");
    fs::remove(state.work_file_b);
    EXPECT_EQ(edit_step_retry(state, writing(state, c.primary_bytes), writing(state, c.retry_bytes)), c.counted);
    EXPECT_EQ(state.current, c.current_after);
    EXPECT_EQ(test_env::read_file(state.work_file_a), "the current work file");
  }
}
