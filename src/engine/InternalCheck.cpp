#include "engine/InternalCheck.h"

#include <cstdio>
#include <cstring>

namespace varnoket {

void FailInternalCheck(const char* text, const char* file, int line) {
  const char* slash = std::strrchr(file, '/');
  char suffix[512];
  std::snprintf(suffix, sizeof suffix, " (%s, ligne %d)", slash ? slash + 1 : file, line);
  throw InternalCheckError(std::string(text) + suffix);
}

}  // namespace varnoket
