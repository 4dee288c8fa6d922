// What the commands of varnoket-cli share: the parsed command line, the usage
// text, and the station's backup days.
#pragma once

#include <string>
#include <vector>

#include "engine/StoreLayout.h"

namespace varnoket {

struct CliOptions {
  std::string programFolder;
  std::string station;
  int workers = -1;  // -1: as the settings say
  std::string command;
  std::vector<std::string> args;
};

// Prints `problem` (when any) and the usage to standard error; returns the
// exit code of a wrong command line.
int Usage(const std::string& problem);
// The usage text, for --help.
const char* UsageText();

// The station's backup days, oldest first, as folder names; `workers` (when
// given) receives the threads to decode on. False after printing why the
// settings give no store.
bool LoadDays(const CliOptions& o, StoreLayout& layout, std::vector<std::string>& folders,
              unsigned* workers = nullptr);

// The index of a "dd/mm/yyyy" day among the folders, or -1 after printing
// that the station has no backup of that day.
int FindDayOrSay(const std::vector<std::string>& folders, const std::string& text);

// "07/03/2026" for the folder "07032026".
std::string DayTextOfFolder(const std::string& folder);

}  // namespace varnoket
