// How the desktop program talks to its user outside the forms themselves:
// plain messages ("No existe archivo", "Proceso finalizado") and the default
// error report, every box captioned with the application title. An error that
// reaches an event handler ends that handler and is shown here; the event
// loop and the windows carry on.
#pragma once

#include <QString>
#include <QWidget>
#include <exception>

namespace app {

inline const QString kApplicationTitle = QStringLiteral("TransOrvanoSeneca");

// A message with an OK button, waited for.
void ShowMessage(QWidget* parent, const QString& text);

// The same message closing itself as soon as it is up, when the program is
// already ending and nobody is to wait for it. The box carries the property
// kClosesItself, so that whoever watches the windows knows not to answer it.
inline constexpr const char* kClosesItself = "closesItself";
void ShowMessageClosingItself(QWidget* parent, const QString& text);

// The default error report: a critical box with the error's text.
void ReportError(QWidget* parent, const QString& text);

// Runs an event handler's body, reporting any error that escapes it. Qt
// event handlers must never let an exception through.
template <typename Body>
void RunReportingErrors(QWidget* parent, Body&& body) {
  try {
    body();
  } catch (const std::exception& e) {
    ReportError(parent, QString::fromUtf8(e.what()));
  } catch (...) {
    ReportError(parent, QStringLiteral("Error inesperado: la operación no ha podido terminar."));
  }
}

}  // namespace app
