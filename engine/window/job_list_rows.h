#pragma once
// Rows of the job lists: the columns every list has, and appending a numbered row.

#include <string>
#include <vector>

#include "platform/gui/gui.h"

// Columns every list has, and the duration column of the merge lists and the edit list.
inline constexpr int row_number_column = 0;
inline constexpr int source_column = 1;
inline constexpr int duration_column = 2;

// Appends a row with `source` in its source column and the other cells empty; its
// number is then its index + 1 as the model gave it, so rows appended at the same time
// by other threads (a folder scan, the m3u8 dialog) cannot share a number. Any thread.
RowRef append_numbered_list_row(const ControlRef& list, const std::string& source);
// The same for several sources in one step, numbered in their order; the last row's
// index and id.
RowRef append_numbered_list_rows(const ControlRef& list, std::vector<std::string> sources);
