// The tooltip of the notification-area icon holds at most 63 characters;
// longer texts are cut rather than refused, so a progress text never fails.
#pragma once

#include <cstddef>
#include <string>

namespace varnoket {

inline constexpr std::size_t kTrayHintMaxChars = 63;

// The first 63 characters of `hint` (UTF-8); a character is never split.
std::string CutTrayHint(const std::string& hint);

}  // namespace varnoket
