#pragma once
// The Qt item model behind a report-style list: a mirror of one list view of the
// control model, for ReportListWidget.
//
// The control model stays the source of truth. This model keeps only the ids of the
// rows, in the control model's order, as of the last sync on the GUI thread; the cells
// and check boxes of the rows a view paints are read from the control model by id when
// Qt asks for them (a row deleted meanwhile shows empty cells until the next sync).
// A sync tells Qt what changed in blocks: rows appended at the end, runs of rows
// deleted or inserted, one row moved; anything else resets the model.

#include <QAbstractTableModel>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gui/gui_model.h"

class ReportListModel final : public QAbstractTableModel {
 public:
  ReportListModel(GuiModel& model, ControlRef list, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // A check box toggled in the view: handed to `on_user_check` (the control model
  // then holds the new state, which the view reads back).
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // The user toggled the check box of a row (its index in the mirror).
  std::function<void(int row, bool checked)> on_user_check;

  void set_columns(const QStringList& titles);
  const QStringList& column_titles() const { return titles_; }
  void set_check_boxes(bool on);
  bool check_boxes() const { return check_boxes_; }

  enum class Sync {
    unchanged,
    appended,  // rows only came at the end: the view's selection and scroll position stand
    changed,   // rows were deleted, inserted or moved in blocks
    reset,     // anything else: the view has lost its selection and scroll position
  };
  // Brings the mirrored ids up to date with the control model.
  Sync sync();
  // The control model's rows version the mirror stands at (GuiModel::row_ids_since).
  std::uint64_t version() const { return version_; }

  RowId id_at(int row) const;
  // The row with this id in the mirror, -1 when it has none.
  int row_of(RowId id) const;

 private:
  GuiModel& model_;
  ControlRef list_;
  std::vector<RowId> ids_;
  std::uint64_t version_ = 0;
  QStringList titles_;
  bool check_boxes_ = false;
};
