// The terminal the command line writes to, when there is one: a progress
// line is drawn only there, cut to its width.
#pragma once

#include <optional>

namespace varnoket {

// The width in columns of the terminal on standard output; nullopt when
// standard output is no terminal (a file, a pipe).
std::optional<int> StandardOutputTerminalWidth();

}  // namespace varnoket
