// A small HTTP server for the transfer tests: a thread on 127.0.0.1 with an
// ephemeral port that answers each connection with the next scripted
// response (or stalls, or closes) and keeps the raw requests it got.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace varnoket::test {

struct ScriptedResponse {
  // Everything sent, as raw bytes: status line, headers, blank line, body.
  std::string bytes;
  // After this many bytes the server sends nothing more and keeps the
  // connection open until the client leaves or the server stops.
  size_t stallAfter = std::string::npos;
  // When not zero, the bytes go out in pieces of `pieceSize` with this pause
  // between them (a slow server).
  std::chrono::milliseconds pause{0};
  size_t pieceSize = 1024;
};

// "HTTP/1.0 <status>\r\n" + headers + "\r\n" + body, with a Content-Length
// line unless `contentLength` is empty ("-" leaves it out).
std::string HttpResponseBytes(const std::string& status, const std::string& body,
                              const std::string& contentLength, const std::string& headers = "");

class TestHttpServer {
 public:
  TestHttpServer();
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  // Answers the next connections in order; without a script a connection
  // gets an empty 200 response.
  void Queue(ScriptedResponse response);
  int port() const { return port_; }
  // "127.0.0.1:<port>"
  std::string HostAndPort() const;
  // The raw requests received so far (head and body), oldest first.
  std::vector<std::string> Requests() const;
  // Waits until `count` requests arrived; false after `timeout`.
  bool WaitForRequests(size_t count, std::chrono::milliseconds timeout) const;

  // A port on 127.0.0.1 that nothing listens on (taken and closed again).
  static int ClosedPort();

 private:
  void Serve();
  void Answer(int connection);
  // Sleeps up to `duration`; false when the server is stopping.
  bool Pause(std::chrono::milliseconds duration);

  int listener_ = -1;
  int port_ = 0;
  int wakePipe_[2] = {-1, -1};
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::deque<ScriptedResponse> script_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

}  // namespace varnoket::test
