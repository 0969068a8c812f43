#include "partset/checksum_file.h"

#include "partset/case_folding.h"
#include "partset/part_number.h"
#include "partset/path_helpers.h"

namespace parcelo {
namespace {

constexpr std::size_t kDigestLength = 64;

std::optional<std::string> LowercaseDigest(std::string_view hex) {
  if (hex.size() != kDigestLength) return std::nullopt;
  std::string digest(hex);
  for (char& c : digest) {
    c = FoldAsciiCase(c);
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return std::nullopt;
  }
  return digest;
}

// Undoes sha256sum's escape of a name: "\\" for a backslash, "\n" for a
// line feed (which no plain name holds, so it is refused later).
std::optional<std::string> Unescaped(std::string_view name) {
  std::string plain;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '\\') {
      plain += name[i];
    } else if (i + 1 < name.size() && (name[i + 1] == '\\' || name[i + 1] == 'n')) {
      plain += name[++i] == 'n' ? '\n' : '\\';
    } else {
      return std::nullopt;
    }
  }
  return plain;
}

std::optional<ChecksumLine> ParseLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const bool escaped = !line.empty() && line.front() == '\\';
  if (escaped) line.remove_prefix(1);
  if (line.size() < kDigestLength + 3 || line[kDigestLength] != ' ' ||
      (line[kDigestLength + 1] != ' ' && line[kDigestLength + 1] != '*')) {
    return std::nullopt;
  }
  std::optional<std::string> digest = LowercaseDigest(line.substr(0, kDigestLength));
  const std::string_view written = line.substr(kDigestLength + 2);
  std::optional<std::string> name = escaped ? Unescaped(written) : std::string(written);
  if (!digest || !name) return std::nullopt;
  return ChecksumLine{std::move(*name), std::move(*digest)};
}

}  // namespace

std::string ChecksumFileText(const std::vector<ChecksumLine>& lines) {
  std::string text;
  for (const ChecksumLine& line : lines) {
    std::string name;
    for (char c : line.name) name += c == '\\' ? std::string("\\\\") : std::string(1, c);
    if (name != line.name) text += '\\';
    text += line.digest + "  " + name + "\n";
  }
  return text;
}

std::optional<SetChecksums> ParseChecksumFile(std::string_view content) {
  if (content.empty() || content.back() != '\n') return std::nullopt;
  content.remove_suffix(1);
  SetChecksums sums;
  for (std::size_t start = 0; start <= content.size();) {
    const std::size_t end = std::min(content.find('\n', start), content.size());
    std::optional<ChecksumLine> line = ParseLine(content.substr(start, end - start));
    start = end + 1;
    if (!line || !IsPlainFileName(line->name) || line->name == kInfoFileName ||
        line->name == kChecksumFileName) {
      return std::nullopt;
    }
    if (!HasPartExtension(line->name)) {
      if (sums.whole) return std::nullopt;
      sums.whole = std::move(*line);
    } else if (!sums.parts.emplace(line->name, line->digest).second) {
      return std::nullopt;
    }
  }
  return sums;
}

}  // namespace parcelo
