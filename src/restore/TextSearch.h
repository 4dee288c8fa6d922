// Finding a character or a word in a text from a given position, as the
// restore cuts paths and file-list lines and the update check looks for words.
// Positions count bytes from 1; 0 means "not found".
#pragma once

#include <string_view>

namespace varnoket {

class TextSearch {
 public:
  // Position of the first `ch` in `s` at or after `start` (below 1 counts as
  // 1), compared exactly; 0 when there is none.
  int PosChar(char ch, std::string_view s, int start) const;
  // Position of the leftmost `sub` in `s` at or after `start` (0 or below
  // counts as 1), letters compared without regard to case: ASCII letters and
  // the accented Latin letters of UTF-8 (U+00E0..U+00FE but U+00F7 fold to
  // U+00C0..U+00DE). 0 when there is none, and for an empty `sub`.
  int PosText(std::string_view sub, std::string_view s, int start) const;
};

// The one shared instance; it holds no state, so any thread may use it.
const TextSearch& TextSearcher();

}  // namespace varnoket
