// The crop editor in the real Qt view, opened as the program opens it: the edit page's
// "智能编辑裁切区域" button, modal over the main window, on the first video of the edit
// list. A screenshot goes into the build folder (<build>/screenshots/crop-region.png).

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "dialogs/crop_region_dialog.h"
#include "engine/window/dialog_openers.h"
#include "platform/files.h"
#include "platform/gui/gui.h"
#include "platform/picture.h"
#include "tests/support/qt_app_environment.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/edit_settings.h"
#include "ui/main_window.h"
#include "ui/program_start.h"

namespace {

TEST(CropRegionDialogInQt, TheCropButtonOpensTheEditorOnTheFirstVideoAndItsSaveFillsTheCropFields) {
  QtGui qt;
  MainWindowRunFolder run;
  const std::string clip = run.path() + "/片 1.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(clip));
  register_crop_region_dialog_opener();
  const WindowToken main = open_main_window_in(run.path());
  // The settings load writes the crop fields too: let it finish first.
  for (int i = 0; i < 400 && !edit_settings_loaded(); ++i) {
    qt.loop.process_pending();
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  ASSERT_TRUE(edit_settings_loaded());
  ASSERT_TRUE(gui().input_click(main_control("edit_page_button")));
  gui().append_row(main_control("edit_list"), {"1", clip, "", ""});
  const char* fields[] = {"crop_left_field", "crop_top_field", "crop_width_field", "crop_height_field"};
  const char* values[] = {"10", "20", "100", "80"};
  for (int i = 0; i < 4; ++i) gui().set_text(main_control(fields[i]), values[i]);
  gui().set_enabled(main_control("crop_region_button"), true);

  const std::string shot = QF_BINARY_DIR "/screenshots/crop-region.png";
  std::filesystem::create_directories(QF_BINARY_DIR "/screenshots");
  std::filesystem::remove(shot);
  bool main_blocked = false;
  int ticks = 0;
  // Drives the modal editor from its own loop: once the frame and the box show, a
  // screenshot, then "保存设置".
  const LoopTimerId driver = gui().loop().start_timer(std::chrono::milliseconds(50), [&] {
    const WindowToken editor = gui().find_window(crop_dialog_name);
    if (!editor) return;
    main_blocked = gui().window_state(main).blocked;
    const bool shown = gui().picture({editor, region_preview}).decoded() && gui().visible({editor, crop_box}) &&
                       gui().geometry({editor, crop_box}) == GuiRect{10, 20, 100, 80} &&
                       region_editor_state(editor)->idle() && region_editor_state(editor)->frame_width == 320;
    if (shown) {
      save_window_png(editor, shot);
      gui().input_click({editor, region_save_button});
    } else if (++ticks > 400) {
      gui().destroy_window(editor);
    }
  });
  ASSERT_TRUE(gui().input_click(main_control("crop_region_button")));
  gui().loop().stop_timer(driver);
  set_dialog_opener(ProgramDialog::crop_region, {});

  EXPECT_TRUE(main_blocked);
  EXPECT_FALSE(gui().find_window(crop_dialog_name));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(gui().text(main_control(fields[i])), values[i]);
  const std::optional<std::string> bytes = read_file_bytes(shot);
  ASSERT_TRUE(bytes);
  const std::optional<Picture> picture = decode_picture(*bytes);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 950);
  EXPECT_EQ(picture->height, 650);
}

}  // namespace
