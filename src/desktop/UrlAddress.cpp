#include "desktop/UrlAddress.h"

#include <algorithm>

#include "platform/AsciiText.h"

namespace varnoket {

std::string URLScheme(UrlType type) {
  switch (type) {
    case UrlType::kHttp:
      return "http://";
    case UrlType::kFile:
      return "file://";
    case UrlType::kFtp:
      return "ftp://";
    case UrlType::kMailTo:
      return "mailto:";
    // With the slashes: "https:" followed by a host name would be an
    // address without a host, which no browser opens as meant.
    case UrlType::kHttps:
      return "https://";
    case UrlType::kGopher:
      return "gopher://";
    case UrlType::kNews:
      return "news:";
    case UrlType::kNewsRc:
      return "newsrc:";
    case UrlType::kNntp:
      return "nntp://";
    case UrlType::kTelnet:
      return "telnet://";
    case UrlType::kViewSource:
      return "view-source://";
    case UrlType::kWais:
      return "wais://";
    case UrlType::kVerbatim:
    case UrlType::kNone:
      return "";
  }
  return "";
}

std::string BuildURLAddress(UrlType type, const std::string& url) {
  if (type == UrlType::kNone) return "";
  const std::string scheme = URLScheme(type);
  if (scheme.empty()) return url;
  if (LowerAscii(url).find(scheme) != std::string::npos) return url;
  return scheme + url;
}

}  // namespace varnoket
