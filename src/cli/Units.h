// Sizes, rates and durations as the command-line tool writes them for
// people: "1,5 Mo" and "850 Ko/s" in the shown language's conventions
// ("1.5 MB"), "2 min 05 s".
#pragma once

#include <cstdint>
#include <string>

namespace varnoket {

// Bytes in the short style of platform/ShownFormat.h: "0 o", "1023 o",
// "1,5 Ko", "117 Mo".
std::string HumanBytes(int64_t bytes);

// Whole seconds as "45 s", "2 min 05 s", "3 h 07 min".
std::string HumanDuration(int64_t seconds);

}  // namespace varnoket
