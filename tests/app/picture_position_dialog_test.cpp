// The picture-position editor as the program opens it, headless with the real main
// window: the edit page's "智能编辑图片位置" button measures the picture and opens the
// editor beside the main window on the first edit video; another picture chosen in the
// editor is in the settings file at once; "保存设置" fills the watermark fields.

#include <gtest/gtest.h>

#include <chrono>

#include "dialogs/picture_position_dialog.h"
#include "engine/edit/watermark_picture_size.h"
#include "engine/window/dialog_openers.h"
#include "platform/gui/gui.h"
#include "platform/profile.h"
#include "tests/support/test_env.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/edit_settings.h"
#include "ui/main_window.h"
#include "ui/program_start.h"

namespace {

using namespace std::chrono_literals;

class PicturePositionOpener : public ::testing::Test {
 protected:
  void SetUp() override {
    register_picture_position_dialog_opener();
    window = open_main_window_in(run.path());
    ASSERT_TRUE(g.loop.wait_until(edit_settings_loaded, 20s));
    gui().set_selected_index(main_control("job_tabs"), 2);
    gui().set_enabled(main_control("watermark_position_button"), true);  // as the watermark box does
  }
  void TearDown() override {
    set_dialog_opener(ProgramDialog::picture_position, {});
    // The editor is closed, so its tasks end; the main window is left open, as the
    // other main-window tests leave it: closing it ends the program, and the shutdown
    // it begins is one way, so no later test of this process could start the main
    // window's start-up tasks (the settings load among them) again.
    for (WindowToken w : gui().windows())
      if (w != window) gui().destroy_window(w);
    EXPECT_TRUE(wait_for_worker_threads(30s));
    g.loop.run_until_idle();
  }
  static bool make_picture(const std::string& path, const char* size) {
    return test_env::make_clip({"-f", "lavfi", "-i", std::string("color=c=red:s=") + size, "-frames:v", "1", path});
  }

  HeadlessGui g;
  MainWindowRunFolder run;
  WindowToken window;
};

TEST_F(PicturePositionOpener, TheButtonOpensTheEditorBesideTheMainWindowAndItsSaveFillsTheWatermarkFields) {
  const std::string clip = run.path() + "/片 1.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(clip));
  const std::string png = run.path() + "/水印.png";
  ASSERT_TRUE(make_picture(png, "200x80"));
  gui().append_row(main_control("edit_list"), {"1", clip, "", ""});
  gui().set_text(main_control("watermark_picture_field"), png);
  gui().set_text(main_control("watermark_left_field"), "30");
  gui().set_text(main_control("watermark_top_field"), "20");

  ASSERT_TRUE(gui().input_click(main_control("watermark_position_button")));
  EXPECT_TRUE(g.services.messages().empty());
  const WindowToken editor = gui().find_window(picture_pos_dialog_name);
  ASSERT_TRUE(gui().window_exists(editor));
  EXPECT_FALSE(gui().window_state(editor).modal);
  EXPECT_FALSE(gui().window_state(window).blocked);
  EXPECT_EQ(watermark_picture_width, 200);
  EXPECT_EQ(watermark_picture_height, 80);
  EXPECT_EQ(gui().text({editor, region_video_field}), clip);
  EXPECT_EQ(gui().text({editor, region_left_field}), "30");

  // The first video's frame with the picture over it, at the boxes' position.
  const auto placed = [&] {
    const std::vector<AnimationObject> objects = gui().animation_objects({editor, region_preview});
    return gui().picture({editor, region_preview}).decoded() && objects.size() == 1 &&
           region_editor_state(editor)->idle();
  };
  for (int i = 0; i < 10000 && !placed(); ++i) {
    g.loop.advance(1ms);
    g.loop.wait_until([] { return false; }, 2ms);
  }
  ASSERT_TRUE(placed());
  const AnimationObject overlay = gui().animation_objects({editor, region_preview}).front();
  EXPECT_EQ((GuiRect{overlay.x, overlay.y, overlay.width, overlay.height}), (GuiRect{30, 20, 200, 80}));

  // The main window stays usable meanwhile.
  gui().set_text(main_control("watermark_left_field"), "typed on the edit page");
  ASSERT_TRUE(gui().input_text({editor, region_left_field}, "120"));
  ASSERT_TRUE(gui().input_click({editor, region_save_button}));
  EXPECT_FALSE(gui().window_exists(editor));
  EXPECT_EQ(gui().text(main_control("watermark_left_field")), "120");
  EXPECT_EQ(gui().text(main_control("watermark_top_field")), "20");
}

TEST_F(PicturePositionOpener, AnotherPictureIsInTheSettingsFileAtOnceAlsoWhenTheEditorIsClosedWithoutSaving) {
  const std::string png = run.path() + "/水印.png";
  const std::string jpeg = run.path() + "/另一张.jpg";
  ASSERT_TRUE(make_picture(png, "200x80"));
  ASSERT_TRUE(make_picture(jpeg, "64x32"));
  gui().set_text(main_control("watermark_picture_field"), png);
  ASSERT_TRUE(gui().input_click(main_control("watermark_position_button")));
  const WindowToken editor = gui().find_window(picture_pos_dialog_name);
  ASSERT_TRUE(gui().window_exists(editor));

  g.services.answer_open_files({jpeg});
  ASSERT_TRUE(gui().input_click({editor, picture_pos_choose_picture_button}));
  EXPECT_EQ(gui().text(main_control("watermark_picture_field")), jpeg);
  EXPECT_EQ(read_profile_text(run.config(), edit_settings_section, "y8", "(missing)"), jpeg);
  EXPECT_EQ(watermark_picture_width, 64);

  gui().set_text({editor, region_left_field}, "999");
  EXPECT_TRUE(gui().input_close(editor));
  EXPECT_EQ(gui().text(main_control("watermark_picture_field")), jpeg);
  EXPECT_EQ(gui().text(main_control("watermark_left_field")), "10");  // the edit page's default, untouched
}

}  // namespace
