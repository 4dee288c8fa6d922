// Release signatures: what proves a file and what does not.
#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "update/Signature.h"

namespace varnoket {
namespace {

class SignatureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeKeyPair(publicKey_, secretKey_));
    test::WriteFile(file_, std::string("release\0bytes\xff", 14));
    std::string signature;
    ASSERT_TRUE(SignFile(file_, secretKey_, signature));
    ASSERT_EQ(signature.size(), 64u);
    test::WriteFile(signatureFile_, signature);
  }

  test::TempDir dir_;
  std::string file_ = dir_ / "_FILE1.exe";
  std::string signatureFile_ = dir_ / "_FILE1.exe.sig";
  std::string publicKey_;
  std::string secretKey_;
};

TEST_F(SignatureTest, KeysAreHexOfTheRightLength) {
  EXPECT_EQ(publicKey_.size(), 64u);
  EXPECT_EQ(secretKey_.size(), 128u);
  EXPECT_EQ(publicKey_.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_TRUE(IsUsablePublicKey(publicKey_));
  std::string otherPublic, otherSecret;
  ASSERT_TRUE(MakeKeyPair(otherPublic, otherSecret));
  EXPECT_NE(otherPublic, publicKey_);
}

TEST_F(SignatureTest, AGoodSignatureVerifies) {
  EXPECT_TRUE(VerifyFileSignature(file_, signatureFile_, publicKey_));
}

TEST_F(SignatureTest, AChangedFileOrSignatureFails) {
  test::WriteFile(dir_ / "copy", test::ReadFile(file_) + "x");
  EXPECT_FALSE(VerifyFileSignature(dir_ / "copy", signatureFile_, publicKey_));

  std::string signature = test::ReadFile(signatureFile_);
  signature[10] = static_cast<char>(signature[10] ^ 1);
  test::WriteFile(dir_ / "flipped.sig", signature);
  EXPECT_FALSE(VerifyFileSignature(file_, dir_ / "flipped.sig", publicKey_));
  test::WriteFile(dir_ / "long.sig", test::ReadFile(signatureFile_) + "\n");
  EXPECT_FALSE(VerifyFileSignature(file_, dir_ / "long.sig", publicKey_));
  test::WriteFile(dir_ / "empty.sig", "");
  EXPECT_FALSE(VerifyFileSignature(file_, dir_ / "empty.sig", publicKey_));
}

TEST_F(SignatureTest, AnotherKeyOrAMissingFileFails) {
  std::string otherPublic, otherSecret;
  ASSERT_TRUE(MakeKeyPair(otherPublic, otherSecret));
  EXPECT_FALSE(VerifyFileSignature(file_, signatureFile_, otherPublic));
  EXPECT_FALSE(VerifyFileSignature(file_, dir_ / "missing.sig", publicKey_));
  EXPECT_FALSE(VerifyFileSignature(dir_ / "missing", signatureFile_, publicKey_));
}

TEST_F(SignatureTest, EmptyOrMalformedKeysVerifyNothing) {
  std::string upper = publicKey_;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_TRUE(VerifyFileSignature(file_, signatureFile_, upper));  // hex in either case
  for (const std::string& key :
       {std::string(), publicKey_.substr(1), publicKey_ + "0", " " + publicKey_.substr(1),
        publicKey_.substr(0, 63) + "g", std::string(64, '0'), secretKey_}) {
    EXPECT_FALSE(VerifyFileSignature(file_, signatureFile_, key)) << key;
    EXPECT_FALSE(IsUsablePublicKey(key)) << key;
  }
}

TEST_F(SignatureTest, SigningNeedsAWholeSecretKeyAndAReadableFile) {
  std::string signature = "untouched";
  EXPECT_FALSE(SignFile(file_, "", signature));
  EXPECT_FALSE(SignFile(file_, secretKey_.substr(0, 64), signature));
  EXPECT_FALSE(SignFile(file_, publicKey_, signature));
  EXPECT_FALSE(SignFile(dir_ / "missing", secretKey_, signature));
  EXPECT_EQ(signature, "untouched");
}

}  // namespace
}  // namespace varnoket
