// The day's list as the run holds it: its records, and the lines it carries
// unread from the previous list. The records become lines only when the
// day's filelist.txt is written or compared with the previous one.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/FileRecord.h"

namespace varnoket {

// Puts records in the order of their lines.
void SortDayRecords(std::vector<FileRecord>& records);

// Drops the records a run took out of the day (their path is empty) and
// sorts the rest.
void DropTakenOut(std::vector<FileRecord>& records);

// The day's lines in ordinal order: the records' (sorted, none taken out)
// merged with the carried lines (sorted).
void ForEachDayLine(const std::vector<FileRecord>& records, const std::vector<std::string>& carried,
                    const std::function<bool(std::string_view line)>& visit);

// The text of the day's filelist.txt, each line ended by CR LF.
std::string DayListText(const std::vector<FileRecord>& records,
                        const std::vector<std::string>& carried);

// Whether the day's lines are exactly `lines` (an ordinally sorted list).
bool SameDayList(const std::vector<FileRecord>& records, const std::vector<std::string>& carried,
                 const std::vector<std::string>& lines);

}  // namespace varnoket
