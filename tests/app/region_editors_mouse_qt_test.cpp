// The three region editors in the real Qt view under the mouse: a zoom chosen from the
// "显示比例" drop-down with the mouse, then a drag on the preview at once. The drop-down
// takes the release of the press that opened it; the drag that follows is still the
// preview's own (the overlay, the crop box, the mosaic box), so the values follow the
// mouse from the first drag on.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCursor>
#include <QTimer>

#include "dialogs/crop_region_dialog.h"
#include "dialogs/mosaic_region_dialog.h"
#include "dialogs/picture_position_dialog.h"
#include "engine/edit/watermark_picture_size.h"
#include "platform/qt/animation_box_widget.h"
#include "tests/dialogs/region_editor_test_support.h"
#include "tests/platform/qt/qt_test_support.h"

namespace {

class RegionEditorsUnderTheMouse : public region_test::RegionEditorFixture<QtGui> {
 protected:
  void SetUp() override {
    RegionEditorFixture::SetUp();
    const std::string clip = dir / "clip.mp4";
    ASSERT_TRUE(test_env::make_h264_aac_mp4(clip));  // 320 x 240
    gui().append_row(main_field("edit_list"), {"1", clip, "", ""});
  }
  void TearDown() override {
    RegionEditorFixture::TearDown();
    settle();
  }

  QWidget* widget(WindowToken w, const char* role) {
    g.view.apply_pending();
    return g.view.control_widget({w, role});
  }
  // Opens the editor made by `create`, waits until `ready` and nothing is left to do,
  // then chooses "100%" in the drop-down with the mouse and waits again: the choice
  // probes, grabs and places anew.
  WindowToken open_and_choose_the_zoom(WindowToken (*create)(), const std::function<bool(WindowToken)>& ready) {
    const WindowToken w = create();
    gui().open_window(w, main);
    const auto settled = [&] { return gui().picture({w, region_preview}).decoded() && ready(w) && idle(w); };
    EXPECT_TRUE(process_until(settled, std::chrono::seconds(20)));
    auto* combo = dynamic_cast<QComboBox*>(widget(w, region_zoom_combo));
    EXPECT_NE(combo, nullptr);
    if (!combo) return w;
    gui().set_picture({w, region_preview}, {});
    choose_by_mouse(combo, 7);
    EXPECT_TRUE(process_until(settled, std::chrono::seconds(20)));
    EXPECT_EQ(gui().text({w, region_zoom_combo}), "100%");
    return w;
  }

  // Drags a marker that the control-drag service moves: presses it at its top-left
  // corner and moves the mouse by `by` from inside the drag, then lets go.
  void drag_marker(QWidget* marker, QPoint by) {
    const QPoint start = marker->mapToGlobal(QPoint(1, 1));
    QCursor::setPos(start);
    settle();
    QTimer::singleShot(5, [marker, start, by] {
      send_mouse_at_screen(marker, QEvent::MouseMove, start + by / 2, Qt::NoButton, Qt::LeftButton);
      send_mouse_at_screen(marker, QEvent::MouseMove, start + by, Qt::NoButton, Qt::LeftButton);
      send_mouse_at_screen(marker, QEvent::MouseButtonRelease, start + by, Qt::LeftButton, Qt::NoButton);
    });
    send_mouse_at_screen(marker, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    settle();
  }

  std::pair<std::string, std::string> left_top(WindowToken w) {
    return {gui().text({w, region_left_field}), gui().text({w, region_top_field})};
  }
};

TEST_F(RegionEditorsUnderTheMouse, PicturePositionTheFirstDragAfterAChoiceMovesThePicture) {
  // A 200 x 80 picture at 100 / 60.
  const std::string picture = dir / "mark.png";
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "color=c=red:s=200x80", "-frames:v", "1", picture}));
  gui().set_text(main_field("watermark_picture_field"), picture);
  gui().set_text(main_field("watermark_left_field"), "100");
  gui().set_text(main_field("watermark_top_field"), "60");
  watermark_picture_width = 200;
  watermark_picture_height = 80;
  const WindowToken w = open_and_choose_the_zoom(create_picture_position_dialog, [](WindowToken window) {
    return gui().animation_objects({window, region_preview}).size() == 1;
  });
  auto* box = dynamic_cast<AnimationBoxWidget*>(widget(w, region_preview));
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(process_until([&] { return box->object_at(QPoint(110, 65)) == overlay_object(w); }));

  // Pressed 10 right of the picture's left edge and 5 below its top, moved to x = 260.
  press(box, QPoint(110, 65));
  move_mouse(box, QPoint(200, 65), Qt::LeftButton);
  move_mouse(box, QPoint(260, 65), Qt::LeftButton);
  ASSERT_TRUE(process_until([&] { return left_top(w) == std::make_pair(std::string("250"), std::string("60")); }))
      << left_top(w).first << " / " << left_top(w).second;
  release(box, QPoint(260, 65));
  ASSERT_TRUE(process_until([&] { return box->object_at(QPoint(255, 65)) == overlay_object(w); }));
  EXPECT_EQ(box->object_at(QPoint(105, 65)), 0);
}

TEST_F(RegionEditorsUnderTheMouse, CropTheFirstDragAfterAChoiceMovesTheBox) {
  for (const char* field : {"crop_left_field", "crop_top_field"}) gui().set_text(main_field(field), "100");
  gui().set_text(main_field("crop_width_field"), "80");
  gui().set_text(main_field("crop_height_field"), "60");
  const WindowToken w = open_and_choose_the_zoom(create_crop_region_dialog, [](WindowToken window) {
    return gui().text({window, crop_box}) == crop_box_caption("320", "240", "80", "60", "100", "100");
  });
  drag_marker(widget(w, crop_box), QPoint(50, 30));
  ASSERT_TRUE(process_until([&] { return idle(w); }));
  EXPECT_EQ(gui().geometry({w, crop_box}), (GuiRect{150, 130, 80, 60}));
  EXPECT_EQ(left_top(w), std::make_pair(std::string("150"), std::string("130")));
}

TEST_F(RegionEditorsUnderTheMouse, MosaicTheFirstDragAfterAChoiceMovesTheBox) {
  for (const char* field : {"delogo_left_field", "delogo_top_field"}) gui().set_text(main_field(field), "100");
  gui().set_text(main_field("delogo_width_field"), "80");
  gui().set_text(main_field("delogo_height_field"), "60");
  const WindowToken w = open_and_choose_the_zoom(
      create_mosaic_region_dialog, [](WindowToken window) { return gui().visible({window, mosaic_box}); });
  drag_marker(widget(w, mosaic_box), QPoint(50, 30));
  EXPECT_EQ(gui().geometry({w, mosaic_box}), (GuiRect{150, 130, 80, 60}));
  EXPECT_EQ(left_top(w), std::make_pair(std::string("150"), std::string("130")));
}

}  // namespace
