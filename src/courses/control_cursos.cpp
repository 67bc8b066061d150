#include "courses/control_cursos.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QShortcut>
#include <QStyle>

#include "app/form_font.h"
#include "app/help.h"
#include "app/messages.h"
#include "app/program_state.h"
#include "courses/assignment_loop.h"
#include "tables/working_tables.h"

namespace courses {
namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect place, const QString& look) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(place);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setStyleSheet(look);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

}  // namespace

TControlCursos::TControlCursos(ProgramState& state, QString programFolder, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      state_(state),
      programFolder_(std::move(programFolder)) {
  setObjectName(QStringLiteral("ControlCursos"));
  tables::BindCursosT(wwTableCursosT, state_.WorkingFolder());
  model_ = new CursosTModel(wwTableCursosT, this);
  BuildControls();
  connect(qApp, &QApplication::focusChanged, this, &TControlCursos::OnFocusChanged);
}

// The focus moves while the widgets are being destroyed, when this is no
// longer a TControlCursos: the application's signal must not reach it then.
TControlCursos::~TControlCursos() { disconnect(qApp, nullptr, this, nullptr); }

void TControlCursos::BuildControls() {
  setWindowTitle(QStringLiteral("Asignación de Niveles y Cursos"));
  setFixedSize(672, 499);
  setFont(app::FormFont());

  Draw3D1 = new app::TDraw3D(this, QColor(0x008000), QColor(0xFFFFFF), QColor(0x008000));
  Draw3D1->setObjectName(QStringLiteral("Draw3D1"));
  Draw3D1->setGeometry(0, 0, 672, 499);

  Label1 = MakeLabel(Draw3D1, "Label1", QStringLiteral("ASIGNACIÓN DE NIVELES Y CURSOS"), QRect(86, 5, 320, 20),
                     QStringLiteral("color: #FFFFFF; font-size: 15px; text-decoration: underline;"));

  CursosTDBGrid = new courses::CursosTDBGrid(Draw3D1);
  CursosTDBGrid->setObjectName(QStringLiteral("CursosTDBGrid"));
  CursosTDBGrid->setGeometry(3, 56, 456, 433);
  CursosTDBGrid->setModel(model_);
  const int charWidth = CursosTDBGrid->fontMetrics().averageCharWidth();
  for (int c = 0; c < model_->columnCount(); ++c)
    CursosTDBGrid->setColumnWidth(c, std::max(CursosTModel::DisplayWidth(c) * charWidth + 8,
                                              CursosTDBGrid->horizontalHeader()->sectionSizeHint(c)));

  wwDBNavigator1 = new TwwDBNavigator(Draw3D1, CursosTDBGrid, model_);
  wwDBNavigator1->setObjectName(QStringLiteral("wwDBNavigator1"));
  wwDBNavigator1->setGeometry(105, 29, 275, 24);
  for (int i = 0; i < TwwDBNavigator::kButtons; ++i)
    wwDBNavigator1->ButtonAt(static_cast<TwwDBNavigator::Button>(i))->setGeometry(i * 27, 0, 27, 24);

  Label3 = MakeLabel(Draw3D1, "Label3", QStringLiteral("INCIDENCIAS EN EL TRASPASO"), QRect(468, 57, 190, 13),
                     QStringLiteral("color: #FF0000; background: #FFFFFF; text-decoration: underline;"));
  Label3->setAlignment(Qt::AlignCenter);
  Label2 = MakeLabel(Draw3D1, "Label2",
                     QStringLiteral("Se ha detectado que falta por indicar algún NIVEL  o CURSO. Complete el/los "
                                    "datos que falten, para poder concluir el proceso, antes de Salir."),
                     QRect(473, 76, 180, 65), QStringLiteral("color: #0000FF; background: #FFFBF0;"));
  Label4 = MakeLabel(Draw3D1, "Label4", QStringLiteral("¡ IMPORTANTE !"), QRect(471, 158, 98, 13),
                     QStringLiteral("color: #FF0000;"));
  Label5 = MakeLabel(Draw3D1, "Label5",
                     QStringLiteral("Las Abreviaturas de sus Grupos (Unidades), se formarán, en función del NIVEL "
                                    "y CURSO, del siguiente modo: "),
                     QRect(472, 172, 185, 52), QStringLiteral("color: #800000;"));
  Label6 = MakeLabel(Draw3D1, "Label6", QStringLiteral("Por ejemplo, NIVEL=ESO y CURSO=1 daría como resultado"),
                     QRect(472, 225, 140, 39), QStringLiteral("color: #0000FF;"));
  Label7 = MakeLabel(Draw3D1, "Label7",
                     QStringLiteral("Abreviatura del Grupo = ES1A y así secuencialmente para el resto de Grupos "
                                    "del mismo NIVEL y CURSO, ES1B, ES1C, ES1D, etc.."),
                     QRect(472, 266, 175, 65), QStringLiteral("color: #800080;"));
  Label8 = MakeLabel(Draw3D1, "Label8",
                     QStringLiteral("¡ Atención ! Si fuerza la Salida, los Datos recogidos serán INCOHERENTES."),
                     QRect(464, 440, 199, 39), QStringLiteral("color: #FF0000; background: #FFFF00;"));
  Label8->setAlignment(Qt::AlignCenter);

  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Aceptar"), Draw3D1);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setGeometry(528, 379, 75, 25);
  BitBtn1->setDefault(true);
  BitBtn2 = new QPushButton(QStringLiteral("Forzar Salida Sin Terminar Proceso "), Draw3D1);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn2->setGeometry(461, 414, 205, 24);
  QFont bold = BitBtn2->font();
  bold.setBold(true);
  BitBtn2->setFont(bold);
  BitBtn2->setStyleSheet(QStringLiteral("color: #FF0000;"));

  for (QWidget* hidden : {static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label2),
                          static_cast<QWidget*>(BitBtn2), static_cast<QWidget*>(Label8)})
    hidden->hide();

  // The grid first in the tab order, holding the focus when the dialog opens.
  setTabOrder(CursosTDBGrid, BitBtn1);
  setTabOrder(BitBtn1, BitBtn2);
  CursosTDBGrid->setFocus();

  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this, [this] { app::ShowHelp(this, programFolder_, 1); });

  // The table's current record follows the grid's row.
  const auto follow = [this] {
    app::RunReportingErrors(this, [this] {
      if (wwTableCursosT.Active() && CursosTDBGrid->currentIndex().isValid())
        model_->MoveTo(CursosTDBGrid->currentIndex().row());
    });
    wwDBNavigator1->UpdateButtons();
  };
  connect(CursosTDBGrid->selectionModel(), &QItemSelectionModel::currentChanged, this, follow);
  connect(model_, &QAbstractItemModel::dataChanged, wwDBNavigator1, &TwwDBNavigator::UpdateButtons);
  connect(model_, &QAbstractItemModel::modelReset, wwDBNavigator1, &TwwDBNavigator::UpdateButtons);
}

void TControlCursos::FormShow() {
  wwTableCursosT.SetActive(true);
  model_->Reload();
  if (model_->rowCount() > 0) CursosTDBGrid->setCurrentIndex(model_->index(0, 0));
  if (state_.CursosIncompletos) {
    BitBtn2->show();
    Label8->show();
  }
  wwDBNavigator1->UpdateButtons();
}

bool TControlCursos::InGrid(const QWidget* widget) const {
  return widget && (widget == CursosTDBGrid || CursosTDBGrid->isAncestorOf(widget));
}

void TControlCursos::OnFocusChanged(QWidget* old, QWidget* now) {
  // Focus lost to another application is no leaving of the grid.
  if (!now) return;
  if (!InGrid(old) && InGrid(now)) CursosTDBGridEnter();
  else if (InGrid(old) && !InGrid(now)) CursosTDBGridExit();
}

void TControlCursos::CursosTDBGridEnter() {
  // Always ready for typing while the grid has the focus.
  app::RunReportingErrors(this, [this] { model_->StartEditing(); });
  wwDBNavigator1->UpdateButtons();
}

void TControlCursos::CursosTDBGridExit() {
  // Whatever was typed is stored before the button that took the focus acts.
  app::RunReportingErrors(this, [this] {
    CursosTDBGrid->CommitOpenEditor();
    model_->PostPending();
  });
  wwDBNavigator1->UpdateButtons();
}

void TControlCursos::BitBtn1Click() {
  app::RunReportingErrors(this, [this] {
    // The OK check must see what was typed, whichever way the button was pressed.
    CursosTDBGrid->CommitOpenEditor();
    model_->PostPending();
    FaltaDato = false;
    FaltaDato = CheckCoursesComplete(wwTableCursosT);
    model_->ForgetPosition();
    if (FaltaDato) {
      Label3->show();
      Label2->show();
      app::ShowMessage(this, QStringLiteral("¡Atención! Falta algún Dato"));
    }
    wwTableCursosT.SetActive(false);
    accept();
  });
}

void TControlCursos::BitBtn2Click() {
  app::RunReportingErrors(this, [this] {
    CursosTDBGrid->CommitOpenEditor();
    wwTableCursosT.SetActive(false);
    FaltaDato = false;
    MarcaSalida = kMarcaSalidaForzada;
    accept();
  });
}

void TControlCursos::CloseTable() {
  if (wwTableCursosT.Active()) wwTableCursosT.SetActive(false);
}

void TControlCursos::keyPressEvent(QKeyEvent* event) {
  // Only the buttons and the close box end a showing, not Escape.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace courses
