// A second start and the running copy over a real unix socket: the answer
// follows what the window did, nothing listening is no answer, and the
// listener neither follows nor removes what is not its socket.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <future>

#include "platform/InstanceLockSocket.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

// Waits until a second start has connected (the listener's descriptor is
// readable), then serves it.
void ServeWhenAsked(ShowRequests& requests, const std::function<bool()>& show) {
  pollfd waiting{requests.Fd(), POLLIN, 0};
  ASSERT_EQ(::poll(&waiting, 1, 30000), 1);
  requests.ServeOne(show);
}

TEST(InstanceLockSocket, TheAnswerSaysWhetherTheRunningCopyShowedItsWindow) {
  TempDir dir;
  const std::string path = dir / "varnoket.socket";
  EXPECT_EQ(AskRunningCopyToShow(path, 1000), ShowAnswer::kNoAnswer);  // nobody runs

  ShowRequests requests;
  std::string why;
  ASSERT_TRUE(requests.Listen(path, why)) << why;
  struct stat info {};
  ASSERT_EQ(::lstat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISSOCK(info.st_mode));
  EXPECT_EQ(info.st_mode & 077, 0u);

  int shows = 0;
  auto asked = std::async(std::launch::async, [&] { return AskRunningCopyToShow(path, 30000); });
  ServeWhenAsked(requests, [&] { return ++shows > 0; });
  EXPECT_EQ(asked.get(), ShowAnswer::kShown);
  asked = std::async(std::launch::async, [&] { return AskRunningCopyToShow(path, 30000); });
  ServeWhenAsked(requests, [&] {
    ++shows;
    return false;  // a backup keeps the window out of reach
  });
  EXPECT_EQ(asked.get(), ShowAnswer::kBusy);
  EXPECT_EQ(shows, 2);

  // Anything but the request shows nothing and gets no answer.
  auto other = std::async(std::launch::async, [&] {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    char answer = 0;
    const bool sent = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                      ::write(fd, "hide\n", 5) == 5;
    const ssize_t n = ::read(fd, &answer, 1);
    ::close(fd);
    return sent && n == 0;
  });
  ServeWhenAsked(requests, [&] { return ++shows > 0; });
  EXPECT_TRUE(other.get());
  EXPECT_EQ(shows, 2);
}

TEST(InstanceLockSocket, ADeadCopysSocketIsReplacedAnythingElseIsLeftAlone) {
  TempDir dir;
  const std::string path = dir / "varnoket.socket";
  std::string why;
  {
    // A copy that died leaves its socket behind.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
  }
  EXPECT_EQ(AskRunningCopyToShow(path, 1000), ShowAnswer::kNoAnswer);
  {
    ShowRequests requests;
    ASSERT_TRUE(requests.Listen(path, why)) << why;
    auto asked = std::async(std::launch::async, [&] { return AskRunningCopyToShow(path, 30000); });
    ServeWhenAsked(requests, [] { return true; });
    EXPECT_EQ(asked.get(), ShowAnswer::kShown);
  }
  EXPECT_FALSE(std::filesystem::exists(path)) << "the listener removes its socket when it ends";

  // A file or a link under the name is not a socket to replace.
  WriteFile(path, "keep");
  ShowRequests refused;
  EXPECT_FALSE(refused.Listen(path, why));
  EXPECT_NE(why.find("n'est pas un canal"), std::string::npos) << why;
  EXPECT_EQ(ReadFile(path), "keep");
  EXPECT_EQ(refused.Fd(), -1);
  refused.ServeOne([] { return true; });  // not listening: nothing to serve

  // A name longer than a socket address can hold.
  EXPECT_FALSE(refused.Listen(dir / std::string(120, 'x'), why));
  EXPECT_EQ(AskRunningCopyToShow(dir / std::string(120, 'x'), 1000), ShowAnswer::kNoAnswer);
}

}  // namespace
}  // namespace varnoket::test
