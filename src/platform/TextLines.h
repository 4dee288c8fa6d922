// The one way the program cuts a text file into lines and puts lines back
// together: lists, settings, journals and logs are written with CR LF and
// read whether their lines end in CR LF or LF alone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varnoket {

// Cuts `text` at every LF, dropping a CR before it; a last line without an
// end is kept (a CR at its end dropped too), an empty text gives no line.
std::vector<std::string> SplitLines(std::string_view text);

// Each line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace varnoket
