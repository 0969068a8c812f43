#include "partset/sha256.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// bcrypt.h needs the types windows.h declares.
#include <bcrypt.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

#include "partset/hex_digits.h"

// Windows has no OpenSSL; its CNG library (bcrypt.dll) computes the same
// digest. No file is touched.

namespace parcelo {
namespace {

constexpr ULONG kDigestSize = 32;

BCRYPT_ALG_HANDLE Algorithm() {
  static const BCRYPT_ALG_HANDLE algorithm = [] {
    BCRYPT_ALG_HANDLE handle = nullptr;
    if (BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0)
      return BCRYPT_ALG_HANDLE{};
    return handle;
  }();
  return algorithm;
}

}  // namespace

Sha256::Sha256() : context_(nullptr) {
  if (!Algorithm()) throw std::bad_alloc();
  Start();
}

Sha256::~Sha256() {
  if (context_) BCryptDestroyHash(context_);
}

void Sha256::Start() {
  if (context_) BCryptDestroyHash(std::exchange(context_, nullptr));
  BCRYPT_HASH_HANDLE hash = nullptr;
  failed_ = BCryptCreateHash(Algorithm(), &hash, nullptr, 0, nullptr, 0, 0) != 0;
  context_ = hash;
}

void Sha256::Update(const char* data, std::size_t size) noexcept {
  while (!failed_ && size > 0) {
    const auto chunk = static_cast<ULONG>(std::min<std::size_t>(size, 1u << 30));
    failed_ =
        BCryptHashData(context_, reinterpret_cast<PUCHAR>(const_cast<char*>(data)), chunk, 0) != 0;
    data += chunk;
    size -= chunk;
  }
}

std::string Sha256::HexDigest() {
  unsigned char digest[kDigestSize];
  const bool failed = failed_ || BCryptFinishHash(context_, digest, kDigestSize, 0) != 0;
  Start();
  if (failed) throw std::runtime_error("SHA-256 failed in bcrypt");
  return LowercaseHex(digest);
}

}  // namespace parcelo
