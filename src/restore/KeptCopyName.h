// The name under which a restore keeps its copy beside a different file that
// already stands at the destination, so that neither is lost:
// "report.odt" restored from the day 07032026 becomes
// "report (restauré du 07-03-2026).odt", then "... 2", " 3" while those names
// are taken.
#pragma once

#include <string>
#include <string_view>

namespace varnoket {

// The name for the `attempt`-th try (1 for the first): the mark goes before
// the extension (the part from the last "." of a name that does not start
// with it), and from the second try on a number follows it.
std::string KeptCopyName(std::string_view fileName, std::string_view dayFolder, int attempt);

}  // namespace varnoket
