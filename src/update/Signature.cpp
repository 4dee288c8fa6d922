#include "update/Signature.h"

#include <sodium.h>

#include <array>
#include <optional>

#include "platform/FileSystem.h"

namespace varnoket {

namespace {

bool SodiumReady() {
  static const bool ready = sodium_init() >= 0;
  return ready;
}

// Exactly N bytes from hex text: no separators, nothing left over.
template <size_t N>
bool FromHex(const std::string& hex, std::array<unsigned char, N>& out) {
  if (hex.size() != 2 * N) return false;
  size_t length = 0;
  const char* end = nullptr;
  if (sodium_hex2bin(out.data(), out.size(), hex.data(), hex.size(), nullptr, &length, &end) != 0)
    return false;
  return length == N && end == hex.data() + hex.size();
}

template <size_t N>
std::string ToHex(const std::array<unsigned char, N>& bytes) {
  std::string hex(2 * N + 1, '\0');
  sodium_bin2hex(hex.data(), hex.size(), bytes.data(), bytes.size());
  hex.pop_back();
  return hex;
}

std::optional<std::string> ReadAll(const std::string& path) {
  return DefaultFileSystem().ReadFile(path);
}

const unsigned char* Bytes(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

}  // namespace

bool IsUsablePublicKey(const std::string& publicKeyHex) {
  if (!SodiumReady()) return false;
  std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> key{};
  return FromHex(publicKeyHex, key) && crypto_core_ed25519_is_valid_point(key.data()) == 1;
}

bool VerifyFileSignature(const std::string& filePath, const std::string& signaturePath,
                         const std::string& publicKeyHex) {
  if (!SodiumReady()) return false;
  std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> key{};
  if (!FromHex(publicKeyHex, key) || crypto_core_ed25519_is_valid_point(key.data()) != 1)
    return false;
  const std::optional<std::string> signature = ReadAll(signaturePath);
  if (!signature || signature->size() != crypto_sign_BYTES) return false;
  const std::optional<std::string> data = ReadAll(filePath);
  if (!data) return false;
  return crypto_sign_verify_detached(Bytes(*signature), Bytes(*data), data->size(), key.data()) ==
         0;
}

bool SignFile(const std::string& filePath, const std::string& secretKeyHex,
              std::string& signatureOut) {
  if (!SodiumReady()) return false;
  std::array<unsigned char, crypto_sign_SECRETKEYBYTES> key{};
  const bool keyOk = FromHex(secretKeyHex, key);
  const std::optional<std::string> data = keyOk ? ReadAll(filePath) : std::nullopt;
  bool signedOk = false;
  if (data) {
    std::array<unsigned char, crypto_sign_BYTES> signature{};
    signedOk = crypto_sign_detached(signature.data(), nullptr, Bytes(*data), data->size(),
                                    key.data()) == 0;
    if (signedOk) signatureOut.assign(signature.begin(), signature.end());
  }
  sodium_memzero(key.data(), key.size());
  return signedOk;
}

bool MakeKeyPair(std::string& publicKeyHex, std::string& secretKeyHex) {
  if (!SodiumReady()) return false;
  std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> publicKey{};
  std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secretKey{};
  if (crypto_sign_keypair(publicKey.data(), secretKey.data()) != 0) return false;
  publicKeyHex = ToHex(publicKey);
  secretKeyHex = ToHex(secretKey);
  sodium_memzero(secretKey.data(), secretKey.size());
  return true;
}

}  // namespace varnoket
