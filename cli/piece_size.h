#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "operation/report.h"
#include "split/split.h"

namespace parcelo {

// A piece size as "--size" gives it.
struct SizeWithUnit {
  double bytes = 0;     // the number times its unit, not yet rounded
  std::string notUnit;  // the text after the number when it is no unit, else empty
};

// Reads "--size": the number as the window's size field reads it, then an
// optional unit as split(1) reads them, in any letter case: K, M, G or
// KiB, MiB, GiB (powers of 1024), KB, MB, GB (powers of 1000). Spaces may
// stand between the number and its unit.
SizeWithUnit ReadSizeWithUnit(std::string_view text);

// Returns a size as text the size reader gives back exactly ("1536",
// "1.5e+20").
std::string SizeText(double bytes);

// Sets the request's piece size for at most `parts` parts of its source:
// the source's length divided by `parts`, rounded up to a whole byte, so
// every part but the last is that large and the last no larger. Returns
// the report to show instead of splitting, a refusal when the count is
// outside 2 ... 1000 or the source is too short or too long for it, or an
// error report when the source can't be opened; nothing when the split
// may go on.
std::optional<Report> SetPieceSizeForParts(SplitRequest& request, std::uint64_t parts);

}  // namespace parcelo
