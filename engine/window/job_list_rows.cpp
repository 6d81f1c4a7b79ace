#include "engine/window/job_list_rows.h"

RowRef append_numbered_list_row(const ControlRef& list, const std::string& source) {
  return gui().append_numbered_row(list, row_number_column, {std::string(), source});
}

RowRef append_numbered_list_rows(const ControlRef& list, std::vector<std::string> sources) {
  return gui().append_numbered_rows(list, row_number_column, source_column, std::move(sources));
}
