#include "partset/info_file.h"

#include "io/file.h"
#include "io/file_error.h"
#include "io/replacement_file.h"
#include "io/write_all.h"
#include "partset/part_number.h"

namespace parcelo {
namespace {

// Far beyond any file name a file system accepts (255 bytes on most).
constexpr std::size_t kMaxLineBytes = 4096;

std::string TrimSpaces(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

void WriteInfoFile(const std::string& folder, const std::string& sourceName) {
  const std::string line = sourceName + "\r\n";
  ReplacementFile info(folder, std::string(kInfoFileName));
  WriteAll(info.file(), line.data(), line.size(), 0);
  info.Commit();
}

std::string ReadInfoFile(const std::string& path) {
  File file = File::OpenForReading(path);
  std::string line(kMaxLineBytes + 1, '\0');
  std::size_t filled = 0;
  while (filled < line.size()) {
    const std::size_t got = file.ReadAt(line.data() + filled, line.size() - filled, filled);
    if (got == 0) break;
    const std::size_t cr = line.find('\r', filled);
    filled += got;
    if (cr < filled) {
      filled = cr;
      break;
    }
  }
  // A line that ends at the file's end is a whole line; no byte at all is not.
  if (filled == 0 && file.Size() == 0) throw FileError(kUnexpectedEnd, FileOperation::Read, path);
  line.resize(filled);
  return TrimSpaces(line);
}

}  // namespace parcelo
