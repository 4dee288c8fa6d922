// Whether a downloaded file is a program this system would run: the update
// hands over only to a file that carries an executable header.
#pragma once

#include <string>

namespace varnoket {

// True for a readable file that starts with an ELF header of a program or a
// position-independent executable (not a relocatable object or a core dump).
bool IsExecutableProgram(const std::string& path);

}  // namespace varnoket
