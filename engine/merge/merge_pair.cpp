#include "engine/merge/merge_pair.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/common/text_helpers.h"
#include "engine/common/transition_table.h"
#include "engine/converter/converter_runner.h"
#include "engine/converter/job_progress.h"
#include "engine/converter/media_probes.h"
#include "engine/merge/merge_commands.h"
#include "engine/merge/merge_work_folders.h"
#include "platform/files.h"
#include "platform/gui/gui.h"

namespace {

class PairDisplay {
 public:
  explicit PairDisplay(WindowToken window) : window_(window) {}
  void show(int percent, const std::string& label) const {
    gui().set_value({window_, "file_progress_bar"}, percent);
    gui().set_text({window_, "file_progress_label"}, label);
  }
  void fail(const std::string& status) const {
    last_job_status.set(status);
    show(0, status);
  }

 private:
  WindowToken window_;
};

// Runs `command` and tells whether it exited 0 and left `output` with content.
bool run_step(const std::string& command, const std::string& output) {
  return run_merge_command(command) == 0 && file_has_content(output);
}

// True when the converter reads a duration from `path`: an exit 0 and a file that is
// not empty do not yet make it a video.
bool readable_media(const std::string& path) { return !probe_duration(path).empty(); }

// The transition's offset in the first part: the converter reads the part, and its
// picture's length and frame rate decide (see `merge_transition_offset`).
int transition_offset(const MergePart& first) {
  const std::string path = quoted_command_path(first.file);
  if (path.empty() || run_merge_command(ffmpeg_global_options.get() + " -i " + path, true) < 0) return 0;
  const std::string console = ffmpeg_output.get();
  std::string rate = parse_frame_rate(console);
  if (rate.empty()) rate = first.frame_rate;
  const double frames_per_second = text_to_number(rate);
  // An unknown rate counts as a slow one, so that a frame is surely there.
  const double frame_seconds = frames_per_second > 0 ? 1 / frames_per_second : 0.1;
  return merge_transition_offset(parse_video_seconds(console), frame_seconds);
}

bool is_listed_source(const std::string& path, const MergeJobState& state) {
  for (const std::string& source : state.listed_sources) {
    if (is_same_file(path, source)) return true;
  }
  return false;
}

// The final stream copy into the output folder, with the percentage of the joined
// file's duration; "100 %" is left to the check of the written file.
bool copy_into_output(const MergeJobState& state, const std::string& joined, const std::string& output) {
  const WindowToken window = state.window;
  const ProgressReport progress = [window](const std::string& status, const std::string& time) {
    const int percent = std::min(job_progress_percent(time, progress_total_duration.get()), 99);
    gui().set_value({window, "file_progress_bar"}, percent);
    gui().set_text({window, "file_progress_label"}, std::to_string(percent) + " %");
    last_job_status.set(status);
  };
  const std::string command = merge_final_copy_command(ffmpeg_global_options.get(), joined, output);
  if (command.empty()) return false;
  // The total for the percentage is the joined file's duration, which the copy, with
  // the joined file as its input, prints before its first position.
  progress_total_duration.set("");
  bool total_known = false;
  const auto take_total = [&total_known](const std::string& chunk) {
    if (total_known) return;
    const std::string duration = duration_in_console(chunk);
    if (duration.empty()) return;
    progress_total_duration.set(duration);
    total_known = true;
  };
  int exit_status = -1;
  std::string console;
  run_console_capture(ffmpeg_exe_path.get(), command, progress, nullptr, &console, &exit_status, nullptr, take_total);
  ffmpeg_output.set(console);
  return exit_status == 0 && file_has_content(output);
}

// The cover output of an mp4 with a transition.
bool make_cover_output(const PairDisplay& display, const std::string& base, const std::string& video,
                       const std::string& sound, const std::string& output) {
  display.show(10, "10%");
  if (!run_step(merge_mux_command(ffmpeg_global_options.get(), video, sound, base + ".mp4"), base + ".mp4")) return false;
  display.show(20, "20%");
  if (!run_step(merge_cover_frame_command(base + ".mp4", base + ".jpg"), base + ".jpg")) return false;
  display.show(30, "30%");
  if (!run_step(merge_attach_cover_command(base + ".mp4", base + ".jpg", base + "1.mp4"), base + "1.mp4")) {
    return false;
  }
  display.show(50, "50%");
  return copy_file(base + "1.mp4", output, false) && file_has_content(output);
}

// Everything of the pair but the removal of its folder and the read-back of its
// output; true when the output was written, with `output` and the label that tells
// success then set. The display has the pair's result when it returns false.
bool make_output(MergeJobState& state, const MergePart& first, const MergePart& second, int i, int j,
                 const PairDisplay& display, std::string& written, std::string& success_label) {
  GuiModel& model = gui();
  const WindowToken window = state.window;
  const std::string format = output_format.get();
  const std::string folder = model.text({window, "merge_output_folder_field"});
  if (folder.empty()) {
    display.fail(merge_status_unusable_path);
    return false;
  }
  const std::string output = merge_output_path(folder, i, j, state.title, format);
  if (is_listed_source(output, state)) {
    display.fail(merge_status_output_is_source);
    return false;
  }
  if (first.file.empty() || second.file.empty()) {
    display.fail(merge_status_failed);
    return false;
  }

  const std::string& t2 = state.pair_folder;
  const std::string base = t2 + merge_pair_work_name(second.work_name, t2);
  const std::string joined = base + ".mkv";
  const std::string list = t2 + "list.txt";
  const std::string list_text = merge_concat_list_text({first.file, second.file}, false);
  const std::string global = ffmpeg_global_options.get();
  if (list_text.empty() || !replace_file_contents(list, list_text) ||
      !run_step(merge_concat_command(global, list, joined), joined)) {
    display.fail(merge_status_failed);
    return false;
  }
  if (model.checked({window, "merge_transition_check"})) {
    const std::string transition = transition_for_combo_index(model.selected_index({window, "merge_transition_combo"}));
    const std::string sound = t2 + "brel.mp3";
    const std::string faded = t2 + "k5pw.mkv";
    const std::string silent = t2 + "velmon.mkv";
    if (state.first_part_offset_of != first.file) {
      state.first_part_offset = transition_offset(first);
      state.first_part_offset_of = first.file;
    }
    const int offset = state.first_part_offset;
    // Both parts at the first part's frame rate when the rates may differ.
    const bool same_rates = first.uniform_rate && second.uniform_rate && first.frame_rate == second.frame_rate;
    const std::string filter = merge_transition_filter(transition, offset, same_rates ? "" : first.frame_rate);
    const bool made = run_step(merge_audio_command(global, joined, sound), sound) &&
                      run_step(merge_transition_command(global, first.file, second.file, filter, faded), faded) &&
                      run_step(merge_silent_video_command(global, faded, silent), silent);
    if (!made) {
      display.fail(merge_status_failed);
      return false;
    }
    if (format == "mp4") {
      if (!make_cover_output(display, base, silent, sound, output)) {
        display.fail(merge_status_failed);
        return false;
      }
      written = output;
      success_label = "100%";
      return true;
    }
    if (!run_step(merge_mux_command(global, silent, sound, joined), joined)) {
      display.fail(merge_status_failed);
      return false;
    }
  }

  if (!copy_into_output(state, joined, output)) {
    display.fail(merge_status_failed);
    return false;
  }
  written = output;
  success_label = "100 %";
  return true;
}

}  // namespace

std::string merge_pair_work_name(const std::string& stem, const std::string& pair_folder) {
  std::string name = stem;
  while (name.empty() || name == "k5pw" || name == "velmon" || path_exists(pair_folder + name + ".mkv")) name += "_";
  return name;
}

MergePairVerdict::MergePairVerdict(WindowToken window, const std::string& output, std::string success_label)
    : window_(window),
      success_label_(std::move(success_label)),
      readable_(std::async(std::launch::async, [output] { return readable_media(output); })) {}

MergePairVerdict& MergePairVerdict::operator=(MergePairVerdict&& other) {
  if (this != &other) {
    show();
    window_ = other.window_;
    success_label_ = std::move(other.success_label_);
    readable_ = std::move(other.readable_);
    failed_ = std::exchange(other.failed_, false);
  }
  return *this;
}

MergePairVerdict::~MergePairVerdict() { show(); }

MergePairVerdict MergePairVerdict::failure() {
  MergePairVerdict verdict;
  verdict.failed_ = true;
  return verdict;
}

MergePairVerdict::Result MergePairVerdict::show() {
  if (std::exchange(failed_, false)) return Result::failed;
  if (!readable_.valid()) return Result::none;
  const PairDisplay display(window_);
  if (readable_.get()) {
    display.show(100, success_label_);
    return Result::written;
  }
  display.fail(merge_status_failed);
  return Result::failed;
}

MergePairVerdict make_merge_pair_output(MergeJobState& state, const MergePart& first, const MergePart& second,
                                        int i, int j) {
  std::string output, success_label;
  const bool written = make_output(state, first, second, i, j, PairDisplay(state.window), output, success_label);
  remove_merge_work_folder(state.pair_folder, run_folder.get(), state.listed_sources);
  if (!written) return MergePairVerdict::failure();
  return MergePairVerdict(state.window, output, success_label);
}
