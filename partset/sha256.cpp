#include "partset/sha256.h"

#include <openssl/evp.h>

#include <new>
#include <stdexcept>

#include "partset/hex_digits.h"

namespace parcelo {
namespace {

EVP_MD_CTX* Context(void* context) { return static_cast<EVP_MD_CTX*>(context); }

}  // namespace

Sha256::Sha256() : context_(EVP_MD_CTX_new()) {
  if (!context_) throw std::bad_alloc();
  Start();
}

Sha256::~Sha256() { EVP_MD_CTX_free(Context(context_)); }

void Sha256::Start() { failed_ = EVP_DigestInit_ex(Context(context_), EVP_sha256(), nullptr) != 1; }

void Sha256::Update(const char* data, std::size_t size) noexcept {
  if (!failed_ && size > 0) failed_ = EVP_DigestUpdate(Context(context_), data, size) != 1;
}

std::string Sha256::HexDigest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  const bool failed = failed_ || EVP_DigestFinal_ex(Context(context_), digest, &length) != 1;
  Start();
  if (failed) throw std::runtime_error("SHA-256 failed in libcrypto");
  return LowercaseHex({digest, length});
}

}  // namespace parcelo
