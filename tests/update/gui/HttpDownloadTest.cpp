// The download component on the GUI thread: its failure event, waiting while
// the event loop runs, one transfer at a time, cancel, and destruction
// mid-transfer.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include "support/TempDir.h"
#include "update/TestHttpServer.h"
#include "update/gui/HttpDownload.h"

namespace varnoket {
namespace {

using namespace std::chrono_literals;
using test::HttpResponseBytes;
using test::ScriptedResponse;

// Runs the event loop until `done` holds or `timeoutMs` passed.
template <typename Predicate>
bool WaitUntil(Predicate done, int timeoutMs = 5000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QTest::qWait(5);
  }
  return true;
}

// The bytes the transfer has written to `path` so far (0 before it exists).
uintmax_t BytesOnDisk(const std::string& path) {
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(path, ec);
  return ec ? 0 : size;
}

class HttpDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("no_proxy", "127.0.0.1", 1);
    unsetenv("http_proxy");
  }

  // A component aimed at the local server, its failures counted in `errors`.
  std::unique_ptr<HttpDownload> MakeGetter(const std::string& path) {
    auto getter = std::make_unique<HttpDownload>();
    getter->URL = "http://" + server.HostAndPort() + path;
    getter->FileName = target;
    getter->OnError = [this](HttpDownload*) { ++errors; };
    return getter;
  }

  // A body of `size` bytes sent 1024 at a time, `pause` apart.
  void ServeSlowly(size_t size, std::chrono::milliseconds pause) {
    server.Queue(
        ScriptedResponse{HttpResponseBytes("200 OK", std::string(size, 'b'), std::to_string(size)),
                         std::string::npos, pause, 1024});
  }

  test::TempDir dir;
  std::string target = dir / "download.bin";
  test::TestHttpServer server;
  int errors = 0;
};

TEST_F(HttpDownloadTest, FetchReturnsAtOnceAndEventsArriveThroughTheEventLoop) {
  server.Queue(ScriptedResponse{HttpResponseBytes("200 OK", "hello", "5")});
  auto getter = MakeGetter("/f.txt");
  getter->BinaryData = true;
  getter->Fetch();
  EXPECT_TRUE(getter->Running());  // the end is seen only once the caller's loop runs
  ASSERT_TRUE(WaitUntil([&] { return !getter->Running(); }));
  EXPECT_TRUE(getter->Succeeded());
  EXPECT_EQ(errors, 0);
  EXPECT_EQ(test::ReadFile(target), "hello");
}

TEST_F(HttpDownloadTest, WaitThreadKeepsTheEventLoopRunningUntilTheEventsHaveRun) {
  ServeSlowly(8 * 1024, 40ms);
  auto getter = MakeGetter("/slow");
  getter->WaitThread = true;
  bool timerFired = false;
  QTimer::singleShot(30, [&] { timerFired = true; });
  getter->Fetch();
  EXPECT_TRUE(timerFired);
  EXPECT_FALSE(getter->Running());
  EXPECT_TRUE(getter->Succeeded());
  EXPECT_EQ(errors, 0);
  EXPECT_EQ(BytesOnDisk(target), 8u * 1024u);
}

TEST_F(HttpDownloadTest, FailuresRaiseOnError) {
  server.Queue(ScriptedResponse{HttpResponseBytes("500 Oops", "error page", "-")});
  auto getter = MakeGetter("/v");
  getter->WaitThread = true;
  getter->Fetch();
  EXPECT_TRUE(getter->Succeeded());
  EXPECT_EQ(errors, 0);

  server.Queue(ScriptedResponse{HttpResponseBytes("200 OK", "exe", "-")});
  getter->BinaryData = true;
  getter->Fetch();
  EXPECT_FALSE(getter->Succeeded());
  EXPECT_EQ(errors, 1);

  getter->URL = "http://127.0.0.1:" + std::to_string(test::TestHttpServer::ClosedPort()) + "/v";
  getter->Fetch();
  EXPECT_FALSE(getter->Succeeded());
  EXPECT_EQ(errors, 2);
}

TEST_F(HttpDownloadTest, SecondFetchWhileRunningDoesNothingAndCancelFailsTheTransfer) {
  ServeSlowly(200 * 1024, 50ms);
  auto getter = MakeGetter("/first");
  getter->Fetch();
  ASSERT_TRUE(server.WaitForRequests(1, 2s));
  getter->URL = "http://" + server.HostAndPort() + "/second";
  getter->WaitThread = true;
  getter->Fetch();  // returns at once: the running transfer is left alone
  EXPECT_TRUE(getter->Running());
  ASSERT_TRUE(WaitUntil([&] { return BytesOnDisk(target) > 0; }));

  QElapsedTimer timer;
  timer.start();
  getter->Cancel();
  ASSERT_TRUE(WaitUntil([&] { return !getter->Running(); }, 2000));
  EXPECT_LT(timer.elapsed(), 1000);
  EXPECT_FALSE(getter->Succeeded());
  EXPECT_EQ(errors, 1);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("GET /first ", 0), 0u);
}

TEST_F(HttpDownloadTest, ComponentDestroyedDuringTransferRaisesNothing) {
  ServeSlowly(200 * 1024, 20ms);
  auto getter = MakeGetter("/slow");
  getter->Fetch();
  ASSERT_TRUE(WaitUntil([&] { return BytesOnDisk(target) >= 2048; }));
  QElapsedTimer timer;
  timer.start();
  getter.reset();
  EXPECT_LT(timer.elapsed(), 1000);
  const uintmax_t bytesSeen = BytesOnDisk(target);
  QTest::qWait(200);
  EXPECT_EQ(BytesOnDisk(target), bytesSeen);  // the worker is gone
  EXPECT_EQ(errors, 0);
}

TEST_F(HttpDownloadTest, HandlerMayDestroyTheComponentWhileFetchWaits) {
  server.Queue(ScriptedResponse{HttpResponseBytes("200 OK", "data", "-")});
  std::unique_ptr<HttpDownload> owned = MakeGetter("/v");
  HttpDownload* getter = owned.get();
  getter->WaitThread = true;
  getter->BinaryData = true;  // no length: the transfer fails
  getter->OnError = [&](HttpDownload*) { owned.reset(); };
  getter->Fetch();  // must notice that its component went away
  EXPECT_EQ(owned, nullptr);
}

}  // namespace
}  // namespace varnoket
