#include "TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace varnoket::test {

namespace {

std::string ToLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The Content-Length of a request head, 0 when it has none.
size_t RequestBodyLength(const std::string& head) {
  const std::string lower = ToLower(head);
  const auto at = lower.find("\r\ncontent-length:");
  if (at == std::string::npos) return 0;
  return std::strtoul(head.c_str() + at + 17, nullptr, 10);
}

}  // namespace

std::string HttpResponseBytes(const std::string& status, const std::string& body,
                              const std::string& contentLength, const std::string& headers) {
  std::string bytes = "HTTP/1.0 " + status + "\r\n" + headers;
  if (contentLength != "-") bytes += "Content-Length: " + contentLength + "\r\n";
  return bytes + "\r\n" + body;
}

TestHttpServer::TestHttpServer() {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0 || ::pipe(wakePipe_) != 0) throw std::runtime_error("test server: socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof(address);
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::listen(listener_, 8) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("test server: bind");
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

TestHttpServer::~TestHttpServer() {
  stopping_ = true;
  const char wake = 'x';
  static_cast<void>(::write(wakePipe_[1], &wake, 1));
  {
    std::lock_guard lock(mutex_);
    changed_.notify_all();
  }
  thread_.join();
  ::close(listener_);
  ::close(wakePipe_[0]);
  ::close(wakePipe_[1]);
}

void TestHttpServer::Queue(ScriptedResponse response) {
  std::lock_guard lock(mutex_);
  script_.push_back(std::move(response));
}

std::string TestHttpServer::HostAndPort() const {
  return "127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> TestHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

bool TestHttpServer::WaitForRequests(size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

int TestHttpServer::ClosedPort() {
  const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(probe);
  return ntohs(address.sin_port);
}

void TestHttpServer::Serve() {
  while (!stopping_) {
    pollfd fds[2] = {{listener_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents != 0) break;
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    Answer(connection);
    ::close(connection);
  }
}

void TestHttpServer::Answer(int connection) {
  // Read the request head, then as much body as it announces.
  std::string request;
  size_t headEnd = std::string::npos;
  while (!stopping_) {
    pollfd fds[2] = {{connection, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
    if (::poll(fds, 2, 2000) <= 0 || fds[1].revents != 0) return;
    char buffer[4096];
    const ssize_t got = ::recv(connection, buffer, sizeof(buffer), 0);
    if (got <= 0) return;
    request.append(buffer, static_cast<size_t>(got));
    if (headEnd == std::string::npos) headEnd = request.find("\r\n\r\n");
    if (headEnd != std::string::npos &&
        request.size() >= headEnd + 4 + RequestBodyLength(request.substr(0, headEnd + 2)))
      break;
  }
  ScriptedResponse response;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    if (!script_.empty()) {
      response = std::move(script_.front());
      script_.pop_front();
    } else {
      response.bytes = HttpResponseBytes("200 OK", "", "0");
    }
    changed_.notify_all();
  }

  const size_t total = std::min(response.stallAfter, response.bytes.size());
  const size_t piece = response.pause.count() > 0 ? response.pieceSize : total;
  for (size_t sent = 0; sent < total && !stopping_;) {
    const size_t count = std::min(piece, total - sent);
    const ssize_t wrote = ::send(connection, response.bytes.data() + sent, count, MSG_NOSIGNAL);
    if (wrote <= 0) return;
    sent += static_cast<size_t>(wrote);
    if (sent < total && response.pause.count() > 0 && !Pause(response.pause)) return;
  }
  if (response.stallAfter != std::string::npos) {
    // Hold the connection until the client gives up or the server stops.
    while (!stopping_) {
      pollfd fds[2] = {{connection, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
      if (::poll(fds, 2, -1) < 0 || fds[1].revents != 0) return;
      char buffer[256];
      if (::recv(connection, buffer, sizeof(buffer), 0) <= 0) return;
    }
  }
  ::shutdown(connection, SHUT_WR);
}

bool TestHttpServer::Pause(std::chrono::milliseconds duration) {
  pollfd fd{wakePipe_[0], POLLIN, 0};
  return ::poll(&fd, 1, static_cast<int>(duration.count())) == 0;
}

}  // namespace varnoket::test
