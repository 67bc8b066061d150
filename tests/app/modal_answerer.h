// Answers the program's modal windows the way a user would, for tests that
// drive the real windows: a timer polls QApplication::activeModalWidget() and
// hands each new modal window to the next expected answer, in order. A modal
// window nobody expected is recorded and dismissed so that no test hangs.
#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

namespace courses {
class TControlCursos;
}

namespace testing_gui {

class ModalAnswerer : public QObject {
 public:
  using Answer = std::function<void(QWidget* modal)>;

  ModalAnswerer();

  // Queues the answer to the next modal window; `what` names it in failures.
  void Expect(QString what, Answer answer);

  // Common answers.
  void ExpectFile(const QString& path);  // types the path into the file dialog and accepts
  void ExpectFileCancelled();
  void ExpectMessage(const QString& text);  // a message box with exactly this text: OK
  void ExpectCourses(std::function<void(courses::TControlCursos&)> fill);

  bool Done() const { return answers_.empty(); }
  // "<title>: <text>" of every message box seen, in order.
  const QStringList& Messages() const { return messages_; }
  // Descriptions of what went wrong: unexpected windows, wrong texts.
  const QStringList& Problems() const { return problems_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Poll();

  QTimer timer_;
  std::deque<std::pair<QString, Answer>> answers_;
  QPointer<QWidget> handled_;  // the modal window answered last, while it is still up
  QStringList messages_;
  QStringList problems_;
};

// Types `text` into the cell (row, column) of the assignment dialog's grid as
// a user does: the cell made current, the text typed into its editor, Enter.
void TypeIntoCell(courses::TControlCursos& dialog, int row, int column, const QString& text);

}  // namespace testing_gui
