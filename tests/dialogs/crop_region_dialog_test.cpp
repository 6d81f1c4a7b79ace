// The crop editor on the headless control model: the crop box moved, resized and
// stepped by keys, its values in source pixels at every zoom, the save check, the
// hand-off to the main window's crop fields, and the coloured frame.

#include "dialogs/crop_region_dialog.h"

#include <gtest/gtest.h>

#include "dialogs/colour_frame.h"
#include "engine/common/globals.h"
#include "engine/window/dialog_openers.h"
#include "platform/profile.h"
#include "tests/dialogs/region_editor_test_support.h"

namespace {

using region_test::RegionEditorTest;

// The editor without a probe: no edit list rows, a video text so that the place task
// works, and the preview size (what the probe leaves) set by the test.
class CropEditor : public RegionEditorTest {
 protected:
  // The editor hands its values to the edit page's fields and writes no setting of
  // its own: they reach the settings file with the edit page's next save.
  static bool crop_settings_untouched() {
    for (const char* key : {"y30", "y31", "y32", "y33"})
      if (read_profile_text(config_file_path.get(), "批量剪辑视频", key, "-") != "-") return false;
    return true;
  }

  WindowToken open_editor(int zoom_index, int preview_width, int preview_height,
                          std::vector<std::string> fields = {"100", "50", "160", "120"}) {
    const char* roles[] = {"crop_left_field", "crop_top_field", "crop_width_field", "crop_height_field"};
    for (int i = 0; i < 4; ++i) gui().set_text(main_field(roles[i]), fields[i]);
    const WindowToken w = create_crop_region_dialog();
    gui().open_window(w, main);
    gui().set_selected_index({w, region_zoom_combo}, zoom_index);  // a program write: no probe
    gui().set_text({w, region_video_field}, "/videos/a.mp4");
    state_of(w).frame_width = preview_width;
    state_of(w).frame_height = preview_height;
    start_region_timer(w, region_place_timer);
    EXPECT_TRUE(pump_until([&] { return placed(w); }));
    return w;
  }

  // The place task has run and nothing is pending.
  bool placed(WindowToken w) {
    return gui().visible({w, crop_box}) && idle(w);
  }

  // The user drags the box (or a handle) and the drag ends at `to`.
  void drag(WindowToken w, const char* role, GuiRect to) {
    g.services.answer_drag(to);
    ASSERT_TRUE(gui().input_mouse_down({w, role}, 2, 2));
    ASSERT_TRUE(gui().input_mouse_up({w, role}, 2, 2));
    ASSERT_TRUE(pump_until([&] { return placed(w); }));
  }

  std::vector<std::string> values(WindowToken w) {
    return {gui().text({w, region_left_field}), gui().text({w, region_top_field}),
            gui().text({w, region_width_field}), gui().text({w, region_height_field})};
  }
  std::vector<std::string> main_values() {
    return {gui().text(main_field("crop_left_field")), gui().text(main_field("crop_top_field")),
            gui().text(main_field("crop_width_field")), gui().text(main_field("crop_height_field"))};
  }

};

TEST_F(CropEditor, ValuesInSourcePixelsAtEveryZoomAndWhatTheSaveHandsBack) {
  const struct {
    int zoom_index;
    GuiRect dragged;
    std::vector<std::string> values;
    GuiRect placed;  // the box as the place task sets it back from the texts
  } cases[] = {
      {7, {100, 50, 640, 360}, {"100", "50", "640", "360"}, {100, 50, 640, 360}},
      {2, {101, 10, 50, 40}, {"202", "20", "100", "80"}, {101, 10, 50, 40}},
      // 13 significant digits: 496.6666666667 gives 149 back, 33.33333333333 just below 10.
      {0, {149, 10, 20, 30}, {"496.6666666667", "33.33333333333", "66.66666666667", "100"}, {149, 9, 20, 30}},
      // 212.8571428571 at 70 % gives 148.99999999997: one preview pixel less.
      {4, {149, 10, 20, 30}, {"212.8571428571", "14.28571428571", "28.57142857143", "42.85714285714"},
       {148, 9, 20, 29}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.zoom_index);
    const WindowToken w = open_editor(c.zoom_index, 1000, 1000);
    drag(w, crop_box, c.dragged);
    EXPECT_EQ(values(w), c.values);
    EXPECT_EQ(gui().geometry({w, crop_box}), c.placed);
    ASSERT_TRUE(gui().input_click({w, region_save_button}));
    EXPECT_FALSE(gui().window_exists(w));
    EXPECT_EQ(main_values(), c.values);
    EXPECT_TRUE(crop_settings_untouched());
    EXPECT_TRUE(g.services.messages().empty());
  }
}

TEST_F(CropEditor, OpensWithTheEditPageValuesAndAColouredFrame) {
  const WindowToken w = open_editor(7, 1920, 1080, {"10", "20", "300", "200"});
  EXPECT_EQ(values(w), (std::vector<std::string>{"10", "20", "300", "200"}));
  EXPECT_EQ(gui().geometry({w, crop_box}), (GuiRect{10, 20, 300, 200}));
  EXPECT_EQ(gui().text({w, crop_box}), crop_box_caption("1920", "1080", "300", "200", "10", "20"));
  EXPECT_TRUE(gui().frame_colour({w, crop_box}).has_value());
  for (const char* handle : {crop_handle_top_left, crop_handle_bottom_right}) EXPECT_FALSE(gui().visible({w, handle}));

  // Typing a value moves the box through the place task.
  ASSERT_TRUE(gui().input_text({w, region_left_field}, "30"));
  ASSERT_TRUE(pump_until([&] { return gui().geometry({w, crop_box}).x == 30 && placed(w); }));

  // Closing without saving leaves the edit page alone.
  gui().destroy_window(w);
  EXPECT_EQ(main_values(), (std::vector<std::string>{"10", "20", "300", "200"}));
  EXPECT_TRUE(crop_settings_untouched());
}

TEST_F(CropEditor, WithoutAVideoThePlaceTaskLeavesTheBoxHidden) {
  const WindowToken w = create_crop_region_dialog();
  gui().open_window(w, main);
  ASSERT_TRUE(pump_until([&] { return gui().timer_interval(w, region_place_timer) == 0; }));
  ASSERT_TRUE(pump_until([&] { return idle(w); }));
  EXPECT_FALSE(gui().visible({w, crop_box}));
  EXPECT_EQ(gui().text({w, crop_box}), crop_box_design_caption);
}

TEST_F(CropEditor, HandlesSurroundTheBoxAndTheMiddleOnesNeedTenPixels) {
  const struct {
    GuiRect box;
    bool side_handles;    // 左中, 右中
    bool middle_handles;  // 中中, 中下
  } cases[] = {
      {{100, 100, 40, 8}, false, true},
      {{100, 100, 8, 40}, true, false},
      {{100, 100, 10, 10}, true, true},
  };
  for (const auto& c : cases) {
    const WindowToken w = open_editor(7, 1000, 1000);
    drag(w, crop_box, c.box);
    const int l = c.box.x, t = c.box.y, wd = c.box.width, h = c.box.height;
    auto at = [&](const char* role) {
      const GuiRect r = gui().geometry({w, role});
      return GuiPoint{r.x, r.y};
    };
    EXPECT_EQ(at(crop_handle_top_left), (GuiPoint{l - 4, t - 4}));
    EXPECT_EQ(at(crop_handle_bottom_left), (GuiPoint{l - 4, t + h}));
    EXPECT_EQ(at(crop_handle_top_right), (GuiPoint{l + wd, t - 4}));
    EXPECT_EQ(at(crop_handle_bottom_right), (GuiPoint{l + wd, t + h}));
    EXPECT_EQ(gui().visible({w, crop_handle_left}), c.side_handles);
    EXPECT_EQ(gui().visible({w, crop_handle_right}), c.side_handles);
    EXPECT_EQ(gui().visible({w, crop_handle_top}), c.middle_handles);
    EXPECT_EQ(gui().visible({w, crop_handle_bottom}), c.middle_handles);
    if (c.side_handles) {
      EXPECT_EQ(at(crop_handle_left), (GuiPoint{l - 4, t + h / 2 - 2}));
      EXPECT_EQ(at(crop_handle_right), (GuiPoint{l + wd, t + h / 2 - 2}));
    }
    if (c.middle_handles) {
      EXPECT_EQ(at(crop_handle_top), (GuiPoint{l + wd / 2 - 2, t - 4}));
      EXPECT_EQ(at(crop_handle_bottom), (GuiPoint{l + wd / 2 - 2, t + h}));
    }
    gui().destroy_window(w);
  }
}

TEST_F(CropEditor, AHandleResizesTheBoxAtItsEdge) {
  const WindowToken w = open_editor(7, 1000, 1000);
  drag(w, crop_box, {100, 100, 200, 100});
  drag(w, crop_handle_bottom_right, {100, 100, 250, 150});
  const std::vector<ControlDragRequest> drags = g.services.drags();
  ASSERT_EQ(drags.size(), 2u);
  EXPECT_EQ(drags[0].mode, DragMode::move);
  EXPECT_EQ(drags[1].mode, DragMode::bottom_right);
  EXPECT_EQ(drags[1].control, (ControlRef{w, crop_box}));
  EXPECT_EQ(values(w), (std::vector<std::string>{"100", "100", "250", "150"}));
  EXPECT_EQ(gui().geometry({w, crop_handle_bottom_right}), (GuiRect{350, 250, 4, 4}));
}

TEST_F(CropEditor, ArrowKeysMoveAndShiftResizesUntilTheWindowIsPressed) {
  const WindowToken w = open_editor(7, 1000, 1000);
  // Before the box is pressed the keys do nothing.
  ASSERT_FALSE(gui().input_key(window_ref(w), key_codes::right, 0));
  EXPECT_EQ(values(w)[0], "100");

  drag(w, crop_box, {100, 100, 1, 20});
  gui().input_key(window_ref(w), key_codes::right, 0);
  gui().input_key(window_ref(w), key_codes::down, 0);
  gui().input_key(window_ref(w), key_codes::down, key_modifiers::shift);
  ASSERT_TRUE(pump_until([&] { return placed(w); }));
  EXPECT_EQ(values(w), (std::vector<std::string>{"101", "101", "1", "21"}));

  // Shift+Left on a width of 1 gives 0, and no further.
  gui().input_key(window_ref(w), key_codes::left, key_modifiers::shift | key_modifiers::ctrl);
  gui().input_key(window_ref(w), key_codes::left, key_modifiers::shift);
  ASSERT_TRUE(pump_until([&] { return placed(w); }));
  EXPECT_EQ(values(w)[2], "0");

  // A press on the window's free area hides the handles; the keys rest until the box
  // is pressed again.
  ASSERT_TRUE(gui().input_mouse_down(window_ref(w), 5, 5));
  ASSERT_TRUE(gui().input_mouse_up(window_ref(w), 5, 5));
  EXPECT_FALSE(gui().visible({w, crop_handle_top_left}));
  gui().input_key(window_ref(w), key_codes::right, 0);
  ASSERT_TRUE(pump_until([&] { return placed(w); }));
  EXPECT_EQ(values(w)[0], "101");

  // A width of 0 passes the save check.
  ASSERT_TRUE(gui().input_click({w, region_save_button}));
  EXPECT_FALSE(gui().window_exists(w));
  EXPECT_EQ(main_values(), (std::vector<std::string>{"101", "101", "0", "21"}));
}

TEST_F(CropEditor, TheSaveRefusesABoxOutsideTheFrame) {
  const struct {
    GuiRect box;
    bool accepted;
  } cases[] = {
      {{220, 140, 100, 100}, true},   // right and bottom edges on the frame's edges
      {{221, 140, 100, 100}, false},  // one pixel further right
      {{220, 141, 100, 100}, false},  // one pixel further down
      {{-1, 0, 10, 10}, false},
      {{0, -1, 10, 10}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box.x);
    g.services.clear_records();
    gui().set_text(main_field("crop_left_field"), "untouched");
    const WindowToken w = open_editor(7, 320, 240, {"untouched", "50", "160", "120"});
    drag(w, crop_box, c.box);
    ASSERT_TRUE(gui().input_click({w, region_save_button}));
    EXPECT_EQ(gui().window_exists(w), !c.accepted);
    EXPECT_TRUE(crop_settings_untouched());
    if (c.accepted) {
      EXPECT_EQ(gui().text(main_field("crop_left_field")), "220");
      EXPECT_TRUE(g.services.messages().empty());
    } else {
      EXPECT_EQ(gui().text(main_field("crop_left_field")), "untouched");
      ASSERT_EQ(g.services.messages().size(), 1u);
      EXPECT_EQ(g.services.messages()[0].title, "温馨提示：");
      EXPECT_EQ(g.services.messages()[0].text, "裁切的区域不能超过视频的区域");
      gui().destroy_window(w);
    }
  }
}

TEST_F(CropEditor, ASizeBeyondAnyFrameIsRefusedAndNeverOverflows) {
  // Values the edit page hands over (it takes any text), at 100 % in a 320 x 240 frame:
  // left, top, width, height.
  const std::vector<std::string> cases[] = {
      {"0", "0", "2147483648", "120"},  // one more than the largest int
      {"0", "0", "160", "99999999999"},
      {"0", "0", "4294967296", "4294967296"},
      {"0", "2147483648", "10", "10"},
  };
  for (const auto& fields : cases) {
    SCOPED_TRACE(fields[2] + " x " + fields[3]);
    g.services.clear_records();
    const WindowToken w = open_editor(7, 320, 240, fields);
    ASSERT_TRUE(gui().input_click({w, region_save_button}));
    EXPECT_TRUE(gui().window_exists(w));
    EXPECT_EQ(main_values(), fields);
    ASSERT_EQ(g.services.messages().size(), 1u);
    EXPECT_EQ(g.services.messages()[0].text, "裁切的区域不能超过视频的区域");
    gui().destroy_window(w);
  }

  // Typed: no more digits than a frame size has; the most it takes is refused too,
  // also before the place task has caught up with it.
  g.services.clear_records();
  const WindowToken w = open_editor(7, 320, 240, {"0", "0", "160", "120"});
  for (const char* box : {region_left_field, region_top_field, region_width_field, region_height_field}) {
    EXPECT_FALSE(gui().input_text({w, box}, "100000")) << box;
  }
  EXPECT_EQ(values(w), (std::vector<std::string>{"0", "0", "160", "120"}));
  EXPECT_TRUE(gui().input_text({w, region_height_field}, "99999"));
  ASSERT_TRUE(gui().input_click({w, region_save_button}));
  EXPECT_TRUE(gui().window_exists(w));
  EXPECT_EQ(main_values(), (std::vector<std::string>{"0", "0", "160", "120"}));
  EXPECT_EQ(g.services.messages().size(), 1u);
}

TEST_F(CropEditor, ItsOpenerOpensItModallyOverTheMainWindow) {
  bool main_blocked = false;
  std::string title;
  g.loop.when_idle([&] {
    const WindowToken w = gui().find_window(crop_dialog_name);
    main_blocked = gui().window_state(main).blocked;
    title = gui().title(w);
    gui().destroy_window(w);
  });
  register_crop_region_dialog_opener();
  EXPECT_TRUE(open_program_dialog(ProgramDialog::crop_region));
  set_dialog_opener(ProgramDialog::crop_region, {});
  EXPECT_TRUE(main_blocked);
  EXPECT_EQ(title, "智能编辑裁切区域");
  EXPECT_FALSE(gui().window_state(main).blocked);
}

TEST(ColourFrame, ASecondAttachKeepsTheFirstColour) {
  HeadlessGui g;
  WindowSpec spec;
  spec.name = "Framed";
  spec.controls.push_back(control_spec("box", ControlKind::label, {0, 0, 10, 10}));
  const WindowToken w = gui().create_window(spec);
  attach_colour_frame({w, "box"}, make_colour(1, 2, 3));
  attach_colour_frame({w, "box"}, make_colour(200, 0, 0));
  EXPECT_EQ(gui().frame_colour({w, "box"}), make_colour(1, 2, 3));
  gui().destroy_window(w);
}

}  // namespace
