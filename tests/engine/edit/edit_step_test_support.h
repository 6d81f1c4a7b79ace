#pragma once
// Test support for the edit steps: the real main window (every option control with
// its designed default) on the headless control model, a run folder with the system's
// converter, tiny clips made for the test, and a video's state as the edit job holds
// it when its steps begin (duration probed, first work file made, frame size read).
//
//   class MyStep : public EditStepTest {};
//   TEST_F(MyStep, ...) {
//     EditVideoState video = start_video(landscape_clip());
//     check("sharpen_check");
//     run_sharpen_step(video, page());
//     EXPECT_EQ(status(video), "视频已锐化");
//   }

#include <gtest/gtest.h>

#include <string>

#include "engine/converter/media_probes.h"
#include "engine/edit/edit_job_first_transcode.h"
#include "engine/edit/edit_job_state.h"
#include "platform/gui/gui.h"
#include "tests/support/job_run_folder.h"
#include "tests/support/logging_converter.h"
#include "tests/support/media_checks.h"
#include "tests/support/test_env.h"
#include "ui/main_window.h"

class EditStepTest : public ::testing::Test {
 protected:
  void SetUp() override {
    run = test_env::use_job_run_folder(dir.path());
    window = gui().create_window(main_window_spec(run));
  }

  EditPage page() const { return EditPage(window); }
  ControlRef at(const std::string& role) const { return {window, role}; }
  void check(const std::string& role, bool on = true) { gui().set_checked(at(role), on); }
  void type(const std::string& role, const std::string& text) { gui().set_text(at(role), text); }
  std::string status(const EditVideoState& video) const {
    return gui().cell_by_id(at("edit_list"), video.row_id, edit_list_status_column);
  }

  // Appends `source` to the edit list and gives its state as the job has it before
  // step 2: the duration probed, work file A made (and current), the frame size read.
  EditVideoState start_video(const std::string& source) {
    const ControlRef list = at("edit_list");
    const int number = gui().row_count(list) + 1;
    const RowId row = gui().append_row(list, {std::to_string(number), source, "", ""}).id;
    EditVideoState video =
        make_edit_video_state(number, row, source, probe_duration(source), run + "/v_tempx/");
    std::filesystem::create_directories(video.work_folder);
    EXPECT_TRUE(make_first_work_file(video)) << source;
    return video;
  }

  // Clips of `seconds` seconds at 25 frames a second with a test pattern, made once
  // per test in the test's folder.
  std::string clip(const std::string& name, int width, int height, bool sound = true, double seconds = 2.0,
                   const std::vector<std::string>& codecs = {"-c:v", "libx264", "-preset", "ultrafast",
                                                             "-pix_fmt", "yuv420p", "-c:a", "aac"}) {
    const std::string path = dir / name;
    const std::string d = std::to_string(seconds);
    std::vector<std::string> args{"-f", "lavfi", "-i",
                                  "testsrc=size=" + std::to_string(width) + "x" + std::to_string(height) +
                                      ":rate=25:duration=" + d};
    if (sound) args.insert(args.end(), {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=" + d});
    args.insert(args.end(), codecs.begin(), codecs.end());
    if (sound) args.push_back("-shortest");
    args.push_back(path);
    EXPECT_TRUE(test_env::make_clip(args)) << name;
    return path;
  }
  std::string landscape_clip(double seconds = 2.0) { return clip("横 屏.mp4", 320, 240, true, seconds); }
  std::string portrait_clip(double seconds = 2.0) { return clip("portrait.mp4", 240, 320, true, seconds); }
  std::string silent_clip(double seconds = 2.0) { return clip("silent.mp4", 320, 240, false, seconds); }
  std::string flv_clip(double seconds = 2.0) {
    return clip("clip.flv", 320, 240, true, seconds, {"-c:v", "flv1", "-c:a", "mp3"});
  }

  // A picture of `width` x `height` in one colour (a converter colour name such as
  // "red" or "0xFF8000"), PNG or JPEG by the extension of `name`, in the test's folder.
  std::string picture(const std::string& name, int width, int height, const std::string& colour) {
    const std::string path = dir / name;
    EXPECT_TRUE(test_env::make_clip({"-f", "lavfi", "-i",
                                     "color=c=" + colour + ":size=" + std::to_string(width) + "x" +
                                         std::to_string(height),
                                     "-frames:v", "1", path}))
        << name;
    return path;
  }

  // A GIF of one frame per colour, a tenth of a second each, that plays once (it holds
  // no loop count), in the test's folder.
  std::string one_shot_gif(const std::string& name, int width, int height, const std::vector<std::string>& colours) {
    std::string graph, inputs;
    for (std::size_t i = 0; i < colours.size(); ++i) {
      graph += "color=c=" + colours[i] + ":size=" + std::to_string(width) + "x" + std::to_string(height) +
               ":rate=10:duration=0.1[c" + std::to_string(i) + "];";
      inputs += "[c" + std::to_string(i) + "]";
    }
    // In RGB: left to choose, the GIF writer takes the colour sources' grey.
    graph += inputs + "concat=n=" + std::to_string(colours.size()) + ":v=1:a=0,format=rgb24";
    const std::string path = dir / name;
    EXPECT_TRUE(test_env::make_clip({"-filter_complex", graph, "-loop", "-1", path})) << name;
    return path;
  }

  // The converter log of `log_converter` and `fail_converter_calls`.
  std::string converter_log() const { return dir / "converter.log"; }
  // From now on every converter call is logged (and then run).
  void log_converter() { test_env::install_logging_converter(run, converter_log()); }
  // From now on every call is logged, and a call whose arguments hold `pattern` fails
  // (see `test_env::install_failing_converter`).
  void fail_converter_calls(const std::string& pattern, int exit_code, int bytes) {
    test_env::install_failing_converter(run, converter_log(), pattern, exit_code, bytes);
  }
  // From now on every call is logged, and a call still running after `seconds` is
  // killed (a join that would never end fails its test instead of stalling it).
  void bound_converter_runs(int seconds = 60) {
    test_env::install_time_limited_converter(run, converter_log(), seconds);
  }
  // The calls the bound of `bound_converter_runs` killed so far.
  std::vector<std::vector<std::string>> killed_converter_calls() const {
    return test_env::read_logged_commands(test_env::killed_log_path(converter_log()));
  }
  // The logged calls so far, each its argument list; the log is emptied.
  std::vector<std::vector<std::string>> take_converter_calls() {
    auto calls = test_env::read_logged_commands(converter_log());
    std::filesystem::remove(converter_log());
    return calls;
  }

  HeadlessGui g;
  test_env::TempDir dir;
  std::string run;
  WindowToken window;
};
