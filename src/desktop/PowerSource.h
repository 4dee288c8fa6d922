// Where the machine's power comes from, as the scheduler needs it to leave a
// laptop's last charge alone. The desktop's power service answers in the
// program; tests give the state they want.
#pragma once

#include <optional>

namespace varnoket {

struct PowerState {
  bool onBattery = false;
  // The charge left, 0 to 100; empty when the service does not say.
  std::optional<double> percentage;
};

class PowerSource {
 public:
  virtual ~PowerSource() = default;
  // The state now. A machine without a power service is on mains power.
  virtual PowerState Read() = 0;
};

}  // namespace varnoket
