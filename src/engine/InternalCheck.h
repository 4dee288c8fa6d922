// Internal preconditions: checks that ordinary input never fails. A failed
// check raises InternalCheckError with its French text followed by the file
// and line, " (%s, ligne %d)".
#pragma once

#include <stdexcept>
#include <string>

namespace varnoket {

class InternalCheckError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

[[noreturn]] void FailInternalCheck(const char* text, const char* file, int line);

}  // namespace varnoket

#define VARNOKET_CHECK(condition, text)                                        \
  do {                                                                         \
    if (!(condition)) ::varnoket::FailInternalCheck(text, __FILE__, __LINE__); \
  } while (false)
