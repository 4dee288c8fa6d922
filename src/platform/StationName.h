// The workstation's network name, which names its folder in the store.
#pragma once

#include <string>

namespace varnoket {

// gethostname() up to its first "."; "POSTE" when the system gives no name.
std::string GetStationName();

}  // namespace varnoket
