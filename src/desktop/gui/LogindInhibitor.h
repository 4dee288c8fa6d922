// Keeps the machine from sleeping while a backup works, through the login
// manager of the system bus (org.freedesktop.login1): Inhibit gives back a
// file descriptor, and sleep waits as long as it stays open. Release closes
// it. Without the service the run goes on unprotected.
#pragma once

#include <QDBusUnixFileDescriptor>

#include "desktop/SleepInhibitor.h"

namespace varnoket {

inline constexpr const char* kInhibitWho = "Varnoket";
inline constexpr const char* kInhibitWhy = "Sauvegarde en cours";

class LogindInhibitor final : public SleepInhibitor {
 public:
  static constexpr int kDefaultTimeoutMs = 2000;

  explicit LogindInhibitor(int timeoutMs = kDefaultTimeoutMs) : timeoutMs_(timeoutMs) {}

  bool Hold() override;
  void Release() override;

  bool Holding() const { return held_.isValid(); }

 private:
  int timeoutMs_;
  QDBusUnixFileDescriptor held_;
};

}  // namespace varnoket
