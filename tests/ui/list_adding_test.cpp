// Adding videos to the job lists: dropped files filtered by extension (never a
// folder), the open dialog with its remembered folders and the edit list's durations
// probed from real clips, and folder scans in their order, on threads, with their
// buttons.

#include <filesystem>
#include <string>
#include <vector>

#include "engine/common/file_helpers.h"
#include "engine/window/file_dialogs.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "tests/support/test_env.h"
#include "tests/ui/job_list_test_support.h"
#include "ui/list_adding.h"
#include "ui/ui_globals.h"

namespace {

using ListAdding = JobListWindowTest;

void make_folder(const std::string& path) { std::filesystem::create_directories(path); }
void touch(const std::string& path) { test_env::write_file(path, "x"); }

std::string text(const char* role) { return gui().text(main_control(role)); }

TEST_F(ListAdding, DropsKeepOnlyVideoFilesByTheirExtensionAndNeverAFolder) {
  test_env::TempDir media;
  const std::string folder_like_video = media / "clips.mp4";
  make_folder(folder_like_video);
  struct Case {
    std::string name;
    bool added;
  };
  const std::vector<Case> cases = {
      {"/v/a.mp4", true},  {"/v/CLIP.MP4", true}, {"/v/b.Mkv", true},   {"/v/c.flv", true},
      {"/v/d.mov", true},  {"/v/e.wmv", true},    {"/v/f.ts", true},    {"/v/g.avi", true},
      {"/v/h.txt", false}, {"/v/i.m3u8", false},  {"/v/mp4", false},    {"/v/j.mp4.part", false},
      {media.path(), false}, {folder_like_video, false},
  };
  for (JobList list : all_job_lists) {
    SCOPED_TRACE(info(list).list_role);
    std::vector<std::string> dropped;
    std::vector<std::string> expected;
    for (const Case& c : cases) {
      dropped.push_back(c.name);
      if (c.added) expected.push_back(c.name);
    }
    ASSERT_TRUE(drop(list, dropped));
    EXPECT_EQ(sources(list), expected);
    EXPECT_EQ(numbers(list), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8"}));
    // No duration is probed for dropped rows.
    for (std::size_t c = 2; c < gui().columns(list_of(list)).size(); ++c)
      EXPECT_EQ(column(list, static_cast<int>(c)), std::vector<std::string>(8, ""));
  }
  EXPECT_EQ(text("merge_list1_count_label"), "共 8 个视频");
  EXPECT_EQ(text("edit_list_count_label"), "共 8 个视频");
}

TEST_F(ListAdding, ASingleDroppedNameComesWithoutALineBreakAndEmptyPiecesAreSkipped) {
  ASSERT_TRUE(drop(JobList::convert, {"/v/one.mp4"}));
  EXPECT_EQ(sources(JobList::convert), (std::vector<std::string>{"/v/one.mp4"}));
  add_dropped_files(JobList::convert, "\r\n/v/two.mp4\r\n\r\n/v/three.ts\r\n");
  add_dropped_files(JobList::convert, "");
  EXPECT_EQ(sources(JobList::convert), (std::vector<std::string>{"/v/one.mp4", "/v/two.mp4", "/v/three.ts"}));
  EXPECT_EQ(numbers(JobList::convert), (std::vector<std::string>{"1", "2", "3"}));
}

TEST_F(ListAdding, DropsAreAcceptedWhileTheListsJobRuns) {
  start_job_on(JobList::convert);
  ASSERT_TRUE(drop(JobList::convert, {"/v/a.mp4"}));
  EXPECT_EQ(sources(JobList::convert), (std::vector<std::string>{"/v/a.mp4"}));
}

TEST_F(ListAdding, TheOpenDialogAddsTheChosenFilesAndRemembersTheirFolder) {
  const std::string initial = merge_list1_open_folder.get();
  // Names may hold ";": each chosen file is one element.
  const std::vector<std::string> chosen = {"/媒体 库/a;b.mp4", "/媒体 库/c.txt", "/媒体 库/d.mkv"};
  g.services.answer_open_files(chosen);
  ASSERT_TRUE(click(JobList::merge1, "merge_add_videos1_button"));

  ASSERT_EQ(g.services.open_file_requests().size(), 1u);
  const OpenFileRequest request = g.services.open_file_requests().front();
  EXPECT_EQ(request.owner, window);
  EXPECT_EQ(request.title, "请选择要合并的原视频１");
  EXPECT_EQ(request.filter, "视频文件|*.mp4;*.wmv;*.flv;*.ts;*.mov;*.mkv;*.avi|所有格式|*.*");
  EXPECT_EQ(request.initial_folder, initial);
  EXPECT_TRUE(request.multi_select);

  // Not filtered: "所有格式" admits any file; no duration on this list.
  EXPECT_EQ(sources(JobList::merge1), chosen);
  EXPECT_EQ(numbers(JobList::merge1), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(column(JobList::merge1, 2), (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(merge_list1_open_folder.get(), "/媒体 库/");
  EXPECT_EQ(read_profile_text(run.config(), "原视频", "打开位置2"), "/媒体 库/");
  EXPECT_TRUE(gui().enabled(at("merge_add_videos1_button")));
  EXPECT_EQ(text("merge_list1_count_label"), "共 3 个视频");

  // The next dialog opens where the last add came from.
  g.services.answer_open_files({"/other/e.mp4"});
  ASSERT_TRUE(click(JobList::merge1, "merge_add_videos1_button"));
  EXPECT_EQ(g.services.open_file_requests().back().initial_folder, "/媒体 库/");
  EXPECT_EQ(numbers(JobList::merge1), (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(read_profile_text(run.config(), "原视频", "打开位置2"), "/other/");
}

TEST_F(ListAdding, EachListsDialogHasItsTitleAndSettingsKey) {
  const char* keys[] = {"打开位置1", "打开位置2", "打开位置3", "打开位置4"};
  const char* titles[] = {"请选择要转换的视频", "请选择要合并的原视频１", "请选择要合并的原视频２",
                          "请选择要剪辑的原视频１"};
  for (JobList list : all_job_lists) {
    const std::size_t i = static_cast<std::size_t>(list) - 1;
    const std::string folder = "/dir" + std::to_string(i) + "/";
    g.services.answer_open_files({folder + "missing.txt"});
    ASSERT_TRUE(click(list, info(list).add_videos_button));
    EXPECT_EQ(g.services.open_file_requests().back().title, titles[i]);
    EXPECT_EQ(read_profile_text(run.config(), "原视频", keys[i]), folder);
    EXPECT_EQ(info(list).open_folder->get(), folder);
    EXPECT_EQ(sources(list), (std::vector<std::string>{folder + "missing.txt"}));
  }
  // A file the converter cannot read still gets its row, with an empty duration.
  EXPECT_EQ(column(JobList::edit, 2), (std::vector<std::string>{""}));
}

TEST_F(ListAdding, CancellingTheDialogAddsNothingAndChangesNoFolder) {
  const std::string before = convert_list_open_folder.get();
  ASSERT_TRUE(click(JobList::convert, "convert_add_videos_button"));
  EXPECT_EQ(gui().row_count(list_of(JobList::convert)), 0);
  EXPECT_EQ(convert_list_open_folder.get(), before);
  EXPECT_FALSE(path_exists(run.config()));
  EXPECT_TRUE(gui().enabled(at("convert_add_videos_button")));
}

TEST_F(ListAdding, AnAddThatEndsWhileItsJobRunsLeavesTheButtonDisabled) {
  // The job starts while the dialog is open.
  g.services.answer_open_files({"/v/a.mp4"});
  gui().bind({window, "convert_add_videos_button"}, EventKind::clicked, [](const GuiEvent&) {
    start_job_on(JobList::convert);
    add_videos_through_dialog(JobList::convert);
  });
  ASSERT_TRUE(click(JobList::convert, "convert_add_videos_button"));
  EXPECT_EQ(sources(JobList::convert), (std::vector<std::string>{"/v/a.mp4"}));
  EXPECT_FALSE(gui().enabled(at("convert_add_videos_button")));
  end_job_on(JobList::convert);
  EXPECT_TRUE(gui().enabled(at("convert_add_videos_button")));
}

TEST_F(ListAdding, TheEditListsDialogProbesDurationsWhileEventsFlowAndWritesThemToTheirRows) {
  test_env::TempDir media;
  const std::string two = media / "两秒 clip.mp4";
  const std::string three = media / "three.mp4";
  const std::string junk = media / "junk.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(two, 2.0));
  ASSERT_TRUE(test_env::make_h264_aac_mp4(three, 3.0));
  test_env::write_file(junk, "not a video");
  ASSERT_TRUE(drop(JobList::edit, {"/v/earlier.mp4"}));

  // Runs during the first probe, as a user acting while the rows come in: the list
  // menu refuses to delete, and an earlier row goes, shifting the new rows up.
  bool ran_during_add = false;
  std::vector<std::string> refusals;
  g.loop.post([&] {
    ran_during_add = !gui().enabled(at("edit_add_videos_button"));
    choose_from_list_menu(JobList::edit, 0, "delete_selected_menu_item");
    refusals = message_texts();
    gui().delete_row(list_of(JobList::edit), 0);
  });
  g.services.answer_open_files({two, junk, three});
  ASSERT_TRUE(click(JobList::edit, "edit_add_videos_button"));

  EXPECT_TRUE(ran_during_add);
  EXPECT_EQ(refusals, (std::vector<std::string>{"正在剪辑视频，请勿删除！"}));
  EXPECT_EQ(sources(JobList::edit), (std::vector<std::string>{two, junk, three}));
  EXPECT_EQ(column(JobList::edit, 2), (std::vector<std::string>{"00:00:02", "", "00:00:03"}));
  EXPECT_EQ(column(JobList::edit, 3), (std::vector<std::string>{"", "", ""}));
  // The first new row was numbered before the earlier row went; the later ones after.
  EXPECT_EQ(numbers(JobList::edit), (std::vector<std::string>{"2", "2", "3"}));
  EXPECT_EQ(text("edit_list_count_label"), "共 3 个视频");
  EXPECT_EQ(read_profile_text(run.config(), "原视频", "打开位置4"), media.path() + "/");
  EXPECT_TRUE(gui().enabled(at("edit_add_videos_button")));
}

TEST_F(ListAdding, AFolderScanAddsSubfoldersFirstThenTheChosenFolderItself) {
  test_env::TempDir media;
  const std::string d = media / "D 文件夹";
  make_folder(d + "/S/T");
  make_folder(d + "/.hidden");
  make_folder(d + "/empty");
  touch(d + "/a.mp4");
  touch(d + "/notes.txt");
  touch(d + "/S/b.mp4");
  touch(d + "/S/T/c.MKV");
  touch(d + "/S/T/c.srt");
  touch(d + "/.hidden/h.mp4");

  g.services.answer_folder(d);
  ASSERT_TRUE(click(JobList::convert, "convert_add_folder_button"));
  ASSERT_EQ(g.services.folder_requests().size(), 1u);
  EXPECT_EQ(g.services.folder_requests().front().title, "请选择视频所在的文件夹");
  finish_list_threads();

  EXPECT_EQ(sources(JobList::convert), (std::vector<std::string>{d + "/S/b.mp4", d + "/S/T/c.MKV", d + "/a.mp4"}));
  EXPECT_EQ(numbers(JobList::convert), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(column(JobList::convert, 2), (std::vector<std::string>{"", "", ""}));
  EXPECT_TRUE(gui().enabled(at("convert_add_folder_button")));
  EXPECT_EQ(gui().control_state(list_of(JobList::convert)).top_row, 0);
}

TEST_F(ListAdding, ScansOfTwoListsRunTogetherEachOnItsOwnFolderWithDurations) {
  test_env::TempDir media;
  make_folder(media / "one/sub");
  make_folder(media / "two");
  ASSERT_TRUE(test_env::make_h264_aac_mp4(media / "one/sub/x.mp4", 2.0));
  ASSERT_TRUE(test_env::make_h264_aac_mp4(media / "one/y.mp4", 3.0));
  test_env::write_file(media / "two/z.mp4", "not a video");

  g.services.answer_folder(media / "one");
  g.services.answer_folder(media / "two");
  ASSERT_TRUE(click(JobList::merge1, "merge_add_folder1_button"));
  ASSERT_TRUE(click(JobList::edit, "edit_add_folder_button"));
  EXPECT_EQ(g.services.folder_requests().at(0).title, "请选择原视频１所在的文件夹");
  EXPECT_EQ(g.services.folder_requests().at(1).title, "请选择原视频所在的文件夹");
  finish_list_threads();

  EXPECT_EQ(sources(JobList::merge1), (std::vector<std::string>{media / "one/sub/x.mp4", media / "one/y.mp4"}));
  EXPECT_EQ(column(JobList::merge1, 2), (std::vector<std::string>{"00:00:02", "00:00:03"}));
  EXPECT_EQ(sources(JobList::edit), (std::vector<std::string>{media / "two/z.mp4"}));
  EXPECT_EQ(column(JobList::edit, 2), (std::vector<std::string>{""}));
  EXPECT_EQ(text("merge_list1_count_label"), "共 2 个视频");
  EXPECT_EQ(text("edit_list_count_label"), "共 1 个视频");
  EXPECT_TRUE(gui().enabled(at("merge_add_folder1_button")));
  EXPECT_TRUE(gui().enabled(at("edit_add_folder_button")));
  EXPECT_TRUE(gui().enabled(at("merge_all_source1_check")));
}

TEST_F(ListAdding, ScanRowsAreScrolledIntoView) {
  test_env::TempDir media;
  for (int i = 0; i < 40; ++i) touch(media / ("v" + std::to_string(i) + ".mp4"));
  g.services.answer_folder(media.path());
  ASSERT_TRUE(click(JobList::convert, "convert_add_folder_button"));
  finish_list_threads();
  EXPECT_EQ(gui().row_count(list_of(JobList::convert)), 40);
  EXPECT_GT(gui().control_state(list_of(JobList::convert)).top_row, 0);
}

TEST_F(ListAdding, CancellingTheFolderBrowserStartsNoScan) {
  ASSERT_TRUE(click(JobList::merge2, "merge_add_folder2_button"));
  EXPECT_EQ(running_worker_threads(WorkerKind::scan), 0);
  EXPECT_TRUE(gui().enabled(at("merge_add_folder2_button")));
  EXPECT_EQ(gui().row_count(list_of(JobList::merge2)), 0);
}

TEST_F(ListAdding, AScanThatEndsWhileItsJobRunsLeavesTheButtonDisabledAndOnlyTheLabelsChange) {
  test_env::TempDir media;
  touch(media / "a.mp4");
  touch(media / "b.mp4");
  g.services.answer_folder(media.path());
  ASSERT_TRUE(click(JobList::merge2, "merge_add_folder2_button"));
  // The merge job starts while the scan runs; its stop button was pressed.
  start_job_on(JobList::merge1);
  gui().set_enabled(at("merge_start_button"), false);
  finish_list_threads();

  EXPECT_EQ(gui().row_count(list_of(JobList::merge2)), 2);
  EXPECT_EQ(text("merge_list2_count_label"), "共 2 个视频");
  EXPECT_FALSE(gui().enabled(at("merge_add_folder2_button")));
  EXPECT_FALSE(gui().enabled(at("merge_start_button")));
  EXPECT_FALSE(gui().enabled(at("merge_all_source2_check")));
  end_job_on(JobList::merge1);
  EXPECT_TRUE(gui().enabled(at("merge_add_folder2_button")));
}

}  // namespace
