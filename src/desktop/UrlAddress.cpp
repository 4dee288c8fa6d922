#include "desktop/UrlAddress.h"

#include <algorithm>

namespace varnoket {

std::string URLScheme(TURLType type) {
  switch (type) {
    case TURLType::utHttp:
      return "http://";
    case TURLType::utFile:
      return "file://";
    case TURLType::utFTP:
      return "ftp://";
    case TURLType::utMailTo:
      return "mailto:";
    // With the slashes: "https:" followed by a host name would be an
    // address without a host, which no browser opens as meant.
    case TURLType::utHttps:
      return "https://";
    case TURLType::utGopher:
      return "gopher://";
    case TURLType::utNews:
      return "news:";
    case TURLType::utNewsRc:
      return "newsrc:";
    case TURLType::utNntp:
      return "nntp://";
    case TURLType::utTelNet:
      return "telnet://";
    case TURLType::utViewSource:
      return "view-source://";
    case TURLType::utWais:
      return "wais://";
    case TURLType::utNone:
    case TURLType::None:
      return "";
  }
  return "";
}

std::string BuildURLAddress(TURLType type, const std::string& url) {
  if (type == TURLType::None) return "";
  const std::string scheme = URLScheme(type);
  if (scheme.empty()) return url;
  std::string lower = url;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  if (lower.find(scheme) != std::string::npos) return url;
  return scheme + url;
}

}  // namespace varnoket
