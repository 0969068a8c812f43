// Measures what a progress callback costs the split and the join: the same
// 1 GiB file is split and joined with and without one, rounds alternating,
// and the medians are compared.
//
// Usage: parcelo-bench-progress FILE [ROUNDS] [PIECE_SIZE]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "io/folder_listing.h"
#include "join/join.h"
#include "split/split.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Times one run, after writing back what earlier runs left dirty, so that no
// run pays for another's writeback.
template <typename Work>
double Seconds(Work work) {
  sync();
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [ROUNDS] [PIECE_SIZE]\n", argv[0]);
    return 64;
  }
  const std::string source = std::filesystem::absolute(argv[1]).string();
  const int rounds = argc > 2 ? std::stoi(argv[2]) : 7;
  const std::string piece = argc > 3 ? argv[3] : "100000000";
  const std::string folder = std::filesystem::path(source).parent_path().string() + "/progress-bench";
  const parcelo::MessageSink quiet = [](const parcelo::Message&) {};
  std::uint64_t calls = 0;
  const parcelo::Progress count = [&](std::uint64_t, std::uint64_t) { ++calls; };

  std::vector<double> splitWith, splitWithout, joinWith, joinWithout;
  for (int round = 0; round < rounds; ++round) {
    for (const bool withProgress : {round % 2 == 0, round % 2 != 0}) {
      std::filesystem::remove_all(folder);
      const parcelo::Progress progress = withProgress ? count : parcelo::Progress{};
      const double split = Seconds([&] {
        parcelo::Split({source, piece, true, "progress-bench"}, quiet, progress);
      });
      const double join = Seconds([&] { parcelo::Join(folder, parcelo::ListFolder, quiet, progress); });
      if (std::getenv("PARCELO_BENCH_VERBOSE")) {
        std::printf("%s split %.3f join %.3f\n", withProgress ? "with   " : "without", split, join);
      }
      (withProgress ? splitWith : splitWithout).push_back(split);
      (withProgress ? joinWith : joinWithout).push_back(join);
    }
  }
  std::filesystem::remove_all(folder);
  const auto report = [](const char* name, double with, double without) {
    std::printf("%-5s without %.3fs  with %.3fs  cost %+.1f%%\n", name, without, with,
                100.0 * (with - without) / without);
  };
  report("split", Median(splitWith), Median(splitWithout));
  report("join", Median(joinWith), Median(joinWithout));
  std::printf("(%d rounds each, medians; %llu progress calls in all)\n", rounds,
              static_cast<unsigned long long>(calls));
  return 0;
}
