// The control model's list views: columns, rows found by their stable ids through an
// index, cells, checks and the selection, scrolling and hit tests.

#include "platform/gui/gui_model_internal.h"

using namespace gui_model_internal;

// ---------------------------------------------------------------- the rows' book

int gui_model_internal::Window::find_row(const ControlState& list, RowId id) const {
  if (id == 0) return -1;
  RowBook& book = row_books[list.role];
  if (!book.indexed) {
    book.by_id.clear();
    book.by_id.reserve(list.rows.size());
    bool ascending = true;
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
      if (!book.by_id.empty() && book.by_id.back().first > list.rows[i].id) ascending = false;
      book.by_id.emplace_back(list.rows[i].id, static_cast<int>(i));
    }
    if (!ascending) std::sort(book.by_id.begin(), book.by_id.end());
    book.indexed = true;
  }
  const auto it = std::lower_bound(book.by_id.begin(), book.by_id.end(), std::pair<RowId, int>(id, -1));
  return it != book.by_id.end() && it->first == id ? it->second : -1;
}

void gui_model_internal::Window::rows_appended(const ControlState& list, std::size_t count) {
  RowBook& book = row_books[list.role];
  if (!book.indexed || count == 0) return;
  const std::size_t first = list.rows.size() - count;
  // New rows have larger ids than every row before them, so the index stays sorted.
  if (!book.by_id.empty() && book.by_id.back().first >= list.rows[first].id) {
    book.indexed = false;
    return;
  }
  for (std::size_t i = first; i < list.rows.size(); ++i) book.by_id.emplace_back(list.rows[i].id, static_cast<int>(i));
}

void gui_model_internal::Window::rows_rearranged(const ControlState& list) {
  RowBook& book = row_books[list.role];
  book.indexed = false;
  book.by_id.clear();
  if (list.rows.empty()) book.by_id.shrink_to_fit();
  ++book.version;
}

std::uint64_t gui_model_internal::Window::rows_version(const ControlState& list) const {
  const auto it = row_books.find(list.role);
  return it == row_books.end() ? 0 : it->second.version;
}

void GuiModel::Impl::select_rows_locked(ControlState& list, const std::vector<int>& rows, Batch& batch) {
  std::vector<char> wanted(list.rows.size(), 0);
  int lowest = -1;
  for (int r : rows) {
    if (!valid_row(list, r)) continue;
    wanted[static_cast<std::size_t>(r)] = 1;
    if (lowest < 0 || r < lowest) lowest = r;
  }
  if (!list.multi_select && lowest >= 0) {
    std::fill(wanted.begin(), wanted.end(), 0);
    wanted[static_cast<std::size_t>(lowest)] = 1;
  }
  bool any = false;
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    const bool s = wanted[i] != 0;
    if (list.rows[i].selected != s) {
      list.rows[i].selected = s;
      any = true;
    }
  }
  if (any) batch.add(list.role, ChangeKind::selection);
}

void GuiModel::Impl::set_row_selected_locked(ControlState& list, int row, bool selected, Batch& batch) {
  if (!valid_row(list, row)) return;
  if (selected && !list.multi_select) {
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
      if (static_cast<int>(i) != row && list.rows[i].selected) {
        list.rows[i].selected = false;
        batch.add(list.role, ChangeKind::row_state, list.rows[i].id);
      }
    }
  }
  ListRow& r = list.rows[static_cast<std::size_t>(row)];
  if (r.selected != selected) {
    r.selected = selected;
    batch.add(list.role, ChangeKind::row_state, r.id);
  }
}

// ---------------------------------------------------------------- list views

void GuiModel::set_columns(const ControlRef& list, std::vector<ListColumn> columns) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) {
    c.columns = std::move(columns);
    for (ListRow& row : c.rows) fit_cells(row.cells, c.columns.size());
    b.add(c.role, ChangeKind::columns);
    b.add(c.role, ChangeKind::rows);
  });
}

std::vector<ListColumn> GuiModel::columns(const ControlRef& list) const {
  return impl_->read_control(list, std::vector<ListColumn>{}, [](const Window&, const ControlState& c) { return c.columns; });
}

int GuiModel::column_count(const ControlRef& list) const {
  return impl_->read_control(list, 0, [](const Window&, const ControlState& c) { return static_cast<int>(c.columns.size()); });
}

int GuiModel::row_count(const ControlRef& list) const {
  return impl_->read_control(list, 0, [](const Window&, const ControlState& c) { return count_rows(c); });
}

RowRef GuiModel::append_row(const ControlRef& list, std::vector<std::string> cells) {
  return insert_row(list, -1, std::move(cells));
}

namespace {

// Room for `more` rows, growing as push_back would (never one row at a time).
void make_room_for_rows(ControlState& list, std::size_t more) {
  const std::size_t needed = list.rows.size() + more;
  if (needed > list.rows.capacity()) list.rows.reserve(std::max(needed, 2 * list.rows.capacity()));
}

// Writes the number a row appended to `list` gets (the row count once it is in) into
// its cell `number_column`.
void write_row_number(const ControlState& list, int number_column, ListRow& row) {
  if (number_column >= 0 && number_column < static_cast<int>(row.cells.size())) {
    row.cells[static_cast<std::size_t>(number_column)] = std::to_string(list.rows.size() + 1);
  }
}

}  // namespace

RowRef GuiModel::append_numbered_row(const ControlRef& list, int number_column, std::vector<std::string> cells) {
  std::vector<std::vector<std::string>> rows(1);
  rows.front() = std::move(cells);
  return append_numbered_rows(list, number_column, std::move(rows));
}

RowRef GuiModel::append_numbered_rows(const ControlRef& list, int number_column,
                                      std::vector<std::vector<std::string>> rows) {
  RowRef result;
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    if (c.kind != ControlKind::list_view || rows.empty()) return;
    make_room_for_rows(c, rows.size());
    for (std::vector<std::string>& cells : rows) {
      ListRow row;
      row.id = impl_->next_row++;
      row.cells = std::move(cells);
      fit_cells(row.cells, c.columns.size());
      write_row_number(c, number_column, row);
      c.rows.push_back(std::move(row));
    }
    w.rows_appended(c, rows.size());
    result = RowRef{count_rows(c) - 1, c.rows.back().id};
    b.add(c.role, ChangeKind::rows);
  });
  return result;
}

RowRef GuiModel::append_numbered_rows(const ControlRef& list, int number_column, int text_column,
                                      std::vector<std::string> texts) {
  RowRef result;
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    if (c.kind != ControlKind::list_view || texts.empty() || text_column < 0) return;
    make_room_for_rows(c, texts.size());
    // Each row's cells are made once at their final size (a list without columns gets
    // cells up to the last one written), and each text is moved into its cell.
    const std::size_t cells =
        !c.columns.empty() ? c.columns.size() : static_cast<std::size_t>(std::max(number_column, text_column) + 1);
    for (std::string& text : texts) {
      ListRow row;
      row.id = impl_->next_row++;
      row.cells.resize(cells);
      if (static_cast<std::size_t>(text_column) < cells) row.cells[static_cast<std::size_t>(text_column)] = std::move(text);
      write_row_number(c, number_column, row);
      c.rows.push_back(std::move(row));
    }
    w.rows_appended(c, texts.size());
    result = RowRef{count_rows(c) - 1, c.rows.back().id};
    b.add(c.role, ChangeKind::rows);
  });
  return result;
}

RowRef GuiModel::insert_row(const ControlRef& list, int index, std::vector<std::string> cells, bool checked) {
  RowRef result;
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    if (c.kind != ControlKind::list_view) return;
    if (index < 0 || index > count_rows(c)) index = count_rows(c);
    ListRow row;
    row.id = impl_->next_row++;
    row.cells = std::move(cells);
    row.checked = checked;
    fit_cells(row.cells, c.columns.size());
    const bool at_end = index == count_rows(c);
    c.rows.insert(c.rows.begin() + index, std::move(row));
    if (at_end) w.rows_appended(c, 1);
    else w.rows_rearranged(c);
    result = RowRef{index, c.rows[static_cast<std::size_t>(index)].id};
    b.add(c.role, ChangeKind::rows);
  });
  return result;
}

void GuiModel::delete_row(const ControlRef& list, int index) { delete_rows(list, {index}); }

namespace {

// Removes the rows marked in `doomed` (one flag per row) in one pass; false when none was.
bool erase_marked_rows(ControlState& c, const std::vector<char>& doomed) {
  std::size_t index = 0;
  const std::size_t before = c.rows.size();
  std::erase_if(c.rows, [&](const ListRow&) { return doomed[index++] != 0; });
  if (c.rows.size() == before) return false;
  c.top_row = std::min(c.top_row, std::max(0, count_rows(c) - 1));
  return true;
}

}  // namespace

void GuiModel::delete_rows(const ControlRef& list, const std::vector<int>& indexes) {
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    std::vector<char> doomed(c.rows.size(), 0);
    for (int i : indexes) {
      if (valid_row(c, i)) doomed[static_cast<std::size_t>(i)] = 1;
    }
    if (!erase_marked_rows(c, doomed)) return;
    w.rows_rearranged(c);
    b.add(c.role, ChangeKind::rows);
  });
}

void GuiModel::delete_rows_by_id(const ControlRef& list, const std::vector<RowId>& ids) {
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    std::vector<char> doomed(c.rows.size(), 0);
    for (const RowId id : ids) {
      if (const int row = w.find_row(c, id); row >= 0) doomed[static_cast<std::size_t>(row)] = 1;
    }
    if (!erase_marked_rows(c, doomed)) return;
    w.rows_rearranged(c);
    b.add(c.role, ChangeKind::rows);
  });
}

void GuiModel::clear_rows(const ControlRef& list) {
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    if (c.rows.empty()) return;
    c.rows.clear();
    c.rows.shrink_to_fit();
    c.top_row = 0;
    w.rows_rearranged(c);
    b.add(c.role, ChangeKind::rows);
  });
}

void GuiModel::move_row(const ControlRef& list, int from, int to) {
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    if (!valid_row(c, from)) return;
    const int last = count_rows(c) - 1;
    if (to < 0 || to > last) to = last;
    if (from == to) return;
    ListRow row = std::move(c.rows[static_cast<std::size_t>(from)]);
    c.rows.erase(c.rows.begin() + from);
    c.rows.insert(c.rows.begin() + to, std::move(row));
    w.rows_rearranged(c);
    b.add(c.role, ChangeKind::rows);
  });
}

std::string GuiModel::cell(const ControlRef& list, int row, int column) const {
  return impl_->read_control(list, std::string{}, [&](const Window&, const ControlState& c) {
    if (!valid_row(c, row) || column < 0) return std::string{};
    const auto& cells = c.rows[static_cast<std::size_t>(row)].cells;
    return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)] : std::string{};
  });
}

void GuiModel::set_cell(const ControlRef& list, int row, int column, const std::string& text) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) {
    if (!valid_row(c, row) || column < 0) return;
    ListRow& r = c.rows[static_cast<std::size_t>(row)];
    if (column >= static_cast<int>(r.cells.size())) return;
    if (r.cells[static_cast<std::size_t>(column)] == text) return;
    r.cells[static_cast<std::size_t>(column)] = text;
    b.add(c.role, ChangeKind::cell, r.id, column);
  });
}

std::vector<std::string> GuiModel::row_cells(const ControlRef& list, int row) const {
  return impl_->read_control(list, std::vector<std::string>{}, [&](const Window&, const ControlState& c) {
    return valid_row(c, row) ? c.rows[static_cast<std::size_t>(row)].cells : std::vector<std::string>{};
  });
}

std::vector<ListRow> GuiModel::list_rows(const ControlRef& list) const {
  return impl_->read_control(list, std::vector<ListRow>{}, [](const Window&, const ControlState& c) { return c.rows; });
}

std::vector<std::string> GuiModel::column_texts(const ControlRef& list, int column) const {
  return impl_->read_control(list, std::vector<std::string>{}, [&](const Window&, const ControlState& c) {
    std::vector<std::string> texts;
    texts.reserve(c.rows.size());
    for (const ListRow& row : c.rows) {
      texts.push_back(column >= 0 && column < static_cast<int>(row.cells.size())
                          ? row.cells[static_cast<std::size_t>(column)]
                          : std::string());
    }
    return texts;
  });
}

std::vector<RowId> GuiModel::row_ids(const ControlRef& list) const {
  return impl_->read_control(list, std::vector<RowId>{}, [](const Window&, const ControlState& c) {
    std::vector<RowId> ids;
    ids.reserve(c.rows.size());
    for (const ListRow& row : c.rows) ids.push_back(row.id);
    return ids;
  });
}

RowId GuiModel::row_id(const ControlRef& list, int row) const {
  return impl_->read_control(list, RowId{0}, [&](const Window&, const ControlState& c) {
    return valid_row(c, row) ? c.rows[static_cast<std::size_t>(row)].id : RowId{0};
  });
}

int GuiModel::row_index(const ControlRef& list, RowId id) const {
  return impl_->read_control(list, -1, [&](const Window& w, const ControlState& c) { return w.find_row(c, id); });
}

std::optional<ListRow> GuiModel::row_by_id(const ControlRef& list, RowId id) const {
  return impl_->read_control(list, std::optional<ListRow>{}, [&](const Window& w, const ControlState& c) {
    const int row = w.find_row(c, id);
    return row < 0 ? std::optional<ListRow>{} : std::optional<ListRow>{c.rows[static_cast<std::size_t>(row)]};
  });
}

std::string GuiModel::cell_by_id(const ControlRef& list, RowId id, int column) const {
  return impl_->read_control(list, std::string{}, [&](const Window& w, const ControlState& c) {
    const int row = w.find_row(c, id);
    if (row < 0 || column < 0) return std::string{};
    const auto& cells = c.rows[static_cast<std::size_t>(row)].cells;
    return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)] : std::string{};
  });
}

void GuiModel::set_cell_by_id(const ControlRef& list, RowId id, int column, const std::string& text) {
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    const int row = w.find_row(c, id);
    if (row < 0 || column < 0) return;
    ListRow& r = c.rows[static_cast<std::size_t>(row)];
    if (column >= static_cast<int>(r.cells.size()) || r.cells[static_cast<std::size_t>(column)] == text) return;
    r.cells[static_cast<std::size_t>(column)] = text;
    b.add(c.role, ChangeKind::cell, r.id, column);
  });
}

void GuiModel::set_row_checked(const ControlRef& list, int row, bool checked) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) {
    if (!valid_row(c, row)) return;
    ListRow& r = c.rows[static_cast<std::size_t>(row)];
    if (r.checked == checked) return;
    r.checked = checked;
    b.add(c.role, ChangeKind::row_state, r.id);
  });
}

bool GuiModel::row_checked(const ControlRef& list, int row) const {
  return impl_->read_control(list, false, [&](const Window&, const ControlState& c) {
    return valid_row(c, row) && c.rows[static_cast<std::size_t>(row)].checked;
  });
}

void GuiModel::set_row_selected(const ControlRef& list, int row, bool selected) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) { impl_->set_row_selected_locked(c, row, selected, b); });
}

bool GuiModel::row_selected(const ControlRef& list, int row) const {
  return impl_->read_control(list, false, [&](const Window&, const ControlState& c) {
    return valid_row(c, row) && c.rows[static_cast<std::size_t>(row)].selected;
  });
}

void GuiModel::select_all_rows(const ControlRef& list) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) {
    std::vector<int> all(c.rows.size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    impl_->select_rows_locked(c, all, b);
  });
}

void GuiModel::invert_row_selection(const ControlRef& list) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) {
    std::vector<int> inverted;
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
      if (!c.rows[i].selected) inverted.push_back(static_cast<int>(i));
    }
    impl_->select_rows_locked(c, inverted, b);
  });
}

void GuiModel::clear_row_selection(const ControlRef& list) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) { impl_->select_rows_locked(c, {}, b); });
}

std::vector<int> GuiModel::selected_rows(const ControlRef& list) const {
  return impl_->read_control(list, std::vector<int>{}, [](const Window&, const ControlState& c) {
    std::vector<int> rows;
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
      if (c.rows[i].selected) rows.push_back(static_cast<int>(i));
    }
    return rows;
  });
}

std::vector<RowId> GuiModel::selected_row_ids(const ControlRef& list) const {
  return impl_->read_control(list, std::vector<RowId>{}, [](const Window&, const ControlState& c) {
    std::vector<RowId> ids;
    for (const ListRow& row : c.rows) {
      if (row.selected) ids.push_back(row.id);
    }
    return ids;
  });
}

ListRowIds GuiModel::row_ids_since(const ControlRef& list, std::uint64_t version, int count) const {
  return impl_->read_control(list, ListRowIds{}, [&](const Window& w, const ControlState& c) {
    ListRowIds result;
    result.version = w.rows_version(c);
    result.first = result.version == version && count >= 0 && count <= count_rows(c) ? count : 0;
    result.ids.reserve(c.rows.size() - static_cast<std::size_t>(result.first));
    for (std::size_t i = static_cast<std::size_t>(result.first); i < c.rows.size(); ++i) result.ids.push_back(c.rows[i].id);
    return result;
  });
}

ListSelection GuiModel::list_selection(const ControlRef& list) const {
  return impl_->read_control(list, ListSelection{}, [](const Window& w, const ControlState& c) {
    ListSelection result;
    result.version = w.rows_version(c);
    result.count = count_rows(c);
    for (int i = 0; i < result.count; ++i) {
      if (!c.rows[static_cast<std::size_t>(i)].selected) continue;
      if (!result.ranges.empty() && result.ranges.back().second == i - 1) result.ranges.back().second = i;
      else result.ranges.emplace_back(i, i);
    }
    return result;
  });
}

int GuiModel::first_selected_row(const ControlRef& list) const {
  return impl_->read_control(list, -1, [](const Window&, const ControlState& c) {
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
      if (c.rows[i].selected) return static_cast<int>(i);
    }
    return -1;
  });
}

void GuiModel::scroll_to_row(const ControlRef& list, int row) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) {
    if (!valid_row(c, row)) return;
    const int visible_rows = std::max(1, (c.geometry.height - list_header_height) / list_row_height);
    int top = c.top_row;
    if (row < top) top = row;
    else if (row >= top + visible_rows) top = row - visible_rows + 1;
    if (top != c.top_row) c.top_row = top;
    // Told also when top_row stays: the view then makes sure the row shows.
    b.add(c.role, ChangeKind::scroll, c.rows[static_cast<std::size_t>(row)].id);
  });
}

int GuiModel::hit_test_row(const ControlRef& list, int x, int y) const {
  GuiView* view;
  {
    std::lock_guard lock(impl_->mutex);
    view = impl_->view;
  }
  if (view) {
    if (std::optional<int> row = view->hit_test_row(list, x, y)) return *row;
  }
  return impl_->read_control(list, -1, [&](const Window&, const ControlState& c) {
    if (x < 0 || x >= c.geometry.width || y < list_header_height || y >= c.geometry.height) return -1;
    const int row = c.top_row + (y - list_header_height) / list_row_height;
    return valid_row(c, row) ? row : -1;
  });
}
