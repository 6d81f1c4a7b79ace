#pragma once
// The convert job's test fixture: a headless convert page with its start button bound,
// a run folder of its own, an output folder whose name holds a blank and quotes, and
// ways to hold, release and count the converter's runs.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "engine/common/globals.h"
#include "engine/convert/convert_job.h"
#include "engine/window/program_pictures.h"
#include "platform/gui/gui.h"
#include "tests/support/convert_page_window.h"
#include "tests/support/job_run_folder.h"
#include "tests/support/test_env.h"

namespace convert_job_test {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

class ConvertJob : public ::testing::Test {
 protected:
  void SetUp() override {
    run = test_env::use_job_run_folder(dir.path(), {stop_picture_path, convert_idle_picture_path});
    window = gui().create_window(test_env::build_convert_page_window());
    gui().bind(at("convert_start_button"), EventKind::clicked, on_convert_start_stop_clicked);
    gui().open_window(window);
    out = dir / "输出 \"文件夹\"";
    gui().set_text(at("convert_output_folder_field"), out);
  }
  void TearDown() override {
    if (convert_thread.joinable()) {
      stop_requested = true;
      open_gate();
      open_probe_gate();
      convert_thread.join();
    }
  }

  ControlRef at(const char* role) const { return {window, role}; }
  std::string text(const char* role) const { return gui().text(at(role)); }
  std::string status(int row) const { return gui().cell(at("convert_list"), row, 2); }

  RowId add_row(const std::string& source) {
    const ControlRef list = at("convert_list");
    return gui().append_row(list, {std::to_string(gui().row_count(list) + 1), source, ""}).id;
  }

  // Runs the UI thread's events until `done` holds (a real-time limit keeps a broken
  // job from hanging the suite).
  bool wait_for(const std::function<bool()>& done, std::chrono::seconds limit = 60s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      g.loop.run_until_idle();
      if (done()) return true;
      std::this_thread::sleep_for(2ms);
    }
    return done();
  }
  // The bytes of the start button's picture, and of a picture file of the run folder.
  std::string button_picture() const {
    const GuiPicture picture = gui().picture(at("convert_start_button"));
    return picture.encoded ? std::string(picture.encoded->begin(), picture.encoded->end()) : std::string();
  }
  std::string picture_file(const char* relative) const { return read_file(run + "/" + relative); }
  void click_start() { gui().input_click(at("convert_start_button")); }
  bool wait_for_job_end() {
    const bool ended = wait_for([&] { return text("convert_start_button") == convert_start_caption; });
    if (convert_thread.joinable()) convert_thread.join();
    return ended;
  }
  bool wait_for_job_start() {
    return wait_for([&] { return !gui().enabled(at("convert_add_videos_button")); });
  }

  // Makes bin/ffmpeg hold every conversion (a command with "-y" or "-f") until the
  // gate is opened, or until `release_conversion` lets that one go; duration probes
  // pass at once, except those of a source whose path ends in `held_probe`, which wait
  // for the probe gate. Every run logs "start", "held" for a conversion and "end".
  void hold_conversions(const std::string& held_probe = "") {
    gate = dir / "gate";
    probe_gate = dir / "probe_gate";
    converter_log = dir / "converter.log";
    const std::string program = run + "/bin/ffmpeg";
    fs::remove(program);
    std::string script = "#!/bin/sh\necho start >> '" + converter_log + "'\nwait_for=\n";
    if (!held_probe.empty()) {
      script += "for a in \"$@\"; do case \"$a\" in *'" + held_probe + "') wait_for='" + probe_gate + "';; esac; done\n";
    }
    script += "for a in \"$@\"; do case \"$a\" in -y|-f) wait_for='" + gate + "';; esac; done\n"
              "if [ \"$wait_for\" = '" + gate + "' ]; then\n"
              "  n=$(grep -c held '" + converter_log + "')\n"
              "  echo held >> '" + converter_log + "'\n"
              "  while [ ! -e \"$wait_for\" ] && [ ! -e \"$wait_for.$n\" ]; do sleep 0.01; done\n"
              "elif [ -n \"$wait_for\" ]; then\n"
              "  while [ ! -e \"$wait_for\" ]; do sleep 0.01; done\n"
              "fi\n"
              "'" QF_SYSTEM_FFMPEG "' \"$@\"\nstatus=$?\necho end >> '" + converter_log + "'\nexit $status\n";
    write_file(program, script);
    fs::permissions(program, fs::perms::owner_all);
  }
  void open_gate() {
    if (!gate.empty()) write_file(gate, "");
  }
  void open_probe_gate() {
    if (!probe_gate.empty()) write_file(probe_gate, "");
  }
  // Lets the held conversion number `n` (from 0) go on.
  void release_conversion(int n) { write_file(gate + "." + std::to_string(n), ""); }
  // How many lines of the converter log read `word`.
  int logged(const std::string& word) const {
    const std::string log = read_file(converter_log);
    int count = 0;
    for (std::size_t at = 0; (at = log.find(word + "\n", at)) != std::string::npos; at += word.size()) ++count;
    return count;
  }

  std::string make_clip(const std::string& name, int seconds = 1) {
    const std::string path = dir / name;
    const std::string duration = std::to_string(seconds);
    EXPECT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=" + duration, "-f",
                                     "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=" + duration,
                                     "-c:v", "libx264",
                                     "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest", path}));
    return path;
  }

  HeadlessGui g;
  TempDir dir;
  std::string run, out, gate, probe_gate, converter_log;
  WindowToken window;
};

}  // namespace convert_job_test
