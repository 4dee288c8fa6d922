#include "desktop/TrayHint.h"

namespace varnoket {

std::string CutTrayHint(const std::string& hint) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < hint.size(); ++i) {
    // Continuation bytes (10xxxxxx) belong to the character before them.
    if ((static_cast<unsigned char>(hint[i]) & 0xC0) == 0x80) continue;
    if (chars == kTrayHintMaxChars) return hint.substr(0, i);
    ++chars;
  }
  return hint;
}

}  // namespace varnoket
