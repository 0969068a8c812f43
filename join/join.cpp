#include "join/join.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

#include "io/copy_range.h"
#include "io/file.h"
#include "io/file_error.h"
#include "io/replacement_file.h"
#include "io/sys_calls.h"
#include "join/part_order.h"
#include "partset/info_file.h"
#include "partset/part_number.h"
#include "partset/path_helpers.h"

namespace parcelo {
namespace {

constexpr const char* kFolderErrorTitle = "Ошибка инициализации директории";

Outcome Refuse(const MessageSink& show, const char* text) {
  show({MessageKind::Critical, kFolderErrorTitle, text});
  return Outcome::Refused;
}

// True when the name from the info file may be written in the folder: a
// plain name that is neither the info file nor one of the parts, by
// spelling or by file identity, so the join can't write outside its folder
// or destroy an input.
bool IsAcceptableOutputName(const std::string& folder, const std::string& name,
                            const std::vector<std::string>& parts) {
  if (!IsPlainFileName(name) || name == kInfoFileName) return false;
  if (std::find(parts.begin(), parts.end(), name) != parts.end()) return false;
  const std::string output = folder + name;
  if (IsSameFile(output, folder + std::string(kInfoFileName))) return false;
  return std::none_of(parts.begin(), parts.end(), [&](const std::string& part) {
    return IsSameFile(output, folder + part);
  });
}

// The bytes the parts hold together, for the progress display only.
std::uint64_t TotalSize(const std::string& folder, const std::vector<std::string>& parts) {
  std::uint64_t total = 0;
  for (const std::string& part : parts) {
    struct stat status {};
    if (Sys().Stat((folder + part).c_str(), &status) == 0) total += status.st_size;
  }
  return total;
}

}  // namespace

Outcome Join(const std::string& folder, const FolderLister& list, const MessageSink& show,
             const Progress& progress) {
  const std::vector<std::string> listing = list(folder);
  const std::vector<std::string> parts = OrderParts(listing);
  if (parts.empty()) return Refuse(show, "В данной папке нет частей файла!");

  const std::string base = folder + kSeparator;
  const std::string name = ReadInfoFile(base + std::string(kInfoFileName));
  if (!IsAcceptableOutputName(base, name, parts)) {
    return Refuse(show, "Файл Infa.inf не содержит допустимого имени исходного файла!");
  }
  if (listing.size() < 2) {
    return Refuse(show,
                  "В выбранной папке частей файла нет. Выбирайте ту папку где есть части с "
                  "расширением *.drb");
  }

  RangeCopier copier;
  ProgressMeter meter(progress, TotalSize(base, parts));
  ReplacementFile output(base, name);
  std::uint64_t position = 0;
  for (const std::string& partName : parts) {
    File part = File::OpenForReading(base + partName);
    const std::uint64_t bytes = part.Size();
    copier.Copy(part, 0, output.file(), position, bytes, meter);
    position += bytes;
  }
  output.Commit();
  meter.Finish();

  show({MessageKind::Information, "Слияние завершено",
        "Поздравляем! Файл собран и сохранен под исходным именем " + base + name + "."});
  return Outcome::Done;
}

}  // namespace parcelo
