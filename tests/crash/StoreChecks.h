// What must hold of a station's store after every stopped run and after
// every completed one, looked at from outside: through the command-line
// tool (days, restore, verify) and through the files themselves. Each check
// returns "" when it holds, else what it found.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "crash/CliRunner.h"
#include "crash/SourceTree.h"

namespace varnoket::crash {

// "yyyymmdd" for "dd/mm/yyyy": sorts days by date.
std::string DateKey(const std::string& dayText);

// The days `varnoket-cli days` lists, oldest first; false with `error` set
// when the command fails.
bool ListDays(CliRunner& cli, std::vector<std::string>& days, std::string& error);

// Every listed day restores, byte for byte, what the source held that day
// (files and empty folders). `images` maps a day text to that day's source.
std::string CheckRestores(CliRunner& cli, const std::vector<std::string>& days,
                          const std::map<std::string, SourceImage>& images,
                          const std::string& sourceRoot, const std::string& scratch);

// `varnoket-cli verify` finds nothing wrong.
std::string CheckVerify(CliRunner& cli);

// No day went away but the oldest, and that only when the store held
// `daysKept` days or more; no day appeared but `today`.
std::string CheckDaySet(const std::vector<std::string>& before,
                        const std::vector<std::string>& after, const std::string& today,
                        int daysKept);

// The station folder holds its settings, lock, marker and log files, the
// backup days and, in them, their lists and stored files that some day's
// list names: no temporary file, no folder that is no day, no empty folder.
std::string CheckStationFolder(const std::string& stationFolder, const std::string& station);

}  // namespace varnoket::crash
