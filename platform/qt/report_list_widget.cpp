#include "platform/qt/report_list_widget.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

#include "platform/qt/qt_conversions.h"
#include "platform/qt/report_list_model.h"

namespace {

// Rows of the model's fixed height.
class RowHeightDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(GuiModel::list_row_height);
    return size;
  }
};

// Tries a few times to read the selection at the state the mirror stands at; rows
// written meanwhile by other threads bring their own notice.
constexpr int selection_attempts = 3;

}  // namespace

ReportListWidget::ReportListWidget(GuiModel& model, ControlRef list, QWidget* parent)
    : QTreeView(parent), model_(model), list_(list), rows_(new ReportListModel(model, list_, this)) {
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setDragDropMode(QAbstractItemView::NoDragDrop);
  setTextElideMode(Qt::ElideRight);
  setItemDelegate(new RowHeightDelegate(this));
  setModel(rows_);
  header()->setFixedHeight(GuiModel::list_header_height);
  header()->setStretchLastSection(false);
  header()->setSectionsMovable(false);
  header()->setSectionResizeMode(QHeaderView::Interactive);
  rows_->on_user_check = [this](int row, bool checked) {
    if (on_user_check) on_user_check(row, checked);
  };
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (on_selection_changed) on_selection_changed();
  });
}

void ReportListWidget::set_columns(const std::vector<ListColumn>& columns) {
  QStringList titles;
  for (const ListColumn& column : columns) titles << to_qstring(column.title);
  const bool reset = titles.size() != rows_->column_titles().size();
  rows_->set_columns(titles);
  for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
    if (columnWidth(c) != columns[c].width) setColumnWidth(c, columns[c].width);
  }
  if (reset) sync_selection();
}

void ReportListWidget::set_check_boxes(bool on) { rows_->set_check_boxes(on); }

bool ReportListWidget::check_boxes() const { return rows_->check_boxes(); }

void ReportListWidget::set_multi_select(bool on) {
  const auto mode = on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
  if (selectionMode() != mode) setSelectionMode(mode);
}

void ReportListWidget::sync_rows() {
  const int scroll = verticalScrollBar()->value();
  switch (rows_->sync()) {
    case ReportListModel::Sync::unchanged:
    case ReportListModel::Sync::appended:
      return;
    case ReportListModel::Sync::reset:
      verticalScrollBar()->setValue(scroll);
      sync_selection();
      return;
    case ReportListModel::Sync::changed:
      sync_selection();
      return;
  }
}

void ReportListWidget::sync_selection() {
  for (int attempt = 0; attempt < selection_attempts; ++attempt) {
    const ListSelection selection = model_.list_selection(list_);
    if (selection.version == rows_->version() && selection.count == rows_->rowCount()) {
      if (selection.ranges != selected_runs()) select_runs(selection.ranges);
      return;
    }
    const int scroll = verticalScrollBar()->value();
    if (rows_->sync() == ReportListModel::Sync::reset) verticalScrollBar()->setValue(scroll);
  }
}

void ReportListWidget::refresh_cells() { viewport()->update(); }

std::vector<std::pair<int, int>> ReportListWidget::selected_runs() const {
  std::vector<std::pair<int, int>> runs;
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    if (range.isValid()) runs.emplace_back(range.top(), range.bottom());
  }
  std::sort(runs.begin(), runs.end());
  std::vector<std::pair<int, int>> merged;
  for (const auto& run : runs) {
    if (!merged.empty() && run.first <= merged.back().second + 1) {
      merged.back().second = std::max(merged.back().second, run.second);
    } else {
      merged.push_back(run);
    }
  }
  return merged;
}

void ReportListWidget::select_runs(const std::vector<std::pair<int, int>>& runs) {
  QItemSelection selection;
  for (const auto& [first, last] : runs) selection.select(rows_->index(first, 0), rows_->index(last, 0));
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ReportListWidget::scroll_to_top_row(int row) {
  if (row < 0 || row >= rows_->rowCount()) return;
  scrollTo(rows_->index(row, 0), QAbstractItemView::PositionAtTop);
}

void ReportListWidget::scroll_to_row_id(RowId id) {
  int row = rows_->row_of(id);
  if (row < 0) {
    // Written after the rows were last synced.
    sync_rows();
    row = rows_->row_of(id);
  }
  if (row >= 0) scrollTo(rows_->index(row, 0), QAbstractItemView::EnsureVisible);
}

int ReportListWidget::row_count() const { return rows_->rowCount(); }

int ReportListWidget::column_count() const { return rows_->columnCount(); }

QString ReportListWidget::header_text(int column) const {
  return rows_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

QString ReportListWidget::cell_text(int row, int column) const {
  return rows_->data(rows_->index(row, column), Qt::DisplayRole).toString();
}

Qt::CheckState ReportListWidget::check_state(int row) const {
  const QVariant state = rows_->data(rows_->index(row, 0), Qt::CheckStateRole);
  return state.isValid() ? static_cast<Qt::CheckState>(state.toInt()) : Qt::Unchecked;
}

RowId ReportListWidget::row_id_at(int row) const { return rows_->id_at(row); }

std::vector<int> ReportListWidget::selected_row_indexes() const {
  std::vector<int> rows;
  for (const auto& [first, last] : selected_runs()) {
    for (int row = first; row <= last; ++row) rows.push_back(row);
  }
  return rows;
}

int ReportListWidget::row_at(QPoint point) const {
  const QPoint in_viewport = viewport()->mapFrom(this, point);
  if (!viewport()->rect().contains(in_viewport)) return -1;
  const QModelIndex index = indexAt(in_viewport);
  return index.isValid() ? index.row() : -1;
}

QRect ReportListWidget::row_rect(int row) const { return visualRect(rows_->index(row, 0)); }

void ReportListWidget::mousePressEvent(QMouseEvent* event) {
  press_on_row_ = indexAt(event->position().toPoint()).isValid();
  QTreeView::mousePressEvent(event);
}

void ReportListWidget::mouseMoveEvent(QMouseEvent* event) {
  // A drag that starts on a row leaves the selection as the press made it.
  if ((event->buttons() & Qt::LeftButton) && press_on_row_) {
    event->accept();
    return;
  }
  QTreeView::mouseMoveEvent(event);
}
