// Starting another program that lives on after this one ends: the update
// program, the installed program at the end of a hand-over.
#pragma once

#include <string>
#include <vector>

namespace varnoket {

// Starts `program` with `arguments` in a session of its own, not waited for.
// False when it could not be started.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments = {});

}  // namespace varnoket
