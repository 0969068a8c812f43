#include "split/split.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <optional>

#include "io/copy_range.h"
#include "io/file.h"
#include "io/file_error.h"
#include "io/replacement_file.h"
#include "io/sys_calls.h"
#include "partset/info_file.h"
#include "partset/leading_number.h"
#include "partset/part_number.h"
#include "partset/path_helpers.h"

namespace parcelo {
namespace {

constexpr std::uint64_t kMaxParts = 1000;
constexpr double kMaxPieceSize = 2147483647;

Outcome Refuse(const MessageSink& show, const char* title, const char* text) {
  show({MessageKind::Critical, title, text});
  return Outcome::Refused;
}

// The piece size in whole bytes: rounded to the nearest integer, halves to
// the even neighbour; nothing when that falls outside 1 ... 2^31 - 1.
std::optional<std::uint64_t> WholePieceSize(double size) {
  if (!std::isfinite(size)) return std::nullopt;
  const double below = std::floor(size);
  const double fraction = size - below;
  double rounded = below;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) rounded += 1;
  if (rounded < 1 || rounded > kMaxPieceSize) return std::nullopt;
  return static_cast<std::uint64_t>(rounded);
}

// True when writing the set into `target` would replace the source itself:
// the source is that folder's info file or one of the parts to be written
// (under any spelling, hard links included).
bool WouldReplaceSource(const File& source, const std::string& target, std::uint64_t parts) {
  if (IsSameFile(source, target + std::string(kInfoFileName))) return true;
  std::string number(kFirstPartNumber);
  for (std::uint64_t k = 1; k <= parts; ++k, IncFn(number)) {
    if (IsSameFile(source, target + PartFileName(number))) return true;
  }
  return false;
}

// Makes the new subfolder (given with its trailing separator) unless a
// folder of that name exists already.
void EnsureFolder(const std::string& folder) {
  if (Sys().Mkdir(folder.c_str(), 0777) == 0) return;
  const int error = errno;
  struct stat status {};
  if (error == EEXIST && Sys().Stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return;
  const std::string named = folder.substr(0, folder.size() - 1);
  throw FileError(error == EEXIST ? ENOTDIR : error, FileOperation::CreateFolder, named);
}

// Writes the parts: part k holds the source bytes from (k-1)*pieceSize on.
// Returns the last part number.
std::string WriteParts(const File& source, const std::string& target, std::uint64_t length,
                       std::uint64_t pieceSize, std::uint64_t parts, const Progress& progress) {
  RangeCopier copier;
  ProgressMeter meter(progress, length);
  std::string number(kFirstPartNumber);
  for (std::uint64_t k = 1; k <= parts; ++k) {
    const std::uint64_t offset = (k - 1) * pieceSize;
    const std::uint64_t bytes = std::min(pieceSize, length - offset);
    ReplacementFile part(target, PartFileName(number));
    copier.Copy(source, offset, part.file(), 0, bytes, meter);
    part.Commit();
    if (k < parts) IncFn(number);
  }
  meter.Finish();
  return number;
}

}  // namespace

Outcome Split(const SplitRequest& request, const MessageSink& show, const Progress& progress) {
  if (request.sourcePath.empty()) {
    return Refuse(show, "Ошибка чтения файла", "Не указан файл для дробления!");
  }
  // A relative path is taken from the current folder, so the set lands
  // beside the file and the info file holds its name.
  const std::string sourcePath = AbsolutePath(request.sourcePath);
  File source = File::OpenForReading(sourcePath);
  const std::uint64_t length = source.Size();

  const double size = ReadLeadingNumber(request.pieceSizeText);
  const std::optional<std::uint64_t> pieceSize = WholePieceSize(size);
  if (!pieceSize) {
    return Refuse(show, "Ошибка размера файла",
                  "Размер части должен быть целым числом от 1 до 2147483647 байт. "
                  "Измените размер части в настройках!");
  }
  if (static_cast<double>(length) <= size) {
    return Refuse(show, "Ошибка размера файла",
                  "Часть должна быть меньше чем файл. Измените размер части в настройках!");
  }
  const std::uint64_t parts = (length + *pieceSize - 1) / *pieceSize;
  if (parts > kMaxParts) {
    return Refuse(show, "Ошибка пробления файла",
                  "Файл не может быть разделен более чем на 1000 файлов!");
  }
  if (request.newFolder && !request.newFolderName.empty() &&
      !IsPlainFileName(request.newFolderName)) {
    return Refuse(show, "Ошибка имени директории",
                  "Недопустимое имя новой директории. Измените его в настройках!");
  }

  std::string target = FolderOf(sourcePath) + kSeparator;
  if (request.newFolder) target += request.newFolderName + kSeparator;
  if (WouldReplaceSource(source, target, parts)) {
    return Refuse(show, "Ошибка дробления файла",
                  "Файл нельзя дробить в ту же директорию: его имя совпадает с именем части "
                  "или Infa.inf. Выберите новую директорию в настройках!");
  }

  if (request.newFolder) EnsureFolder(target);
  WriteInfoFile(target, FileNameOf(sourcePath));
  const std::string lastNumber = WriteParts(source, target, length, *pieceSize, parts, progress);
  source.Close();

  show({MessageKind::Information, "Дробление завершено",
        "Поздравляем! Выбранный файл " + request.sourcePath + " был разбит на " +
            FormatWholeNumber(ReadLeadingNumber(lastNumber)) + " части(ей)!"});
  return Outcome::Done;
}

}  // namespace parcelo
