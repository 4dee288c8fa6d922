// A path a person typed on the command line, in the form the program keeps
// paths: what a folder picker would have given.
#pragma once

#include <string>

namespace varnoket {

// `path` made absolute against the working folder (kept relative when that
// folder cannot be read), in normal form ("." and ".." and doubled
// separators gone), without a trailing separator.
std::string AbsolutePath(const std::string& path);

}  // namespace varnoket
