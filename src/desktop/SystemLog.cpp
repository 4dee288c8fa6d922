#include "desktop/SystemLog.h"

#include <syslog.h>

#include <cstdio>

namespace varnoket {

void WriteSystemLog(const std::string& line) {
  ::openlog("varnoket", LOG_PID, LOG_USER);
  ::syslog(LOG_WARNING, "%s", line.c_str());
  ::closelog();
  std::fprintf(stderr, "varnoket: %s\n", line.c_str());
}

}  // namespace varnoket
