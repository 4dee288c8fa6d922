// The program's name as people see it, written once: the title of plain
// message boxes, the application name, and the start of every secondary
// window's title.
#pragma once

#include <string>
#include <string_view>

namespace varnoket {

inline constexpr const char* kProductName = "Varnoket";

// "<product name> - <topic>", the title of a secondary window.
inline std::string ProductTitle(std::string_view topic) {
  std::string title = kProductName;
  title += " - ";
  title += topic;
  return title;
}

}  // namespace varnoket
