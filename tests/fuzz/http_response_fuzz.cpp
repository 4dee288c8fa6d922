// An HTTP response of any bytes, read line by line as the transfer's header
// callback gets it, under both rules (strict length or any body), then its
// body judged. Also the address splitting, on the same bytes taken as an
// address. Both rules must read the headers alike and differ only where the
// strict rule needs a length.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "update/HttpResponse.h"
#include "update/HttpTransfer.h"

namespace varnoket {
namespace {

using Next = HttpResponseHeaders::Next;

struct Reading {
  Next next = Next::kReadMore;  // kReadMore: the headers never ended
  size_t consumed = 0;          // bytes of header lines read
  int status = 0;
  std::optional<int64_t> contentLength;
};

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

Reading Read(std::string_view response, bool binaryData) {
  HttpResponseHeaders headers(binaryData);
  Reading reading;
  while (reading.consumed < response.size() && reading.next == Next::kReadMore) {
    // curl hands over one whole line at a time, its line end included.
    const size_t lf = response.find('\n', reading.consumed);
    const size_t end = lf == std::string_view::npos ? response.size() : lf + 1;
    const std::string_view line = response.substr(reading.consumed, end - reading.consumed);
    reading.consumed = end;
    reading.next = headers.OnLine(line);
    FUZZ_CHECK(headers.status() >= 0 && headers.status() <= 999);
    if (headers.contentLength()) FUZZ_CHECK(*headers.contentLength() >= 0);
    if (reading.next != Next::kReadMore) {
      // Only the blank line that ends a final block ends the headers.
      FUZZ_CHECK(IsBlankLine(line));
      FUZZ_CHECK(headers.status() < 100 || headers.status() >= 200);
    }
  }
  reading.status = headers.status();
  reading.contentLength = headers.contentLength();
  return reading;
}

void CheckResponse(std::string_view response) {
  const Reading loose = Read(response, false);
  const Reading strict = Read(response, true);
  FUZZ_CHECK(loose.consumed == strict.consumed && loose.status == strict.status &&
             loose.contentLength == strict.contentLength);
  if (loose.next == Next::kOpenBody) {
    FUZZ_CHECK(strict.next == (strict.contentLength ? Next::kOpenBody : Next::kRefuse));
  } else {
    FUZZ_CHECK(strict.next == loose.next);
  }

  const auto received = static_cast<int64_t>(response.size() - loose.consumed);
  if (loose.next == Next::kOpenBody) {
    FUZZ_CHECK(HttpBodyAccepted(false, received, loose.contentLength.value_or(0)) ==
               (received > 0));
  }
  if (strict.next == Next::kOpenBody) {
    FUZZ_CHECK(HttpBodyAccepted(true, received, *strict.contentLength) ==
               (received == *strict.contentLength));
  }
}

void CheckAddress(std::string_view text) {
  const std::string url(text);
  const HttpAddress address = SplitHttpAddress(url);
  FUZZ_CHECK(address.host.find_first_of("/\\") == std::string::npos);
  FUZZ_CHECK(address.path.find('\\') == std::string::npos);
  // Nothing but the scheme is dropped, and a path that has a host starts at its "/".
  const size_t kept = address.host.size() + address.path.size();
  FUZZ_CHECK(kept == url.size() || kept + 7 == url.size());
  if (!address.host.empty()) FUZZ_CHECK(address.path.substr(0, 1) == "/");
  if (address.host.empty()) {
    FUZZ_CHECK(address.path.substr(0, 1) == "/" || address.path.find('/') == std::string::npos);
  }
}

}  // namespace
}  // namespace varnoket

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = varnoket::fuzz::AsText(data, size);
  varnoket::CheckResponse(text);
  varnoket::CheckAddress(text);
  return 0;
}
