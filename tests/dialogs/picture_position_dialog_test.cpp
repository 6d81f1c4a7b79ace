// The picture-position editor on the headless control model: the overlay on a real
// frame and its placement at a zoom, the drag that keeps the grabbed point under the
// cursor and the drag state's end, typed values, replacing the picture, the hand-off
// to the edit page's watermark fields, its frame file and threads, and its opener.

#include "dialogs/picture_position_dialog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "dialogs/mosaic_region_dialog.h"
#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/edit/edit_settings_saver.h"
#include "engine/edit/watermark_picture_size.h"
#include "engine/window/dialog_openers.h"
#include "engine/window/file_dialogs.h"
#include "platform/gui/picture.h"
#include "platform/process.h"
#include "tests/dialogs/region_editor_test_support.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using region_test::RegionEditorTest;

// One overlay as a test compares it: where, how large, at what scale.
struct Placed {
  int x, y, width, height, scale;
  friend bool operator==(const Placed&, const Placed&) = default;
};

class PicturePositionEditor : public RegionEditorTest {
 protected:
  void SetUp() override {
    RegionEditorTest::SetUp();
    picture = dir / "水印 图.png";
    ASSERT_TRUE(make_picture(picture, "red", 200, 80));
    gui().set_text(main_field("watermark_picture_field"), picture);
    gui().set_text(main_field("watermark_left_field"), "100");
    gui().set_text(main_field("watermark_top_field"), "60");
    // As the opener measures the picture.
    watermark_picture_width = 200;
    watermark_picture_height = 80;
    set_edit_settings_saver([this] { ++saves; });
  }
  void TearDown() override {
    set_edit_settings_saver({});
    RegionEditorTest::TearDown();
  }

  static bool make_picture(const std::string& path, const char* colour, int width, int height) {
    return test_env::make_clip({"-f", "lavfi", "-i",
                                std::string("color=c=") + colour + ":s=" + std::to_string(width) + "x" +
                                    std::to_string(height),
                                "-frames:v", "1", path});
  }

  static std::vector<AnimationObject> overlays(WindowToken w) { return gui().animation_objects({w, region_preview}); }
  static Placed placed_overlay(WindowToken w) {
    const std::vector<AnimationObject> objects = overlays(w);
    if (objects.size() != 1) return {-1, -1, -1, -1, -1};
    const AnimationObject& o = objects.front();
    return {o.x, o.y, o.width, o.height, o.scale};
  }
  static std::pair<std::string, std::string> boxes(WindowToken w) {
    return {gui().text({w, region_left_field}), gui().text({w, region_top_field})};
  }

  // The place task has run (the overlay is the only object) and nothing is pending.
  bool placed(WindowToken w) {
    return overlays(w).size() == 1 && overlays(w).front().id == overlay_object(w) && idle(w);
  }

  // The editor without a video, at a zoom set by the program (no probe), placed once.
  WindowToken open_placed(int zoom_index) {
    const WindowToken w = create_picture_position_dialog();
    gui().open_window(w, main);
    gui().set_selected_index({w, region_zoom_combo}, zoom_index);
    start_region_timer(w, region_place_timer);
    EXPECT_TRUE(pump_until([&] { return placed(w); }));
    return w;
  }

  // The user presses the preview at (x, y): the box's press, then the object's when the
  // point lies on the overlay, as the view reports them.
  static void press(WindowToken w, int x, int y, bool on_overlay) {
    const ControlRef preview{w, region_preview};
    ASSERT_TRUE(gui().input_mouse_down(preview, x, y));
    if (on_overlay) {
      ASSERT_TRUE(gui().input_object_pressed(preview, overlay_object(w)));
    }
  }
  // The cursor moves with the button held, and the drag timer ticks once.
  void move_to(WindowToken w, int x, int y) {
    ASSERT_TRUE(gui().input_mouse_move({w, region_preview}, x, y, mouse_buttons::left));
    g.loop.advance(10ms);
  }

  std::string picture;
  int saves = 0;
};

TEST_F(PicturePositionEditor, OpensWithTheEditPageValuesAndLaysThePictureOnTheFrameAtTheZoom) {
  const std::string clip = dir / "clip.mkv";
  ASSERT_TRUE(test_env::make_clip(
      {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=5:duration=1", "-pix_fmt", "yuv420p", clip}));
  gui().append_row(main_field("edit_list"), {"1", clip, "", ""});
  // The mosaic editor's frame file, half written by its own grab: never this editor's.
  const std::string mosaic_frame = run + mosaic_frame_file;
  test_env::write_file(mosaic_frame, "mosaic frame");

  const WindowToken w = create_picture_position_dialog();
  gui().open_window(w, main);
  EXPECT_EQ(gui().title(w), "智能编辑水印位置");
  EXPECT_EQ(boxes(w), std::make_pair(std::string("100"), std::string("60")));
  EXPECT_EQ(gui().text({w, region_video_field}), clip);
  const GuiPicture overlay_picture = gui().picture({w, overlay_template});
  EXPECT_EQ(overlay_picture.width, 200);
  EXPECT_EQ(overlay_picture.height, 80);

  ASSERT_TRUE(pump_until([&] {
    return gui().picture({w, region_preview}).decoded() && placed(w) &&
           gui().timer_interval(w, region_grab_timer) == 0 && gui().timer_interval(w, region_probe_timer) == 0;
  }));
  EXPECT_EQ(gui().geometry({w, region_preview}), (GuiRect{23, 130, 320, 240}));
  EXPECT_EQ(gui().picture({w, region_preview}).width, 320);
  EXPECT_EQ(placed_overlay(w), (Placed{100, 60, 200, 80, 1000}));
  EXPECT_EQ(overlays(w).front().picture, overlay_picture);
  EXPECT_FALSE(fs::exists(run + picture_pos_frame_file));
  EXPECT_EQ(test_env::read_file(mosaic_frame), "mosaic frame");

  // Another zoom: probed, grabbed and placed again at the new scale.
  ASSERT_TRUE(gui().input_select({w, region_zoom_combo}, 2));  // 50%
  ASSERT_TRUE(pump_until([&] { return placed(w) && placed_overlay(w).scale == 500; }));
  EXPECT_EQ(gui().geometry({w, region_preview}), (GuiRect{23, 130, 160, 120}));
  EXPECT_EQ(placed_overlay(w), (Placed{50, 30, 100, 40, 500}));
  EXPECT_EQ(gui().text({w, region_left_field}), "100");  // the values stay in source pixels

  // Closing by the close box hands nothing back.
  gui().set_text({w, region_left_field}, "7");
  EXPECT_TRUE(gui().input_close(w));
  EXPECT_EQ(gui().text(main_field("watermark_left_field")), "100");
}

TEST_F(PicturePositionEditor, ThePlacementScalesPictureSizeAndPositionByTheZoom) {
  const struct {
    int zoom_index;
    Placed overlay;
  } cases[] = {
      {2, {50, 30, 100, 40, 500}},    // 50 %
      {7, {100, 60, 200, 80, 1000}},  // 100 %: box values and preview positions are equal
      {0, {30, 18, 60, 24, 300}},     // 30 %
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.zoom_index);
    const WindowToken w = open_placed(c.zoom_index);
    EXPECT_EQ(placed_overlay(w), c.overlay);
    // A second placement replaces the overlay (a new id), it does not add one.
    const int first = overlay_object(w);
    start_region_timer(w, region_place_timer);
    ASSERT_TRUE(pump_until([&] { return placed(w) && overlay_object(w) != first; }));
    EXPECT_EQ(placed_overlay(w), c.overlay);
    gui().destroy_window(w);
  }
}

TEST_F(PicturePositionEditor, ADragKeepsTheGrabbedPointUnderTheCursor) {
  const WindowToken w = open_placed(2);  // 50 %: the overlay at (50, 30)
  // Pressed 10 pixels right of its left edge and 5 below its top.
  press(w, 60, 35, true);
  move_to(w, 210, 35);
  EXPECT_EQ(boxes(w), std::make_pair(std::string("400"), std::string("60")));
  EXPECT_EQ(placed_overlay(w).x, 200);
  EXPECT_EQ(placed_overlay(w).y, 30);
  // The cursor may leave the preview while the button is held: past its left edge the
  // left value is negative.
  move_to(w, -20, 5);
  EXPECT_EQ(boxes(w), std::make_pair(std::string("-60"), std::string("0")));
  EXPECT_EQ(placed_overlay(w).x, -30);
  // Within the truncation of the two conversions: 33 / 0.5 = 66 source pixels, 33 again
  // in the preview.
  move_to(w, 43, 40);
  EXPECT_EQ(boxes(w), std::make_pair(std::string("66"), std::string("70")));
  EXPECT_EQ(placed_overlay(w).x, 33);
  EXPECT_EQ(placed_overlay(w).y, 35);

  ASSERT_TRUE(gui().input_object_released({w, region_preview}, overlay_object(w)));
  ASSERT_TRUE(gui().input_mouse_up({w, region_preview}, 43, 40));
  move_to(w, 300, 200);
  EXPECT_EQ(boxes(w), std::make_pair(std::string("66"), std::string("70")));
  EXPECT_EQ(overlay_dragging(w), 0);
}

TEST_F(PicturePositionEditor, NoDragBesideTheOverlayNorAfterThePressHasEnded) {
  // How the press ends before the cursor moves on.
  const struct {
    const char* name;
    bool on_overlay;
    void (*end)(WindowToken w);
  } cases[] = {
      {"a press beside the overlay", false, [](WindowToken) {}},
      {"the object's release", true,
       [](WindowToken w) { gui().input_object_released({w, region_preview}, overlay_object(w)); }},
      {"the box's release alone", true, [](WindowToken w) { gui().input_mouse_up({w, region_preview}, 60, 35); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const WindowToken w = open_placed(2);
    press(w, c.on_overlay ? 60 : 5, c.on_overlay ? 35 : 5, c.on_overlay);
    c.end(w);
    move_to(w, 210, 150);
    g.loop.advance(30ms);
    EXPECT_EQ(boxes(w), std::make_pair(std::string("100"), std::string("60")));
    EXPECT_EQ(placed_overlay(w).x, 50);
    gui().destroy_window(w);
  }

  // A drag under way when the editor closes is over when it opens again.
  WindowToken w = open_placed(2);
  press(w, 60, 35, true);
  gui().destroy_window(w);
  w = open_placed(2);
  move_to(w, 210, 150);
  g.loop.advance(30ms);
  EXPECT_EQ(boxes(w), std::make_pair(std::string("100"), std::string("60")));
}

TEST_F(PicturePositionEditor, TheFirstDragAfterAZoomChosenWithTheMouseMovesThePicture) {
  const WindowToken w = open_placed(7);  // 100 %: the 200 x 80 picture at (100, 60)
  // The press on the drop-down opens its list, which has the release; a choice there
  // closes it.
  const ControlRef zoom{w, region_zoom_combo};
  ASSERT_TRUE(gui().input_mouse_down(zoom, 30, 12));
  ASSERT_TRUE(gui().input_select(zoom, 7));
  gui().input_popup_closed(zoom);
  ASSERT_TRUE(pump_until([&] { return placed(w); }));
  press(w, 110, 65, true);
  move_to(w, 260, 65);
  EXPECT_EQ(boxes(w), std::make_pair(std::string("250"), std::string("60")));
  EXPECT_EQ(placed_overlay(w).x, 250);
}

TEST_F(PicturePositionEditor, TwoWindowsEachDragTheirOwnOverlay) {
  // Both at 100 %, the overlay at (100, 60); the second placed once more, so the two
  // overlays have different ids.
  const WindowToken first = open_placed(7);
  const WindowToken second = open_placed(7);
  const int earlier = overlay_object(second);
  start_region_timer(second, region_place_timer);
  ASSERT_TRUE(pump_until([&] { return placed(second) && overlay_object(second) != earlier; }));
  ASSERT_NE(overlay_object(first), overlay_object(second));

  // A drag in either window moves its own overlay; the other window's drag timer,
  // ticking all the while, leaves its values alone.
  for (const auto& [dragged, still] : {std::pair{first, second}, std::pair{second, first}}) {
    press(dragged, 110, 65, true);
    move_to(dragged, 260, 65);
    EXPECT_EQ(boxes(dragged), std::make_pair(std::string("250"), std::string("60")));
    EXPECT_EQ(boxes(still), std::make_pair(std::string("100"), std::string("60")));
    ASSERT_TRUE(gui().input_object_released({dragged, region_preview}, overlay_object(dragged)));
    ASSERT_TRUE(gui().input_mouse_up({dragged, region_preview}, 260, 65));
    ASSERT_TRUE(gui().input_text({dragged, region_left_field}, "100"));
    EXPECT_EQ(placed_overlay(dragged).x, 100);
  }
}

TEST_F(PicturePositionEditor, WithoutAZoomFactorADragLeavesTheValuesAlone) {
  const WindowToken w = open_placed(2);
  press(w, 60, 35, true);
  gui().set_selected_index({w, region_zoom_combo}, -1);  // the zoom text is empty
  ASSERT_EQ(region_zoom_factor(w), 0);
  move_to(w, 210, 150);
  EXPECT_EQ(boxes(w), std::make_pair(std::string("100"), std::string("60")));
  // A placement without a zoom draws nothing, at the preview's corner.
  start_region_timer(w, region_place_timer);
  ASSERT_TRUE(pump_until([&] { return placed(w) && placed_overlay(w).width == 0; }));
  EXPECT_EQ(placed_overlay(w).x, 0);
  EXPECT_EQ(placed_overlay(w).height, 0);
}

TEST_F(PicturePositionEditor, TypedValuesMoveTheOverlayAtOnceAndTheSaveHandsTheTextsBack) {
  const WindowToken w = open_placed(2);
  ASSERT_TRUE(gui().input_text({w, region_left_field}, "250"));
  EXPECT_EQ(placed_overlay(w).x, 125);
  ASSERT_TRUE(gui().input_text({w, region_top_field}, ""));  // no number: 0, and handed back as typed
  EXPECT_EQ(placed_overlay(w).y, 0);
  EXPECT_EQ(placed_overlay(w).width, 100);  // a move keeps the size
  ASSERT_TRUE(gui().input_click({w, region_save_button}));
  EXPECT_FALSE(gui().window_exists(w));
  EXPECT_EQ(gui().text(main_field("watermark_left_field")), "250");
  EXPECT_EQ(gui().text(main_field("watermark_top_field")), "");
  EXPECT_EQ(gui().text(main_field("watermark_picture_field")), picture);
  EXPECT_EQ(saves, 0);  // the values reach the settings file with the next save
  EXPECT_TRUE(g.services.messages().empty());
}

TEST_F(PicturePositionEditor, AnotherPictureReplacesTheOverlayAndAnUnreadableOneIsRefused) {
  fs::create_directories(dir / "其他");
  const std::string jpeg = dir / "其他/logo.jpg";
  ASSERT_TRUE(make_picture(jpeg, "blue", 64, 32));
  const std::string text = dir / "其他/notes.jpg";
  test_env::write_file(text, "not a picture");
  const WindowToken w = open_placed(7);
  const GuiPicture first_picture = gui().picture({w, overlay_template});
  const ControlRef button{w, picture_pos_choose_picture_button};
  EXPECT_EQ(gui().text(button), "换一张水印图片");

  // Cancelled: nothing changes. The dialog opens in the current picture's folder.
  g.services.answer_open_files({});
  ASSERT_TRUE(gui().input_click(button));
  ASSERT_EQ(g.services.open_file_requests().size(), 1u);
  EXPECT_EQ(g.services.open_file_requests()[0].filter, "图片文件|*.jpg;*.gif;*.png;*.jpeg");
  EXPECT_EQ(g.services.open_file_requests()[0].initial_folder, parent_folder(picture));
  EXPECT_EQ(gui().text(main_field("watermark_picture_field")), picture);

  // Unreadable: the message; the field and the overlay's picture stay, the size is 0.
  g.services.answer_open_files({text});
  ASSERT_TRUE(gui().input_click(button));
  ASSERT_EQ(g.services.messages().size(), 1u);
  EXPECT_EQ(g.services.messages()[0].title, "温馨提示：");
  EXPECT_EQ(g.services.messages()[0].text, "请重新选择一张有效的图片。");
  EXPECT_EQ(g.services.messages()[0].buttons, MessageButtons::ok);
  EXPECT_EQ(gui().text(main_field("watermark_picture_field")), picture);
  EXPECT_EQ(gui().picture({w, overlay_template}), first_picture);
  EXPECT_EQ(watermark_picture_width, 0);
  EXPECT_EQ(saves, 0);
  EXPECT_EQ(gui().timer_interval(w, region_place_timer), 0);
  // So the next placement draws an overlay of 0 x 0.
  start_region_timer(w, region_place_timer);
  ASSERT_TRUE(pump_until([&] { return placed(w) && placed_overlay(w).width == 0; }));
  EXPECT_EQ(placed_overlay(w), (Placed{100, 60, 0, 0, 1000}));

  // Readable: into the edit page's field and saved at once; placed anew at its size.
  g.services.clear_records();
  g.services.answer_open_files({jpeg});
  ASSERT_TRUE(gui().input_click(button));
  EXPECT_TRUE(g.services.messages().empty());
  EXPECT_EQ(gui().text(main_field("watermark_picture_field")), jpeg);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(watermark_picture_width, 64);
  EXPECT_EQ(watermark_picture_height, 32);
  ASSERT_TRUE(pump_until([&] { return placed(w) && placed_overlay(w).width == 64; }));
  EXPECT_EQ(placed_overlay(w), (Placed{100, 60, 64, 32, 1000}));
  const GuiPicture shown = overlays(w).front().picture;
  EXPECT_EQ(shown.width, 64);
  EXPECT_EQ(shown.height, 32);
  // Closed without "保存设置": the new picture stays on the edit page.
  gui().destroy_window(w);
  EXPECT_EQ(gui().text(main_field("watermark_picture_field")), jpeg);
}

TEST_F(PicturePositionEditor, ClosingTheEditorDuringAGrabEndsItsThreadsAndItsConverter) {
  // A converter that takes its time over the grab and leaves a mark if let run.
  const std::string mark = dir / "grab went on";
  install_slow_grab_converter(mark);
  const std::string clip = dir / "clip.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(clip));
  gui().append_row(main_field("edit_list"), {"1", clip, "", ""});
  const WindowToken w = create_picture_position_dialog();
  gui().open_window(w, main);
  ASSERT_TRUE(pump_until([&] { return !gui().enabled({w, region_time_slider}) && !running_converter_ids().empty(); }));
  const std::shared_ptr<RegionEditorState> state = region_editor_state(w);
  ASSERT_EQ(state->running_tasks(), 1);

  gui().destroy_window(w);
  EXPECT_EQ(region_editor_state(w), nullptr);
  EXPECT_EQ(state->running_tasks(), 0);
  EXPECT_TRUE(running_converter_ids().empty());
  EXPECT_FALSE(fs::exists(mark));
  EXPECT_FALSE(fs::exists(run + picture_pos_frame_file));
  g.loop.advance(20ms);
  EXPECT_EQ(state->running_tasks(), 0);
}

TEST_F(PicturePositionEditor, ItsOpenerOpensItBesideTheMainWindowWithoutBlockingIt) {
  register_picture_position_dialog_opener();
  EXPECT_TRUE(open_program_dialog(ProgramDialog::picture_position));
  set_dialog_opener(ProgramDialog::picture_position, {});
  const WindowToken w = gui().find_window(picture_pos_dialog_name);
  ASSERT_TRUE(gui().window_exists(w));
  EXPECT_FALSE(gui().window_state(w).modal);
  EXPECT_FALSE(gui().window_state(main).blocked);
  EXPECT_EQ(gui().text({w, "region_first_step_label"}), "第一步：选择一个待添加水印的视频");
  EXPECT_EQ(gui().text({w, "region_second_step_label"}), "第二步：设置水印的位置");
  EXPECT_EQ(gui().text({w, "region_left_label"}), "水印左距：");
  EXPECT_FALSE(gui().exists({w, region_width_field}));
  EXPECT_EQ(gui().kind({w, region_preview}), ControlKind::animation_box);
  EXPECT_EQ(gui().timer_interval(w, picture_pos_drag_timer), 10);
  // Owned by the main window: it goes with it.
  gui().destroy_window(main);
  EXPECT_FALSE(gui().window_exists(w));
}

}  // namespace
