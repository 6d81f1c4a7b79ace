#include "platform/qt/report_list_model.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/qt/qt_conversions.h"

namespace {

// More runs than this in one change and the model is reset instead: Qt handles each
// run on its own.
constexpr std::size_t most_runs = 64;

using Runs = std::vector<std::pair<int, int>>;  // first and last index, ascending

// The runs of rows of `longer` that are missing from `shorter`, when `shorter` is
// `longer` with rows left out (ids are unique, so the first match is the match);
// nothing when it is not, or the runs are too many.
std::optional<Runs> missing_runs(const std::vector<RowId>& longer, const std::vector<RowId>& shorter) {
  Runs runs;
  std::size_t j = 0;
  for (std::size_t i = 0; i < longer.size(); ++i) {
    if (j < shorter.size() && longer[i] == shorter[j]) {
      ++j;
      continue;
    }
    const int row = static_cast<int>(i);
    if (!runs.empty() && runs.back().second == row - 1) {
      runs.back().second = row;
    } else {
      if (runs.size() == most_runs) return std::nullopt;
      runs.emplace_back(row, row);
    }
  }
  if (j != shorter.size()) return std::nullopt;
  return runs;
}

}  // namespace

ReportListModel::ReportListModel(GuiModel& model, ControlRef list, QObject* parent)
    : QAbstractTableModel(parent), model_(model), list_(std::move(list)) {}

int ReportListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ids_.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(ids_.size())) return {};
  const RowId id = ids_[static_cast<std::size_t>(index.row())];
  if (role == Qt::DisplayRole) return to_widget_text(model_.cell_by_id(list_, id, index.column()));
  if (role == Qt::CheckStateRole && check_boxes_ && index.column() == 0) {
    const std::optional<ListRow> row = model_.row_by_id(list_, id);
    return row && row->checked ? Qt::Checked : Qt::Unchecked;
  }
  return {};
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= titles_.size()) return {};
  return titles_[section];
}

Qt::ItemFlags ReportListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (check_boxes_ && index.column() == 0) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

bool ReportListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !check_boxes_ || index.column() != 0 || !index.isValid()) return false;
  const bool checked = value.toInt() == Qt::Checked;
  if (on_user_check) on_user_check(index.row(), checked);
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

void ReportListModel::set_columns(const QStringList& titles) {
  if (titles == titles_) return;
  if (titles.size() != titles_.size()) {
    beginResetModel();
    titles_ = titles;
    endResetModel();
    return;
  }
  titles_ = titles;
  emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(titles_.size()) - 1);
}

void ReportListModel::set_check_boxes(bool on) {
  if (on == check_boxes_) return;
  check_boxes_ = on;
  if (!ids_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, 0));
}

ReportListModel::Sync ReportListModel::sync() {
  ListRowIds update = model_.row_ids_since(list_, version_, static_cast<int>(ids_.size()));
  const QModelIndex root;
  if (update.version == version_ && update.first == static_cast<int>(ids_.size())) {
    if (update.ids.empty()) return Sync::unchanged;
    const int first = static_cast<int>(ids_.size());
    beginInsertRows(root, first, first + static_cast<int>(update.ids.size()) - 1);
    ids_.insert(ids_.end(), update.ids.begin(), update.ids.end());
    endInsertRows();
    return Sync::appended;
  }

  version_ = update.version;
  std::vector<RowId>& wanted = update.ids;
  if (wanted == ids_) return Sync::unchanged;
  if (wanted.size() < ids_.size()) {
    if (const std::optional<Runs> gone = missing_runs(ids_, wanted)) {
      for (auto run = gone->rbegin(); run != gone->rend(); ++run) {
        beginRemoveRows(root, run->first, run->second);
        ids_.erase(ids_.begin() + run->first, ids_.begin() + run->second + 1);
        endRemoveRows();
      }
      return Sync::changed;
    }
  } else if (wanted.size() > ids_.size()) {
    if (const std::optional<Runs> added = missing_runs(wanted, ids_)) {
      for (const auto& [first, last] : *added) {
        beginInsertRows(root, first, last);
        ids_.insert(ids_.begin() + first, wanted.begin() + first, wanted.begin() + last + 1);
        endInsertRows();
      }
      return Sync::changed;
    }
  } else {
    // One row moved: the first and the last place that differ hold it and its old place.
    const auto mismatch = std::mismatch(ids_.begin(), ids_.end(), wanted.begin());
    const int a = static_cast<int>(mismatch.first - ids_.begin());
    int b = static_cast<int>(ids_.size()) - 1;
    while (b > a && ids_[static_cast<std::size_t>(b)] == wanted[static_cast<std::size_t>(b)]) --b;
    const auto old_at = [&](int i) { return ids_[static_cast<std::size_t>(i)]; };
    const auto new_at = [&](int i) { return wanted[static_cast<std::size_t>(i)]; };
    bool down = old_at(a) == new_at(b);
    bool up = old_at(b) == new_at(a);
    for (int i = a; i < b && (down || up); ++i) {
      down = down && old_at(i + 1) == new_at(i);
      up = up && old_at(i) == new_at(i + 1);
    }
    if (down && beginMoveRows(root, a, a, root, b + 1)) {
      std::rotate(ids_.begin() + a, ids_.begin() + a + 1, ids_.begin() + b + 1);
      endMoveRows();
      return Sync::changed;
    }
    if (up && beginMoveRows(root, b, b, root, a)) {
      std::rotate(ids_.begin() + a, ids_.begin() + b, ids_.begin() + b + 1);
      endMoveRows();
      return Sync::changed;
    }
  }
  beginResetModel();
  ids_ = std::move(wanted);
  endResetModel();
  return Sync::reset;
}

RowId ReportListModel::id_at(int row) const {
  return row >= 0 && row < static_cast<int>(ids_.size()) ? ids_[static_cast<std::size_t>(row)] : 0;
}

int ReportListModel::row_of(RowId id) const {
  // The control model knows where the row stands; the mirror is usually at the same state.
  const int row = model_.row_index(list_, id);
  if (id_at(row) == id && id != 0) return row;
  const auto it = std::find(ids_.begin(), ids_.end(), id);
  return it == ids_.end() || id == 0 ? -1 : static_cast<int>(it - ids_.begin());
}
