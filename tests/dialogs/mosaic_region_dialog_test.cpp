// The mosaic editor on the headless control model: the box follows typed values at
// once and the place task after a grab, its values in source pixels at two zooms, the
// drag, the save check, the hand-off to the main window's logo-removal fields, and its
// opener (not modal).

#include "dialogs/mosaic_region_dialog.h"

#include <gtest/gtest.h>

#include "engine/common/globals.h"
#include "engine/window/dialog_openers.h"
#include "platform/profile.h"
#include "tests/dialogs/region_editor_test_support.h"

namespace {

using region_test::RegionEditorTest;

const char* const delogo_fields[] = {"delogo_left_field", "delogo_top_field", "delogo_width_field",
                                     "delogo_height_field"};

class MosaicEditor : public RegionEditorTest {
 protected:
  void set_main_values(const std::vector<std::string>& values) {
    for (int i = 0; i < 4; ++i) gui().set_text(main_field(delogo_fields[i]), values[i]);
  }
  std::vector<std::string> main_values() {
    std::vector<std::string> values;
    for (const char* field : delogo_fields) values.push_back(gui().text(main_field(field)));
    return values;
  }
  std::vector<std::string> values(WindowToken w) {
    return {gui().text({w, region_left_field}), gui().text({w, region_top_field}),
            gui().text({w, region_width_field}), gui().text({w, region_height_field})};
  }

  // The place task has run and nothing is pending.
  bool placed(WindowToken w) {
    return gui().visible({w, mosaic_box}) && idle(w);
  }

  // The editor without a probe: the preview size (what the probe leaves) set by the test
  // and the place task run once.
  WindowToken open_placed(int zoom_index, int preview_width, int preview_height,
                          const std::vector<std::string>& fields) {
    set_main_values(fields);
    const WindowToken w = create_mosaic_region_dialog();
    gui().open_window(w, main);
    gui().set_selected_index({w, region_zoom_combo}, zoom_index);  // a program write: no probe
    state_of(w).frame_width = preview_width;
    state_of(w).frame_height = preview_height;
    start_region_timer(w, region_place_timer);
    EXPECT_TRUE(pump_until([&] { return placed(w); }));
    return w;
  }

  void drag(WindowToken w, GuiRect to) {
    g.services.answer_drag(to);
    ASSERT_TRUE(gui().input_mouse_down({w, mosaic_box}, 2, 2));
    ASSERT_TRUE(gui().input_mouse_up({w, mosaic_box}, 2, 2));
  }

  // The settings file holds no logo-removal value: the editor writes none itself.
  static bool delogo_settings_untouched() {
    for (const char* key : {"y13", "y14", "y15", "y16"})
      if (read_profile_text(config_file_path.get(), "批量剪辑视频", key, "-") != "-") return false;
    return true;
  }
};

TEST_F(MosaicEditor, TheBoxFollowsTypedValuesAtOnceAndThePlaceTaskAfterEveryGrab) {
  const std::string clip = dir / "clip.mkv";
  ASSERT_TRUE(test_env::make_clip(
      {"-f", "lavfi", "-i", "testsrc=size=640x480:rate=5:duration=1", "-pix_fmt", "yuv420p", clip}));
  gui().append_row(main_field("edit_list"), {"1", clip, "", ""});
  set_main_values({"10", "10", "100", "50"});
  const WindowToken w = create_mosaic_region_dialog();
  gui().open_window(w, main);
  EXPECT_EQ(values(w), (std::vector<std::string>{"10", "10", "100", "50"}));
  EXPECT_EQ(gui().text({w, region_video_field}), clip);
  // Hidden until the first grab's place task; it already has the values' geometry.
  EXPECT_FALSE(gui().visible({w, mosaic_box}));
  EXPECT_EQ(gui().geometry({w, mosaic_box}), (GuiRect{10, 10, 100, 50}));
  ASSERT_TRUE(pump_until([&] { return placed(w); }));
  EXPECT_EQ(gui().geometry({w, mosaic_box}), (GuiRect{10, 10, 100, 50}));

  // At 50 % a typed width sizes the box at once; back at 100 % the grab's place task
  // sets it from the values again.
  ASSERT_TRUE(gui().input_select({w, region_zoom_combo}, 2));
  ASSERT_TRUE(pump_until([&] { return state_of(w).frame_width == 320 && placed(w); }));
  EXPECT_EQ(gui().geometry({w, mosaic_box}), (GuiRect{5, 5, 50, 25}));
  ASSERT_TRUE(gui().input_text({w, region_width_field}, "400"));
  EXPECT_EQ(gui().geometry({w, mosaic_box}).width, 200);
  ASSERT_TRUE(gui().input_select({w, region_zoom_combo}, 7));
  ASSERT_TRUE(pump_until([&] { return state_of(w).frame_width == 640 && placed(w); }));
  EXPECT_EQ(gui().geometry({w, mosaic_box}), (GuiRect{10, 10, 400, 50}));

  // Closing without "保存设置" leaves the edit page as it was.
  gui().destroy_window(w);
  EXPECT_EQ(main_values(), (std::vector<std::string>{"10", "10", "100", "50"}));
  EXPECT_TRUE(delogo_settings_untouched());
}

TEST_F(MosaicEditor, ADragWritesSourcePixelsAndTheSaveHandsTheTextsToTheEditPage) {
  const struct {
    int zoom_index;
    GuiRect dragged;
    std::vector<std::string> values;
    GuiRect box;  // as the value boxes' handlers set it back
  } cases[] = {
      {7, {120, 60, 100, 50}, {"120", "60", "100", "50"}, {120, 60, 100, 50}},
      {0, {149, 10, 30, 15}, {"496.6666666667", "33.33333333333", "100", "50"}, {149, 9, 30, 15}},
      // 212.8571428571 at 70 % gives 148.99999999997: one preview pixel less.
      {4, {149, 10, 70, 35}, {"212.8571428571", "14.28571428571", "100", "50"}, {148, 9, 70, 35}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.zoom_index);
    const WindowToken w = open_placed(c.zoom_index, 1000, 1000, {"10", "10", "100", "50"});
    drag(w, c.dragged);
    EXPECT_EQ(values(w), c.values);
    EXPECT_EQ(gui().geometry({w, mosaic_box}), c.box);
    ASSERT_TRUE(gui().input_click({w, region_save_button}));
    EXPECT_FALSE(gui().window_exists(w));
    EXPECT_EQ(main_values(), c.values);
    EXPECT_TRUE(delogo_settings_untouched());
    EXPECT_TRUE(g.services.messages().empty());
  }
}

TEST_F(MosaicEditor, TheSaveRefusesABoxOutsideTheFrame) {
  const struct {
    std::vector<std::string> values;  // at 100 %, in a 320 x 240 frame
    bool accepted;
  } cases[] = {
      {{"220", "190", "100", "50"}, true},   // right and bottom edges on the frame's edges
      {{"220", "191", "100", "50"}, false},  // one pixel lower
      {{"221", "190", "100", "50"}, false},  // one pixel further right
      {{"-1", "0", "10", "10"}, false},
      {{"0", "0", "0", "0"}, true},  // a size of 0 is accepted
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.values[0] + "," + c.values[1]);
    g.services.clear_records();
    set_main_values({"untouched", "untouched", "untouched", "untouched"});
    const WindowToken w = open_placed(7, 320, 240, c.values);
    ASSERT_TRUE(gui().input_click({w, region_save_button}));
    EXPECT_EQ(gui().window_exists(w), !c.accepted);
    if (c.accepted) {
      EXPECT_EQ(main_values(), c.values);
      EXPECT_TRUE(g.services.messages().empty());
    } else {
      EXPECT_EQ(main_values(), c.values);  // what start-up copied in; the save wrote nothing
      ASSERT_EQ(g.services.messages().size(), 1u);
      EXPECT_EQ(g.services.messages()[0].title, "温馨提示：");
      EXPECT_EQ(g.services.messages()[0].text, "马赛克的位置不能超过视频的区域");
      gui().destroy_window(w);
    }
  }
}

TEST_F(MosaicEditor, ASizeBeyondAnyFrameIsRefusedAndNeverOverflows) {
  // Values the edit page hands over (it takes any text), at 100 % in a 320 x 240 frame.
  const std::vector<std::string> cases[] = {
      {"0", "0", "2147483648", "50"},   // one more than the largest int
      {"0", "0", "100", "99999999999"},
      {"0", "0", "4294967296", "4294967296"},
      {"2147483648", "0", "10", "10"},
  };
  for (const auto& values : cases) {
    SCOPED_TRACE(values[2] + " x " + values[3]);
    g.services.clear_records();
    const WindowToken w = open_placed(7, 320, 240, values);
    ASSERT_TRUE(gui().input_click({w, region_save_button}));
    EXPECT_TRUE(gui().window_exists(w));
    EXPECT_EQ(main_values(), values);
    ASSERT_EQ(g.services.messages().size(), 1u);
    EXPECT_EQ(g.services.messages()[0].text, "马赛克的位置不能超过视频的区域");
    gui().destroy_window(w);
  }

  // Typed: no more digits than a frame size has; the most it takes is refused too.
  g.services.clear_records();
  const WindowToken w = open_placed(7, 320, 240, {"0", "0", "100", "50"});
  for (const char* box : {region_left_field, region_top_field, region_width_field, region_height_field}) {
    EXPECT_FALSE(gui().input_text({w, box}, "100000")) << box;
  }
  EXPECT_EQ(values(w), (std::vector<std::string>{"0", "0", "100", "50"}));
  EXPECT_TRUE(gui().input_text({w, region_width_field}, "99999"));
  ASSERT_TRUE(gui().input_click({w, region_save_button}));
  EXPECT_TRUE(gui().window_exists(w));
  EXPECT_EQ(main_values(), (std::vector<std::string>{"0", "0", "100", "50"}));
  EXPECT_EQ(g.services.messages().size(), 1u);
}

TEST_F(MosaicEditor, WithAnEmptyEditListThereIsNoProbeAndNoBox) {
  const WindowToken w = create_mosaic_region_dialog();
  gui().open_window(w, main);
  for (int i = 0; i < 20; ++i) g.loop.advance(std::chrono::milliseconds(1));
  EXPECT_TRUE(idle(w));
  EXPECT_TRUE(gui().text({w, region_video_field}).empty());
  EXPECT_FALSE(gui().visible({w, mosaic_box}));
}

TEST_F(MosaicEditor, ItsOpenerOpensItBesideTheMainWindowWithoutBlockingIt) {
  register_mosaic_region_dialog_opener();
  EXPECT_TRUE(open_program_dialog(ProgramDialog::mosaic_region));
  set_dialog_opener(ProgramDialog::mosaic_region, {});
  const WindowToken w = gui().find_window(mosaic_dialog_name);
  ASSERT_TRUE(gui().window_exists(w));
  EXPECT_EQ(gui().title(w), "智能编辑水印位置");
  EXPECT_FALSE(gui().window_state(main).blocked);
  // Owned by the main window: it goes with it.
  gui().destroy_window(main);
  EXPECT_FALSE(gui().window_exists(w));
}

}  // namespace
