#include "engine/edit/edit_job_state.h"

#include <algorithm>
#include <limits>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/common/text_helpers.h"
#include "engine/edit/edit_job_command.h"
#include "platform/files.h"

std::string edit_work_folder() { return run_folder.get() + "/" + edit_work_folder_name + "/"; }

EditVideoState make_edit_video_state(int row_number, RowId row_id, const std::string& source,
                                     const std::string& duration_text, const std::string& work_folder) {
  EditVideoState state;
  state.row_number = row_number;
  state.row_id = row_id;
  state.source = source;
  state.duration_text = duration_text;
  state.full_length = duration_text_to_seconds(duration_text);
  state.kept_length = state.full_length;
  state.source_extension = fold_ascii_case(file_extension(source));
  state.work_folder = work_folder;
  const bool keeps_container = state.source_extension == ".mp4" || state.source_extension == ".mkv";
  const std::string extension = keeps_container ? state.source_extension : ".mkv";
  const std::string number = std::to_string(row_number);
  state.work_file_a = work_folder + number + extension;
  state.work_file_b = work_folder + number + "a" + extension;
  return state;
}

int edit_shown_width(const EditVideoState& state) {
  const SampleAspect& aspect = state.sample_aspect;
  if (aspect.num == aspect.den || aspect.num <= 0 || aspect.den <= 0) return state.width;
  const long long shown = (static_cast<long long>(state.width) * aspect.num * 2 + aspect.den) / (2LL * aspect.den);
  const int width = static_cast<int>(std::min<long long>(shown, std::numeric_limits<int>::max()));
  return width % 2 == 0 ? width : width - 1;
}

void set_edit_status(const EditPage& page, const EditVideoState& state, const std::string& status) {
  gui().set_cell_by_id(page("edit_list"), state.row_id, edit_list_status_column, status);
}

namespace {

void make_next_current(EditVideoState& state) { state.current = state.current == 2 ? 1 : 2; }

}  // namespace

bool edit_output_counts(const std::string& path) {
  return path_exists(path) && get_file_size(path) >= edit_step_min_output_bytes;
}

bool edit_step_verify(EditVideoState& state) {
  if (!edit_output_counts(state.next_file())) return false;
  make_next_current(state);
  ++state.kept_outputs;
  return true;
}

bool edit_run_output_counts(int exit_status, const std::string& path) {
  return exit_status == 0 && edit_output_counts(path);
}

bool edit_run_verify(EditVideoState& state, int exit_status) { return exit_status == 0 && edit_step_verify(state); }

bool edit_step_retry(EditVideoState& state, const EditCommand& primary, const EditCommand& retry) {
  if (edit_run_verify(state, run_edit_command(primary))) return true;
  // The retry writes the next file afresh: nothing the failed run left can count.
  delete_file(state.next_file());
  if (edit_run_verify(state, run_edit_command(retry))) return true;
  mark_step_not_applied(state);
  return false;
}

void mark_option_not_applied(EditVideoState& state, const std::string& option_box) {
  if (state.unapplied_option.empty()) state.unapplied_option = option_box;
}

void mark_step_not_applied(EditVideoState& state) {
  if (!state.step_option.empty()) mark_option_not_applied(state, state.step_option);
}

void discard_other_work_file(const EditVideoState& state) { delete_file(state.next_file()); }
