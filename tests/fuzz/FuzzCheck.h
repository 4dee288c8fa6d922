// What a fuzz target asserts: a property of the reader under test that holds
// for every input. A failed check aborts, so libFuzzer reports it as a crash
// and keeps the input that broke it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                        \
  do {                                                                               \
    if (!(condition)) ::varnoket::fuzz::CheckFailed(#condition, __FILE__, __LINE__); \
  } while (false)

namespace varnoket::fuzz {

[[noreturn]] inline void CheckFailed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", condition, file, line);
  std::abort();
}

// The fuzzer's bytes as text.
inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Cuts `text` at its first `separator`: the part before it, and `text` left
// with the rest (empty when there is no separator).
inline std::string_view TakeUntil(std::string_view& text, char separator) {
  const size_t at = text.find(separator);
  const std::string_view head = text.substr(0, at);
  text = at == std::string_view::npos ? std::string_view() : text.substr(at + 1);
  return head;
}

}  // namespace varnoket::fuzz
