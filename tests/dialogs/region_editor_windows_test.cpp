// Two windows of the same region editor at once (the picture-position and mosaic
// editors open beside the main window, not modal, so a second click opens a second
// one): each window has its own tasks and its own frame size, so closing one ends only
// its own tasks while the other's grab finishes and shows. Both grab into the editor's
// one frame file, one after the other.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "dialogs/mosaic_region_dialog.h"
#include "dialogs/picture_position_dialog.h"
#include "engine/edit/watermark_picture_size.h"
#include "platform/process.h"
#include "tests/dialogs/region_editor_test_support.h"

namespace fs = std::filesystem;

namespace {

using region_test::RegionEditorTest;

struct EditorKind {
  const char* name;
  WindowToken (*create)();
  // The editor's marker is laid over the preview.
  bool (*placed)(WindowToken window);
};

const EditorKind editor_kinds[] = {
    {"PicturePosition", create_picture_position_dialog,
     [](WindowToken w) { return gui().animation_objects({w, region_preview}).size() == 1; }},
    {"Mosaic", create_mosaic_region_dialog, [](WindowToken w) { return gui().visible({w, mosaic_box}); }},
};

// Which of the two windows the test closes: the one whose grab has the editor's frame
// file, or the one whose grab waits for it.
enum class Closed { grabbing, waiting };

class RegionEditorWindows : public RegionEditorTest,
                            public ::testing::WithParamInterface<std::tuple<EditorKind, Closed>> {
 protected:
  void SetUp() override {
    RegionEditorTest::SetUp();
    const std::string picture = dir / "mark.png";
    ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "color=c=red:s=40x20", "-frames:v", "1", picture}));
    gui().set_text(main_field("watermark_picture_field"), picture);
    watermark_picture_width = 40;
    watermark_picture_height = 20;
    for (const char* field : {"delogo_left_field", "delogo_top_field", "watermark_left_field", "watermark_top_field"})
      gui().set_text(main_field(field), "10");
    for (const char* field : {"delogo_width_field", "delogo_height_field"}) gui().set_text(main_field(field), "40");
  }

  const EditorKind& kind() const { return std::get<0>(GetParam()); }
  WindowToken open_editor() {
    const WindowToken w = kind().create();
    gui().open_window(w, main);
    return w;
  }
  // The frame is shown with the marker over it and nothing is left to do.
  bool shows_frame(WindowToken w) {
    return gui().picture({w, region_preview}).decoded() && kind().placed(w) && idle(w);
  }
};

TEST_P(RegionEditorWindows, ClosingOneWindowLeavesTheOtherToFinishItsGrabAtItsOwnZoom) {
  const std::string mark = dir / "grab went on";
  install_slow_grab_converter(mark, 4);
  const std::string clip = dir / "clip.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(clip));
  gui().append_row(main_field("edit_list"), {"1", clip, "", ""});

  // The first window grabs; the second, at 50 %, has probed and waits for the frame file.
  const WindowToken first = open_editor();
  ASSERT_TRUE(pump_until([&] { return running_converter_ids().size() == 1 && state_of(first).frame_width == 320; }));
  const WindowToken second = open_editor();
  gui().set_selected_index({second, region_zoom_combo}, 2);  // before its probe reads it
  ASSERT_TRUE(pump_until([&] { return !gui().enabled({second, region_time_slider}); }));
  EXPECT_EQ(state_of(first).frame_width, 320);
  EXPECT_EQ(state_of(second).frame_width, 160);

  const bool close_grabbing = std::get<1>(GetParam()) == Closed::grabbing;
  const WindowToken closed = close_grabbing ? first : second;
  const WindowToken other = close_grabbing ? second : first;
  gui().destroy_window(closed);
  EXPECT_EQ(region_editor_state(closed), nullptr);
  // Closing the waiting window did not wait for the other's grab, which goes on.
  if (!close_grabbing) {
    EXPECT_EQ(running_converter_ids().size(), 1u);
  }
  EXPECT_EQ(state_of(other).running_tasks(), 1);

  ASSERT_TRUE(pump_until([&] { return shows_frame(other); })) << "the other window stayed blank";
  EXPECT_TRUE(fs::exists(mark));
  EXPECT_TRUE(gui().enabled({other, region_time_slider}));
  EXPECT_EQ(gui().value({other, region_time_slider}), 1);
  const int width = close_grabbing ? 160 : 320, height = close_grabbing ? 120 : 240;
  EXPECT_EQ(gui().geometry({other, region_preview}), (GuiRect{23, 130, width, height}));
  EXPECT_EQ(state_of(other).frame_width, width);
  EXPECT_EQ(state_of(other).frame_height, height);

  // A window opened next starts from the frame size the last probe left, as a single
  // editor's next opening does.
  EXPECT_EQ(state_of(open_editor()).frame_width, 160);
}

INSTANTIATE_TEST_SUITE_P(TwoWindows, RegionEditorWindows,
                         ::testing::Combine(::testing::ValuesIn(editor_kinds),
                                            ::testing::Values(Closed::grabbing, Closed::waiting)),
                         [](const ::testing::TestParamInfo<std::tuple<EditorKind, Closed>>& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) == Closed::grabbing ? "ClosingTheGrabbingOne"
                                                                               : "ClosingTheWaitingOne");
                         });

}  // namespace
