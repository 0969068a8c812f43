#pragma once

#include <string>

#include "io/copy_range.h"
#include "partset/sha256.h"

namespace parcelo {

// The SHA-256 of the bytes a copy moves, fed as they pass.
class HashingObserver final : public ByteObserver {
 public:
  void See(const char* data, std::size_t size) noexcept override { hash_.Update(data, size); }

  // Returns the digest of what was seen since the last call and starts
  // over; throws std::runtime_error when the library failed.
  std::string HexDigest() { return hash_.HexDigest(); }

 private:
  Sha256 hash_;
};

}  // namespace parcelo
