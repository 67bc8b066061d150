// TMForm: the main window MForm. It offers the two directions side by side,
// owns the program state, the file dialog OpenDialogXML and (through the
// state) the table components, obeys a hosted launch, and is the front end the
// runs talk to: the assignment dialog, the forced exit, the hourglass.
//
// Closing the main window ends the program: ProgramEnding is emitted once
// control is back in the event loop, never in the middle of a run, because a
// run whose window was closed under it (the forced exit) still goes on to its
// end.
#pragma once

#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <filesystem>

#include "app/draw3d.h"
#include "app/front_end.h"
#include "app/host_embedding.h"
#include "app/hosted_launch.h"
#include "app/program_state.h"

namespace app {

// Where the main window finds what it works with. The program fills it from
// its own command line and executable; tests give their own folders.
struct TMFormSetup {
  Parameters Params;                     // the command-line parameters after the program name
  QString ProgramFolder;                 // holds Horalia.ini and SENECA.chm
  std::filesystem::path WorkingFolder;   // "C:\HTEMP" resolved
  QString SenecaFolder;                  // where OpenDialogXML starts: "c:\htemp\seneca" resolved
  std::filesystem::path TemplateFile = "base.xml";  // the export template, in the current directory

  static TMFormSetup ForThisProgram(Parameters params);
};

inline const QString kSettingsFile = QStringLiteral("Horalia.ini");

class TMForm : public QWidget, public FrontEnd {
  Q_OBJECT

 public:
  explicit TMForm(TMFormSetup setup, QWidget* parent = nullptr);
  ~TMForm() override;

  ProgramState& State() { return state_; }
  QString SettingsFilePath() const;

  // Event handlers, under the names the converter has always given them.
  void FormCreate();
  void FormShow();
  void FormClose();
  void BExportarClick();
  void BImportarClick();
  void Button1Click();

  // FrontEnd.
  CourseDialogResult ShowCourseDialog(ProgramState& state) override;
  void CloseMainWindow() override;
  void SetHourglass(bool busy) override;

  TDraw3D* Draw3D1;
  TDraw3D* Draw3D2;
  TDraw3D* Draw3D3;
  QLabel* Label1;
  QLabel* Label3;
  QLabel* Label4;
  QPushButton* BExportar;
  QPushButton* BImportar;
  QPushButton* BClose;
  QPushButton* Button1;
  QFileDialog* OpenDialogXML;

 signals:
  // The window's close handling (FormClose) has just run; the run that closed
  // it may still go on.
  void FormClosed();
  // The main window has closed; the application is to end now.
  void ProgramEnding();

 public:
  // The first showing runs FormShow before the window reaches the screen:
  // the run Horalia asked for starts at once, and the window appears only if
  // that run leaves it open.
  void setVisible(bool visible) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  // Runs a button's (or FormShow's) work under the default error report.
  template <typename Body>
  void RunHandler(Body&& body);
  // The file dialog and the existence test both runs start with. False when
  // no file exists at ArchivoXML ("No existe archivo" already shown).
  bool ChooseExistingFile();
  // "Proceso finalizado", then in a hosted launch the closing of the window.
  void EndOfRun();
  void EndProgramWhenIdle();

  TMFormSetup setup_;
  ProgramState state_;
  HostEmbedding embedding_;
  bool shownOnce_ = false;
  bool closed_ = false;       // closed at least once: the program is ending
  bool forcedExit_ = false;   // the current run's window was closed by a forced exit
  int handlersRunning_ = 0;
  bool endPending_ = false;
  int hourglass_ = 0;         // override cursors set by SetHourglass and not yet taken back
};

}  // namespace app
