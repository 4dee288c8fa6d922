// The commands a person may have run before and after each backup run, from
// the program settings of this machine only: never from the store, which
// other machines share and which must not be able to run commands here.
#pragma once

#include <string>

namespace varnoket {

struct RunCommandSettings {
  std::string before;  // "" for none
  std::string after;
  int beforeMinutes = 10;  // the time each may take before it is ended
  int afterMinutes = 10;
};

}  // namespace varnoket
