#pragma once

#include <QListWidget>
#include <vector>

#include "io/folder_listing.h"

namespace parcelo::ui {

// The window's file list (File1): shows the files of the folder the last
// join listed, every file but hidden ones, sorted by name.
class FileListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit FileListBox(QWidget* parent = nullptr);

  // Shows the files among a folder's entries (the join's listing), decoded.
  void Show(const std::vector<FolderEntry>& entries);
};

}  // namespace parcelo::ui
