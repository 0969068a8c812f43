#include "cli/piece_size.h"

#include <array>
#include <charconv>

#include "cli/cli_texts.h"
#include "io/absolute_path.h"
#include "io/file.h"
#include "io/file_error.h"
#include "operation/messages.h"
#include "partset/case_folding.h"
#include "partset/leading_number.h"

namespace parcelo {
namespace {

constexpr std::uint64_t kMinParts = 2;
constexpr std::uint64_t kMaxParts = 1000;
constexpr std::uint64_t kMaxPieceSize = 2147483647;

struct Unit {
  std::string_view name;
  double bytes;
};

constexpr std::array<Unit, 9> kUnits = {{{"k", 1024.0},
                                         {"m", 1024.0 * 1024},
                                         {"g", 1024.0 * 1024 * 1024},
                                         {"kib", 1024.0},
                                         {"mib", 1024.0 * 1024},
                                         {"gib", 1024.0 * 1024 * 1024},
                                         {"kb", 1e3},
                                         {"mb", 1e6},
                                         {"gb", 1e9}}};

// The text without the spaces the number reader skips.
std::string Squeezed(std::string_view text) {
  std::string squeezed;
  while (!text.empty()) {
    if (const std::size_t space = SkippedLength(text)) {
      text.remove_prefix(space);
      continue;
    }
    squeezed.push_back(text.front());
    text.remove_prefix(1);
  }
  return squeezed;
}

// The text without the number reader's spaces at its ends.
std::string_view Trimmed(std::string_view text) {
  while (const std::size_t space = SkippedLength(text)) text.remove_prefix(space);
  std::size_t end = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t space = SkippedLength(text.substr(i));
    i += space == 0 ? 1 : space;
    if (space == 0) end = i;
  }
  return text.substr(0, end);
}

Report Refusal(const char* title, const char* text) {
  return BoxReport(Outcome::Refused, MessageKind::Critical, title, text);
}

}  // namespace

SizeWithUnit ReadSizeWithUnit(std::string_view text) {
  const NumberPrefix number = ReadNumberPrefix(text);
  const std::string_view rest = text.substr(number.length);
  const std::string unit = Squeezed(rest);
  if (unit.empty()) return {number.value, {}};
  for (const Unit& known : kUnits) {
    if (EqualIgnoringCase(unit, known.name)) return {number.value * known.bytes, {}};
  }
  return {number.value, std::string(Trimmed(rest))};
}

std::string SizeText(double bytes) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, bytes);
  if (error != std::errc()) return "0";
  return std::string(buffer, end);
}

std::optional<Report> SetPieceSizeForParts(SplitRequest& request, std::uint64_t parts) {
  namespace text = cli_text;
  if (parts < kMinParts || parts > kMaxParts) {
    return Refusal(messages::kCountErrorTitle, text::kPartsRange);
  }
  if (request.sourcePath.empty()) return std::nullopt;  // the split refuses it
  std::uint64_t length = 0;
  try {
    length = File::OpenForReading(AbsolutePath(request.sourcePath)).Size();
  } catch (const FileError& error) {
    return messages::ErrorReport(error);
  }
  if (length < kMinParts) return Refusal(messages::kSizeErrorTitle, text::kTooShortForParts);
  const std::uint64_t pieceSize = (length + parts - 1) / parts;
  if (pieceSize > kMaxPieceSize) return Refusal(messages::kSizeErrorTitle, text::kTooLongForParts);
  request.pieceSizeText = std::to_string(pieceSize);
  return std::nullopt;
}

}  // namespace parcelo
