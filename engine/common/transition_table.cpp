#include "engine/common/transition_table.h"

#include "engine/common/text_encoding.h"

namespace {

bool is_row(int row) { return row >= 1 && row <= transition_count; }

}  // namespace

std::string transition_name(int row) {
  return is_row(row) ? std::string(transition_rows[row - 1].name) : std::string();
}

std::string transition_label(int row) {
  return is_row(row) ? std::string(transition_rows[row - 1].label) : std::string();
}

std::vector<std::string> transition_names() {
  std::vector<std::string> names;
  for (const TransitionRow& row : transition_rows) names.emplace_back(row.name);
  return names;
}

std::vector<std::string> transition_labels() {
  std::vector<std::string> labels;
  for (const TransitionRow& row : transition_rows) labels.emplace_back(row.label);
  return labels;
}

std::string random_transition_name() { return transition_name(random_int_between(1, transition_count)); }

std::string transition_for_combo_index(int index) {
  return is_row(index) ? transition_name(index) : random_transition_name();
}

std::vector<std::string> transition_combo_items() {
  std::vector<std::string> items{random_transition_item};
  const std::vector<std::string> labels = transition_labels();
  items.insert(items.end(), labels.begin(), labels.end());
  return items;
}
