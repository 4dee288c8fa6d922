// The usage of varnoket-cli and of each of its commands: what `--help`
// prints (on the tool or after a command) and what a wrong command line
// shows, and the `--version` line.
#pragma once

#include <string>

namespace varnoket {

// The whole usage: every command's line, then the options.
std::string UsageText();

// One command's usage line(s) and what it does; "" for an unknown command.
std::string CommandUsage(const std::string& command);

// "varnoket-cli <version>", the project's version of this build.
std::string VersionLine();

}  // namespace varnoket
