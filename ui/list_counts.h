#pragma once
// The counts under the job lists and what follows them.
//
// `update_merge_counts` keeps the merge page current: "共 N 个视频" under each merge
// list, each "合并所有原视频" box enabled only when its list has more than one row (its
// checked state stays, and counts, while disabled), the number of outputs the merge job
// will write (a list merged whole counts as one part, otherwise every row of list 1 is
// joined with every row of list 2), and the start button enabled only when that number
// is above 0. `update_edit_list_count` writes "共 N 个视频" under the edit list and runs
// the edit options' refresh (which enables the start button only for a non-empty list).
//
// Every path that adds or removes rows of a merge list or of the edit list ends with
// its update. While the page's job runs an update changes only the labels: the job has
// disabled the boxes, and its start button is the stop button then.
//
// UI thread: threads that change a list post their update to it.

#include <functional>

#include "ui/job_lists.h"

// The count label's text for `rows` rows.
std::string list_count_text(int rows);

void update_merge_counts();
void update_edit_list_count();

// The list's update: the merge lists' and the edit list's above, none for the convert
// list.
void update_job_list_count(JobList list);

// Installs the edit options' refresh that `update_edit_list_count` runs after the label
// (the edit options feature installs it; until then nothing runs). Replaces an earlier
// one; an empty function removes it.
void set_edit_options_refresh(std::function<void()> refresh);
