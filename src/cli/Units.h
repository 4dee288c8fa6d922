// Sizes, rates and durations as the command-line tool writes them for
// people, in the French way: "1,5 Mo", "850 Ko/s", "2 min 05 s".
#pragma once

#include <cstdint>
#include <string>

namespace varnoket {

// Bytes in the largest unit (o, Ko, Mo, Go, To, steps of 1024) that leaves
// at least 1, one decimal below 100: "0 o", "1023 o", "1,5 Ko", "117 Mo".
std::string HumanBytes(int64_t bytes);

// Whole seconds as "45 s", "2 min 05 s", "3 h 07 min".
std::string HumanDuration(int64_t seconds);

}  // namespace varnoket
