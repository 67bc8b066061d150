#include "app/messages.h"

#include <QMessageBox>
#include <QTimer>

namespace app {

void ShowMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::Ok, parent);
  box.exec();
}

void ShowMessageClosingItself(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::Ok, parent);
  box.setProperty(kClosesItself, true);
  QTimer::singleShot(0, &box, &QMessageBox::accept);
  box.exec();
}

void ReportError(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, kApplicationTitle, text);
}

}  // namespace app
