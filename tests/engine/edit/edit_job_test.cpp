// The edit job on the headless control model with the real converter on tiny clips:
// the frame with no step on, the save compressed or not, the cover path, failed rows,
// outputs that would overwrite a source, and a stop.

#include "engine/edit/edit_job.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "engine/common/globals.h"
#include "engine/convert/convert_row.h"
#include "engine/converter/worker_threads.h"
#include "engine/edit/edit_job_save.h"
#include "engine/window/program_pictures.h"
#include "platform/gui/gui.h"
#include "tests/support/edit_page_window.h"
#include "tests/support/job_run_folder.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

namespace {

using namespace std::chrono_literals;

const std::vector<const char*> locked_roles = {
    "edit_add_videos_button", "edit_add_folder_button", "edit_delete_selected_button", "edit_clear_button",
    "custom_command_check",   "edit_options_group",     "convert_page_button",         "merge_page_button"};
const std::vector<const char*> strip_roles = {"overall_progress_bar", "overall_progress_label", "file_progress_bar",
                                              "file_progress_label"};

class EditJob : public ::testing::Test {
 protected:
  void SetUp() override {
    run = test_env::use_job_run_folder(dir.path(), {stop_picture_path, edit_idle_picture_path});
    font_file_names.clear();
    window = gui().create_window(test_env::build_edit_page_window());
    gui().bind(at("edit_start_button"), EventKind::clicked, on_edit_start_stop_clicked);
    gui().open_window(window);
    out = dir / "输 出";
    fs::create_directories(out);
    gui().set_text(at("edit_output_folder_field"), out);
  }
  void TearDown() override {
    stop_requested = true;
    open_gate();
    wait_for_job_end();
  }

  ControlRef at(const char* role) const { return {window, role}; }
  std::string text(const char* role) const { return gui().text(at(role)); }
  std::string cell(int row, int column) const { return gui().cell(at("edit_list"), row, column); }
  std::string status(int row) const { return cell(row, 3); }

  void add_row(const std::string& source) {
    const ControlRef list = at("edit_list");
    gui().append_row(list, {std::to_string(gui().row_count(list) + 1), source, "", ""});
  }
  bool wait_for(const std::function<bool()>& done, std::chrono::seconds limit = 120s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      g.loop.run_until_idle();
      if (done()) return true;
      std::this_thread::sleep_for(2ms);
    }
    return done();
  }
  void click_start() { gui().input_click(at("edit_start_button")); }
  std::string button_picture() const {
    const GuiPicture picture = gui().picture(at("edit_start_button"));
    return picture.encoded ? std::string(picture.encoded->begin(), picture.encoded->end()) : std::string();
  }
  bool wait_for_job_end() {
    const bool ended = wait_for([&] { return running_worker_threads(WorkerKind::edit) == 0; });
    wait_for_worker_threads(1s);
    g.loop.run_until_idle();
    return ended;
  }
  void run_job() {
    click_start();
    ASSERT_EQ(text("edit_start_button"), edit_stop_caption);
    ASSERT_TRUE(wait_for_job_end());
  }

  // Makes bin/ffmpeg hold every command that writes a file ("-y") until the gate is
  // opened; probes pass at once.
  void hold_conversions() {
    gate = dir / "gate";
    const std::string program = run + "/bin/ffmpeg";
    fs::remove(program);
    write_file(program, "#!/bin/sh\nfor a in \"$@\"; do case \"$a\" in -y) while [ ! -e '" + gate +
                            "' ]; do sleep 0.01; done;; esac; done\nexec '" QF_SYSTEM_FFMPEG "' \"$@\"\n");
    fs::permissions(program, fs::perms::owner_all);
  }
  void open_gate() {
    if (!gate.empty()) write_file(gate, "");
  }

  std::string make_mp4(const std::string& path, int seconds = 2) {
    const std::string d = std::to_string(seconds);
    EXPECT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=" + d, "-f", "lavfi",
                                     "-i", "sine=frequency=440:sample_rate=44100:duration=" + d, "-c:v", "libx264",
                                     "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest", path}));
    return path;
  }
  std::string make_wmv(const std::string& path) {
    EXPECT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=2", "-f", "lavfi",
                                     "-i", "sine=frequency=440:sample_rate=44100:duration=2", "-c:v", "wmv2", "-c:a",
                                     "wmav2", "-shortest", path}));
    return path;
  }
  static void expect_readable_clip(const std::string& path) {
    const test_env::ProbeResult probe = test_env::ffprobe(path);
    ASSERT_TRUE(probe.ok) << path;
    EXPECT_NEAR(probe.duration, 2.0, 0.3) << path;
    EXPECT_EQ(probe.width, 160);
    EXPECT_EQ(probe.height, 120);
  }

  HeadlessGui g;
  TempDir dir;
  std::string run, out, gate;
  WindowToken window;
};

}  // namespace

TEST_F(EditJob, AnMp4AndAWmvSourceGoThroughTheFrameAndAreSaved) {
  fs::create_directories(dir / "源 文件夹");
  const std::string mp4 = make_mp4(dir / "源 文件夹/片 段.mp4");
  const std::string wmv = make_wmv(dir / "clip.WMV");
  const std::string mp4_bytes = read_file(mp4), wmv_bytes = read_file(wmv);
  add_row(mp4);
  add_row(wmv);
  ffmpeg_global_options.set(" -threads 2 -hwaccel auto");  // in front of every command
  hold_conversions();
  click_start();
  EXPECT_EQ(text("edit_start_button"), edit_stop_caption);
  EXPECT_EQ(button_picture(), read_file(run + "/" + stop_picture_path));
  // Held at the first save: the page is locked and the strip shows.
  ASSERT_TRUE(wait_for([&] { return status(0) == edit_status_saving; }));
  for (const char* role : locked_roles) EXPECT_FALSE(gui().enabled(at(role))) << role;
  for (const char* role : strip_roles) EXPECT_TRUE(gui().visible(at(role))) << role;
  EXPECT_EQ(text("overall_progress_label"), "1 / 2");
  open_gate();
  ASSERT_TRUE(wait_for_job_end());

  EXPECT_EQ(status(0), edit_status_done);
  EXPECT_EQ(status(1), edit_status_done);
  EXPECT_EQ(cell(0, 2), "00:00:02");
  EXPECT_EQ(cell(1, 2), "00:00:02");
  expect_readable_clip(out + "/片 段.mp4");
  expect_readable_clip(out + "/clip.mp4");
  EXPECT_EQ(read_file(mp4), mp4_bytes);
  EXPECT_EQ(read_file(wmv), wmv_bytes);
  EXPECT_EQ(output_format.get(), "mp4");

  // The end of the job: the work folder gone, the page given back.
  EXPECT_FALSE(fs::exists(run + "/v_tempx"));
  EXPECT_EQ(text("edit_start_button"), edit_start_caption);
  EXPECT_TRUE(gui().enabled(at("edit_start_button")));
  EXPECT_EQ(button_picture(), read_file(run + "/" + edit_idle_picture_path));
  for (const char* role : locked_roles) EXPECT_TRUE(gui().enabled(at(role))) << role;
  for (const char* role : strip_roles) EXPECT_FALSE(gui().visible(at(role))) << role;
  // The custom-command row follows its box.
  EXPECT_FALSE(gui().enabled(at("custom_command_edit_button")));
  EXPECT_FALSE(gui().enabled(at("custom_before_radio")));
  EXPECT_EQ(text("overall_progress_label"), "2 / 2");
}

TEST_F(EditJob, TheSaveCopiesOrCompressesTheVideo) {
  const std::string source = make_wmv(dir / "a.wmv");
  add_row(source);
  struct Case {
    bool compress;
    const char* mode;
    const char* format_radio;
    const char* output;
    const char* video_codec;
  };
  for (const Case& c : {Case{false, "模式二", "edit_format_mp4_radio", "a.mp4", "h264"},
                        Case{true, "模式一", "edit_format_mp4_radio", "a.mp4", "h264"},
                        Case{true, "模式二", "edit_format_mp4_radio", "a.mp4", "hevc"},
                        Case{false, "模式二", "edit_format_mkv_radio", "a.mkv", "h264"},
                        Case{true, "模式一", "edit_format_ts_radio", "a.ts", "mpeg2video"},
                        Case{true, "模式二", "edit_format_flv_radio", "a.flv", "h264"},
                        Case{true, "模式二", "edit_format_wmv_radio", "a.wmv", "h264"}}) {
    SCOPED_TRACE(std::string(c.mode) + " " + c.output + (c.compress ? " compressed" : ""));
    fs::remove(out + "/" + c.output);
    gui().set_checked(at("compress_check"), c.compress);
    gui().set_text(at("compress_mode_combo"), c.mode);
    gui().set_checked(at(c.format_radio), true);
    run_job();
    EXPECT_EQ(status(0), edit_status_done);
    expect_readable_clip(out + "/" + c.output);
    const test_env::ProbeResult probe = test_env::ffprobe(out + "/" + c.output);
    ASSERT_FALSE(probe.codec_names.empty());
    EXPECT_EQ(probe.codec_names[0], c.video_codec);
  }
}

TEST_F(EditJob, AnMp4SourceWithTheRandomTransitionGetsACoverPicture) {
  // Long enough for the transition's two seconds.
  const std::string source = make_mp4(dir / "封面.MP4", 6);
  add_row(source);
  gui().set_checked(at("random_transition_check"), true);
  gui().set_checked(at("compress_check"), true);
  run_job();
  // This path copies the streams: the compression was not applied.
  EXPECT_EQ(status(0), "未完成：压缩视频容量");
  EXPECT_EQ(text("file_progress_label"), "100%");
  const test_env::ProbeResult probe = test_env::ffprobe(out + "/封面.mp4");
  ASSERT_TRUE(probe.ok);
  EXPECT_EQ(std::pair(probe.width, probe.height), std::pair(160, 120));
  // The muxer puts the picture behind the video and the sound.
  const test_env::ProgramResult streams =
      test_env::run_program({QF_SYSTEM_FFPROBE, "-v", "error", "-show_entries",
                             "stream=codec_name:stream_disposition=attached_pic", "-of", "csv=p=0", out + "/封面.mp4"});
  EXPECT_EQ(streams.output, "h264,0\naac,0\nmjpeg,1\n");
  EXPECT_FALSE(fs::exists(run + "/v_tempx"));
}

TEST_F(EditJob, RowsThatCannotBeEditedOrSavedAreNeverShownAsDone) {
  const std::string good = make_mp4(dir / "good.mp4");
  add_row(dir / "missing.mp4");            // no duration
  write_file(dir / "broken.avi", "not a video at all");
  add_row(dir / "broken.avi");             // no duration either
  add_row(good);
  gui().set_checked(at("frame_rate_check"), true);
  gui().set_text(at("frame_rate_field"), "25 -an");  // not a number: never reaches a command
  run_job();
  EXPECT_EQ(status(0), edit_status_transcode_failed);
  EXPECT_EQ(status(1), edit_status_transcode_failed);
  // The rate is left out; the video is saved, with its sound, and the row says so.
  EXPECT_EQ(status(2), "未完成：帧速率");
  EXPECT_FALSE(fs::exists(out + "/missing.mp4"));
  expect_readable_clip(out + "/good.mp4");
  EXPECT_EQ(test_env::ffprobe(out + "/good.mp4").codec_types, (std::vector<std::string>{"video", "audio"}));
  fs::remove(out + "/good.mp4");

  // An output folder that does not exist: the converter fails, and so does the row.
  gui().set_checked(at("frame_rate_check"), false);
  gui().set_text(at("edit_output_folder_field"), dir / "no such folder");
  run_job();
  EXPECT_EQ(status(2), edit_status_save_failed);

  // A frame rate that is a number reaches the command; the copied video stays readable.
  gui().set_checked(at("frame_rate_check"), true);
  gui().set_text(at("frame_rate_field"), "10");
  gui().set_text(at("edit_output_folder_field"), out);
  run_job();
  EXPECT_EQ(status(2), edit_status_done);
  expect_readable_clip(out + "/good.mp4");
}

TEST_F(EditJob, AnOutputThatIsAListedSourceIsNeverWritten) {
  const std::string a = make_mp4(out + "/a.mp4");
  const std::string b = make_mp4(dir / "b.mp4");
  fs::create_directories(dir / "other");
  const std::string a2 = make_wmv(dir / "other/a.wmv");  // its output would be out/a.mp4
  const std::string a_bytes = read_file(a);
  add_row(a);
  add_row(a2);
  add_row(b);
  run_job();
  EXPECT_EQ(status(0), convert_status_output_is_source);
  EXPECT_EQ(status(1), convert_status_output_is_source);
  EXPECT_EQ(status(2), edit_status_done);
  EXPECT_EQ(read_file(a), a_bytes);
}

TEST_F(EditJob, ASourceInTheWorkFolderIsNeitherOverwrittenNorRemoved) {
  fs::create_directories(run + "/v_tempx");
  const std::string inside = make_mp4(run + "/v_tempx/2.mp4");  // row 2's first work file
  const std::string bytes = read_file(inside);
  add_row(make_mp4(dir / "first.mp4"));
  add_row(inside);
  run_job();
  EXPECT_EQ(status(0), edit_status_done);
  EXPECT_EQ(status(1), convert_status_output_is_source);
  EXPECT_EQ(read_file(inside), bytes);
}

TEST_F(EditJob, AStopDuringTheFirstVideoEndsTheJobAfterItsSave) {
  const std::string a = make_mp4(dir / "a.mp4");
  const std::string b = make_mp4(dir / "b.mp4");
  hold_conversions();
  add_row(a);
  add_row(b);
  click_start();
  ASSERT_TRUE(wait_for([&] { return status(0) == "转码成功" || status(0) == edit_status_saving; }));
  click_start();
  EXPECT_EQ(text("edit_start_button"), edit_stopping_caption);
  EXPECT_FALSE(gui().enabled(at("edit_start_button")));
  EXPECT_TRUE(stop_requested);
  open_gate();
  ASSERT_TRUE(wait_for_job_end());
  EXPECT_EQ(status(0), edit_status_done);
  EXPECT_EQ(status(1), "");
  EXPECT_EQ(cell(1, 2), "");
  EXPECT_TRUE(fs::exists(out + "/a.mp4"));
  EXPECT_FALSE(fs::exists(out + "/b.mp4"));
  EXPECT_EQ(text("edit_start_button"), edit_start_caption);
  EXPECT_TRUE(gui().enabled(at("edit_start_button")));
  EXPECT_FALSE(fs::exists(run + "/v_tempx"));
}

TEST_F(EditJob, OneRunReadsACopiedSourcesDurationAndFrameSize) {
  const std::string source = make_mp4(dir / "plain.mp4");
  const std::string program = run + "/bin/ffmpeg";
  fs::remove(program);
  write_file(program, "#!/bin/sh\necho \"$*\" >> '" + dir / "commands.log" + "'\nexec '" QF_SYSTEM_FFMPEG "' \"$@\"\n");
  fs::permissions(program, fs::perms::owner_all);
  add_row(source);
  run_job();
  EXPECT_EQ(status(0), edit_status_done);
  EXPECT_EQ(cell(0, 2), "00:00:02");
  // The runs with the source as their only input: one.
  const std::string log = read_file(dir / "commands.log");
  int source_only = 0;
  for (std::size_t at = 0; (at = log.find("-i " + source + "\n", at)) != std::string::npos; ++at) ++source_only;
  EXPECT_EQ(source_only, 1) << log;
  expect_readable_clip(out + "/plain.mp4");
}
