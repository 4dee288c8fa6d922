#include "platform/OnlineProbe.h"

#include <fstream>
#include <sstream>

#include "platform/PathRules.h"

namespace varnoket {

namespace {

bool InterfaceUp(const NetworkPaths& paths, const std::string& name) {
  if (name.empty() || name == "lo") return false;
  std::ifstream in(JoinPath(JoinPath(paths.interfaces, name), "operstate"));
  std::string state;
  if (!(in >> state)) return false;
  // Tunnels and some virtual interfaces never say "up".
  return state == "up" || state == "unknown";
}

bool DefaultRouteV4(const NetworkPaths& paths) {
  std::ifstream in(paths.ipv4Routes);
  std::string line;
  std::getline(in, line);  // column titles
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string name, destination, gateway, flags;
    if (!(fields >> name >> destination >> gateway >> flags)) continue;
    const unsigned long value = std::strtoul(flags.c_str(), nullptr, 16);
    if (destination == "00000000" && (value & 0x1) != 0 && InterfaceUp(paths, name)) return true;
  }
  return false;
}

bool DefaultRouteV6(const NetworkPaths& paths) {
  std::ifstream in(paths.ipv6Routes);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string destination, prefix, source, sourcePrefix, nextHop, metric, refs, use, flags, name;
    if (!(fields >> destination >> prefix >> source >> sourcePrefix >> nextHop >> metric >> refs >>
          use >> flags >> name)) {
      continue;
    }
    const unsigned long value = std::strtoul(flags.c_str(), nullptr, 16);
    const bool isDefault = prefix == "00" && destination == std::string(32, '0');
    const bool rejected = (value & 0x0200) != 0;  // an unreachable route
    if (isDefault && !rejected && (value & 0x1) != 0 && InterfaceUp(paths, name)) return true;
  }
  return false;
}

}  // namespace

bool IsOnline(const NetworkPaths& paths) {
  return DefaultRouteV4(paths) || DefaultRouteV6(paths);
}

}  // namespace varnoket
