#include "cli/CommandHelp.h"

#ifndef VARNOKET_VERSION
#error "VARNOKET_VERSION is set by the build"
#endif

namespace varnoket {

namespace {

constexpr const char* kPrefix = "varnoket-cli [--program-folder DIR] [--station NAME] ";

struct CommandHelp {
  const char* name;
  const char* arguments;  // after the name, on the usage line
  const char* about;      // what it does, each line indented
};

constexpr CommandHelp kCommands[] = {
    {"config", "[store DIR | time HH:MM | days N]",
     "  Without argument, shows the store folder, the time of the daily backup and the days\n"
     "  kept (VARNOKET.INI). With one, sets it with the configuration window's checks.\n"
     "  Exit 0 when set, 1 when refused (the reason on standard error), 2 on a wrong\n"
     "  command line.\n"},
    {"add", "DIR",
     "  Adds DIR to the folders this station backs up, with the main window's checks.\n"
     "  Exit 0 when added, 1 when refused, 2 on a wrong command line.\n"},
    {"remove", "DIR",
     "  Takes DIR out of the folders this station backs up. Exit 0 when removed, 1 when\n"
     "  it is not in the list, 2 on a wrong command line.\n"},
    {"exclude", "PATTERN",
     "  Adds a file-name filter (* and ?, letters of either case): matching files are not\n"
     "  backed up, whatever their folder. Exit 0 when added, 1 when refused.\n"},
    {"include", "PATTERN",
     "  Removes an exclusion filter, so matching files are backed up again. Exit 0 when\n"
     "  removed, 1 when no such filter is listed.\n"},
    {"status", "",
     "  The last successful backup, the days kept, the size of this station's backups and\n"
     "  how the last run ended. Exit 0, or 2 when no store is configured.\n"},
    {"backup", "",
     "  Runs one backup now. Exit 0 done or nothing changed, 1 failed, 2 the settings allow\n"
     "  no run, 3 the station is busy, 4 the station folder is another machine's, 5 stopped\n"
     "  by a signal.\n"},
    {"days", "", "  Lists the backup days, oldest first.\n"},
    {"restore", "DAY [--to DIR] [--existing replace|keep-both|skip] [PATH ...]",
     "  Restores a day's files (those at or below the PATHs when given) to their places,\n"
     "  or below DIR. Exit 0 when everything was restored.\n"},
    {"verify", "[DAY]",
     "  Decodes and checks every stored copy of a day (or of every day). Exit 0 when all\n"
     "  match.\n"},
    {"versions", "PATH", "  The days in which a file changed. Exit 1 when no day records it.\n"},
    {"find", "PATTERN [DAY]",
     "  The files whose name matches PATTERN in that day or in every day. Exit 1 when\n"
     "  nothing matches.\n"},
    {"changes", "DAY", "  The files new, changed and gone since the day before.\n"},
};

constexpr const char* kOptions =
    "\n"
    "  --program-folder DIR  the folder that holds VARNOKET.INI (default: the program's own)\n"
    "  --station NAME        work on the backups of another workstation (restore, days, verify,\n"
    "                        versions, find, changes)\n"
    "  --workers N           compress and decode on at most N threads (default: the WORKERS\n"
    "                        setting of VARNOKET.INI, else one per core)\n"
    "  --existing WHAT       where a restored file meets a different file: replace it (default),\n"
    "                        keep-both (the restored copy goes beside it), or skip it\n"
    "  DAY                   a backup day as dd/mm/yyyy\n"
    "  PATTERN               a file name with * and ?, letters of either case\n"
    "  --help                this text, or a command's usage after its name\n"
    "  --version             the version of varnoket-cli\n";

std::string UsageLine(const CommandHelp& c) {
  std::string line = kPrefix;
  line += c.name;
  if (*c.arguments != '\0') line += std::string(" ") + c.arguments;
  return line + "\n";
}

}  // namespace

std::string UsageText() {
  std::string text;
  for (const CommandHelp& c : kCommands) {
    text += (text.empty() ? "usage: " : "       ") + UsageLine(c);
  }
  return text + kOptions;
}

std::string CommandUsage(const std::string& command) {
  for (const CommandHelp& c : kCommands) {
    if (command == c.name) return "usage: " + UsageLine(c) + c.about;
  }
  return {};
}

std::string VersionLine() {
  return std::string("varnoket-cli ") + VARNOKET_VERSION;
}

}  // namespace varnoket
