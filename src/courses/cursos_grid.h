// The course grid of the assignment dialog, a data-aware grid over CURSOST:
// CursosTModel shows four fields of the dialog's table component and writes
// what the user types straight into the current record, the way a data-aware
// grid does (the record goes into edit on the first change and is posted when
// the grid moves to another row or is left). CursosTDBGrid is the view, where
// Enter acts as Tab; TwwDBNavigator the record navigator above it.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "tables/table.h"

namespace courses {

class CursosTModel : public QAbstractTableModel {
 public:
  explicit CursosTModel(tables::TTable& wwTableCursosT, QObject* parent = nullptr);

  // Reads every record of the (open) table again.
  void Reload();
  // Makes row `row` the table's current record, posting the one in progress.
  void MoveTo(int row);
  // The table's record moved under the grid (a check walked it): the next
  // MoveTo starts again from the first record.
  void ForgetPosition() { current_ = -1; }
  // Puts the current record into edit; on an empty table this starts a new
  // record, which then shows as a blank row.
  void StartEditing();
  void PostPending();    // posts the record in progress, if any
  void CancelPending();  // drops the changes to the record in progress
  bool Editing() const;
  int CurrentRow() const { return current_; }
  // The width of the field shown in `column`, in characters.
  int FieldWidth(int column) const;
  // The characters the grid makes room for in `column`.
  static int DisplayWidth(int column);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 private:
  using Row = std::array<std::string, 4>;  // Windows-1252, as stored
  Row ReadCurrent();
  void EnsureCurrent();

  tables::TTable& table_;
  std::vector<Row> rows_;
  int current_ = -1;  // the row the table's current record is, -1 when unknown
};

// Line editors cut to the field's width; Enter stores the value and moves on.
class CursosTDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;

 protected:
  bool eventFilter(QObject* editor, QEvent* event) override;
};

class CursosTDBGrid : public QTableView {
 public:
  explicit CursosTDBGrid(QWidget* parent);
  // Commits an editor still open into the model.
  void CommitOpenEditor();
  // The cell Enter (or Tab) leads to from `from`: the next column, then the
  // first column of the next row.
  QModelIndex NextCell(const QModelIndex& from) const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// The ten buttons of the record navigator, in order, with their hints. There
// is no insert and no delete: courses are edited, never added or removed.
class TwwDBNavigator : public QWidget {
 public:
  enum Button { nbFirst, nbPriorPage, nbPrior, nbNext, nbNextPage, nbLast, nbEdit, nbPost, nbCancel, nbRefresh };
  static constexpr int kButtons = 10;

  TwwDBNavigator(QWidget* parent, CursosTDBGrid* grid, CursosTModel* model);
  QToolButton* ButtonAt(Button which) const { return buttons_[which]; }
  // Enables the buttons that make sense at the grid's current row and state.
  void UpdateButtons();

 private:
  void Click(Button which);
  void GoToRow(int row);

  CursosTDBGrid* grid_;
  CursosTModel* model_;
  std::array<QToolButton*, kButtons> buttons_{};
};

}  // namespace courses
