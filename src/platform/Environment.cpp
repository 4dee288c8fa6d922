#include "platform/Environment.h"

#include <cstdlib>

namespace varnoket {

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

}  // namespace varnoket
