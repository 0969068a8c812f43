#include "io/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <random>

#include "io/file_error.h"
#include "io/sys_calls.h"

namespace parcelo {
namespace {

// A short name of its own, so that a long target name can't push the
// temporary past the file system's name limit. The leading dot hides it
// from the join's listing should it ever be left behind.
std::string TemporaryName() {
  static std::mt19937_64 random(
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = ".parcelo-";
  for (int i = 0; i < 10; ++i) name.push_back(kLetters[random() % (sizeof kLetters - 1)]);
  return name + ".tmp";
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& folder, const std::string& name) {
  const std::string target = folder + name;
  for (int attempt = 0;; ++attempt) {
    temporary_ = folder + TemporaryName();
    const int fd = Sys().Open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd >= 0) {
      file_ = File(fd, target);
      return;
    }
    if (errno != EEXIST || attempt == 100) throw FileError(errno, FileOperation::Create, target);
  }
}

ReplacementFile::~ReplacementFile() {
  if (committed_) return;
  file_ = File();  // closes quietly
  Sys().Unlink(temporary_.c_str());
}

void ReplacementFile::Commit() {
  // A file that is replaced keeps its permissions, as if written in place;
  // where that fails, the new file keeps the usual ones.
  struct stat old {};
  if (Sys().Stat(target().c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    Sys().Fchmod(file_.fd(), old.st_mode & 07777);
  }
  file_.Close();
  if (Sys().Rename(temporary_.c_str(), target().c_str()) != 0) {
    throw FileError(errno, FileOperation::Replace, target());
  }
  committed_ = true;
}

}  // namespace parcelo
