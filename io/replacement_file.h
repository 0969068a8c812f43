#pragma once

#include <string>

#include "io/file.h"

namespace parcelo {

// A file that takes the place of `folder + name` only once it is complete.
// The bytes go to a hidden temporary file in the same folder; Commit()
// closes it and renames it over the target. Until then an existing file of
// that name stays as it was, and a ReplacementFile that is destroyed
// without Commit() removes its temporary. Errors name the target.
class ReplacementFile {
 public:
  // Creates the temporary; `folder` ends with a separator. Throws FileError.
  ReplacementFile(const std::string& folder, const std::string& name);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // The file to write into; its path() is the target's.
  const File& file() const { return file_; }
  const std::string& target() const { return file_.path(); }

  // Gives the temporary the permissions of the file it replaces, if any,
  // closes it and renames it over the target; throws FileError, and the
  // temporary is removed.
  void Commit();

 private:
  File file_;
  std::string temporary_;
  bool committed_ = false;
};

}  // namespace parcelo
