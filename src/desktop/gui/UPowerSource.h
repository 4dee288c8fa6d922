// The power state from the system's power service (org.freedesktop.UPower on
// the system bus): whether the machine runs on battery, and the charge of
// its display device, the one battery the desktop shows. Asked when a
// scheduled run is due, with a short wait: a silent or missing service, or
// no system bus at all, reads as mains power, so a desktop machine is never
// held back.
#pragma once

#include "desktop/PowerSource.h"

namespace varnoket {

class UPowerSource final : public PowerSource {
 public:
  static constexpr int kDefaultTimeoutMs = 2000;

  explicit UPowerSource(int timeoutMs = kDefaultTimeoutMs) : timeoutMs_(timeoutMs) {}

  PowerState Read() override;

 private:
  int timeoutMs_;
};

}  // namespace varnoket
