#pragma once

#include <QListWidget>

#include "join/join.h"

namespace parcelo::ui {

// The window's file list (File1): shows the files of one folder, every
// file but hidden ones, sorted by name. The join lists its folder through it.
class FileListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit FileListBox(QWidget* parent = nullptr);

  // Lists a folder; throws FileError when it can't be read (the list is
  // then empty).
  void setPath(const QString& folder);

  // A lister for the join that goes through this list, so the list keeps
  // the last folder a join read.
  FolderLister lister();

 private:
  void List(const std::string& folder);

  // The entries as the file system gives them; the items show the names
  // of the files among them, decoded.
  std::vector<FolderEntry> entries_;
};

}  // namespace parcelo::ui
