#include "ui/russian_translation.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "ui/window_texts.h"

namespace parcelo::ui {
namespace {

// The words Qt's Russian catalogue (qtbase_ru) lacks: the kinds of entry its
// file dialogs name in the "Тип" column ("Folder" for every folder).
// Installed after Qt's catalogue, it is asked first and passes on the rest.
class QtCatalogueGaps : public QTranslator {
 public:
  using QTranslator::QTranslator;

  bool isEmpty() const override { return false; }

  QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                    int /*n*/) const override {
    static const QHash<QByteArray, QString> kinds = {
        {"Drive", QString::fromUtf8(text::kDriveKind)},
        {"File", QString::fromUtf8(text::kFileKind)},
        {"Folder", QString::fromUtf8(text::kFolderKind)},
        {"File Folder", QString::fromUtf8(text::kFolderKind)},
        {"Shortcut", QString::fromUtf8(text::kShortcutKind)},
        {"Alias", QString::fromUtf8(text::kShortcutKind)},
        {"Unknown", QString::fromUtf8(text::kUnknownKind)},
    };
    if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return {};
    return kinds.value(QByteArray(source));
  }
};

}  // namespace

bool InstallRussianTranslation(QCoreApplication& application) {
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  auto* qtCatalogue = new QTranslator(&application);
  const bool found = qtCatalogue->load(QStringLiteral("qtbase_ru"),
                                       QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (found) {
    QCoreApplication::installTranslator(qtCatalogue);
  } else {
    delete qtCatalogue;
  }
  QCoreApplication::installTranslator(new QtCatalogueGaps(&application));
  return found;
}

}  // namespace parcelo::ui
