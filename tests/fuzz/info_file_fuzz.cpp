// Fuzz target: the info-file reader takes any bytes: it returns the first
// line up to the first CR, at most a few KiB of it, without spaces at its
// ends; a file with no byte at all is an error.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "io/file_error.h"
#include "partset/info_file.h"

namespace {

std::string Expected(const std::string& bytes) {
  std::string line = bytes.substr(0, bytes.find('\r'));
  if (line.size() > 4097) line.resize(4097);
  const auto first = line.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

const std::string& InfoPath() {
  static const std::string path = "/tmp/parcelo-fuzz-" + std::to_string(getpid()) + ".inf";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::FILE* file = std::fopen(InfoPath().c_str(), "wb");
  if (!file) std::abort();
  if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
    std::abort();
  }
  try {
    if (parcelo::ReadInfoFile(InfoPath()) != Expected(bytes) || bytes.empty()) std::abort();
  } catch (const parcelo::FileError& error) {
    if (!bytes.empty() || error.code() != parcelo::kUnexpectedEnd) std::abort();
  }
  std::remove(InfoPath().c_str());
  return 0;
}
