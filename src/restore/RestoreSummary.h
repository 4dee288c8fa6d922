// The message box that sums a restore run up: an abort, a clean run with its
// totals, or the count of items that failed with the checks to make.
#pragma once

#include <string>

#include "platform/Translation.h"
#include "restore/RestoreRun.h"

namespace varnoket {

inline constexpr const char* kRestoreAbortedText =
    VK_TR_NOOP("Messages", "Restauration abandonnée par l'utilisateur !");

struct RestoreSummary {
  bool warning = false;  // a warning box; otherwise an information box
  std::string text;
};

RestoreSummary SummaryOf(const RestoreRunTotals& totals);

}  // namespace varnoket
