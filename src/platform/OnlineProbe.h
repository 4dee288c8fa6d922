// Whether the machine has a way to the internet right now: an interface
// other than the loopback that is up and carries a default route. The
// update check asks it once per tick; it never fails, "no" is an answer.
#pragma once

#include <string>

namespace varnoket {

struct NetworkPaths {
  std::string ipv4Routes = "/proc/net/route";
  std::string ipv6Routes = "/proc/net/ipv6_route";
  std::string interfaces = "/sys/class/net";  // <name>/operstate
};

bool IsOnline(const NetworkPaths& paths = {});

}  // namespace varnoket
