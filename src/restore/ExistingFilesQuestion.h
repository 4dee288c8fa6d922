// The one question a restore asks when some of its destinations already hold
// a different file: replace them, keep both, or skip them. The window
// program shows a box with the three choices; tests answer from a script.
#pragma once

#include <cstddef>
#include <optional>

#include "restore/RestorePlan.h"

namespace varnoket {

class ExistingFilesQuestion {
 public:
  virtual ~ExistingFilesQuestion() = default;
  // `count` destinations hold a different file; nullopt when the user
  // cancels the restore.
  virtual std::optional<ExistingFilePolicy> Ask(size_t count) = 0;
};

}  // namespace varnoket
