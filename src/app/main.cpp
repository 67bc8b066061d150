// transorvano: the desktop program. Started alone it offers both directions;
// started by Horalia with a command word and a window handle it runs inside
// Horalia's window and leaves its outcome code in Horalia.ini.
#include <QApplication>

#include "app/messages.h"
#include "app/tmform.h"

int main(int argc, char* argv[]) {
  // Taken before Qt removes the options it knows (-style, -display...): the
  // count of parameters decides the hosted launch.
  app::Parameters params(argv + 1, argv + argc);

  QApplication application(argc, argv);
  QApplication::setApplicationName(app::kApplicationTitle);
  QApplication::setQuitOnLastWindowClosed(false);  // the main window's closing decides

  app::TMForm MForm(app::TMFormSetup::ForThisProgram(std::move(params)));
  QObject::connect(&MForm, &app::TMForm::ProgramEnding, &application, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  MForm.show();
  return application.exec();
}
