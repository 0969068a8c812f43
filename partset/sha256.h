#pragma once

#include <cstddef>
#include <string>

namespace parcelo {

// A SHA-256 digest computed by OpenSSL's libcrypto (by Windows' own CNG
// there), fed piece by piece.
class Sha256 {
 public:
  // Throws std::bad_alloc when the library can't set up a digest.
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  // Adds bytes. A failure of the library is remembered and thrown by
  // HexDigest(), so this may run where nothing may throw.
  void Update(const char* data, std::size_t size) noexcept;

  // Returns the digest of the bytes added since the start or the last
  // call, as 64 lowercase hexadecimal digits, and starts over. Throws
  // std::runtime_error when the library failed.
  std::string HexDigest();

 private:
  void Start();

  void* context_;  // the library's digest: OpenSSL's EVP_MD_CTX, or a CNG hash handle
  bool failed_ = false;
};

}  // namespace parcelo
