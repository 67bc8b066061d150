#include "courses/cursos_grid.h"

#include <QApplication>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <algorithm>

#include "app/messages.h"
#include "text/cp1252.h"

namespace courses {
namespace {

struct Column {
  const char* field;
  int displayWidth;  // characters
  const char* title;
  bool editable;
};
// CURSOST's other two fields (ABREV, TURNO) are not the user's business here.
constexpr Column kColumns[] = {
    {"CLAVE", 10, "CÓD.SÉNECA", false},
    {"ESTUD", 40, "ESTUDIOS", false},
    {"NIVEL", 5, "NIVEL", true},
    {"CURSO", 3, "CURSO", true},
};
constexpr int kColumnCount = 4;
constexpr int kPage = 10;  // records the page buttons move

QString Show(const std::string& cp1252) { return QString::fromStdString(text::Cp1252ToUtf8(cp1252)); }

std::string Store(const QString& typed) {
  return text::Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(typed.utf16()),
                                                 static_cast<std::size_t>(typed.size())));
}

bool IsEnter(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

// ---------------------------------------------------------------------------
// CursosTModel

CursosTModel::CursosTModel(tables::TTable& wwTableCursosT, QObject* parent)
    : QAbstractTableModel(parent), table_(wwTableCursosT) {}

CursosTModel::Row CursosTModel::ReadCurrent() {
  Row row;
  for (int c = 0; c < kColumnCount; ++c) row[c] = table_.FieldByName(kColumns[c].field).AsString();
  return row;
}

void CursosTModel::Reload() {
  beginResetModel();
  rows_.clear();
  for (table_.First(); !table_.Eof(); table_.Next()) rows_.push_back(ReadCurrent());
  current_ = -1;
  endResetModel();
  if (!rows_.empty()) {
    table_.First();
    current_ = 0;
  }
}

bool CursosTModel::Editing() const {
  const auto state = table_.State();
  return state == tables::TDataSetState::dsEdit || state == tables::TDataSetState::dsInsert;
}

void CursosTModel::PostPending() {
  if (table_.Active() && Editing()) table_.Post();
}

void CursosTModel::CancelPending() {
  if (!table_.Active() || !Editing()) return;
  const bool inserting = table_.State() == tables::TDataSetState::dsInsert;
  table_.Cancel();
  if (inserting && current_ >= 0 && current_ == static_cast<int>(rows_.size()) - 1 &&
      rows_.size() > table_.RecordCount()) {
    beginRemoveRows({}, current_, current_);
    rows_.pop_back();
    endRemoveRows();
    current_ = -1;
    return;
  }
  if (current_ >= 0 && current_ < static_cast<int>(rows_.size())) {
    rows_[current_] = ReadCurrent();
    emit dataChanged(index(current_, 0), index(current_, kColumnCount - 1));
  }
}

void CursosTModel::EnsureCurrent() {
  if (current_ >= 0) return;
  PostPending();
  table_.First();
  current_ = 0;
}

void CursosTModel::MoveTo(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || row == current_) return;
  PostPending();
  if (current_ < 0 || row < current_) {
    table_.First();
    current_ = 0;
  }
  while (current_ < row && !table_.Eof()) {
    table_.Next();
    ++current_;
  }
}

void CursosTModel::StartEditing() {
  if (!table_.Active() || Editing()) return;
  if (!rows_.empty()) EnsureCurrent();
  table_.Edit();
  if (rows_.empty() && table_.State() == tables::TDataSetState::dsInsert) {
    beginInsertRows({}, 0, 0);
    rows_.push_back(ReadCurrent());
    endInsertRows();
    current_ = 0;
  }
}

int CursosTModel::FieldWidth(int column) const {
  if (column < 0 || column >= kColumnCount) return 0;
  if (table_.Active()) {
    for (const tables::TFieldDef& def : table_.Fields())
      if (text::SameTextIgnoringCase(def.Name, kColumns[column].field) && def.Size > 0) return def.Size;
  }
  return kColumns[column].displayWidth;
}

int CursosTModel::DisplayWidth(int column) {
  return column >= 0 && column < kColumnCount ? kColumns[column].displayWidth : 0;
}

int CursosTModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CursosTModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant CursosTModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
  if (role == Qt::DisplayRole || role == Qt::EditRole) return Show(rows_[index.row()][index.column()]);
  return {};
}

QVariant CursosTModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromUtf8(kColumns[section].title);
  if (role == Qt::FontRole) {
    QFont bold;
    bold.setBold(true);
    return bold;
  }
  return {};
}

Qt::ItemFlags CursosTModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
  if (kColumns[index.column()].editable) f |= Qt::ItemIsEditable;
  return f;
}

bool CursosTModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || !(flags(index) & Qt::ItemIsEditable)) return false;
  bool stored = false;
  app::RunReportingErrors(QApplication::activeWindow(), [&] {
    MoveTo(index.row());
    EnsureCurrent();
    if (!Editing()) table_.Edit();
    tables::TField field = table_.FieldByName(kColumns[index.column()].field);
    field.SetAsString(Store(value.toString()));
    rows_[index.row()][index.column()] = field.AsString();  // as stored: cut to the width
    stored = true;
  });
  if (stored) emit dataChanged(index, index);
  return stored;
}

// ---------------------------------------------------------------------------
// CursosTDelegate

QWidget* CursosTDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  if (auto* line = qobject_cast<QLineEdit*>(editor)) {
    if (const auto* model = dynamic_cast<const CursosTModel*>(index.model()))
      line->setMaxLength(model->FieldWidth(index.column()));
  }
  return editor;
}

bool CursosTDelegate::eventFilter(QObject* object, QEvent* event) {
  if (IsEnter(event)) {
    if (auto* editor = qobject_cast<QWidget*>(object)) {
      emit commitData(editor);
      emit closeEditor(editor, QAbstractItemDelegate::EditNextItem);
      return true;
    }
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

// ---------------------------------------------------------------------------
// CursosTDBGrid

CursosTDBGrid::CursosTDBGrid(QWidget* parent) : QTableView(parent) {
  setItemDelegate(new CursosTDelegate(this));
  setAlternatingRowColors(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::AnyKeyPressed |
                  QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::SelectedClicked);
  setTabKeyNavigation(true);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  verticalHeader()->setFixedWidth(14);  // the record indicator's column
  horizontalHeader()->setDefaultAlignment(Qt::AlignCenter | Qt::Alignment(Qt::TextWordWrap));
  horizontalHeader()->setMinimumHeight(2 * fontMetrics().height() + 8);  // titles on two lines
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
}

void CursosTDBGrid::CommitOpenEditor() {
  QWidget* editor = indexWidget(currentIndex());
  if (!editor) return;
  emit itemDelegate()->commitData(editor);
  emit itemDelegate()->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

QModelIndex CursosTDBGrid::NextCell(const QModelIndex& from) const {
  if (!model() || !from.isValid()) return {};
  if (from.column() + 1 < model()->columnCount()) return model()->index(from.row(), from.column() + 1);
  if (from.row() + 1 < model()->rowCount()) return model()->index(from.row() + 1, 0);
  return {};
}

void CursosTDBGrid::keyPressEvent(QKeyEvent* event) {
  // Enter acts as Tab here, and must not reach the dialog's default button.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    const QModelIndex next = NextCell(currentIndex());
    if (next.isValid()) setCurrentIndex(next);
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

// ---------------------------------------------------------------------------
// TwwDBNavigator

TwwDBNavigator::TwwDBNavigator(QWidget* parent, CursosTDBGrid* grid, CursosTModel* model)
    : QWidget(parent), grid_(grid), model_(model) {
  struct Spec {
    const char* name;
    QStyle::StandardPixmap icon;
    const char* hint;
  };
  static constexpr Spec kSpecs[kButtons] = {
      {"nbFirst", QStyle::SP_MediaSkipBackward, "Move to first record"},
      {"nbPriorPage", QStyle::SP_MediaSeekBackward, "Move backward 10 records"},
      {"nbPrior", QStyle::SP_ArrowLeft, "Move to prior record"},
      {"nbNext", QStyle::SP_ArrowRight, "Move to next record"},
      {"nbNextPage", QStyle::SP_MediaSeekForward, "Move forward 10 records"},
      {"nbLast", QStyle::SP_MediaSkipForward, "Move to last record"},
      {"nbEdit", QStyle::SP_ArrowUp, "Edit current record"},
      {"nbPost", QStyle::SP_DialogApplyButton, "Post changes of current record"},
      {"nbCancel", QStyle::SP_DialogCancelButton, "Cancel changes made to current record"},
      {"nbRefresh", QStyle::SP_BrowserReload, "Refresh the contents of the dataset"},
  };
  for (int i = 0; i < kButtons; ++i) {
    auto* button = new QToolButton(this);
    button->setObjectName(QLatin1String(kSpecs[i].name));
    button->setIcon(style()->standardIcon(kSpecs[i].icon));
    button->setToolTip(QLatin1String(kSpecs[i].hint));
    button->setFocusPolicy(Qt::NoFocus);  // the grid keeps the focus, as with the original navigator
    connect(button, &QToolButton::clicked, this, [this, i] { Click(static_cast<Button>(i)); });
    buttons_[i] = button;
  }
}

void TwwDBNavigator::GoToRow(int row) {
  const int rows = model_->rowCount();
  if (rows == 0) return;
  row = std::clamp(row, 0, rows - 1);
  const int column = grid_->currentIndex().isValid() ? grid_->currentIndex().column() : 0;
  grid_->setCurrentIndex(model_->index(row, column));
}

void TwwDBNavigator::Click(Button which) {
  app::RunReportingErrors(window(), [&] {
    const int row = grid_->currentIndex().isValid() ? grid_->currentIndex().row() : 0;
    switch (which) {
      case nbFirst: GoToRow(0); break;
      case nbPriorPage: GoToRow(row - kPage); break;
      case nbPrior: GoToRow(row - 1); break;
      case nbNext: GoToRow(row + 1); break;
      case nbNextPage: GoToRow(row + kPage); break;
      case nbLast: GoToRow(model_->rowCount() - 1); break;
      case nbEdit: model_->StartEditing(); break;
      case nbPost:
        grid_->CommitOpenEditor();
        model_->PostPending();
        break;
      case nbCancel:
        grid_->CommitOpenEditor();
        model_->CancelPending();
        break;
      case nbRefresh:
        grid_->CommitOpenEditor();
        model_->PostPending();
        model_->Reload();
        GoToRow(row);
        break;
    }
  });
  UpdateButtons();
}

void TwwDBNavigator::UpdateButtons() {
  const int rows = model_->rowCount();
  const int row = grid_->currentIndex().isValid() ? grid_->currentIndex().row() : 0;
  const bool editing = model_->Editing();
  const bool canGoBack = rows > 0 && row > 0;
  const bool canGoOn = rows > 0 && row < rows - 1;
  buttons_[nbFirst]->setEnabled(canGoBack);
  buttons_[nbPriorPage]->setEnabled(canGoBack);
  buttons_[nbPrior]->setEnabled(canGoBack);
  buttons_[nbNext]->setEnabled(canGoOn);
  buttons_[nbNextPage]->setEnabled(canGoOn);
  buttons_[nbLast]->setEnabled(canGoOn);
  buttons_[nbEdit]->setEnabled(!editing);
  buttons_[nbPost]->setEnabled(editing);
  buttons_[nbCancel]->setEnabled(editing);
  buttons_[nbRefresh]->setEnabled(true);
}

}  // namespace courses
