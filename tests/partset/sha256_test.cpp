#include "partset/sha256.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

// The published test vectors, fed whole or in pieces, and a hash that
// starts over after each digest.
TEST(Sha256, GivesTheKnownDigestsHoweverTheBytesArrive) {
  Sha256 hash;
  EXPECT_EQ(hash.HexDigest(), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  hash.Update("ab", 2);
  hash.Update("c", 1);
  EXPECT_EQ(hash.HexDigest(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  const std::string million(1000000, 'a');
  hash.Update(million.data(), million.size());
  EXPECT_EQ(hash.HexDigest(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

}  // namespace
}  // namespace parcelo
