#include "platform/MachineIdentity.h"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace varnoket {

namespace {

// The first line of a machine-id file when it is a plausible id: 32
// hexadecimal digits, as the system writes it.
std::string ReadMachineId(FileSystem& fs, const std::string& path) {
  const auto text = fs.ReadFile(path);
  if (!text) return {};
  std::string id = text->substr(0, text->find_first_of("\r\n"));
  if (id.size() != 32) return {};
  for (char c : id) {
    const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    if (!hex) return {};
  }
  return id;
}

}  // namespace

MachineIdentity ThisMachine(FileSystem& fs) {
  MachineIdentity me;
  std::array<char, 256> buffer{};
  if (::gethostname(buffer.data(), buffer.size() - 1) == 0) me.host = buffer.data();
  if (me.host.empty()) me.host = "?";
  me.id = ReadMachineId(fs, "/etc/machine-id");
  if (me.id.empty()) me.id = ReadMachineId(fs, "/var/lib/dbus/machine-id");
  if (me.id.empty()) me.id = "host-" + me.host;
  me.pid = ThisProcessId();
  return me;
}

long ThisProcessId() {
  return static_cast<long>(::getpid());
}

bool ProcessAlive(long pid) {
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace varnoket
