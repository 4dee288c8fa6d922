// The program's own log outside any store: the system log (the journal on
// a systemd desktop) under the name "varnoket", and the process's error
// stream, which a desktop session also keeps. For what the person must be
// able to find later, beside the window or notification that told them.
#pragma once

#include <string>

namespace varnoket {

void WriteSystemLog(const std::string& line);

}  // namespace varnoket
