#pragma once

#include <QIdentityProxyModel>

namespace parcelo::ui {

// Sits between Qt's own file dialog and its file system model, and shows the
// sizes and dates in Russian whatever the system's locale: the model formats
// them by the system's locale ("6 bytes", "1,91 MiB", "7 Dec 2025") and, even
// in a Russian one, counts bytes in a wrong form ("6 байты") and sizes in
// "MiB". Sizes read "1 002 байта", "1,9 МБ"; dates "07.12.2025 14:05".
class RussianFileModel : public QIdentityProxyModel {
  Q_OBJECT

 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override;
};

}  // namespace parcelo::ui
