#pragma once
// A report-style list view: a header with column titles and widths, rows of cells,
// an optional check box in front of each row, single or multiple selection of whole
// rows. Header and rows have the heights the model lays out by
// (GuiModel::list_header_height and list_row_height), so positions agree.
//
// A Qt item view over one list of the control model (ReportListModel): the widget
// holds no copy of the rows, only their ids, and paints the cells it shows by reading
// them from the control model, so a list of a hundred thousand rows costs the view a
// few bytes a row and an action on it a few Qt calls: rows enter and leave in blocks,
// and a selection is handed to Qt as ranges in one call. Everything here runs on the
// GUI thread; the control model stays the source of truth.
//
// Dragging with the left button from a row does not extend the selection (the
// program builds its own row drags from the mouse events); dragging from the empty
// space below the rows still selects a range.

#include <QTreeView>

#include <functional>
#include <vector>

#include "platform/gui/gui_model.h"

class ReportListModel;

class ReportListWidget final : public QTreeView {
 public:
  ReportListWidget(GuiModel& model, ControlRef list, QWidget* parent = nullptr);

  void set_columns(const std::vector<ListColumn>& columns);
  void set_check_boxes(bool on);
  bool check_boxes() const;
  void set_multi_select(bool on);

  // Brings the rows up to date with the control model, and the selection too when
  // rows other than appended ones changed.
  void sync_rows();
  // Makes the selection the control model's (rows synced first when they differ).
  void sync_selection();
  // Shows the cells and checks as the control model holds them now.
  void refresh_cells();
  // Scrolls so that `row` is the first visible row.
  void scroll_to_top_row(int row);
  // Scrolls as little as needed to show the row with this id.
  void scroll_to_row_id(RowId id);

  // What the user did: the selection changed (selected_row_indexes tells which rows
  // it holds) / a row's check box was toggled. The first also comes for the program's
  // own selections; the view ignores those.
  std::function<void()> on_selection_changed;
  std::function<void(int row, bool checked)> on_user_check;

  // What the widget shows.
  int row_count() const;
  int column_count() const;
  QString header_text(int column) const;
  int column_width(int column) const { return columnWidth(column); }
  QString cell_text(int row, int column) const;
  Qt::CheckState check_state(int row) const;
  RowId row_id_at(int row) const;
  // Ascending indexes of the selected rows.
  std::vector<int> selected_row_indexes() const;
  // The row under a point relative to this widget (not its viewport); -1 for none.
  int row_at(QPoint point) const;
  // Where the row lies in the viewport (empty when it is not laid out).
  QRect row_rect(int row) const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  // The selected rows as sorted runs (first, last) that neither touch nor overlap.
  std::vector<std::pair<int, int>> selected_runs() const;
  void select_runs(const std::vector<std::pair<int, int>>& runs);

  GuiModel& model_;
  ControlRef list_;
  ReportListModel* rows_;
  bool press_on_row_ = false;
};
