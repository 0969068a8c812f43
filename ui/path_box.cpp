#include "ui/path_box.h"

#include <QDir>
#include <QUrl>

namespace parcelo::ui {

QString PathInBox(const QString& text) {
  if (text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
    const QUrl url(text.trimmed());
    if (url.isLocalFile()) return QDir::toNativeSeparators(url.toLocalFile());
  }
  const QString tilde = QStringLiteral("~");
  if (text == tilde || text.startsWith(tilde + QLatin1Char('/')) ||
      text.startsWith(tilde + QDir::separator())) {
    return QDir::toNativeSeparators(QDir::homePath()) + text.mid(1);
  }
  return text;
}

}  // namespace parcelo::ui
