#include "update/HttpResponse.h"

#include "platform/AsciiText.h"
#include "platform/DecimalText.h"

namespace varnoket {

namespace {

// Without HTTP's optional whitespace (spaces and tabs) around a header's
// field, nor the line's end: only these, as the protocol allows, so a
// control byte is never taken for a blank.
std::string_view WithoutOptionalWhitespace(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() &&
         (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
    text.remove_suffix(1);
  return text;
}

// A header's number, blanks around it allowed, never negative.
std::optional<int64_t> HeaderNumber(std::string_view text) {
  const std::optional<int64_t> value = ParseDecimal<int64_t>(WithoutOptionalWhitespace(text));
  if (value && *value < 0) return std::nullopt;
  return value;
}

}  // namespace

HttpResponseHeaders::Next HttpResponseHeaders::OnLine(std::string_view line) {
  if (line.size() >= 5 && EqualsIgnoreCase(line.substr(0, 5), "http/")) {
    // A new block: nothing of the one before counts any more.
    status_ = 0;
    contentLength_.reset();
    contentLengthInvalid_ = false;
    const auto space = line.find(' ');
    if (space != std::string_view::npos) {
      const auto code = HeaderNumber(line.substr(space + 1, 3));
      status_ = code ? static_cast<int>(*code) : 0;
    }
    return Next::kReadMore;
  }

  if (WithoutOptionalWhitespace(line).empty()) {
    if (status_ >= 100 && status_ < 200) return Next::kReadMore;  // an interim response
    if (contentLengthInvalid_) return Next::kRefuse;
    // Without a length the strict rule cannot be judged: nothing is received
    // and the file is left as it was.
    if (binaryData_ && !contentLength_) return Next::kRefuse;
    return Next::kOpenBody;
  }

  const auto colon = line.find(':');
  if (colon != std::string_view::npos &&
      EqualsIgnoreCase(WithoutOptionalWhitespace(line.substr(0, colon)), "content-length")) {
    contentLength_ = HeaderNumber(line.substr(colon + 1));
    contentLengthInvalid_ = !contentLength_;
  }
  return Next::kReadMore;
}

bool HttpBodyAccepted(bool binaryData, int64_t transferred, int64_t contentLength) {
  return binaryData ? transferred == contentLength : transferred > 0;
}

}  // namespace varnoket
