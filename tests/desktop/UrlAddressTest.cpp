#include <gtest/gtest.h>

#include "desktop/UrlAddress.h"

namespace varnoket {
namespace {

TEST(UrlAddress, SchemeIsAddedUnlessPresentInAnyCaseOrPlace) {
  EXPECT_EQ(BuildURLAddress(UrlType::kHttp, "www.example.org"), "http://www.example.org");
  EXPECT_EQ(BuildURLAddress(UrlType::kHttp, "HTTP://www.example.org"), "HTTP://www.example.org");
  EXPECT_EQ(BuildURLAddress(UrlType::kHttp, "go to Http://x.org"), "go to Http://x.org");
  EXPECT_EQ(BuildURLAddress(UrlType::kFtp, "ftp.example.org"), "ftp://ftp.example.org");
  EXPECT_EQ(BuildURLAddress(UrlType::kMailTo, "contact@example.org"), "mailto:contact@example.org");
  EXPECT_EQ(BuildURLAddress(UrlType::kMailTo, "MailTo:contact@example.org"),
            "MailTo:contact@example.org");
}

TEST(UrlAddress, HttpsAddressKeepsItsHost) {
  EXPECT_EQ(BuildURLAddress(UrlType::kHttps, "www.example.org"), "https://www.example.org");
  EXPECT_EQ(BuildURLAddress(UrlType::kHttps, "https://a.org"), "https://a.org");
}

TEST(UrlAddress, NoneAndUnchangedTypes) {
  EXPECT_EQ(BuildURLAddress(UrlType::kVerbatim, "www.example.org"), "www.example.org");
  EXPECT_EQ(BuildURLAddress(UrlType::kNone, "www.example.org"), "");
  EXPECT_EQ(URLScheme(UrlType::kVerbatim), "");
  EXPECT_EQ(URLScheme(UrlType::kViewSource), "view-source://");
}

}  // namespace
}  // namespace varnoket
