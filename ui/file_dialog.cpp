#include "ui/file_dialog.h"

#include <QAbstractItemView>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLayout>
#include <QListView>
#include <QLocale>
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

}  // namespace

QString RunFileDialog(QFileDialog& dialog) {
  // The desktop's own dialog where it offers one. Where it does not, Qt has
  // built its own dialog's views already, and they show sizes and dates in
  // Russian.
  if (dialog.findChild<QAbstractItemView*>()) {
    dialog.setProxyModel(new RussianFileModel(&dialog));
    FitRussianTexts(dialog);
  }
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return QDir::toNativeSeparators(QDir::cleanPath(dialog.selectedFiles().constFirst()));
}

}  // namespace parcelo::ui
