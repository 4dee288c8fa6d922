// How a hyperlink label completes its text into the address the desktop
// opens: the scheme of the link's type is put in front unless the text
// already holds it.
#pragma once

#include <string>

namespace varnoket {

enum class TURLType {
  utHttp,
  utFile,
  utFTP,
  utMailTo,
  utNone,  // the text is the whole address
  utHttps,
  utGopher,
  utNews,
  utNewsRc,
  utNntp,
  utTelNet,
  utViewSource,
  utWais,
  None,  // the link opens nothing
};

// The scheme text of a link type; "" for utNone and None.
std::string URLScheme(TURLType type);

// The address a click on the link opens: `url` unchanged when it contains the
// scheme anywhere (letter case ignored) or the type has none, else the scheme
// followed by `url`; "" for None.
std::string BuildURLAddress(TURLType type, const std::string& url);

}  // namespace varnoket
