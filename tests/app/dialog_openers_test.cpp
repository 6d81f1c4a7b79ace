// The main window's dialog buttons open the m3u8 batch copy dialog and the custom
// command dialog as the program registers them: headless, with the real main window.

#include <gtest/gtest.h>

#include <chrono>

#include "dialogs/custom_command_dialog.h"
#include "dialogs/m3u8_batch_copy_dialog.h"
#include "engine/common/globals.h"
#include "engine/window/dialog_openers.h"
#include "platform/gui/gui.h"
#include "tests/support/test_env.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/main_window.h"
#include "ui/program_start.h"

namespace {

using namespace std::chrono_literals;

class DialogOpeners : public ::testing::Test {
 protected:
  void SetUp() override {
    register_custom_command_dialog_opener();
    register_m3u8_batch_copy_dialog_opener();
    window = open_main_window_in(run.path());
  }
  void TearDown() override {
    set_dialog_opener(ProgramDialog::custom_command, {});
    set_dialog_opener(ProgramDialog::m3u8_batch_copy, {});
    EXPECT_TRUE(wait_for_worker_threads(30s));
    g.loop.run_until_idle();
  }
  static void show_page(int page) { gui().set_selected_index(main_control("job_tabs"), page); }

  HeadlessGui g;
  MainWindowRunFolder run;
  WindowToken window;
};

TEST_F(DialogOpeners, TheM3u8ButtonOpensTheDialogWithoutAnOwnerAndItFillsTheConvertList) {
  WindowState state;
  g.loop.when_idle([&] {
    const WindowToken dialog = gui().find_window(m3u8_dialog_name);
    state = gui().window_state(dialog);
    gui().input_text({dialog, "m3u8_address_box"}, "https://s/1.m3u8\r\nhttps://s/2.m3u8");
    gui().input_click({dialog, "m3u8_ok_button"});
  });
  show_page(0);
  ASSERT_TRUE(gui().input_click(main_control("convert_add_m3u8_button")));
  EXPECT_TRUE(state.modal);
  EXPECT_FALSE(state.owner);
  EXPECT_FALSE(gui().find_window(m3u8_dialog_name));
  EXPECT_EQ(gui().row_count(main_control("convert_list")), 2);
  EXPECT_EQ(gui().cell(main_control("convert_list"), 1, 0), "2");
  EXPECT_EQ(gui().cell(main_control("convert_list"), 1, 1), "https://s/2.m3u8");
}

TEST_F(DialogOpeners, TheEditButtonOpensTheCustomCommandDialogOwnedByTheMainWindow) {
  WindowState state;
  bool main_blocked = false;
  g.loop.when_idle([&] {
    const WindowToken dialog = gui().find_window(custom_command_dialog_name);
    state = gui().window_state(dialog);
    main_blocked = gui().window_state(window).blocked;
    gui().input_click({dialog, "title_template_button"});
    gui().input_click({dialog, "command_save_button"});
  });
  show_page(2);
  // "编辑" is usable once "高级自定义" is checked.
  ASSERT_TRUE(gui().input_click(main_control("custom_command_check")));
  ASSERT_TRUE(gui().input_click(main_control("custom_command_edit_button")));
  EXPECT_TRUE(state.modal);
  EXPECT_EQ(state.owner, window);
  EXPECT_TRUE(main_blocked);
  EXPECT_FALSE(gui().find_window(custom_command_dialog_name));
  EXPECT_EQ(test_env::read_file(run.path() + "/data/ffmpeg.txt"),
            "-i [input] -metadata title=\"[title]\" [output]\r\n");
}

}  // namespace
