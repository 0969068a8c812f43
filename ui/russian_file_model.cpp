#include "ui/russian_file_model.h"

#include <QFileSystemModel>
#include <QLocale>

#include "ui/russian_numbers.h"

namespace parcelo::ui {
namespace {

// The file system model's columns.
enum Column { kName, kSize, kType, kDateModified };

}  // namespace

QVariant RussianFileModel::data(const QModelIndex& index, int role) const {
  const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
  if (role != Qt::DisplayRole || !files || !index.isValid()) {
    return QIdentityProxyModel::data(index, role);
  }
  const QModelIndex source = mapToSource(index);
  switch (index.column()) {
    case kSize:
      // Folders show no size.
      if (files->isDir(source)) return QIdentityProxyModel::data(index, role);
      return DataSizeText(static_cast<std::uint64_t>(files->size(source)));
    case kDateModified:
      return QLocale(QLocale::Russian, QLocale::Russia)
          .toString(files->lastModified(source), QLocale::ShortFormat);
    default: return QIdentityProxyModel::data(index, role);
  }
}

}  // namespace parcelo::ui
