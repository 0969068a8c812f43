#include "ui/app_icon.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace parcelo::ui {

// Three pieces of one sheet, drifting apart, on a transparent ground. The
// black border is one pixel up to 32x32 and grows with larger pictures.
QImage AppIconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  const qreal unit = size / 16.0;
  const int border = std::max(1, size / 32);
  const QColor colors[] = {QColor(0, 0, 128), QColor(0, 128, 128), QColor(192, 0, 0)};
  for (int piece = 0; piece < 3; ++piece) {
    const QRect rect =
        QRectF(unit * (2 + piece * 2), unit * (1 + piece * 5), unit * 10, unit * 4).toRect();
    painter.fillRect(rect, Qt::black);
    painter.fillRect(rect.adjusted(border, border, -border, -border), colors[piece]);
  }
  return image;
}

QIcon AppIcon() {
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(AppIconImage(16)));
  icon.addPixmap(QPixmap::fromImage(AppIconImage(32)));
  return icon;
}

}  // namespace parcelo::ui
