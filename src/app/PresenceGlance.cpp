#include "app/PresenceGlance.h"

namespace varnoket {

StorePresenceCheck PresenceGlance::For(const std::string& station) {
  return [this, station](const StoreEntry& store, size_t index) {
    const std::string subject = store.root + '\n' + store.id + '\n' + std::to_string(index);
    return questions_[subject]
        .Ask(
            subject,
            [&fs = fs_, store, index, station] {
              return StoreUsable(CheckStoreEntry(fs, store, index, station));
            },
            wait_)
        .value_or(false);
  };
}

}  // namespace varnoket
