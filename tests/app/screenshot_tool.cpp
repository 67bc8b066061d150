// Renders the main window and the assignment dialog (in its repeated
// showing, with the forced exit offered) into PNG files for the README:
//   transorvano-screenshot <output folder>
// Run by scripts/screenshot under Xvfb.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "app/tmform.h"
#include "courses/control_cursos.h"
#include "tables/working_tables.h"
#include "text/cp1252.h"

namespace {

struct Course {
  const char* clave;
  const char* estud;
  const char* nivel;
  const char* curso;
};

const Course kCourses[] = {
    {"100310", "1º de E.S.O.", "ESO", "1"},
    {"100333", "2º de E.S.O.", "ESO", "2"},
    {"100368", "3º de E.S.O.", "ESO", "3"},
    {"100403", "3º de E.S.O. (Diversificación Curricular)", "DIV", "3"},
    {"100412", "4º de E.S.O.", "ESO", "4"},
    {"100429", "1º de Bachillerato (Ciencias y Tecnología)", "BACH", "1"},
    {"100458", "1º de Bachillerato (Humanidades y Ciencias Sociales)", "BACH", ""},
    {"100523", "2º de Bachillerato (Ciencias y Tecnología)", "", ""},
    {"100552", "1º F.P.B. (Informática y Comunicaciones)", "", ""},
};

void SaveShot(QWidget& window, const QString& file) {
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) qFatal("the window never showed");
  QTest::qWait(200);  // let the style finish painting before the picture
  if (!window.grab().save(file)) qFatal("cannot write %s", qPrintable(file));
  std::printf("%s\n", qPrintable(file));
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("TransOrvanoSeneca"));
  if (argc != 2) qFatal("use: transorvano-screenshot <output folder>");
  const QDir out(QString::fromLocal8Bit(argv[1]));

  QTemporaryDir dir;
  const std::filesystem::path working = QFile::encodeName(dir.path()).toStdString();
  {
    auto cursos = tables::RebuildTable(working, "CURSOST");
    for (const Course& c : kCourses) {
      cursos->Append();
      cursos->FieldByName("CLAVE").SetAsString(c.clave);
      cursos->FieldByName("ESTUD").SetAsString(text::Utf8ToCp1252(c.estud));
      cursos->FieldByName("NIVEL").SetAsString(c.nivel);
      cursos->FieldByName("CURSO").SetAsString(c.curso);
      cursos->Post();
    }
    cursos->SetActive(false);
  }

  app::TMFormSetup setup;
  setup.ProgramFolder = dir.path();
  setup.WorkingFolder = working;
  setup.SenecaFolder = dir.path();
  app::TMForm form(setup);
  SaveShot(form, out.filePath(QStringLiteral("ventana-principal.png")));

  form.State().CursosIncompletos = true;
  courses::TControlCursos dialog(form.State(), dir.path(), &form);
  dialog.FormShow();
  dialog.Label3->show();
  dialog.Label2->show();
  SaveShot(dialog, out.filePath(QStringLiteral("asignacion-cursos.png")));
  dialog.CloseTable();
  return 0;
}
