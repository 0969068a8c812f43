#include "partset/info_file.h"

#include "partset/case_folding.h"
#include "partset/checksum_file.h"
#include "partset/name_encoding.h"
#include "partset/part_number.h"
#include "partset/temporary_name.h"

namespace parcelo {

std::string InfoFileText(std::string_view sourceName) {
  return EncodeInfoName(sourceName) + "\r\n";
}

std::string NameInInfoFile(std::string_view content) {
  std::string_view line = content.substr(0, content.find('\r'));
  const std::size_t first = line.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  line = line.substr(first, line.find_last_not_of(' ') - first + 1);
  return DecodeInfoName(line);
}

NameFault InfoFileNameFault(std::string_view sourceName) {
  if (sourceName.empty()) return NameFault::kEmpty;
  if (sourceName.front() == ' ') return NameFault::kLeadingSpace;
  if (sourceName.back() == ' ') return NameFault::kTrailingSpace;
  for (char c : sourceName) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) return NameFault::kControlCharacter;
  }
  if (IsSetFileName(sourceName)) return NameFault::kSetFileName;
  // Raw bytes of another system's encoding, which can't be told from
  // Windows-1251, come back as other characters.
  if (NameInInfoFile(InfoFileText(sourceName)) != sourceName) return NameFault::kForeignEncoding;
  return NameFault::kNone;
}

bool IsSetFileName(std::string_view name) {
  // On a file system that ignores letter case, "INFA.INF" is the info file too.
  return EqualIgnoringAsciiCase(name, kInfoFileName) ||
         EqualIgnoringAsciiCase(name, kChecksumFileName) || HasPartExtension(name) ||
         IsTemporaryName(name);
}

bool InfoFileKeepsName(std::string_view sourceName) {
  return InfoFileNameFault(sourceName) == NameFault::kNone;
}

}  // namespace parcelo
