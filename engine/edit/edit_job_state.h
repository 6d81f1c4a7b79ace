#pragma once
// The working state of the edit job: the edit page as the job reads it, the state of
// the video being edited, and its two work files.
//
// Work files. Each video has two files in the work folder (run folder + "/v_tempx/"):
// A = row number + ".mkv" and B = row number + "a.mkv" (for a ".mp4" or ".mkv" source
// that extension instead of ".mkv"). One of them is current; every step reads the
// current file and writes the other ("next") one, and its output counts only when the
// next file then exists with at least 10 bytes (`edit_step_verify`). After every step
// block `discard_other_work_file` deletes the file that is not current.
//
// Options not applied. A ticked option whose step could not apply it (its converter
// run failed, or an input it needs is unusable) is recorded by its check box; the
// first one recorded is the one the row's final status names. The step frame
// (engine/edit/edit_job_steps.h) tells each step's option and records it by itself
// for a step whose box is checked and that kept no output; `edit_step_retry` records
// it when both forms failed; a step with further conditions of its own calls
// `mark_step_not_applied` where it gives up.

#include <cstdint>
#include <string>

#include "engine/converter/video_stream_line.h"
#include "platform/gui/gui.h"

// The edit page of the main window as the job and its steps read it: the option boxes
// and fields are read when a step needs them, never once at the start.
class EditPage {
 public:
  explicit EditPage(WindowToken window) : window_(window) {}
  WindowToken window() const { return window_; }
  ControlRef operator()(const std::string& role) const { return ControlRef{window_, role}; }
  bool checked(const std::string& role) const { return gui().checked((*this)(role)); }
  std::string text(const std::string& role) const { return gui().text((*this)(role)); }

 private:
  WindowToken window_;
};

// Columns of `edit_list`.
inline constexpr int edit_list_source_column = 1;
inline constexpr int edit_list_duration_column = 2;
inline constexpr int edit_list_status_column = 3;

// The smallest step output that counts.
inline constexpr std::int64_t edit_step_min_output_bytes = 10;

// The name of the work folder under the run folder.
inline constexpr const char* edit_work_folder_name = "v_tempx";

// The work folder: run folder + "/v_tempx/" (with the trailing "/").
std::string edit_work_folder();

// The working state of one video (`EditVideoState`).
struct EditVideoState {
  int row_number = 0;       // 1-based position of the row in `edit_list` when the job began
  RowId row_id = 0;         // the row itself: status cells are written to it
  std::string source;       // column 1, as listed
  std::string duration_text;  // HH:MM:SS from the duration probe
  int full_length = 0;      // D0: whole seconds of the duration text
  std::string source_extension;  // with its dot, ASCII letters lower-cased
  std::string work_folder;  // with its trailing "/"
  std::string work_file_a;
  std::string work_file_b;
  int current = 1;          // 1: A is current, 2: B is current
  int width = 0;            // frame size; 0 when not found
  int height = 0;
  SampleAspect sample_aspect;  // the shape of its pixels (DVD and VCD pictures are not square)
  int kept_length = 0;      // D: whole seconds after the head and tail cuts
                            // (D and D0 follow a change of the playback speed
                            // and the seconds a random transition takes)
  std::string trim_start = "00:00:00";  // start of the kept part
  bool portrait_to_landscape_ran = false;  // step 8 ran (step 9 then does not)
  int kept_outputs = 0;      // step outputs made current so far (by `edit_step_verify`)
  std::string step_option;   // check box of the option of the step now running; "" between steps
  std::string unapplied_option;  // check box of the first ticked option not applied; "" while none

  const std::string& current_file() const { return current == 2 ? work_file_b : work_file_a; }
  const std::string& next_file() const { return current == 2 ? work_file_a : work_file_b; }
};

// The width the video shows at its held height: the held width times the pixels'
// width-to-height ratio, to the nearest pixel, an odd result made even (less one). The
// held width itself for square pixels. Portrait or landscape is this width against the
// held height.
int edit_shown_width(const EditVideoState& state);

// The state of row `row_number` whose source is `source`, with its duration text
// already probed: the extension, the work files in `work_folder` (ending in "/"), D0,
// and D = D0 with trim start "00:00:00" until the trim step says otherwise.
EditVideoState make_edit_video_state(int row_number, RowId row_id, const std::string& source,
                                     const std::string& duration_text, const std::string& work_folder);

// Writes `status` into the status column of the video's row (a deleted row is passed
// over).
void set_edit_status(const EditPage& page, const EditVideoState& state, const std::string& status);

// Whether a step's output file counts: it exists with at least 10 bytes.
bool edit_output_counts(const std::string& path);

// Whether the file a run wrote counts: the run ended with exit status 0 (a converter
// that failed may have left a partial file) and the file counts.
bool edit_run_output_counts(int exit_status, const std::string& path);

// Whether the step's output counts: the next file exists with at least 10 bytes. When
// it does, it becomes current.
bool edit_step_verify(EditVideoState& state);

// `edit_step_verify` for a run that ended with `exit_status`: only a run that ended
// with 0 can count (`edit_run_output_counts`).
bool edit_run_verify(EditVideoState& state, int exit_status);

// Runs `primary`; when its output does not count, runs `retry` once into the same
// file. The output becomes current only when it counts; otherwise the previous work
// file stays current and the step's option is not applied. Returns whether it counted.
class EditCommand;
bool edit_step_retry(EditVideoState& state, const EditCommand& primary, const EditCommand& retry);

// Records the option of the check box `option_box` as not applied, unless an earlier
// option already is (the status names the first).
void mark_option_not_applied(EditVideoState& state, const std::string& option_box);

// `mark_option_not_applied` for the option of the step now running (`step_option`);
// nothing outside a step.
void mark_step_not_applied(EditVideoState& state);

// Deletes the work file that is not current (the file itself, never through an
// alias); a missing file is no error.
void discard_other_work_file(const EditVideoState& state);
