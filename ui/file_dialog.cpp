#include "ui/file_dialog.h"

#include <QAbstractItemView>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLayout>
#include <QListView>
#include <QLocale>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTreeView>
#include <algorithm>

#include "ui/russian_file_model.h"
#include "ui/russian_numbers.h"
#include "ui/window_texts.h"

namespace parcelo::ui {
namespace {

// Qt sizes its dialog's columns for English figures ("128.88 GB",
// "10/29/81 02:02PM") and its side list for short names, so the Russian ones
// were cut ("1 0…йта", "Ком…"). Widens the columns and the side list for the
// longest usual Russian texts, and the dialog with them. The parts are found
// by the names Qt's dialog gives them; a dialog without them stays as it is.
void FitRussianTexts(QFileDialog& dialog) {
  auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  auto* places = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
  auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter"));
  if (!details || !places || !splitter) return;
  const QFontMetrics metrics(details->font());
  const int padding = 3 * metrics.averageCharWidth();
  const QDateTime longDate(QDate(2000, 12, 28), QTime(23, 59));
  const QString longest[] = {
      {},  // the name column keeps its width
      DataSizeText(1023),
      QString::fromUtf8(text::kLongestFileType),
      QLocale(QLocale::Russian, QLocale::Russia).toString(longDate, QLocale::ShortFormat),
  };
  int width = 0;
  QHeaderView* header = details->header();
  for (int column = 0; column < header->count(); ++column) {
    if (column > 0 && column < int(std::size(longest))) {
      header->resizeSection(column, metrics.horizontalAdvance(longest[column]) + padding);
    }
    width += header->sectionSize(column);
  }
  const int placesWidth =
      places->fontMetrics().horizontalAdvance(QString::fromUtf8(text::kLongestPlace)) +
      places->iconSize().width() + 2 * padding;
  splitter->setSizes({placesWidth, width});
  const QMargins outside = dialog.layout()->contentsMargins();
  const int margins = outside.left() + outside.right() + splitter->handleWidth() +
                      dialog.style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                      4 * details->frameWidth();
  dialog.resize(std::max(dialog.width(), placesWidth + width + margins), dialog.height());
}

// Keeps the dialog inside the screen it opens on, frame included, centred
// over its parent where that leaves it whole. Sized for its texts it was
// wider than a small screen at a large scale (a 1280-pixel screen at scale
// 2), with its buttons off the screen; and Qt's own placing counts the
// border of one side only, so a dialog as wide as the screen stuck out.
void FitScreen(QFileDialog& dialog) {
  const QWidget* over = dialog.parentWidget() ? dialog.parentWidget()->window() : &dialog;
  const QRect room = over->screen()->availableGeometry();
  // Not framed yet, the dialog will have a frame like its parent's.
  const QSize frame = over->frameGeometry().size() - over->size();
  dialog.resize(dialog.size().boundedTo(room.size() - frame));
  QRect place(QPoint(), dialog.size() + frame);
  place.moveCenter(dialog.parentWidget() ? over->frameGeometry().center() : room.center());
  place.moveRight(std::min(place.right(), room.right()));
  place.moveBottom(std::min(place.bottom(), room.bottom()));
  dialog.move(std::max(place.left(), room.left()), std::max(place.top(), room.top()));
}

}  // namespace

QString RunFileDialog(QFileDialog& dialog) {
  // The desktop's own dialog where it offers one. Where it does not, Qt has
  // built its own dialog's views already, and they show sizes and dates in
  // Russian.
  if (dialog.findChild<QAbstractItemView*>()) {
    dialog.setProxyModel(new RussianFileModel(&dialog));
    FitRussianTexts(dialog);
    FitScreen(dialog);
  }
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return QDir::toNativeSeparators(QDir::cleanPath(dialog.selectedFiles().constFirst()));
}

}  // namespace parcelo::ui
