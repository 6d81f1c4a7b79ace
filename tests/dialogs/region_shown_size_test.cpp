// The region editors on recordings whose picture is not stored as it shows, with the
// real converter: a phone's portrait video (stored landscape, with a quarter turn in
// its rotation metadata), pixels that are not square, an odd frame size. The editors
// hold, show, caption and hand back the frame as the grab gives it and as the edit
// job's first work file holds it, where the region values are applied.

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "dialogs/crop_region_dialog.h"
#include "dialogs/mosaic_region_dialog.h"
#include "dialogs/picture_position_dialog.h"
#include "dialogs/region_preview.h"
#include "engine/common/globals.h"
#include "engine/edit/edit_job_first_transcode.h"
#include "engine/edit/edit_job_state.h"
#include "tests/dialogs/region_editor_test_support.h"
#include "tests/support/media_checks.h"
#include "tests/support/recording_clips.h"

namespace fs = std::filesystem;

namespace {

using region_test::RegionEditorTest;

struct ShownCase {
  const char* name;
  test_env::RecordingClip clip;
  int width, height;  // the frame as it shows
  // The first work file has the same size. Not so for an odd side, which the first
  // transcode drops (its encoder takes even sides only); the editor keeps the size the
  // frame-size rule reads for an unrotated source.
  bool work_file_same_size;
};

void PrintTo(const ShownCase& c, std::ostream* out) { *out << c.name; }

std::string file_name(const ShownCase& c) { return std::string(c.name) + "." + c.clip.container; }

const ShownCase shown_cases[] = {
    {"portrait_phone_90", {.seconds = 2, .rotation = 90}, 180, 320, true},
    {"portrait_phone_270", {.seconds = 2, .container = "mov", .rotation = 270}, 180, 320, true},
    {"wide_pixels", {.seconds = 2, .sar = "16:15"}, 320, 180, true},
    {"odd_size", {.seconds = 2, .width = 321, .height = 241, .container = "avi", .sar = "16:15"}, 321, 241, false},
};

class RegionShownSize : public RegionEditorTest, public ::testing::WithParamInterface<ShownCase> {
 protected:
  void SetUp() override {
    RegionEditorTest::SetUp();
    clip = dir / file_name(GetParam());
    ASSERT_TRUE(test_env::make_recording_clip(clip, GetParam().clip));
    gui().append_row(main_field("edit_list"), {"1", clip, "", ""});
  }

  // Opens `create`'s editor on the clip and waits until its frame is grabbed and its
  // marker placed.
  WindowToken open_probed(WindowToken (*create)()) {
    const WindowToken w = create();
    gui().open_window(w, main);
    EXPECT_TRUE(pump_until([&] { return gui().picture({w, region_preview}).decoded() && idle(w); }));
    return w;
  }

  // The held size, the preview's size and the grabbed frame's size, as "WxH" each.
  std::vector<std::string> sizes(WindowToken w) {
    const auto text = [](int width, int height) { return std::to_string(width) + "x" + std::to_string(height); };
    const GuiRect preview = gui().geometry({w, region_preview});
    const GuiPicture picture = gui().picture({w, region_preview});
    return {text(state_of(w).frame_width, state_of(w).frame_height), text(preview.width, preview.height),
            text(picture.width, picture.height)};
  }
  std::string shown() const { return std::to_string(GetParam().width) + "x" + std::to_string(GetParam().height); }

  std::string clip;
};

TEST_P(RegionShownSize, TheCropEditorHoldsCaptionsAndHandsBackTheFrameAsItShows) {
  const ShownCase& c = GetParam();
  ASSERT_EQ(test_env::shown_frame_size(clip), shown());
  const std::string width = std::to_string(c.width), height = std::to_string(c.height);
  for (const auto& [field, value] : {std::pair{"crop_left_field", "0"}, std::pair{"crop_top_field", "0"}})
    gui().set_text(main_field(field), value);
  gui().set_text(main_field("crop_width_field"), width);
  gui().set_text(main_field("crop_height_field"), height);

  const WindowToken w = open_probed(&create_crop_region_dialog);
  EXPECT_EQ(sizes(w), std::vector<std::string>(3, shown()));
  EXPECT_EQ(gui().text({w, crop_box}), crop_box_caption(width, height, width, height, "0", "0"));

  // One row more than the frame shows is refused; the whole frame is handed back.
  gui().set_text({w, region_height_field}, std::to_string(c.height + 1));
  ASSERT_TRUE(gui().input_click({w, region_save_button}));
  ASSERT_TRUE(gui().window_exists(w));
  ASSERT_EQ(g.services.messages().size(), 1u);
  EXPECT_EQ(g.services.messages()[0].text, "裁切的区域不能超过视频的区域");
  gui().set_text({w, region_height_field}, height);
  ASSERT_TRUE(pump_until([&] { return idle(w); }));
  ASSERT_TRUE(gui().input_click({w, region_save_button}));
  EXPECT_FALSE(gui().window_exists(w));
  EXPECT_EQ(g.services.messages().size(), 1u);
  EXPECT_EQ(gui().text(main_field("crop_width_field")), width);
  EXPECT_EQ(gui().text(main_field("crop_height_field")), height);

  if (!c.work_file_same_size) return;
  // The edit job's first work file of the same video: the values apply to its frame.
  ffmpeg_global_options.set("");
  const std::string work_folder = run + "/v_tempx/";
  fs::create_directories(work_folder);
  EditVideoState video = make_edit_video_state(1, 0, clip, "00:00:02", work_folder);
  ASSERT_TRUE(make_first_work_file(video));
  EXPECT_EQ(std::to_string(video.width) + "x" + std::to_string(video.height), shown());
  EXPECT_EQ(test_env::stream_entry(video.work_file_a, "v:0", "width"), width);
  EXPECT_EQ(test_env::stream_entry(video.work_file_a, "v:0", "height"), height);
}

TEST_P(RegionShownSize, TheMosaicAndPicturePositionEditorsHoldTheFrameAsItShows) {
  const ShownCase& c = GetParam();
  for (const char* field : {"delogo_left_field", "delogo_top_field"}) gui().set_text(main_field(field), "0");
  gui().set_text(main_field("delogo_width_field"), std::to_string(c.width));
  gui().set_text(main_field("delogo_height_field"), std::to_string(c.height));
  const WindowToken mosaic = open_probed(&create_mosaic_region_dialog);
  EXPECT_EQ(sizes(mosaic), std::vector<std::string>(3, shown()));
  ASSERT_TRUE(gui().input_click({mosaic, region_save_button}));
  EXPECT_FALSE(gui().window_exists(mosaic));
  EXPECT_TRUE(g.services.messages().empty());
  EXPECT_EQ(gui().text(main_field("delogo_height_field")), std::to_string(c.height));

  const WindowToken picture = open_probed(&create_picture_position_dialog);
  EXPECT_EQ(sizes(picture), std::vector<std::string>(3, shown()));
  // At 50 %: the preview is half the frame as it shows.
  ASSERT_TRUE(gui().input_select({picture, region_zoom_combo}, 2));
  ASSERT_TRUE(pump_until([&] {
    return gui().geometry({picture, region_preview}).width == c.width / 2 && idle(picture);
  }));
  EXPECT_EQ(state_of(picture).frame_height, c.height / 2);
  EXPECT_EQ(gui().geometry({picture, region_preview}).height, c.height / 2);
}

INSTANTIATE_TEST_SUITE_P(Recordings, RegionShownSize, ::testing::ValuesIn(shown_cases),
                         [](const ::testing::TestParamInfo<ShownCase>& info) { return std::string(info.param.name); });

TEST(RegionFrameSize, AQuarterTurnSwapsTheStoredSizeAndTheRuleStaysForUprightVideos) {
  const struct {
    const char* side_data;
    const char* size;
  } cases[] = {
      {"", "320x180"},
      {"      displaymatrix: rotation of -90.00 degrees\r\n", "180x320"},
      {"      displaymatrix: rotation of 90.00 degrees\r\n", "180x320"},
      {"      displaymatrix: rotation of 180.00 degrees\r\n", "320x180"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.side_data);
    std::string console =
        "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'a.mp4':\r\n"
        "  Duration: 00:00:02.00, start: 0.000000, bitrate: 244 kb/s\r\n"
        "  Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661), yuvj420p(pc, progressive), 320x180 "
        "[SAR 1:1 DAR 16:9], 238 kb/s, 25 fps, 25 tbr, 12800 tbn (default)\r\n"
        "    Side data:\r\n" +
        std::string(c.side_data);
    const FrameSize size = region_frame_size(console);
    EXPECT_EQ(std::to_string(size.width) + "x" + std::to_string(size.height), c.size);
    // The rule's pixel-format rewrite stays in the text.
    EXPECT_NE(console.find("yuv420p(pc"), std::string::npos);
  }
}

}  // namespace
