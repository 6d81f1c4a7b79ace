#pragma once
// What the edit steps share: the usual command shape from the current work file into
// the next one, the keeping of a step's output with its done status, and the one-
// command filter steps that differ only in their box, their texts and their options.
//
// A step writes its "before" status when it starts. Its "after" status says the step
// was applied, so it is written only when the output counted; a step whose output was
// dropped leaves its "before" status standing (or writes its own failure text) and the
// previous work file stays current; the step frame then records its option as not
// applied, which the row's final status names (engine/edit/edit_job_state.h).

#include <string>

#include "engine/edit/edit_job_command.h"
#include "engine/edit/edit_job_state.h"

// " -i " + the quoted current work file + `options` + " -y " + the quoted next one.
EditCommand current_to_next_command(const EditVideoState& state, const std::string& options);

// `edit_run_verify` for the step's last run, then the done status when the output
// counted. Returns whether it counted.
bool keep_step_output(EditVideoState& state, const EditPage& page, const char* done_status, int exit_status);

// A step of one command " -i CUR" + options + " -y NEXT", run when its box is checked.
struct FilterStep {
  const char* check_role;
  const char* before_status;
  const char* done_status;
  const char* options;
};

// Runs `step` on the video when its box is checked. Returns whether its output counted
// (false when the box is off).
bool run_filter_step(EditVideoState& state, const EditPage& page, const FilterStep& step);
