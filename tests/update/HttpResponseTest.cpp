// Reading an HTTP response's header lines one by one, as the transfer gets
// them: which block counts, what length it announced and whether the body
// may be taken.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string_view>

#include "update/HttpResponse.h"

namespace varnoket {
namespace {

using Next = HttpResponseHeaders::Next;

// Feeds the lines and returns what the last one asked for.
Next Feed(HttpResponseHeaders& headers, std::initializer_list<std::string_view> lines) {
  Next next = Next::kReadMore;
  for (const std::string_view line : lines) next = headers.OnLine(line);
  return next;
}

TEST(HttpResponseHeadersTest, InterimBlocksAreSkippedAndEachBlockStartsAfresh) {
  HttpResponseHeaders headers(true);
  EXPECT_EQ(Feed(headers, {"HTTP/1.1 100 Continue\r\n", "Content-Length: 9\r\n", "\r\n"}),
            Next::kReadMore);
  EXPECT_EQ(headers.status(), 100);
  // The real block announces no length of its own: the interim one's is gone.
  EXPECT_EQ(Feed(headers, {"http/1.0 200 OK\r\n", "Server: x\r\n"}), Next::kReadMore);
  EXPECT_EQ(headers.status(), 200);
  EXPECT_FALSE(headers.contentLength());
  EXPECT_EQ(Feed(headers, {"\r\n"}), Next::kRefuse);
}

TEST(HttpResponseHeadersTest, ContentLengthIsReadWhateverItsCaseAndBlanks) {
  HttpResponseHeaders headers(true);
  EXPECT_EQ(Feed(headers, {"HTTP/1.0 404 Not Found\r\n", "  CONTENT-length \t:  12 \r\n", "\n"}),
            Next::kOpenBody);
  EXPECT_EQ(headers.status(), 404);
  EXPECT_EQ(headers.contentLength(), 12);

  HttpResponseHeaders untyped(false);
  EXPECT_EQ(Feed(untyped, {"HTTP/1.0 200 OK\r\n", "\r\n"}), Next::kOpenBody);
  EXPECT_FALSE(untyped.contentLength());
}

TEST(HttpResponseHeadersTest, AnUnreadableLengthRefusesTheBodyUnderEitherRule) {
  for (const char* value : {"-1", "12x", "", "99999999999999999999"}) {
    for (const bool binary : {false, true}) {
      HttpResponseHeaders headers(binary);
      const std::string header = std::string("Content-Length: ") + value + "\r\n";
      EXPECT_EQ(Feed(headers, {"HTTP/1.0 200 OK\r\n", header, "\r\n"}), Next::kRefuse) << value;
      EXPECT_FALSE(headers.contentLength()) << value;
    }
  }
}

TEST(HttpResponseHeadersTest, AStatusLineWithoutACodeReadsAsZero) {
  HttpResponseHeaders headers(false);
  Feed(headers, {"HTTP/1.0\r\n"});
  EXPECT_EQ(headers.status(), 0);
  Feed(headers, {"HTTP/1.0 2x0 Odd\r\n"});
  EXPECT_EQ(headers.status(), 0);
  Feed(headers, {"HTTP/1.0 20\r\n"});
  EXPECT_EQ(headers.status(), 20);
}

TEST(HttpResponseHeadersTest, StrictRuleWantsTheAnnouncedLengthAndTheOtherAnyByte) {
  EXPECT_TRUE(HttpBodyAccepted(true, 5, 5));
  EXPECT_FALSE(HttpBodyAccepted(true, 4, 5));
  EXPECT_FALSE(HttpBodyAccepted(true, 6, 5));
  EXPECT_TRUE(HttpBodyAccepted(true, 0, 0));
  EXPECT_TRUE(HttpBodyAccepted(false, 1, 0));
  EXPECT_TRUE(HttpBodyAccepted(false, 3, 7));
  EXPECT_FALSE(HttpBodyAccepted(false, 0, 0));
}

}  // namespace
}  // namespace varnoket
