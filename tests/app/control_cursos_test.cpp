// The assignment dialog on its own, over a CURSOST of a few courses: what it
// shows, how the grid edits the table, the OK check and the two ways out.
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "app/front_end.h"
#include "app/program_state.h"
#include "common/working_table_rows.h"
#include "courses/control_cursos.h"
#include "gui_sandbox.h"
#include "modal_answerer.h"
#include "tables/working_tables.h"
#include "text/cp1252.h"

using courses::TControlCursos;
using testing_gui::ModalAnswerer;
using testing_gui::TypeIntoCell;

namespace {

class NoFrontEnd : public FrontEnd {
 public:
  CourseDialogResult ShowCourseDialog(ProgramState&) override { return {}; }
  void CloseMainWindow() override {}
  void SetHourglass(bool) override {}
};

struct Course {
  const char* clave;
  const char* estud;
};

}  // namespace

class AssignmentDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    sandbox_ = std::make_unique<testing_gui::Sandbox>();
    state_ = std::make_unique<ProgramState>(sandbox_->WorkingFolder(), frontEnd_);
    answerer_ = std::make_unique<ModalAnswerer>();
  }
  void cleanup() {
    QVERIFY2(answerer_->Problems().isEmpty(), qPrintable(answerer_->Problems().join(QLatin1Char('\n'))));
    QVERIFY(answerer_->Done());
  }

  void showsTheControlsAsDesigned();
  void typedValuesAreCutToTheFieldWidth();
  void enterMovesToTheNextColumnNotToTheDefaultButton();
  void completeCoursesPassTheCheck();
  void blanksCountAsMissing();
  void emptyTableGetsANewBlankCourse();
  void closeBoxSetsNeitherFlagAndKeepsWhatWasPosted();
  void navigatorMovesAndCancels();
  void forcedExitMarksFuera();

 private:
  void MakeCursosT(std::initializer_list<Course> courses) {
    std::vector<TableRow> rows;
    for (const Course& c : courses) rows.push_back({{"CLAVE", c.clave}, {"ESTUD", text::Utf8ToCp1252(c.estud)}});
    WriteWorkingTable(sandbox_->WorkingFolder(), "CURSOST", rows);
  }
  void MakeTwoCourses() { MakeCursosT({{"100323", "1º de E.S.O."}, {"100324", "2º de E.S.O."}}); }
  QStringList Column(const char* field) const {
    return testing_gui::ColumnOf(sandbox_->WorkingFolder(), "CURSOST", field);
  }
  // Shows the dialog as the loop does and lets `act` work on it.
  void Show(TControlCursos& dialog) {
    dialog.FormShow();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog, 60000));
  }

  NoFrontEnd frontEnd_;
  std::unique_ptr<testing_gui::Sandbox> sandbox_;
  std::unique_ptr<ProgramState> state_;
  std::unique_ptr<ModalAnswerer> answerer_;
};

void AssignmentDialogTest::showsTheControlsAsDesigned() {
  MakeTwoCourses();
  TControlCursos dialog(*state_, sandbox_->ProgramFolder(), nullptr);
  Show(dialog);
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Asignación de Niveles y Cursos"));
  QCOMPARE(dialog.size(), QSize(672, 499));
  QCOMPARE(dialog.Label1->text(), QStringLiteral("ASIGNACIÓN DE NIVELES Y CURSOS"));
  QCOMPARE(dialog.Label2->text(), QStringLiteral("Se ha detectado que falta por indicar algún NIVEL  o CURSO. "
                                                 "Complete el/los datos que falten, para poder concluir el "
                                                 "proceso, antes de Salir."));
  QCOMPARE(dialog.Label4->text(), QStringLiteral("¡ IMPORTANTE !"));
  QCOMPARE(dialog.BitBtn1->text(), QStringLiteral("Aceptar"));
  QVERIFY(dialog.BitBtn1->isDefault());
  for (QWidget* hidden : {static_cast<QWidget*>(dialog.Label2), static_cast<QWidget*>(dialog.Label3),
                          static_cast<QWidget*>(dialog.Label8), static_cast<QWidget*>(dialog.BitBtn2)})
    QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));

  const auto* model = dialog.CursosTDBGrid->model();
  const QStringList titles{"CÓD.SÉNECA", "ESTUDIOS", "NIVEL", "CURSO"};
  QCOMPARE(model->columnCount(), 4);
  for (int c = 0; c < 4; ++c) {
    QCOMPARE(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), titles[c]);
    QCOMPARE(bool(model->flags(model->index(0, c)) & Qt::ItemIsEditable), c >= 2);
  }
  QCOMPARE(model->data(model->index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("2º de E.S.O."));

  const QStringList hints{"Move to first record", "Move backward 10 records", "Move to prior record",
                          "Move to next record", "Move forward 10 records", "Move to last record",
                          "Edit current record", "Post changes of current record",
                          "Cancel changes made to current record", "Refresh the contents of the dataset"};
  const auto buttons = dialog.wwDBNavigator1->findChildren<QToolButton*>();
  QCOMPARE(buttons.size(), 10);  // no insert, no delete
  for (int i = 0; i < 10; ++i)
    QCOMPARE(dialog.wwDBNavigator1->ButtonAt(static_cast<courses::TwwDBNavigator::Button>(i))->toolTip(), hints[i]);
}

void AssignmentDialogTest::typedValuesAreCutToTheFieldWidth() {
  MakeTwoCourses();
  TControlCursos dialog(*state_, sandbox_->ProgramFolder(), nullptr);
  Show(dialog);
  TypeIntoCell(dialog, 0, 2, QStringLiteral("BACHILLER"));
  TypeIntoCell(dialog, 0, 3, QStringLiteral("12345"));
  dialog.CursosTDBGridExit();
  dialog.CloseTable();
  QCOMPARE(Column("NIVEL"), (QStringList{"BACHI", ""}));
  QCOMPARE(Column("CURSO"), (QStringList{"123", ""}));
}

void AssignmentDialogTest::enterMovesToTheNextColumnNotToTheDefaultButton() {
  MakeTwoCourses();
  TControlCursos dialog(*state_, sandbox_->ProgramFolder(), nullptr);
  Show(dialog);
  auto* grid = dialog.CursosTDBGrid;
  grid->setCurrentIndex(grid->model()->index(0, 0));
  QTest::keyClick(grid, Qt::Key_Return);
  QCOMPARE(grid->currentIndex(), grid->model()->index(0, 1));
  QVERIFY(dialog.isVisible());  // OK was not pressed
  TypeIntoCell(dialog, 0, 2, QStringLiteral("ESO"));  // Enter in the editor stores and moves on
  QCOMPARE(grid->currentIndex(), grid->model()->index(0, 3));
  TypeIntoCell(dialog, 0, 3, QStringLiteral("1"));
  QCOMPARE(grid->currentIndex(), grid->model()->index(1, 0));  // then the next course
  QVERIFY(dialog.isVisible());
}

void AssignmentDialogTest::completeCoursesPassTheCheck() {
  MakeTwoCourses();
  TControlCursos dialog(*state_, sandbox_->ProgramFolder(), nullptr);
  Show(dialog);
  TypeIntoCell(dialog, 0, 2, QStringLiteral("ESO"));
  TypeIntoCell(dialog, 0, 3, QStringLiteral("1"));
  TypeIntoCell(dialog, 1, 2, QStringLiteral("ESO"));
  TypeIntoCell(dialog, 1, 3, QStringLiteral("2"));
  QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);  // no message expected
  QCOMPARE(dialog.result(), int(QDialog::Accepted));
  QVERIFY(!dialog.FaltaDato);
  QVERIFY(dialog.MarcaSalida.empty());
  QVERIFY(!dialog.wwTableCursosT.Active());
  QCOMPARE(Column("CURSO"), (QStringList{"1", "2"}));
}

void AssignmentDialogTest::blanksCountAsMissing() {
  MakeTwoCourses();
  TControlCursos dialog(*state_, sandbox_->ProgramFolder(), nullptr);
  Show(dialog);
  TypeIntoCell(dialog, 0, 2, QStringLiteral("ESO"));
  TypeIntoCell(dialog, 0, 3, QStringLiteral("  "));
  TypeIntoCell(dialog, 1, 2, QStringLiteral("ESO"));
  TypeIntoCell(dialog, 1, 3, QStringLiteral("2"));
  answerer_->ExpectMessage(QStringLiteral("¡Atención! Falta algún Dato"));
  QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
  QVERIFY(dialog.FaltaDato);
  QVERIFY(dialog.Label2->isVisibleTo(&dialog));
  QCOMPARE(Column("CURSO"), (QStringList{"", "2"}));  // stored as typed, blanks and all (trailing ones not read back)
}

void AssignmentDialogTest::emptyTableGetsANewBlankCourse() {
  MakeCursosT({});
  TControlCursos dialog(*state_, sandbox_->ProgramFolder(), nullptr);
  Show(dialog);
  // The grid holds the focus when the dialog opens: entering it started a
  // new record; leaving it for a button stores that record.
  QVERIFY(QTest::qWaitFor([&] { return dialog.CursosTDBGrid->hasFocus(); }, 60000));
  QCOMPARE(dialog.Model()->rowCount(), 1);
  dialog.BitBtn1->setFocus();
  QCOMPARE(dialog.wwTableCursosT.RecordCount(), std::size_t{1});
  answerer_->ExpectMessage(QStringLiteral("¡Atención! Falta algún Dato"));
  QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
  QVERIFY(dialog.FaltaDato);
  QCOMPARE(Column("CLAVE"), QStringList{""});
}

void AssignmentDialogTest::closeBoxSetsNeitherFlagAndKeepsWhatWasPosted() {
  MakeTwoCourses();
  TControlCursos dialog(*state_, sandbox_->ProgramFolder(), nullptr);
  Show(dialog);
  TypeIntoCell(dialog, 0, 2, QStringLiteral("ESO"));
  dialog.CursosTDBGrid->setCurrentIndex(dialog.Model()->index(1, 0));  // leaving the row posts it
  dialog.close();
  dialog.CloseTable();
  QVERIFY(!dialog.FaltaDato);
  QVERIFY(dialog.MarcaSalida.empty());
  QCOMPARE(Column("NIVEL"), (QStringList{"ESO", ""}));
}

void AssignmentDialogTest::navigatorMovesAndCancels() {
  MakeCursosT({{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}, {"5", "e"}, {"6", "f"}, {"7", "g"},
               {"8", "h"}, {"9", "i"}, {"10", "j"}, {"11", "k"}, {"12", "l"}});
  TControlCursos dialog(*state_, sandbox_->ProgramFolder(), nullptr);
  Show(dialog);
  using Nav = courses::TwwDBNavigator;
  const auto click = [&](Nav::Button b) { QTest::mouseClick(dialog.wwDBNavigator1->ButtonAt(b), Qt::LeftButton); };
  const auto row = [&] { return dialog.CursosTDBGrid->currentIndex().row(); };
  QVERIFY(!dialog.wwDBNavigator1->ButtonAt(Nav::nbFirst)->isEnabled());
  click(Nav::nbNextPage);
  QCOMPARE(row(), 10);
  click(Nav::nbLast);
  QCOMPARE(row(), 11);
  QVERIFY(!dialog.wwDBNavigator1->ButtonAt(Nav::nbNext)->isEnabled());
  click(Nav::nbPrior);
  QCOMPARE(row(), 10);
  click(Nav::nbPriorPage);
  QCOMPARE(row(), 0);

  TypeIntoCell(dialog, 0, 2, QStringLiteral("ESO"));
  QVERIFY(dialog.wwDBNavigator1->ButtonAt(Nav::nbCancel)->isEnabled());
  click(Nav::nbCancel);
  QCOMPARE(dialog.Model()->data(dialog.Model()->index(0, 2), Qt::DisplayRole).toString(), QString());
  TypeIntoCell(dialog, 0, 2, QStringLiteral("BACH"));
  click(Nav::nbPost);
  click(Nav::nbRefresh);
  QCOMPARE(dialog.Model()->data(dialog.Model()->index(0, 2), Qt::DisplayRole).toString(), QStringLiteral("BACH"));
  QCOMPARE(dialog.Model()->rowCount(), 12);
}

void AssignmentDialogTest::forcedExitMarksFuera() {
  MakeTwoCourses();
  state_->CursosIncompletos = true;
  TControlCursos dialog(*state_, sandbox_->ProgramFolder(), nullptr);
  Show(dialog);
  QVERIFY(dialog.BitBtn2->isVisible());
  QVERIFY(dialog.Label8->isVisible());
  QCOMPARE(dialog.Label8->text(),
           QStringLiteral("¡ Atención ! Si fuerza la Salida, los Datos recogidos serán INCOHERENTES."));
  TypeIntoCell(dialog, 0, 2, QStringLiteral("ESO"));
  QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
  QVERIFY(!dialog.FaltaDato);
  QCOMPARE(dialog.MarcaSalida, std::string("fuera"));
  QVERIFY(!dialog.wwTableCursosT.Active());
  QCOMPARE(Column("NIVEL"), (QStringList{"ESO", ""}));
}

QTEST_MAIN(AssignmentDialogTest)
#include "control_cursos_test.moc"
