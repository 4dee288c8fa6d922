// Release files are signed by their maker with Ed25519 and the program
// carries the public key: a downloaded file is run only when its detached
// signature (64 raw bytes in a file of its own) proves it unchanged. Keys are
// written as hex text: 64 digits for a public key, 128 for a secret key.
#pragma once

#include <string>

namespace varnoket {

// True when `signaturePath` holds exactly the 64-byte signature of the whole
// of `filePath` under `publicKeyHex`. False for an empty or malformed key, an
// unreadable file or a signature of the wrong size.
bool VerifyFileSignature(const std::string& filePath, const std::string& signaturePath,
                         const std::string& publicKeyHex);

// True for 64 hex digits that encode a public key a signature can be checked
// against (a point of the curve, not one of its few weak points).
bool IsUsablePublicKey(const std::string& publicKeyHex);

// Signs the whole of `filePath`; `signatureOut` receives the 64 raw bytes.
// False for a malformed key or an unreadable file.
bool SignFile(const std::string& filePath, const std::string& secretKeyHex,
              std::string& signatureOut);

// A fresh key pair from the system's random source.
bool MakeKeyPair(std::string& publicKeyHex, std::string& secretKeyHex);

}  // namespace varnoket
