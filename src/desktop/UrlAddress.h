// How a hyperlink label completes its text into the address the desktop
// opens: the scheme of the link's type is put in front unless the text
// already holds it.
#pragma once

#include <string>

namespace varnoket {

enum class UrlType {
  kHttp,
  kFile,
  kFtp,
  kMailTo,
  kVerbatim,  // the text is the whole address
  kHttps,
  kGopher,
  kNews,
  kNewsRc,
  kNntp,
  kTelnet,
  kViewSource,
  kWais,
  kNone,  // the link opens nothing
};

// The scheme text of a link type; "" for kVerbatim and kNone.
std::string URLScheme(UrlType type);

// The address a click on the link opens: `url` unchanged when it contains the
// scheme anywhere (letter case ignored) or the type has none, else the scheme
// followed by `url`; "" for kNone.
std::string BuildURLAddress(UrlType type, const std::string& url);

}  // namespace varnoket
