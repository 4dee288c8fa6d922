#include "settings/ConfigurationRules.h"

#include <stdexcept>
#include <string_view>

#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/Stream.h"
#include "settings/NumberField.h"
#include "settings/SettingsKeys.h"

namespace varnoket {
RootChoiceCheck CheckBackupRootChoice(FileSystem& fs, DriveInfo& drives, const std::string& choice,
                                      bool networkAllowed) {
  const PathRules posix(PathStyle::kPosix);
  // A relative root would move with the working folder; the picker never
  // gives one, so it counts as a folder that cannot be reached.
  if (!posix.IsAbsolute(choice) || !fs.IsDirectory(choice)) {
    return {RootRefusal::NotAccessible, FillText(kRootNotAccessible, {choice})};
  }
  if (IsRemotePath(drives, choice)) {
    // A share the person allowed: its lock is checked by each run.
    if (networkAllowed) return {};
    return {RootRefusal::OnShare, kRootOnShare};
  }
  drives.RefreshDrive(choice, kDriveAllParts);
  const DriveRecord rec = drives.GetDriveRec(choice);
  if (!rec.DiskPresent || rec.DriveType == DRIVE_REMOTE) {
    return {RootRefusal::NotLocalDisk, kRootNotLocal};
  }
  return {};
}

bool CanWriteInFolder(FileSystem& fs, const std::string& folder) {
  const std::string path = PathRules(PathStyle::kPosix).Join(folder, kWriteTestName);
  try {
    auto file = fs.Create(path);
    file->Close();
  } catch (const StreamError&) {
    return false;
  }
  fs.DeleteFile(path);
  return true;
}

void WriteProgramSettings(FileSystem& fs, ProgramSettings& settings,
                          const ConfigurationFields& fields) {
  if (!settings.IsOpen()) throw std::logic_error(kIniNotInitialised);
  IniFile& ini = *settings.file;
  // A file left read-only (copied from a CD, say) must not block the save.
  fs.ClearAttributes(ini.path());
  WriteKey(ini, kBackupRootKey, fields.root);
  WriteKey(ini, kPreferredHourKey, fields.hour);
  WriteKey(ini, kPreferredMinuteKey, fields.minute);
  WriteKey(ini, kDaysKeptKey, fields.daysKept);
}

bool ApplyProgramSettings(ProgramSettings& settings, const ConfigurationFields& fields) {
  ParseWholeNumber(fields.hour, settings.preferredHour);
  ParseWholeNumber(fields.minute, settings.preferredMinute);
  ParseWholeNumber(fields.daysKept, settings.daysKept);
  // The first store is the one configured; the program works on it again.
  settings.firstRoot = fields.root;
  settings.backupRoot = fields.root;
  settings.activeStore = 0;
  const int typed = settings.daysKept;
  settings.daysKept = RaiseToFloor(kDaysKeptKey, typed);
  return settings.daysKept != typed;
}

}  // namespace varnoket
