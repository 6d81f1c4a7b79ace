// The picture-position editor in the real Qt view, opened from the edit page's
// "智能编辑图片位置" button beside the main window: a one-shot GIF watermark is drawn
// over the first video's frame as its first frame, at the zoom; a drag with the mouse
// moves it and its values, which "保存设置" hands to the edit page. A screenshot goes
// into the build folder (<build>/screenshots/picture-position.png).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "dialogs/picture_position_dialog.h"
#include "engine/window/dialog_openers.h"
#include "platform/files.h"
#include "platform/gui/gui.h"
#include "platform/picture.h"
#include "platform/qt/animation_box_widget.h"
#include "tests/platform/qt/qt_test_support.h"
#include "tests/ui/main_window_test_support.h"
#include "ui/edit_settings.h"
#include "ui/main_window.h"
#include "ui/program_start.h"

namespace {

// The pixel at (x, y) of a decoded picture, as red, green and blue.
struct Rgb {
  int red, green, blue;
};
Rgb pixel(const Picture& picture, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * picture.width + x) * 4;
  return {picture.rgba[at], picture.rgba[at + 1], picture.rgba[at + 2]};
}
bool near(const Rgb& a, const Rgb& b) {
  return std::abs(a.red - b.red) < 40 && std::abs(a.green - b.green) < 40 && std::abs(a.blue - b.blue) < 40;
}

TEST(PicturePositionDialogInQt, TheButtonOpensTheEditorWithTheWatermarkOverTheFrameAndADragMovesIt) {
  QtGui qt;
  MainWindowRunFolder run;
  const std::string clip = run.path() + "/片 1.mkv";
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "color=c=gray:s=320x240:r=5:d=1", "-pix_fmt", "yuv420p", clip}));
  // A GIF that plays once: red, then blue.
  const std::string gif = run.path() + "/水印 动图.gif";
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "color=c=red:s=40x20:r=5:d=0.4", "-f", "lavfi", "-i",
                                   "color=c=blue:s=40x20:r=5:d=0.4", "-filter_complex",
                                   "[0:v][1:v]concat=n=2:v=1:a=0", "-loop", "-1", gif}));
  register_picture_position_dialog_opener();
  const WindowToken main = open_main_window_in(run.path());
  // The settings load writes the watermark fields too: let it finish first.
  for (int i = 0; i < 400 && !edit_settings_loaded(); ++i) {
    qt.loop.process_pending();
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  ASSERT_TRUE(edit_settings_loaded());
  ASSERT_TRUE(gui().input_click(main_control("edit_page_button")));
  gui().append_row(main_control("edit_list"), {"1", clip, "", ""});
  gui().set_text(main_control("watermark_picture_field"), gif);
  gui().set_text(main_control("watermark_left_field"), "40");
  gui().set_text(main_control("watermark_top_field"), "30");
  gui().set_enabled(main_control("watermark_position_button"), true);

  // Not modal: the click returns with the editor open.
  ASSERT_TRUE(gui().input_click(main_control("watermark_position_button")));
  const WindowToken editor = gui().find_window(picture_pos_dialog_name);
  ASSERT_TRUE(gui().window_exists(editor));
  EXPECT_FALSE(gui().window_state(main).blocked);
  const auto placed_at_half = [&] {
    const std::vector<AnimationObject> objects = gui().animation_objects({editor, region_preview});
    const std::shared_ptr<RegionEditorState> state = region_editor_state(editor);
    return state->frame_width == 160 && gui().picture({editor, region_preview}).decoded() && objects.size() == 1 &&
           objects[0].scale == 500 && state->idle();
  };
  ASSERT_TRUE(process_until([&] { return gui().geometry({editor, region_preview}).width == 320; }, std::chrono::seconds(20)));
  ASSERT_TRUE(gui().input_select({editor, region_zoom_combo}, 2));  // 50%
  ASSERT_TRUE(process_until(placed_at_half, std::chrono::seconds(20)));
  auto* box = dynamic_cast<AnimationBoxWidget*>(qt.view.control_widget({editor, region_preview}));
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(process_until([&] { return box->object_at(QPoint(25, 20)) == overlay_object(editor); }));

  const std::string shot = QF_BINARY_DIR "/screenshots/picture-position.png";
  std::filesystem::create_directories(QF_BINARY_DIR "/screenshots");
  std::filesystem::remove(shot);
  ASSERT_TRUE(save_window_png(editor, shot));
  const std::optional<std::string> bytes = read_file_bytes(shot);
  ASSERT_TRUE(bytes);
  const std::optional<Picture> picture = decode_picture(*bytes);
  ASSERT_TRUE(picture);
  ASSERT_EQ(picture->width, 950);
  ASSERT_EQ(picture->height, 650);
  // The preview lies at (23, 130); the overlay at half its size (20 x 10) at (20, 15),
  // red (the GIF's first frame) on the grey frame.
  const Rgb red{255, 0, 0}, grey{128, 128, 128};
  EXPECT_TRUE(near(pixel(*picture, 23 + 21, 130 + 16), red));
  EXPECT_TRUE(near(pixel(*picture, 23 + 38, 130 + 23), red));
  EXPECT_TRUE(near(pixel(*picture, 23 + 42, 130 + 20), grey));
  EXPECT_TRUE(near(pixel(*picture, 23 + 30, 130 + 27), grey));
  EXPECT_TRUE(near(pixel(*picture, 23 + 100, 130 + 100), grey));

  // Pressed 5 pixels into the overlay and moved by (100, 50) preview pixels: the
  // values follow at twice that, the overlay keeps the pressed point under the cursor.
  press(box, QPoint(25, 20));
  move_mouse(box, QPoint(125, 70), Qt::LeftButton);
  ASSERT_TRUE(process_until([&] { return gui().text({editor, region_top_field}) == "130"; }));
  EXPECT_EQ(gui().text({editor, region_left_field}), "240");
  release(box, QPoint(125, 70));
  ASSERT_TRUE(process_until([&] { return box->object_at(QPoint(125, 70)) == overlay_object(editor); }));
  EXPECT_EQ(box->object_at(QPoint(25, 20)), 0);
  move_mouse(box, QPoint(10, 10));
  for (int i = 0; i < 5; ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(gui().text({editor, region_left_field}), "240");

  ASSERT_TRUE(gui().input_click({editor, region_save_button}));
  EXPECT_FALSE(gui().window_exists(editor));
  EXPECT_EQ(gui().text(main_control("watermark_left_field")), "240");
  EXPECT_EQ(gui().text(main_control("watermark_top_field")), "130");
  set_dialog_opener(ProgramDialog::picture_position, {});
}

}  // namespace
