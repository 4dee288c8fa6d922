#include "engine/ContentDigest.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace varnoket {

namespace {

// SHA-256 fetched once for the process: naming it by EVP_sha256() at every
// start of a digest makes the library look it up again under its locks, once
// per file read by every worker.
const EVP_MD* Sha256() {
  static EVP_MD* const fetched = EVP_MD_fetch(nullptr, "SHA256", nullptr);
  return fetched != nullptr ? fetched : EVP_sha256();
}

}  // namespace

struct DigestBuilder::HashState {
  EVP_MD_CTX* ctx = nullptr;
  HashState() : ctx(EVP_MD_CTX_new()) {
    if (ctx == nullptr || EVP_DigestInit_ex(ctx, Sha256(), nullptr) != 1) {
      EVP_MD_CTX_free(ctx);
      throw std::runtime_error("SHA-256 indisponible");
    }
  }
  ~HashState() { EVP_MD_CTX_free(ctx); }
};

DigestBuilder::DigestBuilder(bool withHash) {
  Reset(withHash);
}

void DigestBuilder::Reset(bool withHash) {
  sum_ = WeightedSum();
  size_ = 0;
  withHash_ = withHash;
  if (!withHash) return;
  if (!hash_) {
    hash_ = std::make_unique<HashState>();
  } else if (EVP_DigestInit_ex(hash_->ctx, Sha256(), nullptr) != 1) {
    throw std::runtime_error("SHA-256 indisponible");
  }
}

DigestBuilder::~DigestBuilder() = default;

void DigestBuilder::Update(const void* data, size_t size) {
  sum_.Update(data, size);
  size_ += static_cast<int64_t>(size);
  if (withHash_) EVP_DigestUpdate(hash_->ctx, data, size);
}

ContentDigest DigestBuilder::Finish() {
  ContentDigest d;
  d.size = size_;
  d.checksum = sum_.Value();
  if (withHash_) {
    withHash_ = false;
    unsigned int len = 0;
    d.hasHash = EVP_DigestFinal_ex(hash_->ctx, d.hash.data(), &len) == 1 && len == d.hash.size();
  }
  return d;
}

}  // namespace varnoket
