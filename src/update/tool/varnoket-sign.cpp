// The maker's signing tool for release files: makes a key pair, writes the
// detached signature that the update check demands beside each file, and
// checks a signature the way the program will.
//
//   varnoket-sign keygen
//   varnoket-sign sign SECRET_HEX FILE      writes FILE.sig
//   (SECRET_HEX "-" reads the key from the first line of standard input, so
//   it stays out of the shell history and the process list)
//   varnoket-sign verify PUBLIC_HEX FILE    reads FILE.sig; exit status 0 when good
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "update/Signature.h"

namespace {

int Usage() {
  std::cerr << "usage: varnoket-sign keygen\n"
               "       varnoket-sign sign SECRET_HEX|- FILE\n"
               "       varnoket-sign verify PUBLIC_HEX FILE\n";
  return 2;
}

int KeyGen() {
  std::string publicKey;
  std::string secretKey;
  if (!varnoket::MakeKeyPair(publicKey, secretKey)) {
    std::cerr << "varnoket-sign: no key pair could be made\n";
    return 1;
  }
  std::cout << "public " << publicKey << "\nsecret " << secretKey << "\n";
  return 0;
}

int Sign(std::string secretKey, const std::string& file) {
  if (secretKey == "-") std::getline(std::cin, secretKey);
  std::string signature;
  if (!varnoket::SignFile(file, secretKey, signature)) {
    std::cerr << "varnoket-sign: cannot sign " << file
              << " (unreadable file or not a 128-digit secret key)\n";
    return 1;
  }
  const std::string signatureFile = file + ".sig";
  std::ofstream out(signatureFile, std::ios::binary | std::ios::trunc);
  out.write(signature.data(), static_cast<std::streamsize>(signature.size()));
  out.close();
  if (!out) {
    std::cerr << "varnoket-sign: cannot write " << signatureFile << "\n";
    std::remove(signatureFile.c_str());
    return 1;
  }
  std::cout << signatureFile << "\n";
  return 0;
}

int Verify(const std::string& publicKey, const std::string& file) {
  if (varnoket::VerifyFileSignature(file, file + ".sig", publicKey)) {
    std::cout << file << ": good signature\n";
    return 0;
  }
  std::cerr << file << ": BAD or missing signature\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "keygen" && argc == 2) return KeyGen();
  if (command == "sign" && argc == 4) return Sign(argv[2], argv[3]);
  if (command == "verify" && argc == 4) return Verify(argv[2], argv[3]);
  return Usage();
}
