// The two settings files of any bytes, loaded as the program loads them at
// start. The station file's backup set, saved and loaded again, must come
// back the same; its date of last backup always ends up a valid date; the
// program file's values stay within their rules.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "MemoryFileSystem.h"
#include "platform/AsciiText.h"
#include "platform/Dialogs.h"
#include "platform/DriveInfo.h"
#include "settings/CommaText.h"
#include "settings/KeptDate.h"
#include "settings/ProgramSettings.h"
#include "settings/StationSettings.h"
#include "settings/StoreList.h"

namespace varnoket {
namespace {

// Boxes answered at once: the load's notices do not matter here.
class SilentDialogs final : public Dialogs {
 public:
  DialogAnswer Error(const std::string&, DialogButtons) override { return DialogAnswer::kOk; }
  DialogAnswer Warning(const std::string&, DialogButtons) override { return DialogAnswer::kOk; }
  void Information(const std::string&) override {}
  void Message(const std::string&) override {}
};

void CheckStationSettings(std::string_view text) {
  const std::string& root = fuzz::TargetFolder();
  const PathRules rules(PathStyle::kPosix);
  fuzz::MemoryFileSystem fs;
  fs.CreateDirectories(root + "/ST");
  fs.files[StationSettingsPath(rules, root, "ST")] = std::string(text);
  SilentDialogs dialogs;

  StationSettings settings;
  FUZZ_CHECK(LoadStationSettings(fs, dialogs, settings, root, "ST", rules));
  // The date read is a day that is written and read back as itself.
  FUZZ_CHECK(settings.lastBackupDate &&
             ParseKeptDate(DayText(*settings.lastBackupDate)) == settings.lastBackupDate);
  FUZZ_CHECK(FromCommaText(ToCommaText(settings.exclusions)) == settings.exclusions);

  FUZZ_CHECK(SaveBackupSet(dialogs, settings));
  StationSettings again;
  FUZZ_CHECK(LoadStationSettings(fs, dialogs, again, root, "ST", rules));
  FUZZ_CHECK(again.directories == settings.directories);
  FUZZ_CHECK(again.exclusions == settings.exclusions);
  FUZZ_CHECK(again.restoreOptions == settings.restoreOptions);
  FUZZ_CHECK(again.setVersion >= settings.setVersion && again.setVersion >= 0);
}

void CheckProgramSettings(std::string_view text) {
  const std::string& folder = fuzz::TargetFolder();
  fuzz::MemoryFileSystem fs;
  fs.CreateDirectories(folder);
  fs.files[folder + "/" + kProgramSettingsName] = std::string(text);
  // No mount table: every path reads as a local one.
  DriveInfo drives(folder + "/no-mountinfo", folder + "/no-block");
  std::string error;
  const ProgramSettings settings = LoadProgramSettings(fs, drives, folder, &error);
  FUZZ_CHECK(settings.IsOpen() && error.empty());
  FUZZ_CHECK(settings.daysKept >= 2);
  // The root is the configured text, trimmed and without its last separator.
  const std::string raw = settings.file->ReadString("PARAMS", "RACINE").value_or("");
  const std::string_view trimmed = TrimBlanks(raw);
  FUZZ_CHECK(trimmed.substr(0, settings.backupRoot.size()) == settings.backupRoot);
  FUZZ_CHECK(settings.backupRoot.size() + 1 >= trimmed.size() || settings.backupRoot.empty());
  // The stores after the first: each valid, none named or marked twice, and
  // each written back as it was read.
  FUZZ_CHECK(settings.otherStores.size() < kMaxStores);
  std::vector<StoreEntry> seen;
  for (const StoreEntry& store : settings.otherStores) {
    FUZZ_CHECK(IsStoreName(store.name) && IsStoreId(store.id));
    FUZZ_CHECK(store.root == "/" || PathRules(PathStyle::kPosix).IsCleanAbsolutePath(store.root));
    FUZZ_CHECK(!FindStore(seen, store.name));
    for (const StoreEntry& earlier : seen) FUZZ_CHECK(earlier.id != store.id);
    const std::optional<StoreEntry> again = ParseStoreLine(StoreLine(store));
    FUZZ_CHECK(again && again->name == store.name && again->id == store.id &&
               again->root == store.root);
    seen.push_back(store);
  }
}

}  // namespace
}  // namespace varnoket

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = varnoket::fuzz::AsText(data, size);
  varnoket::CheckStationSettings(text);
  varnoket::CheckProgramSettings(text);
  return 0;
}
