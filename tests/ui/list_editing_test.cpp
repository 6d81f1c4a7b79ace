// Selecting, deleting and clearing rows of the job lists, the list menu with its
// refusals while a job runs, the convert list's keys, and playing a row or opening its
// folder through the shell.

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/convert/convert_job.h"
#include "tests/support/test_env.h"
#include "tests/ui/job_list_test_support.h"
#include "ui/list_editing.h"

namespace {

using ListEditing = JobListWindowTest;

std::vector<std::string> six_videos() {
  std::vector<std::string> names;
  for (int i = 1; i <= 6; ++i) names.push_back("/v/" + std::to_string(i) + ".mp4");
  return names;
}

std::string text(const char* role) { return gui().text(main_control(role)); }

TEST_F(ListEditing, SelectAllAndInvertOnEveryListFocusTheList) {
  for (JobList list : all_job_lists) {
    SCOPED_TRACE(info(list).list_role);
    ASSERT_TRUE(drop(list, {"/v/a.mp4", "/v/b.mp4", "/v/c.mp4"}));
    const ControlRef control = list_of(list);

    // Inverting nothing selects everything; twice restores the start.
    ASSERT_TRUE(click(list, info(list).invert_button));
    EXPECT_EQ(gui().selected_rows(control), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(gui().focused_role(window), info(list).list_role);
    select_rows(list, {1});
    ASSERT_TRUE(click(list, info(list).invert_button));
    EXPECT_EQ(gui().selected_rows(control), (std::vector<int>{0, 2}));
    ASSERT_TRUE(click(list, info(list).invert_button));
    EXPECT_EQ(gui().selected_rows(control), (std::vector<int>{1}));

    gui().set_focus(at(info(list).add_videos_button));
    ASSERT_TRUE(click(list, info(list).select_all_button));
    EXPECT_EQ(gui().selected_rows(control), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(gui().focused_role(window), info(list).list_role);
  }
}

TEST_F(ListEditing, DeletingSelectedRowsKeepsTheOthersAndTheirNumbers) {
  for (JobList list : all_job_lists) {
    SCOPED_TRACE(info(list).list_role);
    ASSERT_TRUE(drop(list, six_videos()));
    select_rows(list, {1, 4});
    ASSERT_TRUE(click(list, info(list).delete_selected_button));
    EXPECT_FALSE(gui().enabled(at(info(list).delete_selected_button)));
    finish_list_threads();
    EXPECT_EQ(numbers(list), (std::vector<std::string>{"1", "3", "4", "6"}));
    EXPECT_EQ(sources(list), (std::vector<std::string>{"/v/1.mp4", "/v/3.mp4", "/v/4.mp4", "/v/6.mp4"}));
    EXPECT_TRUE(gui().enabled(at(info(list).delete_selected_button)));

    // Nothing selected: nothing goes, and the button comes back.
    select_rows(list, {});
    ASSERT_TRUE(click(list, info(list).delete_selected_button));
    finish_list_threads();
    EXPECT_EQ(gui().row_count(list_of(list)), 4);
    EXPECT_TRUE(gui().enabled(at(info(list).delete_selected_button)));
  }
  EXPECT_EQ(text("merge_list1_count_label"), "共 4 个视频");
  EXPECT_EQ(text("merge_list2_count_label"), "共 4 个视频");
  EXPECT_EQ(text("merge_output_count_label"), "16");
  EXPECT_EQ(text("edit_list_count_label"), "共 4 个视频");
  EXPECT_TRUE(g.services.messages().empty());
}

TEST_F(ListEditing, TheSelectionIsReadAtTheStartAndRowsAddedMeanwhileStay) {
  ASSERT_TRUE(drop(JobList::edit, {"/v/a.mp4", "/v/b.mp4"}));
  select_rows(JobList::edit, {0});
  ASSERT_TRUE(click(JobList::edit, "edit_delete_selected_button"));
  // Selected after the deletion began: not deleted.
  ASSERT_TRUE(drop(JobList::edit, {"/v/c.mp4"}));
  gui().select_all_rows(list_of(JobList::edit));
  finish_list_threads();
  EXPECT_EQ(sources(JobList::edit), (std::vector<std::string>{"/v/b.mp4", "/v/c.mp4"}));
  EXPECT_EQ(text("edit_list_count_label"), "共 2 个视频");
}

TEST_F(ListEditing, AListsRowsAreNotDeletedTwiceAtOnce) {
  ASSERT_TRUE(drop(JobList::convert, {"/v/a.mp4", "/v/b.mp4", "/v/c.mp4"}));
  select_rows(JobList::convert, {0});
  EXPECT_TRUE(delete_selected_list_rows(JobList::convert));
  // The Delete key and the menu while the first deletion has not ended.
  select_rows(JobList::convert, {1});
  EXPECT_TRUE(gui().input_key(list_of(JobList::convert), key_codes::delete_key, key_modifiers::none));
  choose_from_list_menu(JobList::convert, 1, "delete_selected_menu_item");
  EXPECT_FALSE(delete_selected_list_rows(JobList::convert));
  finish_list_threads();
  EXPECT_EQ(sources(JobList::convert), (std::vector<std::string>{"/v/b.mp4", "/v/c.mp4"}));

  // Once it has ended, the next one runs.
  select_rows(JobList::convert, {0});
  EXPECT_TRUE(gui().input_key(list_of(JobList::convert), key_codes::delete_key, key_modifiers::shift));
  finish_list_threads();
  EXPECT_EQ(sources(JobList::convert), (std::vector<std::string>{"/v/c.mp4"}));
  EXPECT_TRUE(g.services.messages().empty());
}

TEST_F(ListEditing, ClearingByButtonOrMenuEmptiesTheListAndTheCountsFollow) {
  ASSERT_TRUE(drop(JobList::merge1, six_videos()));
  ASSERT_TRUE(drop(JobList::merge2, six_videos()));
  EXPECT_EQ(text("merge_output_count_label"), "36");
  ASSERT_TRUE(click(JobList::merge2, "merge_clear2_button"));
  EXPECT_EQ(gui().row_count(list_of(JobList::merge2)), 0);
  EXPECT_EQ(text("merge_list2_count_label"), "共 0 个视频");

  ASSERT_TRUE(drop(JobList::merge2, {"/v/x.mp4"}));
  EXPECT_TRUE(gui().enabled(at("merge_start_button")));
  choose_from_list_menu(JobList::merge1, -1, "clear_list_menu_item");
  EXPECT_EQ(current_list.load(), 2);
  EXPECT_EQ(gui().row_count(list_of(JobList::merge1)), 0);
  EXPECT_EQ(text("merge_list1_count_label"), "共 0 个视频");
  EXPECT_EQ(text("merge_output_count_label"), "0");
  EXPECT_FALSE(gui().enabled(at("merge_start_button")));
  EXPECT_FALSE(gui().enabled(at("merge_all_source1_check")));
  EXPECT_EQ(gui().row_count(list_of(JobList::merge2)), 1);
}

TEST_F(ListEditing, WhileAListsJobRunsItsRowsAreNeitherDeletedNorClearedFromAnywhere) {
  const char* delete_texts[] = {"正在转换视频，请勿删除！", "正在合并视频，请勿删除！", "正在合并视频，请勿删除！",
                                "正在剪辑视频，请勿删除！"};
  const char* clear_texts[] = {"正在转换视频，请勿清空！", "正在合并视频，请勿清空！", "正在合并视频，请勿清空！",
                               "正在剪辑视频，请勿清空！"};
  for (JobList list : all_job_lists) {
    SCOPED_TRACE(info(list).list_role);
    const std::size_t i = static_cast<std::size_t>(list) - 1;
    ASSERT_TRUE(drop(list, {"/v/a.mp4", "/v/b.mp4"}));
    start_job_on(list);
    g.services.clear_records();

    choose_from_list_menu(list, 0, "delete_selected_menu_item");
    choose_from_list_menu(list, 0, "clear_list_menu_item");
    // The buttons are disabled by the job; their handlers refuse as well.
    EXPECT_FALSE(click(list, info(list).delete_selected_button));
    EXPECT_FALSE(click(list, info(list).clear_button));
    EXPECT_FALSE(delete_selected_list_rows(list));
    EXPECT_FALSE(clear_job_list(list));
    finish_list_threads();

    const std::vector<MessageRequest> messages = g.services.messages();
    ASSERT_EQ(messages.size(), 4u);
    for (std::size_t m = 0; m < messages.size(); ++m) {
      EXPECT_EQ(messages[m].title, "友情提示");
      EXPECT_EQ(messages[m].buttons, MessageButtons::ok);
      EXPECT_EQ(messages[m].text, m % 2 == 0 ? delete_texts[i] : clear_texts[i]);
    }
    EXPECT_EQ(sources(list), (std::vector<std::string>{"/v/a.mp4", "/v/b.mp4"}));

    end_job_on(list);
    choose_from_list_menu(list, 0, "delete_selected_menu_item");
    finish_list_threads();
    EXPECT_EQ(sources(list), (std::vector<std::string>{"/v/b.mp4"}));
    choose_from_list_menu(list, 0, "clear_list_menu_item");
    EXPECT_EQ(gui().row_count(list_of(list)), 0);
  }
}

TEST_F(ListEditing, WhileTheConvertJobRunsItsListRefusesDeletionAndAfterwardsItIsUsableAgain) {
  test_env::TempDir media;
  std::vector<std::string> clips;
  for (const char* name : {"a.mp4", "b.mp4"}) {
    clips.push_back(media / name);
    ASSERT_TRUE(test_env::make_h264_aac_mp4(clips.back(), 1.0));
  }
  ASSERT_TRUE(drop(JobList::convert, clips));
  select_rows(JobList::convert, {0});
  ASSERT_TRUE(gui().input_click(at("convert_start_button")));
  // The job's start handler has made the button its stop button: the job runs.
  EXPECT_TRUE(job_runs_on_list(JobList::convert));
  choose_from_list_menu(JobList::convert, 0, "delete_selected_menu_item");
  choose_from_list_menu(JobList::convert, 0, "clear_list_menu_item");
  EXPECT_TRUE(gui().input_key(list_of(JobList::convert), key_codes::delete_key, key_modifiers::none));
  EXPECT_EQ(message_texts(), (std::vector<std::string>{"正在转换视频，请勿删除！", "正在转换视频，请勿清空！",
                                                       "正在转换视频，请勿删除！"}));
  EXPECT_EQ(gui().row_count(list_of(JobList::convert)), 2);

  // The job's end writes from its thread and posts nothing: look again and again.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (job_runs_on_list(JobList::convert) && std::chrono::steady_clock::now() < give_up) {
    g.loop.run_until_idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(gui().text(at("convert_start_button")), "开始转换");
  if (convert_thread.joinable()) convert_thread.join();
  EXPECT_EQ(column(JobList::convert, 2), (std::vector<std::string>{"任务完成", "任务完成"}));
  EXPECT_FALSE(job_runs_on_list(JobList::convert));
  EXPECT_TRUE(gui().enabled(at("convert_delete_selected_button")));
  EXPECT_TRUE(click(JobList::convert, "convert_delete_selected_button"));
  finish_list_threads();
  EXPECT_EQ(sources(JobList::convert), (std::vector<std::string>{clips[1]}));
}

TEST_F(ListEditing, ADeletionThatEndsWhileTheJobRunsLeavesItsButtonDisabled) {
  ASSERT_TRUE(drop(JobList::edit, {"/v/a.mp4", "/v/b.mp4"}));
  select_rows(JobList::edit, {0});
  ASSERT_TRUE(click(JobList::edit, "edit_delete_selected_button"));
  start_job_on(JobList::edit);
  finish_list_threads();
  EXPECT_EQ(sources(JobList::edit), (std::vector<std::string>{"/v/b.mp4"}));
  EXPECT_EQ(text("edit_list_count_label"), "共 1 个视频");
  EXPECT_FALSE(gui().enabled(at("edit_delete_selected_button")));
  end_job_on(JobList::edit);
  EXPECT_TRUE(gui().enabled(at("edit_delete_selected_button")));
}

TEST_F(ListEditing, CtrlAAloneSelectsAllInTheConvertList) {
  ASSERT_TRUE(drop(JobList::convert, {"/v/a.mp4", "/v/b.mp4"}));
  show_page_of(JobList::convert);
  const ControlRef list = list_of(JobList::convert);
  EXPECT_FALSE(gui().input_key(list, key_codes::a, key_modifiers::ctrl | key_modifiers::shift));
  EXPECT_FALSE(gui().input_key(list, key_codes::a, key_modifiers::none));
  EXPECT_TRUE(gui().selected_rows(list).empty());
  EXPECT_TRUE(gui().input_key(list, key_codes::a, key_modifiers::ctrl));
  EXPECT_EQ(gui().selected_rows(list), (std::vector<int>{0, 1}));
  // The other lists have no keys of their own.
  ASSERT_TRUE(drop(JobList::edit, {"/v/a.mp4"}));
  select_rows(JobList::edit, {0});
  EXPECT_FALSE(gui().input_key(list_of(JobList::edit), key_codes::delete_key, key_modifiers::none));
  finish_list_threads();
  EXPECT_EQ(gui().row_count(list_of(JobList::edit)), 1);
}

TEST_F(ListEditing, TheListMenuActsOnTheListRightClicked) {
  ASSERT_TRUE(drop(JobList::merge2, {"/v/a.mp4", "/v/b.mp4"}));
  ASSERT_TRUE(drop(JobList::edit, {"/v/c.mp4"}));
  choose_from_list_menu(JobList::merge2, 1, "delete_selected_menu_item");
  EXPECT_EQ(current_list.load(), 3);
  const std::vector<PopupMenuRequest> menus = g.services.popup_menus();
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(menus[0].menu.role, "list_context_menu");
  std::vector<std::string> captions;
  for (const MenuItem& item : menus[0].items) captions.push_back(item.separator ? "-" : item.text);
  EXPECT_EQ(captions, (std::vector<std::string>{"播放原视频", "打开原视频文件夹", "-", "删除已选择", "清空表格"}));
  finish_list_threads();
  EXPECT_EQ(sources(JobList::merge2), (std::vector<std::string>{"/v/a.mp4"}));
  EXPECT_EQ(gui().row_count(list_of(JobList::edit)), 1);
}

TEST_F(ListEditing, PlayingOpensTheFirstSelectedRowOrThePlayerPageForAnM3u8Address) {
  struct Case {
    std::string source;
    std::string opened;
  };
  const std::string player = "https://qifeng.example.org/m3u8player/?play=";
  const std::vector<Case> cases = {
      {"/v/a b.mp4", "/v/a b.mp4"},
      {"https://h.example.cn/live/index.m3u8", player + "https://h.example.cn/live/index.m3u8"},
      {"https://h.example.cn/live/INDEX.M3U8", "https://h.example.cn/live/INDEX.M3U8"},
      {"https://h.example.cn/live/index.m3u8?t=1", "https://h.example.cn/live/index.m3u8?t=1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    gui().clear_rows(list_of(JobList::convert));
    gui().append_row(list_of(JobList::convert), {"1", "/v/first.mp4"});
    gui().append_row(list_of(JobList::convert), {"2", c.source});
    g.services.clear_records();
    select_rows(JobList::convert, {1});
    ASSERT_TRUE(gui().input_double_click(list_of(JobList::convert), 20, 50));
    EXPECT_EQ(current_list.load(), 1);
    EXPECT_EQ(g.services.opened(), (std::vector<std::string>{c.opened}));
  }
  EXPECT_EQ(play_target("/v/x.m3u8"), player + "/v/x.m3u8");

  // Several selected: the lowest; through the menu as by a double click.
  ASSERT_TRUE(drop(JobList::edit, {"/v/1.mp4", "/v/2.mp4", "/v/3.mp4"}));
  select_rows(JobList::edit, {2, 1});
  g.services.clear_records();
  choose_from_list_menu(JobList::edit, 2, "play_source_menu_item");
  EXPECT_EQ(g.services.opened(), (std::vector<std::string>{"/v/2.mp4"}));

  // Nothing selected: nothing happens.
  select_rows(JobList::edit, {});
  g.services.clear_records();
  ASSERT_TRUE(gui().input_double_click(list_of(JobList::edit), 20, 400));
  EXPECT_TRUE(g.services.opened().empty());
}

TEST_F(ListEditing, OnlyAnExistingLocalFolderIsOpened) {
  test_env::TempDir media;
  struct Case {
    std::string source;
    std::vector<std::string> opened;
  };
  const std::vector<Case> cases = {
      {media / "clip.mp4", {media.path() + "/"}},
      {media / "gone/clip.mp4", {}},
      {"https://h.example.cn/live/index.m3u8", {}},
      {"clip.mp4", {}},
      {"data/clip.mp4", {}},  // a folder under the current folder is still no source folder
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    gui().clear_rows(list_of(JobList::merge1));
    gui().append_row(list_of(JobList::merge1), {"1", c.source});
    g.services.clear_records();
    choose_from_list_menu(JobList::merge1, 0, "open_source_folder_menu_item");
    EXPECT_EQ(g.services.opened(), c.opened);
  }
}

}  // namespace
