#include "app/help.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "app/messages.h"

namespace app {

void ShowHelp(QWidget* parent, const QString& programFolder, int /*context*/) {
  const QString file = QDir(programFolder).filePath(kHelpFile);
  if (!QFileInfo(file).isFile()) {
    ReportError(parent, QStringLiteral("No se encuentra el archivo de ayuda %1. "
                                       "Cópielo en la carpeta del programa.")
                            .arg(QDir::toNativeSeparators(file)));
    return;
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file))) {
    ReportError(parent, QStringLiteral("No se puede abrir el archivo de ayuda %1: no hay ningún "
                                       "programa para abrir archivos CHM. Instale un visor de "
                                       "ayuda CHM (por ejemplo xchm) y vuelva a intentarlo.")
                            .arg(QDir::toNativeSeparators(file)));
  }
}

}  // namespace app
