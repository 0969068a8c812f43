// libFuzzer target for the info-file reader (scripts/fuzz.sh).
#include <cstdlib>

#include "support/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (!parcelo::testing::CheckInfoFile(std::string(reinterpret_cast<const char*>(data), size))) std::abort();
  return 0;
}
