#include "platform/InstanceLockSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "platform/UniqueFd.h"

namespace varnoket {

namespace {

constexpr char kShowRequest[] = "show\n";
constexpr char kShownAnswer[] = "shown\n";
constexpr char kBusyAnswer[] = "busy\n";

bool AddressOf(const std::string& path, sockaddr_un& address) {
  address = sockaddr_un{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// Reads one line (up to 16 bytes) within `timeoutMs`; "" when none came.
std::string ReadLine(int fd, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::string line;
  while (line.size() < 16 && (line.empty() || line.back() != '\n')) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0) return {};
    pollfd waiting{fd, POLLIN, 0};
    const int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return {};
    char c;
    const ssize_t n = ::read(fd, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return {};
    line.push_back(c);
  }
  return line;
}

}  // namespace

ShowAnswer AskRunningCopyToShow(const std::string& socketPath, int timeoutMs) {
  sockaddr_un address;
  if (!AddressOf(socketPath, address)) return ShowAnswer::kNoAnswer;
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd.ok() ||
      ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      !WriteAll(fd.get(), kShowRequest, sizeof kShowRequest - 1)) {
    return ShowAnswer::kNoAnswer;
  }
  const std::string answer = ReadLine(fd.get(), timeoutMs);
  if (answer == kShownAnswer) return ShowAnswer::kShown;
  if (answer == kBusyAnswer) return ShowAnswer::kBusy;
  return ShowAnswer::kNoAnswer;
}

ShowRequests::~ShowRequests() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(path_.c_str());
}

bool ShowRequests::Listen(const std::string& socketPath, std::string& why) {
  sockaddr_un address;
  if (!AddressOf(socketPath, address)) {
    why = FillText(VK_TR_NOOP("Messages", "le nom du canal (%s) est trop long"),
                   {ShownText(socketPath)});
    return false;
  }
  struct stat info {};
  if (::lstat(socketPath.c_str(), &info) == 0) {
    if (!S_ISSOCK(info.st_mode)) {
      why = FillText(VK_TR_NOOP("Messages", "(%s) existe et n'est pas un canal"),
                     {ShownText(socketPath)});
      return false;
    }
    ::unlink(socketPath.c_str());
  }
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  // The folder already keeps other users out; the socket itself is made
  // owner-only too (not through the umask, which other threads share).
  const bool bound =
      fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  if (!bound || ::chmod(socketPath.c_str(), 0600) != 0 || ::listen(fd, 4) != 0) {
    why = FillText(VK_TR_NOOP("Messages", "impossible d'écouter sur (%s) : %s"),
                   {ShownText(socketPath), strerror(errno)});
    if (bound) ::unlink(socketPath.c_str());
    if (fd >= 0) ::close(fd);
    return false;
  }
  fd_ = fd;
  path_ = socketPath;
  return true;
}

void ShowRequests::ServeOne(const std::function<bool()>& show, int readTimeoutMs) {
  if (fd_ < 0) return;
  UniqueFd peer(::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC));
  if (!peer.ok()) return;
  if (ReadLine(peer.get(), readTimeoutMs) != kShowRequest) return;
  const char* answer = show && show() ? kShownAnswer : kBusyAnswer;
  // The second start may have given up; its end of the line is then closed.
  const int flags = MSG_NOSIGNAL;
  (void)::send(peer.get(), answer, std::strlen(answer), flags);
}

}  // namespace varnoket
