#include "modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "app/messages.h"
#include "courses/control_cursos.h"

namespace testing_gui {

ModalAnswerer::ModalAnswerer() {
  timer_.setInterval(20);
  connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::Poll);
  timer_.start();
}

void ModalAnswerer::Expect(QString what, Answer answer) { answers_.emplace_back(std::move(what), std::move(answer)); }

bool ModalAnswerer::eventFilter(QObject* watched, QEvent* event) {
  // A window answered and hidden may come back later (the file dialog is
  // kept by the main window): it is then a new question.
  if (event->type() == QEvent::Hide && watched == handled_) handled_ = nullptr;
  return QObject::eventFilter(watched, event);
}

void ModalAnswerer::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || modal == handled_ || !modal->isVisible()) return;
  if (modal->property(app::kClosesItself).toBool()) return;  // nobody answers it
  handled_ = modal;
  modal->installEventFilter(this);

  if (auto* box = qobject_cast<QMessageBox*>(modal))
    messages_ << box->windowTitle() + QStringLiteral(": ") + box->text();

  if (answers_.empty()) {
    problems_ << QStringLiteral("unexpected window %1 «%2»")
                     .arg(QString::fromLatin1(modal->metaObject()->className()), modal->windowTitle());
    if (auto* box = qobject_cast<QMessageBox*>(modal)) problems_.last() += QStringLiteral(": ") + box->text();
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    else modal->close();
    return;
  }
  auto [what, answer] = std::move(answers_.front());
  answers_.pop_front();
  // Answered from the event loop, not from inside the timer's slot, so that
  // an answer may itself wait for further windows.
  QTimer::singleShot(0, modal, [answer = std::move(answer), modal] { answer(modal); });
}

void ModalAnswerer::ExpectFile(const QString& path) {
  Expect(QStringLiteral("file dialog"), [this, path](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (!dialog) {
      problems_ << QStringLiteral("expected the file dialog, got %1").arg(modal->windowTitle());
      modal->close();
      return;
    }
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
    // As the Open button does (QFileDialog::accept is not public).
    QMetaObject::invokeMethod(dialog, "accept");
  });
}

void ModalAnswerer::ExpectFileCancelled() {
  Expect(QStringLiteral("file dialog"), [this](QWidget* modal) {
    if (!qobject_cast<QFileDialog*>(modal))
      problems_ << QStringLiteral("expected the file dialog, got %1").arg(modal->windowTitle());
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  });
}

void ModalAnswerer::ExpectMessage(const QString& text) {
  Expect(text, [this, text](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
      problems_ << QStringLiteral("expected the message «%1», got %2").arg(text, modal->windowTitle());
      modal->close();
      return;
    }
    if (box->text() != text) problems_ << QStringLiteral("expected «%1», got «%2»").arg(text, box->text());
    QTest::mouseClick(box->buttons().constFirst(), Qt::LeftButton);
  });
}

void ModalAnswerer::ExpectCourses(std::function<void(courses::TControlCursos&)> fill) {
  Expect(QStringLiteral("assignment dialog"), [this, fill](QWidget* modal) {
    auto* dialog = dynamic_cast<courses::TControlCursos*>(modal);
    if (!dialog) {
      problems_ << QStringLiteral("expected the assignment dialog, got %1").arg(modal->windowTitle());
      modal->close();
      return;
    }
    fill(*dialog);
  });
}

void TypeIntoCell(courses::TControlCursos& dialog, int row, int column, const QString& text) {
  auto* grid = dialog.CursosTDBGrid;
  const QModelIndex cell = grid->model()->index(row, column);
  grid->setCurrentIndex(cell);  // an editable cell opens its editor on becoming current
  if (!grid->indexWidget(cell)) grid->edit(cell);
  QWidget* editor = grid->indexWidget(cell);
  if (!editor) return;
  auto* line = qobject_cast<QLineEdit*>(editor);
  if (line) line->selectAll();
  QTest::keyClicks(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
}

}  // namespace testing_gui
