#include "engine/job_list_rows.h"

RowRef append_numbered_list_row(const ControlRef& list, const std::string& source) {
  const RowRef row = gui().append_row(list, {std::string(), source});
  if (row.id != 0) gui().set_cell_by_id(list, row.id, row_number_column, std::to_string(row.index + 1));
  return row;
}
