// Reading a day's file list once, block by block, without holding the whole
// text or cutting it into strings: the history, search and change views look
// at a list of hundreds of thousands of records for each kept day, and only
// a few of its lines matter to them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace varnoket {

using ListLineVisitor = std::function<void(std::string_view line)>;

// Hands every line of the list at `path` to `visit`, in order, cut at LF
// with a CR before it dropped (as SplitLines cuts them); a last line without
// an end is handed over too. The view is valid only during the call. False
// when the list cannot be opened or read to its end.
bool ForEachListLine(FileSystem& fs, const std::string& path, const ListLineVisitor& visit);

// Same reading, but only the lines that hold `needle` are handed over; the
// others are skipped by a search through each block, never cut into lines.
// An empty needle hands over every line.
bool ForEachLineHolding(FileSystem& fs, const std::string& path, std::string_view needle,
                        const ListLineVisitor& visit);

}  // namespace varnoket
