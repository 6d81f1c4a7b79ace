#include "engine/edit/edit_job.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/common/text_helpers.h"
#include "engine/converter/media_probes.h"
#include "engine/converter/worker_threads.h"
#include "engine/edit/edit_job_checks.h"
#include "engine/edit/edit_job_first_transcode.h"
#include "engine/edit/edit_job_save.h"
#include "engine/edit/edit_job_state.h"
#include "engine/edit/edit_job_steps.h"
#include "engine/window/program_pictures.h"
#include "platform/files.h"
#include "platform/gui/gui.h"

namespace {

// The controls the job disables while it runs (the start button stays: it stops).
constexpr std::array<const char*, 11> job_locked_controls = {
    "edit_add_videos_button", "edit_add_folder_button", "edit_delete_selected_button",
    "edit_clear_button",      "custom_command_check",   "custom_command_edit_button",
    "custom_before_radio",    "custom_after_radio",     "edit_options_group",
    "convert_page_button",    "merge_page_button"};

constexpr std::array<std::pair<const char*, const char*>, 6> format_radios = {{
    {"edit_format_mp4_radio", "mp4"},
    {"edit_format_flv_radio", "flv"},
    {"edit_format_mov_radio", "mov"},
    {"edit_format_mkv_radio", "mkv"},
    {"edit_format_ts_radio", "ts"},
    {"edit_format_wmv_radio", "wmv"},
}};

constexpr std::array<const char*, 4> strip_controls = {"overall_progress_bar", "overall_progress_label",
                                                       "file_progress_bar", "file_progress_label"};

void set_up_job(const EditPage& page, int rows) {
  GuiModel& model = gui();
  for (const char* role : job_locked_controls) model.set_enabled(page(role), false);
  for (const auto& [role, format] : format_radios) {
    if (page.checked(role)) {
      output_format.set(format);
      break;
    }
  }
  create_folders(edit_work_folder());
  model.set_range(page("overall_progress_bar"), 0, rows);
  model.set_value(page("overall_progress_bar"), 0);
  model.set_text(page("overall_progress_label"), "1 / " + std::to_string(rows));
  model.set_value(page("file_progress_bar"), 0);
  model.set_text(page("file_progress_label"), "0 %");
  for (const char* role : strip_controls) model.set_visible(page(role), true);
}

// True when `path` is one of the listed sources (the same file, however spelled).
bool is_listed_source(const std::string& path, const std::vector<std::string>& sources) {
  for (const std::string& source : sources) {
    if (is_same_file(path, source)) return true;
  }
  return false;
}

// True when a listed source lies inside the work folder, which the end of the job must
// then keep.
bool work_folder_holds_listed_source(const std::vector<std::string>& sources) {
  const std::string folder = resolve_real_path(edit_work_folder());
  if (folder.empty()) return false;
  for (const std::string& source : sources) {
    const std::string real = resolve_real_path(source);
    if (real.size() > folder.size() && real.compare(0, folder.size() + 1, folder + "/") == 0) return true;
  }
  return false;
}

void edit_one_video(const EditPage& page, int row_number, RowId row, const std::vector<std::string>& sources,
                    JobOutputNames& output_names) {
  GuiModel& model = gui();
  const ControlRef list = page("edit_list");
  const std::string source = model.cell_by_id(list, row, edit_list_source_column);
  // One run gives the duration and, for a copied source, the frame size.
  std::string probe_console;
  const std::string duration = probe_duration_with_console(source, &probe_console);
  EditVideoState state = make_edit_video_state(row_number, row, source, duration, edit_work_folder());
  if (duration.empty()) {
    set_edit_status(page, state, edit_status_transcode_failed);
    return;
  }
  model.set_cell_by_id(list, row, edit_list_duration_column, duration);
  // D0 is read back from the cell, as shown.
  state.full_length = duration_text_to_seconds(model.cell_by_id(list, row, edit_list_duration_column));
  state.kept_length = state.full_length;
  if (is_listed_source(state.work_file_a, sources) || is_listed_source(state.work_file_b, sources)) {
    set_edit_status(page, state, edit_status_output_is_source);
    return;
  }
  set_edit_status(page, state, edit_status_transcoding);
  if (const int index = model.row_index(list, row); index >= 0) model.scroll_to_row(list, index);

  if (!make_first_work_file(state, probe_console)) {
    set_edit_status(page, state, edit_status_transcode_failed);
    return;
  }
  set_edit_status(page, state, edit_status_transcoded);
  run_edit_steps(state, page);
  // At shutdown the steps' runs were ended: there is nothing whole to save.
  if (worker_shutdown_requested()) return;
  save_edited_video(state, page, sources, output_names);
}

void end_job(const EditPage& page, bool keep_work_folder) {
  GuiModel& model = gui();
  const std::string work_folder = run_folder.get() + "/" + edit_work_folder_name;
  // Only the job's own folder: a real folder (no link to somewhere else) directly in
  // the run folder, and never one that holds a listed source.
  if (!keep_work_folder && !run_folder.get().empty() && is_folder(work_folder) &&
      resolve_real_path(work_folder) == resolve_real_path(run_folder.get()) + "/" + edit_work_folder_name) {
    remove_folder_tree(work_folder);
  }
  if (const std::string font = subtitle_font_copy_path(page); !font.empty()) delete_file(font);

  for (const char* role : strip_controls) model.set_visible(page(role), false);
  for (const char* role : {"edit_add_videos_button", "edit_add_folder_button", "edit_delete_selected_button",
                           "edit_clear_button", "custom_command_check"}) {
    model.set_enabled(page(role), true);
  }
  const bool custom = page.checked("custom_command_check");
  for (const char* role : {"custom_command_edit_button", "custom_before_radio", "custom_after_radio"}) {
    model.set_enabled(page(role), custom);
  }
  for (const char* role : {"edit_options_group", "convert_page_button", "merge_page_button"}) {
    model.set_enabled(page(role), true);
  }
  // The button last: once it reads "开始剪辑" again, the job has written everything.
  const ControlRef button = page("edit_start_button");
  model.set_picture(button, load_program_picture(edit_idle_picture_path));
  model.set_enabled(button, true);
  model.set_text(button, edit_start_caption);
}

}  // namespace

void on_edit_start_stop_clicked(const GuiEvent& event) {
  GuiModel& model = gui();
  const EditPage page(event.target.window);
  const ControlRef button = page("edit_start_button");
  if (model.text(button) != edit_start_caption) {
    model.set_text(button, edit_stopping_caption);
    model.set_enabled(button, false);
    stop_requested = true;
    return;
  }
  if (const auto refusal = run_edit_start_checks(page)) {
    show_message_box(edit_check_title, refusal->message, MessageButtons::ok, page.window());
    if (!refusal->focus_role.empty()) model.set_focus(page(refusal->focus_role));
    return;
  }
  stop_requested = false;
  model.set_text(button, edit_stop_caption);
  model.set_picture(button, load_program_picture(stop_picture_path));
  const WindowToken window = page.window();
  const bool started = start_worker_thread(
      WorkerKind::edit, [window] { batch_edit_videos_thread_entry(window); }, [] { stop_requested = true; });
  if (!started) {
    model.set_picture(button, load_program_picture(edit_idle_picture_path));
    model.set_text(button, edit_start_caption);
  }
}

void batch_edit_videos_thread_entry(WindowToken window) { batch_edit_videos(window); }

void batch_edit_videos(WindowToken window) {
  GuiModel& model = gui();
  const EditPage page(window);
  const ControlRef list = page("edit_list");
  std::vector<RowId> rows;
  std::vector<std::string> sources;
  for (const ListRow& row : model.list_rows(list)) {
    rows.push_back(row.id);
    sources.push_back(row.cells.size() > edit_list_source_column ? row.cells[edit_list_source_column] : "");
  }
  const int count = static_cast<int>(rows.size());
  set_up_job(page, count);
  const bool keep_work_folder = work_folder_holds_listed_source(sources);
  // The output names this job's rows have taken: no row writes over an earlier one's.
  JobOutputNames output_names;

  for (int i = 0; i < count; ++i) {
    model.set_text(page("overall_progress_label"), std::to_string(i + 1) + " / " + std::to_string(count));
    model.set_value(page("overall_progress_bar"), i + 1);
    if (model.row_index(list, rows[i]) >= 0) edit_one_video(page, i + 1, rows[i], sources, output_names);
    if (stop_requested || worker_shutdown_requested()) break;
  }
  end_job(page, keep_work_folder);
}
