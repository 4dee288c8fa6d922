#include <gtest/gtest.h>

#include "desktop/UrlAddress.h"

namespace varnoket {
namespace {

TEST(UrlAddress, SchemeIsAddedUnlessPresentInAnyCaseOrPlace) {
  EXPECT_EQ(BuildURLAddress(TURLType::utHttp, "www.example.org"), "http://www.example.org");
  EXPECT_EQ(BuildURLAddress(TURLType::utHttp, "HTTP://www.example.org"), "HTTP://www.example.org");
  EXPECT_EQ(BuildURLAddress(TURLType::utHttp, "go to Http://x.org"), "go to Http://x.org");
  EXPECT_EQ(BuildURLAddress(TURLType::utFTP, "ftp.example.org"), "ftp://ftp.example.org");
  EXPECT_EQ(BuildURLAddress(TURLType::utMailTo, "contact@example.org"),
            "mailto:contact@example.org");
  EXPECT_EQ(BuildURLAddress(TURLType::utMailTo, "MailTo:contact@example.org"),
            "MailTo:contact@example.org");
}

TEST(UrlAddress, HttpsAddressKeepsItsHost) {
  EXPECT_EQ(BuildURLAddress(TURLType::utHttps, "www.example.org"), "https://www.example.org");
  EXPECT_EQ(BuildURLAddress(TURLType::utHttps, "https://a.org"), "https://a.org");
}

TEST(UrlAddress, NoneAndUnchangedTypes) {
  EXPECT_EQ(BuildURLAddress(TURLType::utNone, "www.example.org"), "www.example.org");
  EXPECT_EQ(BuildURLAddress(TURLType::None, "www.example.org"), "");
  EXPECT_EQ(URLScheme(TURLType::utNone), "");
  EXPECT_EQ(URLScheme(TURLType::utViewSource), "view-source://");
}

}  // namespace
}  // namespace varnoket
