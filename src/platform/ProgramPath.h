// Where the running program file lies: settings are kept beside it, and its
// name decides the role it plays.
#pragma once

#include <string>

namespace varnoket {

// The running program's own absolute path ("" when the system cannot tell).
std::string OwnProgramPath();

// The folder that holds a program file, without a trailing "/" ("/" for a
// program in the root).
std::string ProgramFolderOf(const std::string& programPath);

}  // namespace varnoket
