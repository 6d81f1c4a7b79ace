#include "engine/window/job_list_rows.h"

RowRef append_numbered_list_row(const ControlRef& list, const std::string& source) {
  return gui().append_numbered_row(list, row_number_column, {std::string(), source});
}

RowRef append_numbered_list_rows(const ControlRef& list, const std::vector<std::string>& sources) {
  std::vector<std::vector<std::string>> rows;
  rows.reserve(sources.size());
  for (const std::string& source : sources) rows.push_back({std::string(), source});
  return gui().append_numbered_rows(list, row_number_column, std::move(rows));
}
