// Comma text: a list of items in one settings value (the exclusion filters).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varnoket {

// Items joined by commas; an item that holds a blank, a control character, a
// comma or a double quote is written in double quotes with its quotes
// doubled. An empty list is an empty text.
std::string ToCommaText(const std::vector<std::string>& items);
// Items separated by commas or blanks outside quotes; quoted items lose their
// quotes. An empty text is an empty list.
std::vector<std::string> FromCommaText(std::string_view text);

}  // namespace varnoket
