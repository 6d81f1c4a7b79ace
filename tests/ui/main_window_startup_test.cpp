// The main window as the program opens it: what its created handler restores from the
// settings file (or defaults to), the tray icon and its menu, the page buttons, and
// the start-up tasks.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/converter/worker_threads.h"
#include "platform/gui/gui.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/main_window.h"
#include "ui/main_window_created.h"
#include "ui/program_start.h"
#include "ui/startup_tasks.h"
#include "ui/tray_and_pages.h"
#include "ui/ui_globals.h"

namespace {

std::string field(const char* role) { return gui().text(main_control(role)); }
bool checked(const char* role) { return gui().checked(main_control(role)); }

TEST(MainWindowStart, FirstStartWithoutSettingsUsesTheDefaultsAndMakesTheFolders) {
  HeadlessGui g;
  MainWindowRunFolder run;
  const WindowToken w = open_main_window_in(run.path());
  const std::string media = run.path() + "/新媒体";

  EXPECT_EQ(gui().title(w), "栖枫视频剪辑工具 V7.0");
  EXPECT_EQ(gui().window_size(w), (GuiPoint{1020, 645}));
  EXPECT_TRUE(gui().window_visible(w));
  EXPECT_TRUE(is_directory(run.path() + "/data"));
  EXPECT_EQ(config_file_path.get(), run.config());
  EXPECT_EQ(ffmpeg_exe_path.get(), run.path() + "/bin/ffmpeg");

  EXPECT_EQ(field("convert_output_folder_field"), media);
  EXPECT_EQ(field("merge_output_folder_field"), media);
  EXPECT_EQ(field("edit_output_folder_field"), media);
  EXPECT_TRUE(is_directory(media));
  EXPECT_TRUE(checked("convert_save_to_folder_radio"));
  EXPECT_FALSE(checked("convert_save_beside_source_radio"));
  for (const SharedText* folder :
       {&convert_list_open_folder, &merge_list1_open_folder, &merge_list2_open_folder, &edit_list_open_folder})
    EXPECT_EQ(folder->get(), media);
  EXPECT_EQ(subtitle_font_name.get(), "黑体");

  EXPECT_EQ(gui().geometry(main_control("merge_output_group")).y, 439);
  EXPECT_EQ(gui().geometry(main_control("merge_output_group")).x, 8);
  const GuiRect drag_label = gui().geometry(main_control("list_drag_label"));
  EXPECT_EQ(drag_label.width, 0);
  EXPECT_EQ(drag_label.height, 0);
  for (const char* list : {"convert_list", "merge_list1", "merge_list2", "edit_list"})
    EXPECT_TRUE(gui().control_state(main_control(list)).drop_target) << list;

  const std::optional<TrayIconRequest> tray = g.services.tray_icon(w);
  ASSERT_TRUE(tray);
  EXPECT_EQ(tray->tip, "栖枫视频剪辑工具");
  EXPECT_EQ(tray->icons.size(), 4u);
  EXPECT_TRUE(g.services.messages().empty());
  // Nothing was written: the settings file appears only with the first save.
  EXPECT_FALSE(path_exists(run.config()));
}

TEST(MainWindowStart, StoredSettingsAreRestoredAndOnlyAnExactBSelectsTheChosenFolder) {
  struct Case {
    const char* stored_mode;  // nullptr: no key
    bool to_folder;
  };
  const Case cases[] = {{nullptr, true}, {"b", true}, {" b ", true}, {"B", false}, {"a", false}, {"", false},
                        {"bb", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored_mode ? c.stored_mode : "(missing)");
    HeadlessGui g;
    MainWindowRunFolder run;
    const std::string mine = run.path() + "/我的 输出";
    std::string config = "[批量转换视频]\r\n保存位置=" + mine + "\r\n";
    if (c.stored_mode) config += std::string("保存方式=") + c.stored_mode + "\r\n";
    config += "[批量合并视频]\r\n保存位置=\r\n[原视频]\r\n打开位置1=/srv/videos/\r\n[批量剪辑视频]\r\nz1=DejaVu Sans(DejaVuSans)\r\n";
    run.write_config(config);
    open_main_window_in(run.path());

    EXPECT_EQ(checked("convert_save_to_folder_radio"), c.to_folder);
    EXPECT_EQ(checked("convert_save_beside_source_radio"), !c.to_folder);
    EXPECT_EQ(field("convert_output_folder_field"), mine);
    EXPECT_TRUE(is_directory(mine));
    // Present but empty counts as missing; a missing section too.
    EXPECT_EQ(field("merge_output_folder_field"), run.path() + "/新媒体");
    EXPECT_EQ(field("edit_output_folder_field"), run.path() + "/新媒体");
    // Only "打开位置1" is stored: all four lists start there.
    for (const SharedText* folder :
         {&convert_list_open_folder, &merge_list1_open_folder, &merge_list2_open_folder, &edit_list_open_folder})
      EXPECT_EQ(folder->get(), "/srv/videos/");
    EXPECT_EQ(subtitle_font_name.get(), "DejaVu Sans(DejaVuSans)");
  }
}

TEST(MainWindowStart, EachListKeepsItsOwnStoredOpenFolder) {
  HeadlessGui g;
  MainWindowRunFolder run;
  run.write_config("[原视频]\r\n打开位置1=/a/\r\n打开位置2=/b/\r\n打开位置4=/d/\r\n");
  open_main_window_in(run.path());
  EXPECT_EQ(convert_list_open_folder.get(), "/a/");
  EXPECT_EQ(merge_list1_open_folder.get(), "/b/");
  EXPECT_EQ(merge_list2_open_folder.get(), "/a/");
  EXPECT_EQ(edit_list_open_folder.get(), "/d/");
}

TEST(MainWindowStart, AnOutputFolderThatCannotBeMadeIsStillShown) {
  HeadlessGui g;
  MainWindowRunFolder run;
  test_env::write_file(run.path() + "/a file", "x");
  const std::string impossible = run.path() + "/a file/sub";
  run.write_config("[批量剪辑视频]\r\n保存位置=" + impossible + "\r\n");
  open_main_window_in(run.path());
  EXPECT_EQ(field("edit_output_folder_field"), impossible);
  EXPECT_FALSE(is_directory(impossible));
}

TEST(MainWindowStart, TheStartUpTasksThatAreSetRunOnTheirOwnThreadsOnce) {
  HeadlessGui g;
  MainWindowRunFolder run;
  std::atomic<int> check = 0, fonts = 0, settings = 0;
  std::atomic<bool> off_ui_thread = true;
  const std::thread::id ui = std::this_thread::get_id();
  auto task = [&](std::atomic<int>& count) {
    return [&count, &off_ui_thread, ui] {
      if (std::this_thread::get_id() == ui) off_ui_thread = false;
      ++count;
    };
  };
  open_main_window_in(run.path(), [&] {
    set_startup_task(StartupTask::converter_check, task(check));
    set_startup_task(StartupTask::font_list, task(fonts));
    set_startup_task(StartupTask::settings, task(settings));
  });
  EXPECT_TRUE(wait_for_worker_threads(std::chrono::seconds(10)));
  EXPECT_EQ(check.load(), 1);
  EXPECT_EQ(fonts.load(), 1);
  EXPECT_EQ(settings.load(), 1);
  EXPECT_TRUE(off_ui_thread);
  for (StartupTask t : {StartupTask::converter_check, StartupTask::font_list, StartupTask::settings})
    set_startup_task(t, {});
  EXPECT_FALSE(start_startup_task(StartupTask::settings));
}

TEST(MainWindowTray, AClickTogglesTheWindowAndARightClickOnlyOpensTheMenu) {
  HeadlessGui g;
  MainWindowRunFolder run;
  const WindowToken w = open_main_window_in(run.path());
  ASSERT_TRUE(gui().window_visible(w));
  EXPECT_TRUE(gui().input_tray(w, 1));
  EXPECT_FALSE(gui().window_visible(w));
  EXPECT_TRUE(gui().input_tray(w, 1));
  EXPECT_TRUE(gui().window_visible(w));
  gui().input_tray(w, 2);
  EXPECT_FALSE(gui().window_visible(w));
  gui().input_tray(w, 2);
  EXPECT_TRUE(gui().window_visible(w));

  gui().input_tray(w, 3);  // dismissed
  EXPECT_TRUE(gui().window_visible(w));
  const auto menus = g.services.popup_menus();
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(menus[0].menu, main_control("tray_menu"));
  ASSERT_EQ(menus[0].items.size(), 4u);
  EXPECT_EQ(menus[0].items[0].text, "显示|隐藏");
  EXPECT_EQ(menus[0].items[3].text, "退出软件");
  // The tray icon stays while the window is hidden.
  gui().input_tray(w, 1);
  EXPECT_TRUE(g.services.tray_icon(w));
}

TEST(MainWindowTray, ShowHideTwiceLeavesTheWindowAsItWasAndTheWebsiteOpensInTheBrowser) {
  HeadlessGui g;
  MainWindowRunFolder run;
  const WindowToken w = open_main_window_in(run.path());
  for (bool visible : {true, false}) {
    gui().set_window_visible(w, visible);
    g.services.answer_popup_menu(0);
    gui().input_tray(w, 3);
    EXPECT_EQ(gui().window_visible(w), !visible);
    g.services.answer_popup_menu(0);
    gui().input_tray(w, 3);
    EXPECT_EQ(gui().window_visible(w), visible);
  }
  g.services.answer_popup_menu(1);
  gui().input_tray(w, 3);
  EXPECT_EQ(g.services.opened(), (std::vector<std::string>{product_home_page_address}));
  EXPECT_TRUE(gui().window_exists(w));
}

TEST(MainWindowPages, EachPageButtonShowsItsPage) {
  HeadlessGui g;
  MainWindowRunFolder run;
  open_main_window_in(run.path());
  const ControlRef tabs = main_control("job_tabs");
  EXPECT_EQ(gui().selected_index(tabs), 0);
  const std::pair<const char*, int> clicks[] = {
      {"merge_page_button", 1}, {"edit_page_button", 2}, {"edit_page_button", 2}, {"convert_page_button", 0},
      {"edit_page_button", 2}, {"merge_page_button", 1}};
  for (const auto& [button, page] : clicks) {
    EXPECT_TRUE(gui().input_click(main_control(button))) << button;
    EXPECT_EQ(gui().selected_index(tabs), page) << button;
  }
  // A job disables the other pages' buttons: a click on one then changes nothing.
  gui().set_enabled(main_control("convert_page_button"), false);
  EXPECT_FALSE(gui().input_click(main_control("convert_page_button")));
  EXPECT_EQ(gui().selected_index(tabs), 1);
}

}  // namespace
