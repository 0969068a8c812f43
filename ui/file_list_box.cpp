#include "ui/file_list_box.h"

#include "ui/core_path.h"

namespace parcelo::ui {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {}

void FileListBox::Show(const std::vector<FolderEntry>& entries) {
  clear();
  for (const FolderEntry& entry : entries) {
    if (entry.status.kind == FileStatus::Kind::Regular) addItem(FromCorePath(entry.name));
  }
}

}  // namespace parcelo::ui
