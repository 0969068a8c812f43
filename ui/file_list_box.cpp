#include "ui/file_list_box.h"

#include <QFile>

namespace parcelo::ui {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {}

void FileListBox::setPath(const QString& folder) { List(QFile::encodeName(folder).toStdString()); }

void FileListBox::List(const std::string& folder) {
  clear();
  names_.clear();
  names_ = ListFolder(folder);
  for (const std::string& name : names_) addItem(QFile::decodeName(QByteArray::fromStdString(name)));
}

FolderLister FileListBox::lister() {
  return [this](const std::string& folder) {
    List(folder);
    return names_;
  };
}

}  // namespace parcelo::ui
