// The program's messages are fixed texts with "%s" holes filled in order
// (a path, a day, an address). One filler for all of them.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace varnoket {

// `pattern` with its first "%s" replaced by the first value, the next by the
// next, and so on; holes without a value, and values without a hole, are
// left as they are.
std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> values);

// `text` fit to be shown in a message or a log line: CR and LF written as
// \r and \n, every other control byte (below 0x20, and 0x7f) as \xNN, so a
// name from the disk or a store cannot hide what it is or move a terminal's
// cursor.
std::string ShownText(std::string_view text);

}  // namespace varnoket
