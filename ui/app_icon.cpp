#include "ui/app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace parcelo::ui {
namespace {

// Three pieces of one sheet, drifting apart, on a transparent ground.
QPixmap DrawIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const qreal unit = size / 16.0;
  const QColor colors[] = {QColor(0, 0, 128), QColor(0, 128, 128), QColor(192, 0, 0)};
  for (int piece = 0; piece < 3; ++piece) {
    const QRectF rect(unit * (2 + piece * 2), unit * (1 + piece * 5), unit * 10, unit * 4);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(colors[piece]);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
  }
  return pixmap;
}

}  // namespace

QIcon AppIcon() {
  QIcon icon;
  icon.addPixmap(DrawIcon(16));
  icon.addPixmap(DrawIcon(32));
  return icon;
}

}  // namespace parcelo::ui
