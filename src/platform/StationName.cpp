#include "platform/StationName.h"

#include <unistd.h>

#include <array>

namespace varnoket {

std::string GetStationName() {
  std::array<char, 256> buffer{};
  if (gethostname(buffer.data(), buffer.size() - 1) != 0) return "POSTE";
  buffer.back() = '\0';
  std::string name(buffer.data());
  // The domain part would make the station folder differ between networks.
  name = name.substr(0, name.find('.'));
  return name.empty() ? "POSTE" : name;
}

}  // namespace varnoket
