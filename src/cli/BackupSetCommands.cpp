// `add DIR`, `remove DIR`, `exclude PATTERN`, `include PATTERN`,
// `hidden-folders on|off`: the backup set of this station (its station
// settings file), edited with the main window's rules and texts. A file is excluded by a name
// filter only, so `include` takes a filter out of the list: there is nothing else to undo.
#include <iostream>
#include <string>

#include "app/BackupSetEditor.h"
#include "cli/CliDialogs.h"
#include "cli/CliText.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "cli/Startup.h"
#include "engine/StoreCheck.h"
#include "engine/StoreChoice.h"
#include "platform/AsciiText.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "platform/TypedPath.h"
#include "settings/ExclusionFilter.h"
#include "settings/KeptBackupSet.h"

namespace varnoket {

namespace {

// The commands' own texts (the refusals of an addition are the window's).
constexpr const char* kNotInDirectoryList =
    VK_TR_NOOP("Messages", "Ce répertoire (%s) n'est pas dans la liste !");
constexpr const char* kNotInFilterList =
    VK_TR_NOOP("Messages", "Ce filtre (%s) n'est pas dans la liste !");
constexpr const char* kDirectoriesHeading = VK_TR_NOOP("Messages", "Dossiers à sauvegarder :");
constexpr const char* kFiltersHeading = VK_TR_NOOP("Messages", "Filtres d'exclusion :");

// The window's folder picker, answered by the command line.
class GivenFolder final : public FolderPicker {
 public:
  explicit GivenFolder(std::string folder) : folder_(std::move(folder)) {}
  std::string BrowseForFolder(const std::string&, bool) override { return folder_; }

 private:
  std::string folder_;
};

void ShowSet(const StationSettings& s) {
  std::cout << Translate(kMessagesContext, kDirectoriesHeading) << "\n";
  for (const auto& d : s.directories) std::cout << "  " << d << "\n";
  std::cout << Translate(kMessagesContext, kFiltersHeading) << "\n";
  for (const auto& f : s.exclusions) std::cout << "  " << f << "\n";
  std::cout << HiddenFoldersLine(s.includeHidden) << "\n";
}

// Loads the set as the window program's start-up does, runs `edit` on it
// and saves it when `edit` changed it (returned 0).
template <typename Edit>
int EditBackupSet(const CliOptions& o, const std::string& typed, Edit edit) {
  if (o.args.size() != 1) return Usage(o.command, "");
  FileSystem& fs = DefaultFileSystem();
  CommandDialogs dialogs;
  DriveInfo drives;
  std::string error;
  ProgramSettings program = LoadProgramSettings(fs, drives, o.programFolder, &error);
  if (!program.IsOpen()) {
    std::cerr << ForTerminal(kIniNotInitialised) << " (" << ForTerminal(error) << ")\n";
    return kRefused;
  }
  // The set is edited on the store named, or the first one here; a run
  // gives it to the others.
  if (!ChooseStore(fs, program, o.station, o.store, error)) {
    std::cerr << ForTerminal(error) << "\n";
    return kRefused;
  }
  {
    StationSettings none;
    GivenFolder nowhere("");
    if (!BackupSetEditor(fs, dialogs, nowhere, drives, none).RootConfigured(program.backupRoot)) {
      return kRefused;
    }
  }
  // As a run: nothing is written in the empty mount point of an unplugged
  // disk, nor on another disk mounted there.
  const StoreCheck store =
      CheckStore(fs, StoreLayout(PathRules(PathStyle::kPosix), program.backupRoot, o.station),
                 ActiveStoreId(fs, program));
  if (store.state != StoreState::kPresent && store.state != StoreState::kUnmarked) {
    std::cerr << ForTerminal(store.message) << "\n";
    return kRefused;
  }
  auto s = LoadForBackup(fs, dialogs, o.programFolder, o.station, o.store);
  if (!s) return kRefused;
  if (!s->ownerProblem.empty()) {
    std::cerr << ForTerminal(s->ownerProblem) << "\n";
    return kRefused;
  }
  GivenFolder picker(AbsolutePath(typed));
  BackupSetEditor editor(fs, dialogs, picker, drives, s->station);
  const int code = edit(editor, s->station, s->program.backupRoot);
  if (code != 0) return code;
  if (!SaveBackupSet(dialogs, s->station)) return kRefused;
  // The machine's copy follows, for the disks that are away.
  KeepBackupSet(fs, dialogs, s->program.file->path(), o.station, s->station);
  ShowSet(s->station);
  return 0;
}

int RefuseValue(const char* pattern, const std::string& value) {
  return Refuse(FillText(pattern, {value}));
}

}  // namespace

std::string HiddenFoldersLine(bool included) {
  return Translate(
      kMessagesContext,
      included ? VK_TR_NOOP("Messages", "Dossiers cachés : inclus (sauf les caches du bureau)")
               : VK_TR_NOOP("Messages", "Dossiers cachés : laissés de côté"));
}

int HiddenFoldersCommand(const CliOptions& o) {
  const std::string typed = o.args.empty() ? "" : o.args[0];
  if (o.args.size() == 1 && typed != "on" && typed != "off") {
    return Usage(o.command, CliText(VK_TR_NOOP("Cli", "hidden-folders veut on ou off")));
  }
  return EditBackupSet(o, typed,
                       [&typed](BackupSetEditor& editor, StationSettings&, const std::string&) {
                         return editor.SetIncludeHidden(typed == "on") ? 0 : kRefused;
                       });
}

int AddCommand(const CliOptions& o) {
  const std::string typed = o.args.empty() ? "" : o.args[0];
  return EditBackupSet(o, typed,
                       [](BackupSetEditor& editor, StationSettings&, const std::string& root) {
                         return editor.AddDirectory(root) ? 0 : kRefused;
                       });
}

int RemoveCommand(const CliOptions& o) {
  const std::string typed = o.args.empty() ? "" : o.args[0];
  return EditBackupSet(
      o, typed, [&typed](BackupSetEditor& editor, StationSettings& set, const std::string&) {
        const PathRules rules(PathStyle::kPosix);
        const std::string wanted = AbsolutePath(typed);
        for (size_t row = 0; row < set.directories.size(); ++row) {
          const std::string& d = set.directories[row];
          if (rules.Equal(d, typed) || rules.Equal(rules.RemoveTrailingSeparator(d), wanted)) {
            return editor.RemoveDirectory(row) ? 0 : kRefused;
          }
        }
        return RefuseValue(kNotInDirectoryList, typed);
      });
}

int ExcludeCommand(const CliOptions& o) {
  const std::string typed = o.args.empty() ? "" : o.args[0];
  return EditBackupSet(o, typed,
                       [&typed](BackupSetEditor& editor, StationSettings& set, const std::string&) {
                         const std::string refusal = ExclusionRefusal(typed, set.exclusions);
                         if (!refusal.empty()) {
                           std::cerr << ForTerminal(refusal) << "\n";
                           return kRefused;
                         }
                         editor.AddExclusion(StoredFilterForm(typed));
                         return 0;
                       });
}

int IncludeCommand(const CliOptions& o) {
  const std::string typed = o.args.empty() ? "" : o.args[0];
  return EditBackupSet(o, typed,
                       [&typed](BackupSetEditor& editor, StationSettings& set, const std::string&) {
                         for (size_t row = 0; row < set.exclusions.size(); ++row) {
                           if (EqualsIgnoreCase(set.exclusions[row], typed)) {
                             editor.RemoveExclusion(row);
                             return 0;
                           }
                         }
                         return RefuseValue(kNotInFilterList, typed);
                       });
}

}  // namespace varnoket
