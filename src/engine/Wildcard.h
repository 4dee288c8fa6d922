// The exclusion filters of the backup set: file-name patterns with `*`, `?`
// and `[set]`, matched against a file's name (never its path) without regard
// to the case of ASCII letters.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace varnoket {

// Whether `name` matches `pattern` as a whole, byte by byte and case-sensitive:
// `*` any run (also empty), `?` one byte, `[set]` one byte in the set, with
// `x-y` ranges of byte values and `[^set]` for its complement. A malformed set
// (beginning with `[` or `]`, unclosed, or a `[` ending the pattern) makes the
// match fail rather than being taken literally.
bool MatchWildcard(std::string_view name, std::string_view pattern);

// Whether a directory entry belongs in the backup: false for a directory, and
// false for a file whose upper-cased name matches one of the upper-cased
// filters (each trimmed of blanks and control characters at both ends).
bool IsIncluded(const DirEntry& entry, const std::vector<std::string>& filters);
// The first of `filters` that excludes the file `entry`, if any.
std::optional<size_t> ExcludingFilter(const DirEntry& entry,
                                      const std::vector<std::string>& filters);

}  // namespace varnoket
