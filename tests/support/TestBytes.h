// Bytes for tests of stored copies: random ones, which compress slowly and
// make blocks of their own, and what the standard compressor makes of a file.
#pragma once

#include <string>

namespace varnoket::test {

std::string RandomBytes(size_t n, unsigned seed);
// The standard tool's `-9` stream of the file at `path`.
std::string StandardCompress(const std::string& path);

}  // namespace varnoket::test
