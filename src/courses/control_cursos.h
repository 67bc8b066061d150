// TControlCursos (form ControlCursos): the level and course assignment
// dialog. The user types a level (NIVEL) and a course number (CURSO) for
// every course of CURSOST in its grid; OK checks that none is missing, and a
// showing after a failed check also offers the forced exit. The dialog edits
// CURSOST directly through its own table component, wwTableCursosT.
//
// Each showing is a new dialog: the assignment loop (in the core) decides from
// FaltaDato and MarcaSalida whether another one follows.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <string>

#include "app/draw3d.h"
#include "courses/cursos_grid.h"
#include "tables/table.h"

class ProgramState;

namespace courses {

class TControlCursos : public QDialog {
 public:
  // `owner` is the main window; `programFolder` holds the help file.
  TControlCursos(ProgramState& state, QString programFolder, QWidget* owner);
  ~TControlCursos() override;

  bool FaltaDato = false;   // the last OK found a course without NIVEL or CURSO
  std::string MarcaSalida;  // kMarcaSalidaForzada after a forced exit

  // Opens wwTableCursosT and offers the forced exit when the courses were
  // found incomplete before. Called before the dialog is shown; a failure of
  // the table ends the run.
  void FormShow();
  void CursosTDBGridEnter();
  void CursosTDBGridExit();
  void BitBtn1Click();
  void BitBtn2Click();
  // Closes wwTableCursosT if it is still open (the close box), storing what
  // was posted.
  void CloseTable();

  tables::TTable wwTableCursosT;
  app::TDraw3D* Draw3D1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  QLabel* Label7;
  QLabel* Label8;
  TwwDBNavigator* wwDBNavigator1;
  courses::CursosTDBGrid* CursosTDBGrid;
  QPushButton* BitBtn1;
  QPushButton* BitBtn2;
  CursosTModel* Model() const { return model_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void OnFocusChanged(QWidget* old, QWidget* now);
  bool InGrid(const QWidget* widget) const;

  ProgramState& state_;
  QString programFolder_;
  CursosTModel* model_;
};

}  // namespace courses
