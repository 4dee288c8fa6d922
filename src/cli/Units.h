// Durations as the command-line tool writes them for people: "2 min 05 s".
// Its sizes and rates are ByteSizeText's short style (platform/ShownFormat.h).
#pragma once

#include <cstdint>
#include <string>

namespace varnoket {

// Whole seconds as "45 s", "2 min 05 s", "3 h 07 min".
std::string HumanDuration(int64_t seconds);

}  // namespace varnoket
