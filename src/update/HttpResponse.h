// How a transfer reads the header lines of an HTTP response as they arrive:
// the status of each block (1xx interim blocks come before the real one), the
// announced Content-Length, whether the body may be taken, and whether what
// was taken counts. No network in here, so every line a server can send is
// checked on its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace varnoket {

class HttpResponseHeaders {
 public:
  // What the transfer does after a header line.
  enum class Next {
    kReadMore,  // more header lines follow
    kOpenBody,  // the headers are complete: the body goes to the file
    kRefuse,    // the headers are complete and the body must not be taken
  };

  // `binaryData`: the strict rule, which can only be judged with an
  // announced length.
  explicit HttpResponseHeaders(bool binaryData) : binaryData_(binaryData) {}

  // One line as received: the status line, a header or the blank line that
  // ends a block, its line end included.
  Next OnLine(std::string_view line);

  // The status code of the latest block; 0 when its status line had none.
  int status() const { return status_; }
  // The latest block's Content-Length, when it announced a valid one.
  std::optional<int64_t> contentLength() const { return contentLength_; }

 private:
  bool binaryData_;
  int status_ = 0;
  std::optional<int64_t> contentLength_;
  bool contentLengthInvalid_ = false;
};

// Whether a finished transfer counts: under the strict rule exactly the
// announced length must have come (0 when none was announced), otherwise at
// least one byte.
bool HttpBodyAccepted(bool binaryData, int64_t transferred, int64_t contentLength);

}  // namespace varnoket
