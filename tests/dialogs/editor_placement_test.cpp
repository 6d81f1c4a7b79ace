// Where the region editors open, from the main window's frame and the screen size: the
// mosaic and picture position editors (not modal) beside the main window, to its right
// where the screen has room and else to its left, without covering it and fully on the
// screen; the crop editor (modal) on the main window's middle.

#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "dialogs/crop_region_dialog.h"
#include "dialogs/mosaic_region_dialog.h"
#include "dialogs/picture_position_dialog.h"
#include "engine/window/dialog_openers.h"
#include "platform/gui/window_placement.h"
#include "tests/dialogs/region_editor_test_support.h"

namespace {

using region_test::RegionEditorTest;

bool overlap(const GuiRect& a, const GuiRect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool inside(const GuiRect& inner, const GuiRect& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

class EditorPlacement : public RegionEditorTest {
 protected:
  // The editor's frame when the main window's frame is `main_frame` on `screen`.
  GuiRect editor_frame(WindowToken editor, const GuiRect& main_frame, const GuiRect& screen) {
    const WindowState state = gui().window_state(editor);
    EXPECT_EQ(state.owner, main);
    const GuiPoint at = window_opening_position(state, main_frame, state.width, state.height, screen);
    return {at.x, at.y, state.width, state.height};
  }

  WindowToken open(ProgramDialog dialog, const char* name) {
    EXPECT_TRUE(open_program_dialog(dialog));
    return gui().find_window(name);
  }
};

TEST_F(EditorPlacement, TheMosaicAndPicturePositionEditorsOpenBesideTheMainWindow) {
  register_mosaic_region_dialog_opener();
  register_picture_position_dialog_opener();
  const WindowToken mosaic = open(ProgramDialog::mosaic_region, mosaic_dialog_name);
  const WindowToken picture = open(ProgramDialog::picture_position, picture_pos_dialog_name);
  set_dialog_opener(ProgramDialog::mosaic_region, {});
  set_dialog_opener(ProgramDialog::picture_position, {});
  ASSERT_TRUE(gui().window_exists(mosaic));
  ASSERT_TRUE(gui().window_exists(picture));

  const GuiRect screen{0, 0, 2560, 1440};
  const GuiRect main_left{40, 200, 1020, 645};
  const GuiRect main_right{1500, 200, 1020, 645};
  for (const WindowToken editor : {mosaic, picture}) {
    const GuiRect right_of_main = editor_frame(editor, main_left, screen);
    EXPECT_EQ(right_of_main.x, main_left.x + main_left.width);
    EXPECT_EQ(right_of_main.y, main_left.y);
    const GuiRect left_of_main = editor_frame(editor, main_right, screen);
    EXPECT_EQ(left_of_main.x + left_of_main.width, main_right.x);
    for (const auto& [frame, main_frame] : {std::pair{right_of_main, main_left}, std::pair{left_of_main, main_right}}) {
      EXPECT_FALSE(overlap(frame, main_frame));
      EXPECT_TRUE(inside(frame, screen));
    }
    // A screen without room on either side: still fully on it.
    const GuiRect small_screen{0, 0, 1280, 1024};
    EXPECT_TRUE(inside(editor_frame(editor, {130, 189, 1020, 645}, small_screen), small_screen));
  }
}

TEST_F(EditorPlacement, TheModalCropEditorOpensOnTheMainWindowsMiddle) {
  register_crop_region_dialog_opener();
  const GuiRect main_frame{40, 200, 1020, 645};
  std::optional<GuiRect> frame;
  // The opener returns when the modal editor has closed: it is looked at from its loop.
  gui().post_to_window(main, [&] {
    if (const WindowToken crop = gui().find_window(crop_dialog_name)) {
      frame = editor_frame(crop, main_frame, {0, 0, 2560, 1440});
      gui().destroy_window(crop);
    }
  });
  EXPECT_TRUE(open_program_dialog(ProgramDialog::crop_region));
  set_dialog_opener(ProgramDialog::crop_region, {});
  ASSERT_TRUE(frame);
  // Centred, to the pixel that halving an odd size leaves.
  EXPECT_NEAR(frame->x + frame->width / 2.0, main_frame.x + main_frame.width / 2.0, 1);
  EXPECT_NEAR(frame->y + frame->height / 2.0, main_frame.y + main_frame.height / 2.0, 1);
}

}  // namespace
