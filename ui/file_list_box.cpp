#include "ui/file_list_box.h"

#include "ui/core_path.h"

namespace parcelo::ui {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {}

void FileListBox::setPath(const QString& folder) { List(CorePath(folder)); }

void FileListBox::List(const std::string& folder) {
  clear();
  entries_.clear();
  entries_ = ListFolder(folder);
  for (const FolderEntry& entry : entries_) {
    if (entry.status.kind == FileStatus::Kind::Regular) {
      addItem(FromCorePath(entry.name));
    }
  }
}

FolderLister FileListBox::lister() {
  return [this](const std::string& folder) {
    List(folder);
    return entries_;
  };
}

}  // namespace parcelo::ui
