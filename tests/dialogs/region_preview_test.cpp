// The region editors' shared pipeline (probe, grab, place) on the headless control
// model with the real converter, driven through the crop editor.

#include "dialogs/region_preview.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>

#include "dialogs/crop_region_dialog.h"
#include "engine/converter/converter_runner.h"
#include "platform/files.h"
#include "platform/picture.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "tests/dialogs/region_editor_test_support.h"

namespace fs = std::filesystem;

namespace {

using region_test::RegionEditorTest;

class RegionPreview : public RegionEditorTest {
 protected:
  // Opens the crop editor (not modal, so the test drives it) with `video` as the first
  // row of the edit list and the crop fields as given.
  WindowToken open_editor(const std::string& video, const char* left = "100", const char* top = "50",
                          const char* width = "160", const char* height = "120") {
    if (!video.empty()) gui().append_row(main_field("edit_list"), {"1", video, "", ""});
    gui().set_text(main_field("crop_left_field"), left);
    gui().set_text(main_field("crop_top_field"), top);
    gui().set_text(main_field("crop_width_field"), width);
    gui().set_text(main_field("crop_height_field"), height);
    const WindowToken window = create_crop_region_dialog();
    gui().open_window(window, main);
    return window;
  }

  // The frame is shown and no probe, grab or place is still waiting for its timer (a
  // grab starts the place timer as it ends, so the box may still be placed after it).
  bool preview_shows_frame(WindowToken window) {
    for (const char* timer : {region_probe_timer, region_grab_timer, region_place_timer})
      if (gui().timer_interval(window, timer) != 0) return false;
    return gui().picture({window, region_preview}).decoded() && gui().visible({window, crop_box}) &&
           gui().enabled({window, region_time_slider});
  }
};

TEST_F(RegionPreview, ProbesGrabsAndPlacesOnARealClipAndAgainAfterAZoomChange) {
  // Blanks and CJK in the path: the commands get the path's alias.
  fs::create_directories(dir / "视频 目录");
  const std::string clip = dir / "视频 目录/片 1.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(clip));
  const WindowToken w = open_editor(clip);

  ASSERT_TRUE(pump_until([&] { return preview_shows_frame(w) && idle(w); }));
  EXPECT_EQ(gui().range({w, region_time_slider}), (GuiPoint{0, 2}));
  EXPECT_EQ(gui().value({w, region_time_slider}), 1);
  EXPECT_EQ(state_of(w).frame_width, 320);
  EXPECT_EQ(state_of(w).frame_height, 240);
  EXPECT_EQ(gui().geometry({w, region_preview}), (GuiRect{23, 130, 320, 240}));
  const GuiPicture picture = gui().picture({w, region_preview});
  EXPECT_EQ(picture.width, 320);
  EXPECT_EQ(picture.height, 240);
  EXPECT_FALSE(fs::exists(run + "/bin/xy.jpg"));
  EXPECT_EQ(gui().window_size(w), (GuiPoint{950, 650}));  // 320 + 50 and 240 + 165 fit already
  EXPECT_EQ(gui().geometry({w, crop_box}), (GuiRect{100, 50, 160, 120}));
  EXPECT_EQ(gui().text({w, crop_box}), crop_box_caption("320", "240", "160", "120", "100", "50"));

  // Another zoom: probed, grabbed and placed again, the slider back at half the length.
  gui().set_value({w, region_time_slider}, 2);
  gui().set_picture({w, region_preview}, {});
  ASSERT_TRUE(gui().input_select({w, region_zoom_combo}, 2));  // 50%
  ASSERT_TRUE(pump_until([&] {
    return preview_shows_frame(w) && gui().geometry({w, crop_box}) == GuiRect{50, 25, 80, 60} &&
           idle(w);
  }));
  EXPECT_EQ(gui().geometry({w, region_preview}), (GuiRect{23, 130, 160, 120}));
  EXPECT_EQ(state_of(w).frame_width, 160);
  EXPECT_EQ(gui().value({w, region_time_slider}), 1);
  EXPECT_EQ(gui().text({w, crop_box}), crop_box_caption("320", "240", "160", "120", "100", "50"));
}

// Holds an editor's tasks at the points of its test seam until the test opens them;
// every point opens when the test ends, however it ends.
class TaskGate {
 public:
  void pause(RegionTaskPoint point) {
    std::unique_lock lock(mutex_);
    arrived_.insert(point);
    changed_.notify_all();
    changed_.wait(lock, [&] { return all_open_ || open_.count(point) > 0; });
  }
  bool arrived(RegionTaskPoint point) {
    std::lock_guard lock(mutex_);
    return arrived_.count(point) > 0;
  }
  void open(RegionTaskPoint point) {
    std::lock_guard lock(mutex_);
    open_.insert(point);
    changed_.notify_all();
  }
  void open_all() {
    std::lock_guard lock(mutex_);
    all_open_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::set<RegionTaskPoint> arrived_, open_;
  bool all_open_ = false;
};

TEST_F(RegionPreview, AtOpeningTheEditorIsIdleOnlyOnceTheGrabsOwnPlacementHasRun) {
  const std::string clip = dir / "clip.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(clip));
  const WindowToken w = open_editor(clip);
  // The opening starts two tasks side by side: the value boxes' place task and the
  // probe. The probe is held before it hands back the frame size, so the place task
  // writes the caption with the frame size the window started from (0 x 0 here).
  state_of(w).frame_width = 0;
  state_of(w).frame_height = 0;
  const auto gate = std::make_shared<TaskGate>();
  state_of(w).set_test_pause([gate](RegionTaskPoint point) { gate->pause(point); });
  const std::unique_ptr<TaskGate, void (*)(TaskGate*)> open_at_end(gate.get(), [](TaskGate* g) { g->open_all(); });
  const std::string opening_caption = crop_box_caption("0", "0", "160", "120", "100", "50");
  ASSERT_TRUE(pump_until([&] {
    return gate->arrived(RegionTaskPoint::probe_results) && gui().text({w, crop_box}) == opening_caption;
  }));
  EXPECT_FALSE(idle(w));

  // The grab has shown its frame and is held before it starts the box's placement:
  // frame, box and slider look finished and no timer is due.
  gate->open(RegionTaskPoint::probe_results);
  ASSERT_TRUE(pump_until([&] { return gate->arrived(RegionTaskPoint::grab_end); }));
  EXPECT_TRUE(preview_shows_frame(w));
  EXPECT_FALSE(idle(w));

  // Let go, the grab starts the place timer and ends: no task runs, but the placement
  // is due and the box still carries the opening's caption. A check of the timers,
  // then of the running tasks, could see nothing left to do here; the state never does.
  gate->open(RegionTaskPoint::grab_end);
  ASSERT_TRUE(g.loop.wait_until([&] { return state_of(w).running_tasks() == 0; }));  // no virtual time passes
  EXPECT_EQ(gui().text({w, crop_box}), opening_caption);
  EXPECT_FALSE(idle(w));

  ASSERT_TRUE(pump_until([&] { return idle(w); }));
  EXPECT_EQ(gui().text({w, crop_box}), crop_box_caption("320", "240", "160", "120", "100", "50"));
  state_of(w).set_test_pause({});
}

TEST_F(RegionPreview, WindowGrowsToFitALargeFrameAndNeverShrinks) {
  const std::string clip = dir / "large.mkv";
  ASSERT_TRUE(test_env::make_clip(
      {"-f", "lavfi", "-i", "testsrc=size=1280x720:rate=5:duration=1", "-pix_fmt", "yuv420p", clip}));
  const WindowToken w = open_editor(clip);
  ASSERT_TRUE(pump_until([&] { return preview_shows_frame(w) && idle(w); }));
  EXPECT_EQ(gui().window_size(w), (GuiPoint{1330, 885}));
  EXPECT_EQ(gui().range({w, region_time_slider}).y, 1);
  EXPECT_EQ(gui().value({w, region_time_slider}), 0);

  ASSERT_TRUE(gui().input_select({w, region_zoom_combo}, 0));  // 30%
  ASSERT_TRUE(pump_until([&] {
    return gui().geometry({w, region_preview}).width == 384 && preview_shows_frame(w) &&
           idle(w);
  }));
  EXPECT_EQ(gui().geometry({w, region_preview}).height, 216);
  EXPECT_EQ(gui().window_size(w), (GuiPoint{1330, 885}));
}

TEST_F(RegionPreview, AMissingVideoLeavesAnEmptyPreviewAndNoMessage) {
  const WindowToken w = open_editor(dir / "no such video.mp4");
  // The grab ends by starting the place task, which shows the box.
  ASSERT_TRUE(pump_until([&] {
    return gui().visible({w, crop_box}) && gui().enabled({w, region_time_slider}) &&
           idle(w);
  }));
  EXPECT_EQ(state_of(w).frame_width, 0);
  EXPECT_EQ(state_of(w).frame_height, 0);
  EXPECT_EQ(gui().range({w, region_time_slider}), (GuiPoint{0, 0}));
  EXPECT_EQ(gui().geometry({w, region_preview}), (GuiRect{23, 130, 0, 0}));
  EXPECT_TRUE(gui().picture({w, region_preview}).empty());
  EXPECT_EQ(gui().window_size(w), (GuiPoint{950, 650}));
  EXPECT_TRUE(g.services.messages().empty());
}

TEST_F(RegionPreview, ClosingTheEditorDuringAGrabEndsItsThreadsAndItsConverter) {
  // A converter that takes its time over the grab (the probe runs at once) and leaves
  // a mark if it is let run that long.
  const std::string mark = dir / "grab went on";
  install_slow_grab_converter(mark);
  const std::string clip = dir / "clip.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(clip));
  const WindowToken w = open_editor(clip);
  // The grab runs: the slider is disabled and its converter has started.
  ASSERT_TRUE(pump_until([&] { return !gui().enabled({w, region_time_slider}) && !running_converter_ids().empty(); }));
  const std::shared_ptr<RegionEditorState> state = region_editor_state(w);
  ASSERT_EQ(state->running_tasks(), 1);

  gui().destroy_window(w);
  EXPECT_FALSE(gui().window_exists(w));
  EXPECT_EQ(region_editor_state(w), nullptr);
  EXPECT_EQ(state->running_tasks(), 0);
  EXPECT_TRUE(running_converter_ids().empty());
  EXPECT_FALSE(fs::exists(mark));
  EXPECT_FALSE(fs::exists(run + "/bin/xy.jpg"));
  // Nothing more is started for the closed editor.
  g.loop.advance(std::chrono::milliseconds(20));
  EXPECT_EQ(state->running_tasks(), 0);
  EXPECT_TRUE(state->idle());
}

TEST_F(RegionPreview, CommandLinesCarryQuotedShortPathsAndOneFrame) {
  EXPECT_EQ(region_probe_command("/tmp/a.mp4"), " -i \"/tmp/a.mp4\"");
  EXPECT_EQ(region_grab_command("00:30:30", "/tmp/a.mp4", "/run/bin/xy.jpg"),
            " -ss 00:30:30 -i \"/tmp/a.mp4\" -frames:v 1 -f image2 -y \"/run/bin/xy.jpg\"");
}

TEST_F(RegionPreview, TheGrabTakesOneFrameWhichTheConverterOtherwiseRefuses) {
  const std::string clip = dir / "clip.mp4";
  ASSERT_TRUE(test_env::make_h264_aac_mp4(clip));
  const std::string frame = run + "/bin/xy.jpg";
  // Without "-frames:v 1" the image writer refuses the second frame and the run fails.
  int status = -1;
  run_console_capture(ffmpeg_exe_path.get(), " -ss 00:00:01 -i " + clip + " -f image2 -y " + frame, nullptr, nullptr,
                      nullptr, &status);
  EXPECT_NE(status, 0);
  fs::remove(frame);

  run_console_capture(ffmpeg_exe_path.get(), region_grab_command("00:00:01", clip, frame), nullptr, nullptr, nullptr,
                      &status);
  EXPECT_EQ(status, 0);
  const std::optional<std::string> bytes = read_file_bytes(frame);
  ASSERT_TRUE(bytes);
  const std::optional<Picture> picture = decode_picture(*bytes);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 320);
  EXPECT_EQ(picture->height, 240);
}

TEST_F(RegionPreview, ChoosingAVideoStartsInTheRememberedFolderAndRemembersTheNewOne) {
  const std::string config = run + "/data/qfconfig.ini";
  write_profile_text(config, "原视频", "打开位置4", dir / "edit list folder/");
  const WindowToken w = open_editor("");

  // Cancelled: nothing changes.
  ASSERT_TRUE(gui().input_click({w, region_choose_button}));
  ASSERT_EQ(g.services.open_file_requests().size(), 1u);
  const OpenFileRequest first = g.services.open_file_requests()[0];
  EXPECT_EQ(first.initial_folder, dir / "edit list folder/");
  EXPECT_EQ(first.title, "选择一个视频文件");
  EXPECT_EQ(first.filter, "视频文件|*.mp4;*.wmv;*.flv;*.ts;*.mov;*.mkv;*.avi");
  EXPECT_FALSE(first.multi_select);
  EXPECT_EQ(gui().text({w, region_video_field}), "");
  EXPECT_EQ(read_profile_text(config, "智能编辑裁切", "视频位置"), "");
  EXPECT_EQ(gui().timer_interval(w, region_probe_timer), 0);

  const std::string chosen = dir / "chosen folder/a.mp4";
  g.services.answer_open_files({chosen});
  ASSERT_TRUE(gui().input_click({w, region_choose_button}));
  EXPECT_EQ(gui().text({w, region_video_field}), chosen);
  EXPECT_EQ(read_profile_text(config, "智能编辑裁切", "视频位置"), dir / "chosen folder/");
  EXPECT_EQ(gui().timer_interval(w, region_probe_timer), 1);

  ASSERT_TRUE(gui().input_click({w, region_choose_button}));
  EXPECT_EQ(g.services.open_file_requests().back().initial_folder, dir / "chosen folder/");

  ASSERT_TRUE(gui().input_click({w, region_open_folder_button}));
  EXPECT_EQ(g.services.opened(), std::vector<std::string>{dir / "chosen folder/"});
}

TEST_F(RegionPreview, OpenFolderDoesNothingWithoutAVideo) {
  const WindowToken w = open_editor("");
  ASSERT_TRUE(gui().input_click({w, region_open_folder_button}));
  EXPECT_TRUE(g.services.opened().empty());
}

}  // namespace
