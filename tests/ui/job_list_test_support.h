#pragma once
// A headless main window for the job list tests, opened as the program opens it, with
// helpers that act as the user on one list and that stand in for a running batch job.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "engine/converter/worker_threads.h"
#include "platform/gui/gui.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/job_lists.h"
#include "ui/main_window.h"
#include "ui/program_start.h"

class JobListWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = open_main_window_in(run.path());
    current_list = 0;
  }
  void TearDown() override {
    // Scans and deletions still running must end before the model goes.
    EXPECT_TRUE(wait_for_worker_threads(std::chrono::seconds(30)));
    g.loop.run_until_idle();
  }

  static ControlRef at(const std::string& role) { return main_control(role); }
  static ControlRef list_of(JobList list) { return job_list_control(list); }
  static const JobListInfo& info(JobList list) { return job_list_info(list); }

  // Shows the list's page: input reaches only the controls of the page shown.
  static void show_page_of(JobList list) { gui().set_selected_index(at("job_tabs"), info(list).page); }

  // The texts of one column, top to bottom.
  static std::vector<std::string> column(JobList list, int index) {
    std::vector<std::string> texts;
    for (const ListRow& row : gui().list_rows(list_of(list))) texts.push_back(row.cells.at(static_cast<std::size_t>(index)));
    return texts;
  }
  static std::vector<std::string> numbers(JobList list) { return column(list, row_number_column); }
  static std::vector<std::string> sources(JobList list) { return column(list, source_column); }

  static bool drop(JobList list, const std::vector<std::string>& names) {
    show_page_of(list);
    return gui().input_drop_files(list_of(list), names);
  }
  static bool click(JobList list, const char* role) {
    show_page_of(list);
    return gui().input_click(at(role));
  }
  // Makes exactly these rows selected, as the user does.
  static void select_rows(JobList list, const std::vector<int>& rows) {
    show_page_of(list);
    gui().input_select_rows(list_of(list), rows);
  }
  // A right click on row `row` (-1: below the rows) that chooses menu item `item_role`.
  void choose_from_list_menu(JobList list, int row, const char* item_role) {
    show_page_of(list);
    g.services.answer_popup_menu(main_window_menu_item_index(item_role));
    const int y = GuiModel::list_header_height + GuiModel::list_row_height * (row < 0 ? 50 : row) +
                  GuiModel::list_row_height / 2;
    gui().input_right_click(list_of(list), 20, y);
  }

  // What a batch job does to the list's page while it runs: its start button becomes
  // the stop button and the list buttons are disabled; and what its end restores.
  static void start_job_on(JobList list) {
    const JobListInfo& i = info(list);
    gui().set_text(at(i.start_button), "正在停止");
    for (JobList other : all_job_lists) {
      if (info(other).page != i.page) continue;
      for (const char* role : {info(other).add_videos_button, info(other).add_folder_button,
                               info(other).delete_selected_button, info(other).clear_button})
        gui().set_enabled(at(role), false);
    }
  }
  static void end_job_on(JobList list) {
    const JobListInfo& i = info(list);
    for (JobList other : all_job_lists) {
      if (info(other).page != i.page) continue;
      for (const char* role : {info(other).add_videos_button, info(other).add_folder_button,
                               info(other).delete_selected_button, info(other).clear_button})
        gui().set_enabled(at(role), true);
    }
    gui().set_text(at(i.start_button), i.start_idle_caption);
  }

  // Runs the UI thread until every list thread has ended and its end has run.
  void finish_list_threads() {
    // The threads never wait for the UI thread: they write the model and post their end.
    ASSERT_TRUE(wait_for_worker_threads(std::chrono::seconds(30)));
    g.loop.run_until_idle();
  }

  std::vector<std::string> message_texts() const {
    std::vector<std::string> texts;
    for (const MessageRequest& m : g.services.messages()) texts.push_back(m.text);
    return texts;
  }

  HeadlessGui g;
  MainWindowRunFolder run;
  WindowToken window;
};
