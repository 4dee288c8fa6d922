// The version file the update server publishes: line 1 names the newest
// release, every further line is the address of one file of that release.
// These are the rules for reading it and for comparing versions.
#pragma once

#include <string>
#include <vector>

namespace varnoket {

// Cuts the text into lines. The text ends at its first NUL byte; lines end
// with CR LF, LF or CR, and a break at the very end adds no empty line.
std::vector<std::string> SplitVersionLines(std::string text);

// A version as it is compared: blanks and control characters removed at both
// ends, every "," read as ".".
std::string NormalizeVersion(std::string v);

}  // namespace varnoket
