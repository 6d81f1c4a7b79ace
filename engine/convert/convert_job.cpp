#include "engine/convert/convert_job.h"

#include <array>
#include <string>
#include <vector>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/common/job_output_names.h"
#include "engine/convert/convert_commands.h"
#include "engine/convert/convert_row.h"
#include "engine/convert/convert_source_probes.h"
#include "engine/converter/console_streams.h"
#include "engine/converter/converter_runner.h"
#include "engine/converter/helper_thread.h"
#include "engine/converter/job_progress.h"
#include "engine/converter/media_probes.h"
#include "engine/window/program_pictures.h"
#include "platform/files.h"
#include "platform/gui/gui.h"
#include "platform/process.h"
#include "platform/profile.h"

std::thread convert_thread;

namespace {

// The controls the job disables while it runs.
constexpr std::array<const char*, 7> job_locked_controls = {
    "convert_add_videos_button", "convert_add_folder_button", "convert_delete_selected_button",
    "convert_clear_button",      "convert_add_m3u8_button",   "merge_page_button",
    "edit_page_button"};

// The format radios in the order they are read, with their formats; none checked: mp3.
constexpr std::array<std::pair<const char*, const char*>, 6> format_radios = {{
    {"convert_format_mp4_radio", "mp4"},
    {"convert_format_flv_radio", "flv"},
    {"convert_format_mov_radio", "mov"},
    {"convert_format_mkv_radio", "mkv"},
    {"convert_format_ts_radio", "ts"},
    {"convert_format_wmv_radio", "wmv"},
}};

constexpr const char* progress_done_text = "100 %";

class JobWindow {
 public:
  explicit JobWindow(WindowToken window) : window_(window) {}
  ControlRef operator()(const char* role) const { return ControlRef{window_, role}; }

 private:
  WindowToken window_;
};

std::string chosen_output_format(const JobWindow& at) {
  for (const auto& [role, format] : format_radios) {
    if (gui().checked(at(role))) return format;
  }
  return "mp3";
}

// The listed sources that the row's output or temporary file could be: none while
// neither file is there yet (the usual case), so that a long list is not copied out of
// the window for every row.
std::vector<std::string> sources_the_row_could_overwrite(const ControlRef& list, const ConvertRowPlan& plan) {
  const auto is_there = [](const std::string& path) { return !path.empty() && file_stamp(path).has_value(); };
  if (!is_there(plan.output_path) && !is_there(plan.temporary_path)) return {};
  return gui().column_texts(list, 1);
}

// The status a finished row keeps: "任务完成" only for a row whose output was really
// written, whatever the converter's last word.
std::string final_row_status(bool output_written, bool progress_done, const std::string& status_word) {
  if (output_written && progress_done) return run_status_finished;
  if (status_word == run_status_file_missing || status_word == run_status_io_error) return status_word;
  return convert_status_failed;
}

// How many rows' sources one converter run probes ahead.
constexpr std::size_t probe_batch_rows = 32;

// Queues the probe of the rows from `first` on, unless that row's has been queued: one
// run for up to `count` local files in a row (up to the next row already queued), or
// one for a stream address alone (opening it may take long). Rows deleted meanwhile
// are passed over.
void queue_source_probes(ConvertSourceProbes& probes, const ControlRef& list, const std::vector<RowId>& rows,
                         std::size_t first, std::size_t count) {
  std::vector<std::pair<RowId, std::string>> batch;
  for (std::size_t i = first; i < rows.size() && batch.size() < count; ++i) {
    if (probes.queued(rows[i])) break;
    if (gui().row_index(list, rows[i]) < 0) continue;
    const std::string source = rewrite_course_stream_address(gui().cell_by_id(list, rows[i], 1));
    if (convert_source_is_stream(source)) {
      if (batch.empty()) batch.emplace_back(rows[i], source);
      break;
    }
    batch.emplace_back(rows[i], source);
  }
  probes.queue(batch);
}

// Runs one row. `names` holds the output names the rows before were given.
void convert_one_row(const JobWindow& at, RowId row, const std::string& format, ConvertSourceProbes& probes,
                     JobOutputNames& names) {
  GuiModel& model = gui();
  const ControlRef list = at("convert_list");
  ConvertRowOptions options;
  options.format = format;
  options.save_beside_source = model.checked(at("convert_save_beside_source_radio"));
  options.output_folder = model.text(at("convert_output_folder_field"));
  options.global_options = ffmpeg_global_options.get();
  const std::string listed_source = model.cell_by_id(list, row, 1);
  ConvertRowPlan plan = plan_convert_row(listed_source, options);

  last_job_status.set(convert_status_converting);
  model.set_cell_by_id(list, row, 2, convert_status_converting);
  if (const int index = model.row_index(list, row); index >= 0) model.scroll_to_row(list, index);

  if (plan.commands.empty()) {
    model.set_cell_by_id(list, row, 2, convert_status_unusable_path);
    return;
  }
  const FileProbe source = probes.take(row, plan.source);
  // A name an earlier row of this job was given is numbered: no row writes over
  // another's output (two sources with one stem, or one listed twice).
  plan = plan_convert_row(listed_source, options, source.streams, names.claim(plan.output_path));
  const std::vector<std::string> sources = sources_the_row_could_overwrite(list, plan);
  if (convert_row_would_overwrite_source(plan, sources)) {
    model.set_cell_by_id(list, row, 2, convert_status_output_is_source);
    return;
  }
  progress_total_duration.set(source.duration);
  // A stream saved "beside its source" goes to the output folder, which only a job
  // saving into the folder has created.
  if (plan.is_stream && options.save_beside_source) ensure_directory(options.output_folder);

  const ConvertRowRun run = run_convert_row(plan, sources, job_progress_callback);
  const std::string status_word = last_job_status.get();
  // The runner's word for a finished run is "任务完成": the row says so only once its
  // output has been judged.
  if (status_word != run_status_finished) model.set_cell_by_id(list, row, 2, status_word);
  // The progress callback runs inside the runs, so every report of this row has
  // arrived: the per-file label reads "100 %" now or never will, and there is nothing
  // to wait for (a stop request is seen after the row).
  const bool progress_done = model.text(at("file_progress_label")) == progress_done_text;
  model.set_cell_by_id(list, row, 2, final_row_status(run.output_written, progress_done, status_word));
  if (model.checked(at("convert_delete_source_check")) && convert_row_succeeded(plan, run)) delete_file(plan.source);
}

}  // namespace

void on_convert_start_stop_clicked(const GuiEvent& event) {
  GuiModel& model = gui();
  const JobWindow at(event.target.window);
  const ControlRef button = at("convert_start_button");
  const int rows = model.row_count(at("convert_list"));
  if (rows == 0) return;
  const std::string caption = model.text(button);
  if (caption == convert_start_caption) {
    stop_requested = false;
    model.set_text(button, convert_stop_caption);
    model.set_picture(button, load_program_picture(stop_picture_path));
    const std::string config = config_file_path.get();
    if (model.checked(at("convert_save_to_folder_radio"))) {
      const std::string folder = model.text(at("convert_output_folder_field"));
      ensure_directory(folder);
      write_profile_text(config, convert_settings_section, convert_output_folder_key, folder);
      write_profile_text(config, convert_settings_section, convert_save_mode_key, "b");
    } else {
      write_profile_text(config, convert_settings_section, convert_save_mode_key, "a");
    }
    model.set_text(at("file_progress_label"), "0 %");
    model.set_value(at("file_progress_bar"), 0);
    model.set_visible(at("file_progress_label"), true);
    model.set_visible(at("file_progress_bar"), true);
    model.set_text(at("overall_progress_label"), "1 / " + std::to_string(rows));
    model.set_range(at("overall_progress_bar"), 0, rows);
    model.set_value(at("overall_progress_bar"), 0);
    model.set_visible(at("overall_progress_label"), true);
    model.set_visible(at("overall_progress_bar"), true);
    // The last job's worker has written its last control when the button reads
    // "开始转换" again; it may still be returning.
    if (convert_thread.joinable()) convert_thread.join();
    convert_thread = std::thread(batch_convert_videos_thread_entry, event.target.window);
  } else if (caption == convert_stop_caption) {
    model.set_text(button, convert_stopping_caption);
    model.set_enabled(button, false);
    stop_requested = true;
  }
}

void batch_convert_videos_thread_entry(WindowToken window) { batch_convert_videos(window); }

void batch_convert_videos(WindowToken window) {
  GuiModel& model = gui();
  const JobWindow at(window);
  const ControlRef list = at("convert_list");
  for (const char* role : job_locked_controls) model.set_enabled(at(role), false);
  output_format.set(chosen_output_format(at));
  const std::string format = output_format.get();

  const std::vector<RowId> rows = model.row_ids(list);
  for (const RowId row : rows) model.set_cell_by_id(list, row, 2, "");

  // The sources' probes run ahead of the rows: the first row's alone (it waits for
  // it), the next rows' in batches while the rows before convert.
  HelperThread prober;
  ConvertSourceProbes probes(prober);
  JobOutputNames names;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    queue_source_probes(probes, list, rows, i, 1);
    if (i + 1 < rows.size()) queue_source_probes(probes, list, rows, i + 1, probe_batch_rows);
    const std::string number = std::to_string(i + 1);
    model.set_value(at("overall_progress_bar"), static_cast<int>(i + 1));
    model.set_text(at("overall_progress_label"), number + " / " + std::to_string(model.row_count(list)));
    if (model.row_index(list, rows[i]) >= 0) convert_one_row(at, rows[i], format, probes, names);
    if (stop_requested) break;
  }
  // After a stop the probes of the next rows may still run: the job has ended only when
  // they have (they end soon; once shutdown has begun their converter is ended or never
  // starts).
  probes.wait();

  for (const char* role :
       {"file_progress_bar", "file_progress_label", "overall_progress_bar", "overall_progress_label"}) {
    model.set_visible(at(role), false);
  }
  for (const char* role : job_locked_controls) model.set_enabled(at(role), true);
  // The button last: once it reads "开始转换" again, the job has written everything.
  const ControlRef button = at("convert_start_button");
  model.set_picture(button, load_program_picture(convert_idle_picture_path));
  model.set_enabled(button, true);
  model.set_text(button, convert_start_caption);
}

void end_convert_thread() {
  stop_requested = true;
  begin_converter_shutdown();
  end_all_converter_processes();
  if (convert_thread.joinable()) convert_thread.join();
}
