// The lines varnoket-cli composes itself (a report's counts, a usage
// problem), written in French with "%s" holes like every text of the
// program and printed in the person's language. Their context is not the
// windows' messages: their patterns stay out of what TranslateMessage tries
// on every message.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/MessageText.h"
#include "platform/Translation.h"

namespace varnoket {

inline constexpr const char* kCliContext = "Cli";

// `pattern` (marked VK_TR_NOOP("Cli", ...)) in the person's language, its
// holes filled by `values` in order.
inline std::string CliText(const char* pattern,
                           std::initializer_list<std::string_view> values = {}) {
  return FillText(Translate(kCliContext, pattern), values);
}

}  // namespace varnoket
