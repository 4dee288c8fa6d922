// Ids that must differ between any two made anywhere, such as the one each
// backup disk's marker carries: drawn from the system's source of
// randomness, not from the clock or a seeded generator.
#pragma once

#include <cstddef>
#include <string>

namespace varnoket {

// `digits` lower-case hexadecimal digits, each drawn at random.
std::string RandomHexDigits(size_t digits);

}  // namespace varnoket
