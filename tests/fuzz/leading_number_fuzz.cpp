// Fuzz target: the number-text reader never crashes, and on short texts it
// agrees with the slow model.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "partset/leading_number.h"
#include "support/leading_number_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const double value = parcelo::ReadLeadingNumber(text);
  if (size <= 64) {
    const double model = parcelo::testing::ModelLeadingNumber(text);
    if (!(value == model || (std::isnan(value) && std::isnan(model)))) std::abort();
  }
  return 0;
}
