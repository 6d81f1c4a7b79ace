#include "platform/qt/report_list_widget.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <unordered_set>

#include "platform/gui/gui_model.h"
#include "platform/qt/qt_conversions.h"

namespace {

constexpr int row_id_role = Qt::UserRole + 1;

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

}  // namespace

ReportListWidget::ReportListWidget(QWidget* parent) : QTreeWidget(parent) {
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
  header()->setFixedHeight(GuiModel::list_header_height);
  header()->setStretchLastSection(false);
  header()->setSectionsMovable(false);
  setColumnCount(0);
}

void ReportListWidget::set_columns(const std::vector<ListColumn>& columns) {
  QStringList titles;
  for (const ListColumn& column : columns) titles << to_qstring(column.title);
  if (columnCount() != static_cast<int>(columns.size())) setColumnCount(static_cast<int>(columns.size()));
  setHeaderLabels(titles);
  for (int c = 0; c < static_cast<int>(columns.size()); ++c) setColumnWidth(c, columns[c].width);
}

void ReportListWidget::set_check_boxes(bool on) {
  if (on == check_boxes_) return;
  check_boxes_ = on;
  for (int i = 0; i < topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = topLevelItem(i);
    if (on) {
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(0, Qt::Unchecked);
    } else {
      item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
      item->setData(0, Qt::CheckStateRole, QVariant());
    }
  }
}

void ReportListWidget::set_multi_select(bool on) {
  const auto mode = on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
  if (selectionMode() != mode) setSelectionMode(mode);
}

void ReportListWidget::set_item_check(QTreeWidgetItem* item, bool checked) {
  if (!check_boxes_) return;
  const Qt::CheckState state = checked ? Qt::Checked : Qt::Unchecked;
  if (item->data(0, Qt::CheckStateRole).isNull() || item->checkState(0) != state) item->setCheckState(0, state);
}

void ReportListWidget::fill_item(QTreeWidgetItem* item, const ListRow& row) {
  for (int c = 0; c < static_cast<int>(row.cells.size()); ++c) {
    const QString text = to_widget_text(row.cells[c]);
    if (item->text(c) != text) item->setText(c, text);
  }
  set_item_check(item, row.checked);
  if (item->isSelected() != row.selected) item->setSelected(row.selected);
}

QTreeWidgetItem* ReportListWidget::make_item(const ListRow& row) {
  auto* item = new QTreeWidgetItem();
  item->setData(0, row_id_role, QVariant::fromValue<qulonglong>(row.id));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | (check_boxes_ ? Qt::ItemIsUserCheckable : Qt::NoItemFlags));
  items_[row.id] = item;
  return item;
}

RowId ReportListWidget::row_id_of(const QTreeWidgetItem* item) const {
  return item ? static_cast<RowId>(item->data(0, row_id_role).toULongLong()) : 0;
}

void ReportListWidget::sync_rows(const std::vector<ListRow>& rows) {
  std::unordered_set<RowId> wanted;
  wanted.reserve(rows.size());
  for (const ListRow& row : rows) wanted.insert(row.id);

  // Rows that are gone.
  for (int i = topLevelItemCount() - 1; i >= 0; --i) {
    const RowId id = row_id_of(topLevelItem(i));
    if (!wanted.count(id)) {
      items_.erase(id);
      delete takeTopLevelItem(i);
    }
  }
  // Do the remaining rows keep their order? Then new rows are only inserted.
  bool same_order = true;
  int position = 0;
  for (const ListRow& row : rows) {
    const auto it = items_.find(row.id);
    if (it == items_.end()) continue;
    if (topLevelItem(position) != it->second) {
      same_order = false;
      break;
    }
    ++position;
  }
  if (same_order) {
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
      if (!items_.count(rows[i].id)) insertTopLevelItem(i, make_item(rows[i]));
    }
  } else {
    // Rows were moved: take the items out and put them back in the model's order.
    const int scroll = verticalScrollBar()->value();
    invisibleRootItem()->takeChildren();  // every one of them is still in items_
    QList<QTreeWidgetItem*> ordered;
    ordered.reserve(static_cast<qsizetype>(rows.size()));
    for (const ListRow& row : rows) {
      const auto it = items_.find(row.id);
      ordered.append(it != items_.end() ? it->second : make_item(row));
    }
    addTopLevelItems(ordered);
    verticalScrollBar()->setValue(scroll);
  }
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) fill_item(topLevelItem(i), rows[i]);
}

void ReportListWidget::set_cell(RowId id, int column, const QString& text) {
  const auto it = items_.find(id);
  if (it == items_.end() || column < 0 || column >= columnCount()) return;
  if (it->second->text(column) != text) it->second->setText(column, text);
}

void ReportListWidget::set_row_state(RowId id, bool checked, bool selected) {
  const auto it = items_.find(id);
  if (it == items_.end()) return;
  set_item_check(it->second, checked);
  if (it->second->isSelected() != selected) it->second->setSelected(selected);
}

void ReportListWidget::set_selected_rows(const std::vector<int>& rows) {
  std::unordered_set<int> selected(rows.begin(), rows.end());
  for (int i = 0; i < topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = topLevelItem(i);
    const bool want = selected.count(i) > 0;
    if (item->isSelected() != want) item->setSelected(want);
  }
}

void ReportListWidget::scroll_to_top_row(int row) {
  if (row < 0 || row >= topLevelItemCount()) return;
  scrollToItem(topLevelItem(row), QAbstractItemView::PositionAtTop);
}

void ReportListWidget::scroll_to_row_id(RowId id) {
  const auto it = items_.find(id);
  if (it != items_.end()) scrollToItem(it->second, QAbstractItemView::EnsureVisible);
}

std::vector<int> ReportListWidget::selected_row_indexes() const {
  std::vector<int> rows;
  for (int i = 0; i < topLevelItemCount(); ++i) {
    if (topLevelItem(i)->isSelected()) rows.push_back(i);
  }
  return rows;
}

int ReportListWidget::row_at(QPoint point) const {
  const QPoint in_viewport = viewport()->mapFrom(this, point);
  if (!viewport()->rect().contains(in_viewport)) return -1;
  const QModelIndex index = indexAt(in_viewport);
  return index.isValid() ? index.row() : -1;
}

void ReportListWidget::mousePressEvent(QMouseEvent* event) {
  press_on_row_ = indexAt(event->position().toPoint()).isValid();
  QTreeWidget::mousePressEvent(event);
}

void ReportListWidget::mouseMoveEvent(QMouseEvent* event) {
  // A drag that starts on a row leaves the selection as the press made it.
  if ((event->buttons() & Qt::LeftButton) && press_on_row_) {
    event->accept();
    return;
  }
  QTreeWidget::mouseMoveEvent(event);
}
