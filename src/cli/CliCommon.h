// What the commands of varnoket-cli share: the parsed command line, the usage
// text, and the station's backup days.
#pragma once

#include <string>
#include <vector>

#include "cli/ProgressLine.h"
#include "engine/FileRecord.h"
#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"

namespace varnoket {

struct CliOptions {
  std::string programFolder;
  std::string station;
  std::string store;  // --store: the store's name; "" for the first one present
  int workers = -1;   // -1: as the settings say
  std::string command;
  std::vector<std::string> args;
};

// Prints `problem` (when any) and the usage to standard error; returns the
// exit code of a wrong command line.
int Usage(const std::string& problem);
// The same with one command's usage only.
int Usage(const std::string& command, const std::string& problem);

// The exit codes every command shares (the README lists them all).
inline constexpr int kExitUsage = 2;        // a wrong command line, or settings that allow nothing
inline constexpr int kExitStoreAbsent = 6;  // the store's disk is absent, or another disk is there
inline constexpr int kRefused = 1;          // a setting or value the command refuses

// Prints `text` to standard error as the terminal shows it; returns kRefused.
int Refuse(const std::string& text);

// Takes the station's read lock for the rest of the tool's life, waiting
// (and saying so) while a backup run merges the oldest days.
void HoldStationForReading(FileSystem& fs, const StoreLayout& layout);

// The station's backup days, oldest first, as folder names; `workers` (when
// given) receives the threads to decode on. 0 when the store is there to be
// read; otherwise, after printing why, the exit code: kExitUsage when the
// settings give no store, kExitStoreAbsent when the store's disk is absent,
// another disk is in its place or its root is no folder. The station's read
// lock is held from then on (HoldStationForReading).
int LoadDays(const CliOptions& o, StoreLayout& layout, std::vector<std::string>& folders,
             unsigned* workers = nullptr);

// Says on standard error that the station has no backup day in the store.
void SayNoBackupDays(const StoreLayout& layout);

// The index of a "dd/mm/yyyy" day among the folders, or -1 after printing
// that the station has no backup of that day.
int FindDayOrSay(const std::vector<std::string>& folders, const std::string& text,
                 const StoreLayout& layout);

// The file records of a day's list (folders and the list's end marker left
// out) and their bytes as recorded (each size's low 32 bits): what a restore
// or a check of the whole day goes through. Zero when the list cannot be read.
ProgressCounts DayListTotals(const StoreLayout& layout, const std::string& folder);

// "07/03/2026" for the folder "07032026".
std::string DayTextOfFolder(const std::string& folder);

}  // namespace varnoket
