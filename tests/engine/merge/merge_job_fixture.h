#pragma once
// The merge job's test fixture: a headless merge page (tests/support/merge_page_window.h)
// in a run folder of its own, the output folder "新 视频" (a blank in its name), helpers
// that fill the lists and run the job as the user does, and read-backs of what it wrote.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/common/globals.h"
#include "engine/converter/worker_threads.h"
#include "engine/merge/merge_job.h"
#include "engine/window/program_pictures.h"
#include "platform/gui/gui.h"
#include "tests/support/job_run_folder.h"
#include "tests/support/merge_page_window.h"
#include "tests/support/test_env.h"

inline const std::vector<const char*> merge_locked_roles = {
    "merge_all_source1_check",  "merge_all_source2_check",       "merge_add_videos1_button",
    "merge_add_folder1_button", "merge_delete_selected1_button", "merge_clear1_button",
    "merge_add_videos2_button", "merge_add_folder2_button",      "merge_delete_selected2_button",
    "merge_clear2_button",      "convert_page_button",           "edit_page_button"};

class MergeJobFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    run = test_env::use_job_run_folder(dir.path(), {stop_picture_path, merge_idle_picture_path});
    window = gui().create_window(test_env::build_merge_page_window());
    gui().bind(at("merge_start_button"), EventKind::clicked, on_merge_start_stop_clicked);
    gui().open_window(window);
    out = dir / "新 视频";
    std::filesystem::create_directories(out);
    gui().set_text(at("merge_output_folder_field"), out);
  }
  void TearDown() override {
    stop_requested = true;
    wait_for_worker_threads(std::chrono::seconds(120));
  }

  ControlRef at(const char* role) const { return {window, role}; }
  std::string text(const char* role) const { return gui().text(at(role)); }

  void add_row(const char* list, const std::string& source) {
    const ControlRef l = at(list);
    gui().append_row(l, {std::to_string(gui().row_count(l) + 1), source, ""});
  }
  void set_output_count(int count) { gui().set_text(at("merge_output_count_label"), std::to_string(count)); }
  void choose_format(const char* role) { gui().set_checked(at(role), true); }

  // Runs the UI thread's events until `done` holds (a real-time limit keeps a broken job
  // from hanging the suite).
  bool wait_for(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(120)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      g.loop.run_until_idle();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
  }
  void click_start() { gui().input_click(at("merge_start_button")); }
  bool run_job() {
    click_start();
    return wait_for_job_end();
  }
  bool wait_for_job_end() {
    return wait_for([&] {
      return text("merge_start_button") == merge_start_caption && running_worker_threads(WorkerKind::merge) == 0;
    });
  }

  // A clip of `seconds` at `size`, 25 frames a second, with sound.
  std::string make_clip(const std::string& name, const std::string& size, int seconds) {
    const std::string path = dir / name;
    const std::string s = std::to_string(seconds);
    EXPECT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "testsrc=size=" + size + ":rate=25:duration=" + s, "-f",
                                     "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=" + s, "-c:v",
                                     "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac",
                                     "-shortest", path}));
    return path;
  }

  // Frames of the first video stream, and whether a stream is an attached picture.
  static int frame_count(const std::string& path) {
    const auto r = test_env::run_program({QF_SYSTEM_FFPROBE, "-v", "error", "-select_streams", "v:0", "-count_frames",
                                          "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0", path});
    return r.exit_code == 0 ? std::atoi(r.output.c_str()) : -1;
  }
  // Seconds of sound of the first audio stream, counted in decoded samples.
  static double sound_seconds(const std::string& path) {
    const auto rate = test_env::run_program({QF_SYSTEM_FFPROBE, "-v", "error", "-select_streams", "a:0",
                                             "-show_entries", "stream=sample_rate", "-of", "csv=p=0", path});
    const auto frames = test_env::run_program({QF_SYSTEM_FFPROBE, "-v", "error", "-select_streams", "a:0",
                                               "-show_entries", "frame=nb_samples", "-of", "csv=p=0", path});
    const double sample_rate = std::atof(rate.output.c_str());
    if (rate.exit_code != 0 || frames.exit_code != 0 || sample_rate <= 0) return -1;
    std::istringstream lines(frames.output);
    double samples = 0;
    for (std::string line; std::getline(lines, line);) samples += std::atof(line.c_str());
    return samples / sample_rate;
  }
  static bool has_attached_picture(const std::string& path) {
    const auto r = test_env::run_program({QF_SYSTEM_FFPROBE, "-v", "error", "-show_entries",
                                          "stream=codec_name:stream_disposition=attached_pic", "-of", "csv=p=0",
                                          path});
    return r.exit_code == 0 && r.output.find("mjpeg,1") != std::string::npos;
  }

  // The page as a job's end leaves it: the progress strip hidden, except the per-file
  // label when the job ends with `end_label` (the failed pairs' count).
  void expect_page_restored(const std::string& end_label = "") {
    EXPECT_EQ(text("merge_start_button"), merge_start_caption);
    EXPECT_TRUE(gui().enabled(at("merge_start_button")));
    for (const char* role : merge_locked_roles) EXPECT_TRUE(gui().enabled(at(role))) << role;
    for (const char* role : {"overall_progress_bar", "overall_progress_label", "file_progress_bar"}) {
      EXPECT_FALSE(gui().visible(at(role))) << role;
    }
    EXPECT_EQ(gui().visible(at("file_progress_label")), !end_label.empty());
    if (!end_label.empty()) EXPECT_EQ(text("file_progress_label"), end_label);
    EXPECT_FALSE(std::filesystem::exists(run + "/v_temp1"));
    EXPECT_FALSE(std::filesystem::exists(run + "/v_temp2"));
  }

  HeadlessGui g;
  test_env::TempDir dir;
  std::string run, out;
  WindowToken window;
};

