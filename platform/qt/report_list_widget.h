#pragma once
// A report-style list view: a header with column titles and widths, rows of cells,
// an optional check box in front of each row, single or multiple selection of whole
// rows. Header and rows have the heights the model lays out by
// (GuiModel::list_header_height and list_row_height), so positions agree.
//
// Every item carries its row's id (RowId); the widget keeps the rows in the model's
// order and reuses items by id, so appending, deleting and editing cells touch only
// the rows involved.
//
// Dragging with the left button from a row does not extend the selection (the
// program builds its own row drags from the mouse events); dragging from the empty
// space below the rows still selects a range.

#include <QTreeWidget>

#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/gui/gui_types.h"

class ReportListWidget final : public QTreeWidget {
 public:
  explicit ReportListWidget(QWidget* parent = nullptr);

  void set_columns(const std::vector<ListColumn>& columns);
  void set_check_boxes(bool on);
  bool check_boxes() const { return check_boxes_; }
  void set_multi_select(bool on);

  // Makes the items the model's rows (ids, order, cells, check and selection state).
  void sync_rows(const std::vector<ListRow>& rows);
  // One cell / one row's check and selection state of the row with this id.
  void set_cell(RowId id, int column, const QString& text);
  void set_row_state(RowId id, bool checked, bool selected);
  // Selection of every row at once (ascending indexes).
  void set_selected_rows(const std::vector<int>& rows);
  // Scrolls so that `row` is the first visible row.
  void scroll_to_top_row(int row);
  // Scrolls as little as needed to show the row with this id.
  void scroll_to_row_id(RowId id);

  RowId row_id_of(const QTreeWidgetItem* item) const;
  // Ascending indexes of the selected rows.
  std::vector<int> selected_row_indexes() const;
  // The row under a point relative to this widget (not its viewport); -1 for none.
  int row_at(QPoint point) const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QTreeWidgetItem* make_item(const ListRow& row);
  void fill_item(QTreeWidgetItem* item, const ListRow& row);
  void set_item_check(QTreeWidgetItem* item, bool checked);

  std::unordered_map<RowId, QTreeWidgetItem*> items_;
  bool check_boxes_ = false;
  bool press_on_row_ = false;
};
