#include "app/draw3d.h"

#include <QLinearGradient>
#include <QPainter>

namespace app {

TDraw3D::TDraw3D(QWidget* parent, QColor start, QColor middle, QColor end)
    : QWidget(parent), start_(start), middle_(middle), end_(end) {}

void TDraw3D::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient gradient(0, 0, 0, height());
  gradient.setColorAt(0.0, start_);
  gradient.setColorAt(0.5, middle_);
  gradient.setColorAt(1.0, end_);
  painter.fillRect(rect(), gradient);
}

}  // namespace app
