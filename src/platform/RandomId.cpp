#include "platform/RandomId.h"

#include <random>

namespace varnoket {

std::string RandomHexDigits(size_t digits) {
  std::random_device device;
  std::uniform_int_distribution<int> digit(0, 15);
  std::string id;
  id.reserve(digits);
  for (size_t i = 0; i < digits; ++i) id += "0123456789abcdef"[digit(device)];
  return id;
}

}  // namespace varnoket
