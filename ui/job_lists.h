#pragma once
// The four job lists of `MainWindow` and what their features share: which controls
// belong to each list, the list the list menu acts on, whether the list's batch job
// runs, and how a row is appended.
//
// Columns (`JobListColumns`): 0 the row number, 1 the source path or stream address,
// then the duration and/or status texts; the edit list has a fourth column for the step
// status. The row number is the list's row count when the row was added and is never
// renumbered: after deletions numbers may have gaps or repeat (rows 1, 2, 3, delete
// row 1, add a file: 2, 3, 3). Every worker addresses a row by its id (RowId), never by
// a position that other threads may shift meanwhile.
//
// A list's batch job runs while the page's start button does not read its idle caption
// ("开始转换", "开始合并", "开始剪辑"): the job's start handler changes the caption before
// the job's thread starts, and the job's end sets it back as its last write. The
// add-videos button is no sign of its own, because adding through the open dialog also
// disables it while it works.

#include <atomic>
#include <optional>
#include <string>

#include "engine/common/globals.h"
#include "engine/window/job_list_rows.h"
#include "platform/gui/gui.h"

// The lists by the numbers `current_list` holds.
enum class JobList { convert = 1, merge1 = 2, merge2 = 3, edit = 4 };

inline constexpr JobList all_job_lists[] = {JobList::convert, JobList::merge1, JobList::merge2, JobList::edit};


// Title of the list's messages.
inline constexpr const char* list_message_title = "友情提示";

// What belongs to one list.
struct JobListInfo {
  JobList list;
  const char* list_role;
  int page;  // index of its page in `job_tabs`
  const char* add_videos_button;
  const char* add_folder_button;
  const char* delete_selected_button;
  const char* clear_button;
  const char* select_all_button;
  const char* invert_button;
  const char* open_dialog_title;
  const char* folder_browser_title;
  // The folder its open dialog remembers, and the key it is stored under in section
  // "原视频" of the settings file.
  SharedText* open_folder;
  const char* open_folder_key;
  bool has_duration_column;    // scans probe each file's duration into column 2
  bool dialog_probes_duration;  // so does adding through the open dialog
  // The page's start button and its caption while no job runs.
  const char* start_button;
  const char* start_idle_caption;
  // The refusals while the list's job runs.
  const char* delete_refusal;
  const char* clear_refusal;
};

// Section of the settings file that holds the remembered open-dialog folders.
inline constexpr const char* open_folder_settings_section = "原视频";

const JobListInfo& job_list_info(JobList list);

// The list's control in the current main window, or in `window`.
ControlRef job_list_control(JobList list);
ControlRef job_list_control(WindowToken window, JobList list);

// The list a `current_list` value names; nothing for 0 or any other value.
std::optional<JobList> job_list_from_number(int number);

// The list the list menu acts on: 1 convert, 2 merge source 1, 3 merge source 2, 4 edit;
// 0 until a list was right-clicked or double-clicked.
extern std::atomic<int> current_list;

// True while the batch job of the list's page runs in `window` (see above).
bool job_runs_on_list(WindowToken window, JobList list);
bool job_runs_on_list(JobList list);

// True when rows of the list may not be deleted or cleared now: its job runs, or its
// add-videos button is disabled (the job's sign, and adding through the open dialog).
bool list_refuses_row_deletion(JobList list);

// Appends a row to the list in `window` with its row number (the list's row count
// once the row is in) and its source; the other cells stay empty. Any thread.
RowRef append_job_list_row(WindowToken window, JobList list, const std::string& source);

// UI thread. Enables a control of the list's page that an add, scan or deletion
// disabled, unless the list's job runs: the job disabled it too and enables it at its
// end.
void enable_list_button_unless_job_runs(WindowToken window, JobList list, const char* role);
