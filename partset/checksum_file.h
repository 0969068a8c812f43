#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parcelo {

// The checksum file a set may carry beside its info file, in the format of
// sha256sum: "DIGEST  NAME", one line a file.
inline constexpr std::string_view kChecksumFileName = "Infa.sha256";

// The most bytes a checksum file may hold: a line for each of 1000 parts
// and one for the whole file fit many times over.
inline constexpr std::size_t kChecksumFileLimit = 256 * 1024;

// One line: a file's name and its SHA-256 digest (64 lowercase hex digits).
struct ChecksumLine {
  std::string name;
  std::string digest;
};

// What a set's checksum file says: the digest of each part, by name, and
// that of the whole file, if it has that line.
struct SetChecksums {
  std::map<std::string, std::string> parts;
  std::optional<ChecksumLine> whole;
};

// Returns the text of a checksum file with these lines, as sha256sum
// writes it (a name with a backslash is escaped as sha256sum escapes it).
std::string ChecksumFileText(const std::vector<ChecksumLine>& lines);

// Reads a set's checksum file: nothing when it is malformed. Every line
// must be "DIGEST  NAME" or "DIGEST *NAME" (LF or CR LF at its end, hex in
// either letter case), each name a plain file name once; names ending in
// ".drb" are parts, one other name may be the whole file's, and the info
// and checksum files can't be listed.
std::optional<SetChecksums> ParseChecksumFile(std::string_view content);

}  // namespace parcelo
