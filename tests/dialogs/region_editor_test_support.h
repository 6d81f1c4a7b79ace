#pragma once
// A stand-in for the main window with what the region editors read and write (the
// edit list, the crop fields, the logo-removal fields and the watermark fields), a run
// folder with the real converter, and, headless, a loop helper that lets the editors'
// one-shot timers fire while their tasks run.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "dialogs/region_preview.h"
#include "engine/common/globals.h"
#include "engine/window/main_window_token.h"
#include "platform/gui/gui.h"
#include "tests/support/test_env.h"

namespace region_test {

inline WindowSpec main_window_stand_in() {
  WindowSpec spec;
  spec.name = main_window_name;
  spec.title = "main";
  spec.width = 800;
  spec.height = 600;
  ControlSpec list = control_spec("edit_list", ControlKind::list_view, {0, 0, 400, 300});
  list.columns = {{"序号", 40}, {"视频", 200}, {"时长", 60}, {"状态", 60}};
  spec.controls.push_back(list);
  int y = 310;
  for (const char* field : {"crop_width_field", "crop_height_field", "crop_left_field", "crop_top_field",
                            "delogo_left_field", "delogo_top_field", "delogo_width_field", "delogo_height_field",
                            "watermark_picture_field", "watermark_left_field", "watermark_top_field"}) {
    spec.controls.push_back(control_spec(field, ControlKind::edit_box, {0, y, 80, 24}));
    y += 30;
  }
  return spec;
}

// The run folder, the globals the editors read and the stand-in main window, on the
// GUI `Gui` (HeadlessGui, or the Qt GUI for tests in the real view).
template <class Gui>
class RegionEditorFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    run = test_env::make_run_folder(dir.path());
    run_folder.set(run);
    ffmpeg_exe_path.set(run + "/bin/ffmpeg");
    config_file_path.set(run + "/data/qfconfig.ini");
    // The editors' commands never carry the global options: a value here that the
    // converter would refuse shows it.
    ffmpeg_global_options.set(" -no_such_option 1");
    main = gui().create_window(main_window_stand_in());
    remember_main_window(main);
    gui().open_window(main);
  }
  void TearDown() override {
    for (WindowToken w : gui().windows()) gui().destroy_window(w);
    g.loop.process_pending();
    ffmpeg_global_options.set("");
  }

  ControlRef main_field(const std::string& role) const { return {main, role}; }

  // Puts a converter in the run folder that takes `seconds` over a grab (a command
  // with "-ss"; every other command runs at once), then touches `mark` and grabs, so a
  // grab the editor let run shows.
  void install_slow_grab_converter(const std::string& mark, int seconds = 30) const {
    const std::string slow = run + "/bin/ffmpeg";
    std::filesystem::remove(slow);
    test_env::write_file(slow, "#!/bin/sh\ncase \"$*\" in *-ss*) sleep " + std::to_string(seconds) + "; touch \"" +
                                   mark + "\";; esac\nexec " + QF_SYSTEM_FFMPEG + " \"$@\"\n");
    std::filesystem::permissions(slow, std::filesystem::perms::owner_all);
  }

  // The state of a region editor window; the window must be open.
  static RegionEditorState& state_of(WindowToken window) {
    const std::shared_ptr<RegionEditorState> state = region_editor_state(window);
    if (!state) {
      ADD_FAILURE() << "not an open region editor window";
      std::abort();
    }
    return *state;
  }
  // The editor window has nothing running and nothing due.
  static bool idle(WindowToken window) {
    const std::shared_ptr<RegionEditorState> state = region_editor_state(window);
    return state && state->idle();
  }

  Gui g;
  test_env::TempDir dir;
  std::string run;
  WindowToken main;
};

class RegionEditorTest : public RegionEditorFixture<HeadlessGui> {
 protected:
  void TearDown() override {
    RegionEditorFixture::TearDown();
    g.loop.run_until_idle();
  }

  // Lets virtual time pass in 1 ms steps (so one-shot timers fire) and real time pass
  // for the editors' threads until `done` holds; false after `limit` of real time.
  bool pump_until(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      g.loop.advance(std::chrono::milliseconds(1));
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    g.loop.run_until_idle();
    return done();
  }
};

}  // namespace region_test
