// Measures what two additions cost the split and the join on a file system
// without shared blocks (ext4, tmpfs): the attempt to share blocks, against
// a plain copy that never tries, and a progress callback, against none. The
// same file is split and joined in each variant, rounds rotating through
// the variants, and the medians are compared: of the wall time, and of the
// wall time with a sync right after (the write-back the run left).
//
// Usage: parcelo-bench-variants FILE [ROUNDS] [PIECE_SIZE]
// (set PARCELO_BENCH_VERBOSE=1 to see every run)

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "io/sys_calls.h"
#include "join/join.h"
#include "split/split.h"

namespace {

using Clock = std::chrono::steady_clock;

// The plain path: block sharing refused at once, without asking the kernel.
class PlainCopyOnly : public parcelo::SysCalls {
 public:
  int CloneRange(parcelo::Handle, std::uint64_t, parcelo::Handle, std::uint64_t,
                 std::uint64_t) override {
    return EOPNOTSUPP;
  }
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Times {
  double wall, flushed;
};

// Times one run, after writing back what earlier runs left dirty, so that no
// run pays for another's writeback: the run alone, and the run with the
// sync of what it left.
template <typename Work>
Times Seconds(Work work) {
  sync();
  const auto start = Clock::now();
  work();
  const auto done = Clock::now();
  sync();
  return {std::chrono::duration<double>(done - start).count(),
          std::chrono::duration<double>(Clock::now() - start).count()};
}

struct Variant {
  const char* name;
  parcelo::SysCalls* layer;
  bool withProgress;
  std::vector<double> split, join, splitFlushed, joinFlushed;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [ROUNDS] [PIECE_SIZE]\n", argv[0]);
    return 64;
  }
  const std::string source = std::filesystem::absolute(argv[1]).string();
  const int rounds = argc > 2 ? std::stoi(argv[2]) : 9;
  const std::string piece = argc > 3 ? argv[3] : "10000000";
  const std::string folder =
      std::filesystem::path(source).parent_path().string() + "/variant-bench";
  const bool verbose = std::getenv("PARCELO_BENCH_VERBOSE") != nullptr;
  std::uint64_t calls = 0;
  const parcelo::Progress count = [&](const parcelo::ProgressReport&) { ++calls; };
  PlainCopyOnly plain;

  std::vector<Variant> variants = {{"plain copy, never shares", &plain, false, {}, {}, {}, {}},
                                   {"as built (tries sharing)", nullptr, false, {}, {}, {}, {}},
                                   {"as built + progress", nullptr, true, {}, {}, {}, {}}};
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t i = 0; i < variants.size(); ++i) {
      Variant& variant = variants[(i + static_cast<std::size_t>(round)) % variants.size()];
      std::filesystem::remove_all(folder);
      std::optional<parcelo::ScopedSysCalls> scope;
      if (variant.layer) scope.emplace(*variant.layer);
      const parcelo::Progress progress = variant.withProgress ? count : parcelo::Progress{};
      const Times split = Seconds([&] {
        parcelo::Split({source, piece, true, "variant-bench"}, progress);
      });
      const Times join = Seconds([&] { parcelo::Join(folder, progress); });
      if (verbose) {
        std::printf("%-26s split %.3f (%.3f) join %.3f (%.3f)\n", variant.name, split.wall,
                    split.flushed, join.wall, join.flushed);
      }
      variant.split.push_back(split.wall);
      variant.join.push_back(join.wall);
      variant.splitFlushed.push_back(split.flushed);
      variant.joinFlushed.push_back(join.flushed);
    }
  }
  std::filesystem::remove_all(folder);
  // Medians, and the fastest runs: the least disturbed by the machine.
  const auto fastest = [](const std::vector<double>& runs) {
    return *std::min_element(runs.begin(), runs.end());
  };
  std::printf("%-26s %17s %17s %17s %17s %17s %17s\n", "variant", "split median", "split fastest",
              "join median", "join fastest", "split+flush med.", "join+flush med.");
  const auto column = [](double value, double base) {
    std::printf(" %7.3fs (%+5.1f%%)", value, 100 * (value - base) / base);
  };
  for (const Variant& variant : variants) {
    std::printf("%-26s", variant.name);
    column(Median(variant.split), Median(variants[0].split));
    column(fastest(variant.split), fastest(variants[0].split));
    column(Median(variant.join), Median(variants[0].join));
    column(fastest(variant.join), fastest(variants[0].join));
    column(Median(variant.splitFlushed), Median(variants[0].splitFlushed));
    column(Median(variant.joinFlushed), Median(variants[0].joinFlushed));
    std::printf("\n");
  }
  std::printf("(%d rounds, medians, pieces of %s bytes; %llu progress calls)\n", rounds,
              piece.c_str(), static_cast<unsigned long long>(calls));
  return 0;
}
