// The main window driven as a user (or Horalia) drives it: the command line,
// the buttons, the file dialog, the assignment dialog, the message boxes, and
// what ends up in Horalia.ini.
#include <QApplication>
#include <QDesktopServices>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QUrl>

#include "app/tmform.h"
#include "courses/control_cursos.h"
#include "gui_sandbox.h"
#include "modal_answerer.h"

using app::TMForm;
using testing_gui::ModalAnswerer;
using testing_gui::Sandbox;
using testing_gui::TypeIntoCell;

namespace {

const QString kNoFile = QStringLiteral("No existe archivo");
const QString kDone = QStringLiteral("Proceso finalizado");
const QString kMissing = QStringLiteral("¡Atención! Falta algún Dato");
const QByteArray kHoraliaIni =
    "; Configuración de Horalia\r\n[General]\r\nRuta=C:\\HZ40\r\n\r\n[Transformadores]\r\nTransformado=7\r\n"
    "Ultimo=exportar\r\n\r\n[Ventanas]\r\nAncho=800\r\n";

QByteArray IniWith(const char* code) {
  QByteArray expected = kHoraliaIni;
  expected.replace("Transformado=7", QByteArray("Transformado=") + code);
  return expected;
}

// Gives both courses of the small school a level and a course number.
void FillBothCourses(courses::TControlCursos& dialog) {
  TypeIntoCell(dialog, 0, 2, QStringLiteral("ESO"));
  TypeIntoCell(dialog, 0, 3, QStringLiteral("1"));
  TypeIntoCell(dialog, 1, 2, QStringLiteral("ESO"));
  TypeIntoCell(dialog, 1, 3, QStringLiteral("2"));
  QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
}

// What Horalia.ini held each time the window's close handling had run.
class CloseWatcher {
 public:
  CloseWatcher(TMForm& window, const Sandbox& sandbox) {
    QObject::connect(&window, &TMForm::FormClosed, [this, &sandbox] { IniAtClose << sandbox.ReadIni(); });
  }
  QList<QByteArray> IniAtClose;
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 public slots:
  void OpenHelpUrl(const QUrl& url) { helpUrls_ << url; }

 private slots:
  void initTestCase() { QApplication::setApplicationName(QStringLiteral("TransOrvanoSeneca")); }
  void init() {
    answerer_ = std::make_unique<ModalAnswerer>();
    sandbox_ = std::make_unique<Sandbox>();
  }
  void cleanup() {
    QVERIFY2(answerer_->Problems().isEmpty(), qPrintable(answerer_->Problems().join(QLatin1Char('\n'))));
    QVERIFY2(answerer_->Done(), "a window the test expected never came");
    QCOMPARE(QApplication::overrideCursor(), nullptr);  // no hourglass left behind
  }

  void showsTheControlsAsDesigned();
  void plainLaunchRecordsNothing_data();
  void plainLaunchRecordsNothing();
  void badHandleIsReportedAndTheRunStillStarts();
  void commandWord_data();
  void commandWord();
  void hostedExportarWithoutFileWritesMinusOne();
  void hostedImportarWithoutFileWritesZero();
  void hostedExportarCompletesAndWritesOne();
  void repeatShowingThenForcedExitWritesTwice();
  void errorInARunIsReportedAndTheWindowCarriesOn();
  void importarNeedsTheTablesOfAnEarlierRun();
  void bothRunsInAPlainLaunchShareTheChosenFile();
  void settingsFileThatCannotBeWrittenIsReported();
  void helpOpensTheFileBesideTheProgram();

 private:
  // Shows the window (FormShow then runs what the command line asks) and
  // waits until the main window has asked the program to end.
  bool ShowAndWaitForTheEnd(TMForm& form, QSignalSpy& ending) {
    form.show();
    return QTest::qWaitFor([&] { return ending.count() > 0; }, 120000);
  }
  // Waits until the run started from the command line, if any, has finished.
  void ShowAndSettle(TMForm& form) {
    form.show();
    QVERIFY(QTest::qWaitFor([&] { return answerer_->Done() && !QApplication::activeModalWidget(); }, 120000));
  }

  std::unique_ptr<ModalAnswerer> answerer_;
  std::unique_ptr<Sandbox> sandbox_;
  QList<QUrl> helpUrls_;
};

void MainWindowTest::showsTheControlsAsDesigned() {
  TMForm form(sandbox_->Setup({}));
  QCOMPARE(form.windowTitle(), QStringLiteral("Exportar e importar datos entre Horalia y Séneca"));
  QCOMPARE(form.size(), QSize(632, 266));
  QCOMPARE(form.minimumSize(), form.maximumSize());  // no resizing
  QVERIFY(!(form.windowFlags() & Qt::WindowMinMaxButtonsHint));
  QCOMPARE(form.Label3->text(), QStringLiteral("Transformar datos desde Séneca hacia Horalia "));
  QCOMPARE(form.Label4->text(), QStringLiteral("Transformar datos desde Horalia hacia Séneca"));
  QCOMPARE(form.Label1->text(), QStringLiteral("TransHoraliaSéneca para HZ40 V-1.0"));
  QCOMPARE(form.BExportar->text(), QStringLiteral("Aceptar"));
  QCOMPARE(form.BImportar->text(), QStringLiteral("Aceptar"));
  QCOMPARE(form.BClose->text(), QStringLiteral("&Salir"));
  QCOMPARE(form.Button1->text(), QStringLiteral("F1 AYUDA"));
  QVERIFY(!form.BExportar->icon().isNull());
  QVERIFY(!form.BClose->icon().isNull());
  QCOMPARE(form.Draw3D2->geometry(), QRect(1, 0, 315, 169));
  QCOMPARE(form.Draw3D3->geometry(), QRect(316, 0, 317, 169));
  QCOMPARE(form.Draw3D1->geometry(), QRect(0, 168, 633, 97));
  QCOMPARE(form.Draw3D2->StartColor(), QColor(0xF9D37D));
  QCOMPARE(form.Draw3D3->EndColor(), QColor(0xFFEEDD));
  QCOMPARE(form.Draw3D1->MiddleColor(), QColor(0xCFF2FE));
  QCOMPARE(form.BClose->geometry(), QRect(256, 32, 89, 25));

  QCOMPARE(form.OpenDialogXML->windowTitle(), QStringLiteral("Archivo XML"));
  QCOMPARE(form.OpenDialogXML->nameFilters(), QStringList{QStringLiteral("*.xml")});
  QCOMPARE(form.OpenDialogXML->defaultSuffix(), QStringLiteral("xml"));
  QCOMPARE(form.OpenDialogXML->fileMode(), QFileDialog::AnyFile);
  QCOMPARE(form.OpenDialogXML->directory().absolutePath(), sandbox_->SenecaFolder());
}

void MainWindowTest::plainLaunchRecordsNothing_data() {
  QTest::addColumn<QStringList>("params");
  QTest::newRow("no parameters") << QStringList{};
  QTest::newRow("one parameter") << QStringList{QStringLiteral("exportar")};
  QTest::newRow("three parameters") << QStringList{QStringLiteral("exportar"), QStringLiteral("1A2B"),
                                                   QStringLiteral("x")};
}

void MainWindowTest::plainLaunchRecordsNothing() {
  QFETCH(QStringList, params);
  app::Parameters p;
  for (const QString& s : params) p.push_back(s.toStdString());
  TMForm form(sandbox_->Setup(p));
  QSignalSpy ending(&form, &TMForm::ProgramEnding);
  ShowAndSettle(form);
  QCOMPARE(form.State().NumParametros, 0);
  QVERIFY(!(form.windowFlags() & Qt::FramelessWindowHint));
  QTest::mouseClick(form.BClose, Qt::LeftButton);
  QCOMPARE(ending.count(), 1);
  QVERIFY(!sandbox_->IniExists());
}

void MainWindowTest::badHandleIsReportedAndTheRunStillStarts() {
  answerer_->ExpectMessage(QStringLiteral("'$12G4' no es un valor entero válido"));
  TMForm form(sandbox_->Setup({"exportar", "12G4"}));
  QVERIFY(answerer_->Done());
  QCOMPARE(answerer_->Messages(), QStringList{QStringLiteral("TransOrvanoSeneca: '$12G4' no es un valor entero válido")});
  QCOMPARE(form.State().NumParametros, 0);
  QVERIFY(!(form.windowFlags() & Qt::FramelessWindowHint));

  // The run named by parameter 1 still starts; unhosted, the window stays.
  QSignalSpy ending(&form, &TMForm::ProgramEnding);
  answerer_->ExpectFileCancelled();
  answerer_->ExpectMessage(kNoFile);
  ShowAndSettle(form);
  QVERIFY(form.isVisible());
  QCOMPARE(ending.count(), 0);
  form.close();
  QVERIFY(!sandbox_->IniExists());
}

void MainWindowTest::commandWord_data() {
  QTest::addColumn<QString>("word");
  QTest::addColumn<bool>("runs");
  QTest::newRow("EXPORTAR in capitals runs") << QStringLiteral("EXPORTAR") << true;
  QTest::newRow("exportar after a blank does not") << QStringLiteral(" exportar") << false;
  QTest::newRow("export does not") << QStringLiteral("export") << false;
  QTest::newRow("accented capital is not lowered") << QStringLiteral("EXPORTÁR") << false;
}

void MainWindowTest::commandWord() {
  QFETCH(QString, word);
  QFETCH(bool, runs);
  sandbox_->WriteIni(kHoraliaIni);
  TMForm form(sandbox_->Setup({word.toStdString(), "1A2B"}));
  QSignalSpy ending(&form, &TMForm::ProgramEnding);
  QCOMPARE(form.State().NumParametros, 2);
  if (runs) {
    answerer_->ExpectFileCancelled();
    answerer_->ExpectMessage(kNoFile);
    QVERIFY(ShowAndWaitForTheEnd(form, ending));
    QCOMPARE(sandbox_->ReadIni(), IniWith("-1"));
    return;
  }
  // A run started by the showing would put up its file dialog inside show()
  // itself: the answerer reports any window it was not told to expect (in
  // cleanup()), and once the showing is over no modal window is left up.
  bool checked = false;
  bool modalUp = true;
  form.show();
  QTimer::singleShot(0, [&] {
    modalUp = QApplication::activeModalWidget() != nullptr;
    checked = true;
  });
  QVERIFY(QTest::qWaitFor([&] { return checked; }, 60000));
  QVERIFY(!modalUp);
  form.close();  // the user closes the window at once
  QCOMPARE(ending.count(), 1);
  QCOMPARE(sandbox_->ReadIni(), IniWith("0"));
}

void MainWindowTest::hostedExportarWithoutFileWritesMinusOne() {
  sandbox_->WriteIni(kHoraliaIni);
  answerer_->ExpectFileCancelled();
  answerer_->ExpectMessage(kNoFile);
  TMForm form(sandbox_->Setup({"exportar", "a00004"}));
  QSignalSpy ending(&form, &TMForm::ProgramEnding);
  QVERIFY(ShowAndWaitForTheEnd(form, ending));
  QVERIFY(!form.isVisible());
  QCOMPARE(form.State().CodigoResultado, -1);
  QCOMPARE(sandbox_->ReadIni(), IniWith("-1"));  // every other byte as it was
}

void MainWindowTest::hostedImportarWithoutFileWritesZero() {
  sandbox_->WriteIni(kHoraliaIni);
  answerer_->ExpectFile(sandbox_->SenecaFolder() + QStringLiteral("/no_existe.xml"));
  answerer_->ExpectMessage(kNoFile);
  TMForm form(sandbox_->Setup({"importar", "A00004"}));
  QSignalSpy ending(&form, &TMForm::ProgramEnding);
  QVERIFY(ShowAndWaitForTheEnd(form, ending));
  QCOMPARE(sandbox_->ReadIni(), IniWith("0"));
}

void MainWindowTest::hostedExportarCompletesAndWritesOne() {
  answerer_->ExpectFile(sandbox_->SchoolDocument());
  answerer_->ExpectCourses(FillBothCourses);
  answerer_->ExpectMessage(kDone);
  TMForm form(sandbox_->Setup({"exportar", "1A2B"}));
  QSignalSpy ending(&form, &TMForm::ProgramEnding);
  QVERIFY(ShowAndWaitForTheEnd(form, ending));
  QCOMPARE(ending.count(), 1);
  QCOMPARE(sandbox_->ReadIni(), QByteArray("[Transformadores]\r\nTransformado=1\r\n"));  // created
  const auto folder = sandbox_->WorkingFolder();
  QCOMPARE(testing_gui::ColumnOf(folder, "CURSOST", "CLAVE"), (QStringList{"100323", "100324"}));
  QCOMPARE(testing_gui::ColumnOf(folder, "CURSOST", "NIVEL"), (QStringList{"ESO", "ESO"}));
  QCOMPARE(testing_gui::ColumnOf(folder, "CURSOST", "CURSO"), (QStringList{"1", "2"}));
  QVERIFY(!testing_gui::ColumnOf(folder, "GRUPOST", "ABREV").isEmpty());
  QVERIFY(!testing_gui::ColumnOf(folder, "DIASHORAST", "DIA").isEmpty());
}

void MainWindowTest::repeatShowingThenForcedExitWritesTwice() {
  sandbox_->WriteIni(kHoraliaIni);
  answerer_->ExpectFile(sandbox_->SchoolDocument());
  answerer_->ExpectCourses([](courses::TControlCursos& dialog) {
    QVERIFY(!dialog.BitBtn2->isVisibleTo(&dialog));  // no forced exit on a first showing
    QVERIFY(!dialog.Label8->isVisibleTo(&dialog));
    TypeIntoCell(dialog, 0, 2, QStringLiteral("ESO"));  // CURSO of course 1 left empty
    QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
  });
  answerer_->Expect(kMissing, [this](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    QVERIFY(box);
    QCOMPARE(box->text(), kMissing);
    auto* dialog = dynamic_cast<courses::TControlCursos*>(box->parentWidget());
    QVERIFY(dialog);
    QVERIFY(dialog->Label2->isVisibleTo(dialog));  // shown behind the warning
    QVERIFY(dialog->Label3->isVisibleTo(dialog));
    box->accept();
  });
  answerer_->ExpectCourses([](courses::TControlCursos& dialog) {
    QVERIFY(dialog.BitBtn2->isVisibleTo(&dialog));  // a repeated showing offers the forced exit
    QVERIFY(dialog.Label8->isVisibleTo(&dialog));
    QVERIFY(!dialog.Label2->isVisibleTo(&dialog));  // a new dialog, in its initial state
    QCOMPARE(dialog.BitBtn2->text(), QStringLiteral("Forzar Salida Sin Terminar Proceso "));
    QCOMPARE(dialog.Model()->data(dialog.Model()->index(0, 2), Qt::DisplayRole).toString(), QStringLiteral("ESO"));
    QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
  });
  // "Proceso finalizado" then closes by itself: nobody answers it.
  TMForm form(sandbox_->Setup({"exportar", "1A2B"}));
  CloseWatcher watcher(form, *sandbox_);
  QSignalSpy ending(&form, &TMForm::ProgramEnding);
  QVERIFY(ShowAndWaitForTheEnd(form, ending));
  QCOMPARE(ending.count(), 1);
  QVERIFY(form.State().CursosIncompletos);
  QCOMPARE(watcher.IniAtClose.size(), 2);
  QCOMPARE(watcher.IniAtClose.first(), IniWith("0"));  // written at the forced exit...
  QCOMPARE(sandbox_->ReadIni(), IniWith("1"));         // ...and again at the end of the run
  // The remaining steps ran on the incomplete courses.
  QVERIFY(!testing_gui::ColumnOf(sandbox_->WorkingFolder(), "DIASHORAST", "DIA").isEmpty());
}

void MainWindowTest::errorInARunIsReportedAndTheWindowCarriesOn() {
  const QString broken = sandbox_->WriteFile(QStringLiteral("roto.xml"), "esto no es XML");
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  answerer_->ExpectFile(broken);
  answerer_->Expect(QStringLiteral("error report"), [&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    QVERIFY(box);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    box->accept();
  });
  TMForm form(sandbox_->Setup({}));
  form.show();
  QTest::mouseClick(form.BExportar, Qt::LeftButton);
  QCOMPARE(title, QStringLiteral("TransOrvanoSeneca"));
  QCOMPARE(icon, QMessageBox::Critical);
  QVERIFY2(text.contains(QStringLiteral("roto.xml")), qPrintable(text));
  QVERIFY(form.isVisible());
  QCOMPARE(form.State().CodigoResultado, 0);
  QVERIFY(form.BExportar->isEnabled());
}

void MainWindowTest::importarNeedsTheTablesOfAnEarlierRun() {
  sandbox_->WriteIni(kHoraliaIni);
  answerer_->ExpectFile(sandbox_->SchoolDocument());
  answerer_->ExpectMessage(QStringLiteral("ATENCIÓN Falta un Fich. Temporal. Transforme de nuevo de Séneca a Horalia"));
  TMForm form(sandbox_->Setup({"importar", "1A2B"}));
  QSignalSpy ending(&form, &TMForm::ProgramEnding);
  ShowAndSettle(form);
  QCOMPARE(ending.count(), 0);  // a hosted launch does not close here
  QVERIFY(form.isVisible());
  QCOMPARE(sandbox_->ReadIni(), kHoraliaIni);
  form.close();
  QCOMPARE(sandbox_->ReadIni(), IniWith("0"));
}

void MainWindowTest::bothRunsInAPlainLaunchShareTheChosenFile() {
  const QString school = sandbox_->SchoolDocument();
  TMForm form(sandbox_->Setup({}));
  form.show();
  answerer_->ExpectFile(school);
  answerer_->ExpectCourses(FillBothCourses);
  answerer_->ExpectMessage(kDone);
  QTest::mouseClick(form.BExportar, Qt::LeftButton);
  QVERIFY(answerer_->Done());

  // Horalia has computed a timetable; the dialog is cancelled this time, so
  // the run works on the file chosen before.
  sandbox_->PutSoluc();
  answerer_->ExpectFileCancelled();
  answerer_->ExpectMessage(kDone);
  QTest::mouseClick(form.BImportar, Qt::LeftButton);
  QVERIFY(answerer_->Done());
  QVERIFY(QFile::exists(sandbox_->SenecaFolder() + QStringLiteral("/ResultadoOrvanosmall_school.xml")));
  QVERIFY(form.isVisible());
  QCOMPARE(form.State().CodigoResultado, 1);
  form.close();
  QVERIFY(!sandbox_->IniExists());  // a plain launch records nothing
}

void MainWindowTest::settingsFileThatCannotBeWrittenIsReported() {
  QDir(sandbox_->ProgramFolder()).mkdir(QStringLiteral("Horalia.ini"));  // a folder stands in the way
  TMForm form(sandbox_->Setup({"export", "1A2B"}));
  ShowAndSettle(form);
  answerer_->ExpectMessage(QStringLiteral("Unable to write to ") + sandbox_->IniPath());
  form.close();
  QVERIFY(QTest::qWaitFor([&] { return answerer_->Done() && !QApplication::activeModalWidget(); }, 60000));
}

void MainWindowTest::helpOpensTheFileBesideTheProgram() {
  TMForm form(sandbox_->Setup({}));
  form.show();
  answerer_->Expect(QStringLiteral("no help file"), [](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    QVERIFY(box);
    QVERIFY2(box->text().contains(QStringLiteral("SENECA.chm")), qPrintable(box->text()));
    box->accept();
  });
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  QVERIFY(answerer_->Done());

  QFile chm(sandbox_->ProgramFolder() + QStringLiteral("/SENECA.chm"));
  QVERIFY(chm.open(QIODevice::WriteOnly));
  chm.close();
  QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "OpenHelpUrl");
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  form.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&form, 60000));
  QTest::keyClick(&form, Qt::Key_F1);  // help context 1, anywhere in the window
  QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
  const QUrl url = QUrl::fromLocalFile(chm.fileName());
  QCOMPARE(helpUrls_, (QList<QUrl>{url, url}));
}

QTEST_MAIN(MainWindowTest)
#include "tmform_test.moc"
