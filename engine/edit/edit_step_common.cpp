#include "engine/edit/edit_step_common.h"

EditCommand current_to_next_command(const EditVideoState& state, const std::string& options) {
  EditCommand command;
  command.text(" -i ").path(state.current_file()).text(options).text(" -y ").path(state.next_file());
  return command;
}

bool keep_step_output(EditVideoState& state, const EditPage& page, const char* done_status, int exit_status) {
  if (!edit_run_verify(state, exit_status)) return false;
  set_edit_status(page, state, done_status);
  return true;
}

bool run_filter_step(EditVideoState& state, const EditPage& page, const FilterStep& step) {
  if (!page.checked(step.check_role)) return false;
  set_edit_status(page, state, step.before_status);
  const int exit_status = run_edit_command(current_to_next_command(state, step.options));
  return keep_step_output(state, page, step.done_status, exit_status);
}
