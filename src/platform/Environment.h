// What the session hands the program in its environment: where the person's
// settings and autostart entries go, whether a display is there.
#pragma once

#include <string>

namespace varnoket {

// The value of the environment variable `name`; "" when it is not set.
std::string EnvironmentValue(const char* name);

}  // namespace varnoket
