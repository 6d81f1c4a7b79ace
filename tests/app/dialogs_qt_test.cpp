// The m3u8 batch copy dialog and the custom command dialog in the real Qt view
// (offscreen): auto paste reads and empties the desktop clipboard on the real timer,
// the typed text reaches the command file, and a screenshot of each dialog is saved
// into the build folder (<build>/screenshots/*-dialog.png).

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>

#include <filesystem>

#include "dialogs/custom_command_dialog.h"
#include "dialogs/m3u8_batch_copy_dialog.h"
#include "engine/common/globals.h"
#include "engine/converter/worker_threads.h"
#include "platform/files.h"
#include "tests/platform/qt/qt_test_support.h"
#include "tests/support/convert_page_window.h"
#include "tests/support/test_env.h"

namespace {

using namespace std::chrono_literals;

std::string screenshot_path(const char* name) {
  const std::string folder = QF_BINARY_DIR "/screenshots";
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/" + name + "-dialog.png";
  std::filesystem::remove(path);
  return path;
}

TEST(DialogsInQt, M3u8AutoPasteUsesTheDesktopClipboardAndOkFillsTheList) {
  QtGui qt;
  const WindowToken main = gui().create_window(test_env::build_convert_page_window());
  gui().open_window(main);
  const WindowToken dialog = create_m3u8_batch_copy_dialog();
  gui().open_window(dialog);
  settle();
  ASSERT_NE(qt.view.control_widget({dialog, "m3u8_address_box"}), nullptr);

  QGuiApplication::clipboard()->setText("页面 https://s/1.m3u8 https://s/1.mp4");
  ASSERT_TRUE(gui().input_click({dialog, "m3u8_auto_paste_check"}));
  EXPECT_TRUE(process_until([&] { return !gui().text({dialog, "m3u8_address_box"}).empty(); }));
  EXPECT_EQ(gui().text({dialog, "m3u8_address_box"}), "https://s/1.m3u8\r\n");
  EXPECT_TRUE(process_until([] { return QGuiApplication::clipboard()->text().isEmpty(); }));
  ASSERT_TRUE(gui().input_click({dialog, "m3u8_auto_paste_check"}));
  settle();
  EXPECT_TRUE(save_window_png(dialog, screenshot_path("m3u8")));

  ASSERT_TRUE(gui().input_click({dialog, "m3u8_ok_button"}));
  EXPECT_TRUE(process_until([&] { return !gui().window_exists(dialog); }));
  EXPECT_EQ(gui().cell({main, "convert_list"}, 0, 1), "https://s/1.m3u8");
  EXPECT_TRUE(wait_for_worker_threads(10s));
  gui().destroy_window(main);
  settle();
}

TEST(DialogsInQt, CustomCommandDialogSavesWhatWasTyped) {
  QtGui qt;
  test_env::TempDir dir;
  run_folder.set(test_env::make_run_folder(dir.path()));
  const WindowToken dialog = create_custom_command_dialog();
  gui().open_window(dialog);
  settle();
  ASSERT_NE(qt.view.control_widget({dialog, "command_box"}), nullptr);
  ASSERT_TRUE(gui().input_click({dialog, "comment_template_button"}));
  settle();
  EXPECT_TRUE(save_window_png(dialog, screenshot_path("custom-command")));
  ASSERT_TRUE(gui().input_click({dialog, "command_save_button"}));
  settle();
  EXPECT_FALSE(gui().window_exists(dialog));
  EXPECT_EQ(read_file_bytes(run_folder.get() + "/data/ffmpeg.txt"),
            "-i [input] -metadata comment=\"文字内容可以改\" [output]\r\n");
  run_folder.set("");
}

}  // namespace
