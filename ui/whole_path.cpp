#include "ui/whole_path.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QTextBoundaryFinder>
#include <QWidget>
#include <algorithm>

namespace parcelo::ui {
namespace {

constexpr char16_t kWordJoiner = u'\u2060';
constexpr char16_t kNoBreakSpace = u'\u00A0';

// The widest a message box grows for a long word, as Qt sizes it: the
// screen's width on a small screen, else 480 pixels less, at most 1000;
// less the box's icon and margins.
int WidestLine(const QWidget* parent) {
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  const int width = screen->availableGeometry().width();
  return (width <= 1024 ? width : std::min(width - 480, 1000)) - 100;
}

}  // namespace

QString KeepPathWhole(const QString& text, const QString& path, const QWidget* parent) {
  if (path.isEmpty() || !text.contains(path) ||
      QFontMetrics(QApplication::font()).horizontalAdvance(path) > WidestLine(parent)) {
    return text;
  }
  // Qt breaks lines after any space, whatever follows it.
  QString whole;
  QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, path);
  qsizetype from = 0;
  for (qsizetype at = breaks.toNextBoundary(); at > 0 && at <= path.size();
       at = breaks.toNextBoundary()) {
    whole += path.mid(from, at - from);
    if (whole.endsWith(u' ')) {
      whole.back() = kNoBreakSpace;
    } else if (at < path.size()) {
      whole += kWordJoiner;
    }
    from = at;
  }
  QString kept = text;
  return kept.replace(path, whole);
}

QString WithoutJoiners(QString text) {
  return text.remove(kWordJoiner).replace(kNoBreakSpace, u' ');
}

}  // namespace parcelo::ui
