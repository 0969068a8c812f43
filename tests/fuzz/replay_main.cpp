// Feeds every saved input of a fuzz target's corpus to the target, as
// libFuzzer would, in builds without libFuzzer. A check that fails aborts.
// Usage: TARGET_fuzz_replay CORPUS_FOLDER

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/temp_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size);

int main(int argc, char** argv) {
  if (argc != 2) return 64;
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    const std::string input = parcelo::testing::ReadFile(entry.path().string());
    LLVMFuzzerTestOneInput(reinterpret_cast<const unsigned char*>(input.data()), input.size());
    ++count;
  }
  std::printf("%d inputs replayed from %s\n", count, argv[1]);
  return count > 0 ? 0 : 1;
}
