#include "ui/caption_width.h"

#include <QApplication>
#include <QFontMetrics>

namespace parcelo::ui {
namespace {

// The icon and three caption buttons, about 24 pixels each, and the borders.
constexpr int kTitleBarDecorations = 4 * 24 + 32;

}  // namespace

int WidthForCaption(const QString& caption) {
  QFont font = QApplication::font();
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(caption) + kTitleBarDecorations;
}

}  // namespace parcelo::ui
