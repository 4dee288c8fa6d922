#include "platform/Terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace varnoket {

std::optional<int> StandardOutputTerminalWidth() {
  if (::isatty(STDOUT_FILENO) != 1) return std::nullopt;
  winsize size{};
  // A terminal that does not say its width gets the usual 80 columns.
  if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return 80;
  return static_cast<int>(size.ws_col);
}

}  // namespace varnoket
