// TDraw3D: the gradient panel the windows are built on. It paints three
// colours from top to bottom (start, middle, end) and holds other controls
// placed on it at fixed positions.
#pragma once

#include <QColor>
#include <QWidget>

namespace app {

class TDraw3D : public QWidget {
 public:
  TDraw3D(QWidget* parent, QColor start, QColor middle, QColor end);

  QColor StartColor() const { return start_; }
  QColor MiddleColor() const { return middle_; }
  QColor EndColor() const { return end_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor start_, middle_, end_;
};

}  // namespace app
