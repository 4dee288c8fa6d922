// The download component on the GUI thread: events, waiting while the event
// loop runs, one transfer at a time, cancel, and destruction mid-transfer.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

#include "support/TempDir.h"
#include "update/TestHttpServer.h"
#include "update/gui/THTTPGet.h"

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

struct Recorded {
  int doneFile = 0;
  int errors = 0;
  std::string fileName;
  int64_t fileSize = -1;
  std::vector<std::pair<QObject*, int64_t>> progress;
};

class THTTPGetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("no_proxy", "127.0.0.1", 1);
    unsetenv("http_proxy");
  }

  // A component aimed at the local server, its events recorded in `events`.
  std::unique_ptr<THTTPGet> MakeGetter(const std::string& path) {
    auto getter = std::make_unique<THTTPGet>();
    getter->URL = "http://" + server.HostAndPort() + path;
    getter->FileName = target;
    getter->ConnectTimeoutSeconds = 2;
    getter->StallTimeoutSeconds = 2;
    getter->OnDoneFile = [this](THTTPGet*, const std::string& fileName, int64_t fileSize) {
      ++events.doneFile;
      events.fileName = fileName;
      events.fileSize = fileSize;
    };
    getter->OnError = [this](THTTPGet*) { ++events.errors; };
    getter->OnProgress = [this](QObject* sender, int64_t, int64_t readed) {
      events.progress.emplace_back(sender, readed);
    };
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
  Recorded events;
};

TEST_F(THTTPGetTest, FetchReturnsAtOnceAndEventsArriveThroughTheEventLoop) {
  server.Queue(ScriptedResponse{HttpResponseBytes("200 OK", "hello", "5")});
  auto getter = MakeGetter("/f.txt");
  getter->BinaryData = true;
  getter->Fetch();
  EXPECT_TRUE(getter->Running());
  EXPECT_EQ(events.doneFile, 0);  // never raised before the caller's loop runs
  ASSERT_TRUE(WaitUntil([&] { return !getter->Running(); }));
  EXPECT_TRUE(getter->Succeeded());
  EXPECT_EQ(events.doneFile, 1);
  EXPECT_EQ(events.errors, 0);
  EXPECT_EQ(events.fileName, target);
  EXPECT_EQ(events.fileSize, 5);
  EXPECT_EQ(test::ReadFile(target), "hello");
}

TEST_F(THTTPGetTest, WaitThreadKeepsTheEventLoopRunningUntilTheEventsHaveRun) {
  ServeSlowly(8 * 1024, 40ms);
  auto getter = MakeGetter("/slow");
  getter->WaitThread = true;
  bool timerFired = false;
  QTimer::singleShot(30, [&] { timerFired = true; });
  getter->Fetch();
  EXPECT_TRUE(timerFired);
  EXPECT_FALSE(getter->Running());
  EXPECT_TRUE(getter->Succeeded());
  EXPECT_EQ(events.doneFile, 1);
  ASSERT_GE(events.progress.size(), 8u);
  EXPECT_EQ(events.progress.back().second, 8 * 1024);
  QObject* worker = events.progress.front().first;
  ASSERT_NE(worker, nullptr);
  EXPECT_NE(worker, getter.get());
  EXPECT_EQ(worker->objectName(), "THTTPGetThread");
}

TEST_F(THTTPGetTest, FailuresRaiseOnErrorAndMissingLengthReportsSizeZero) {
  server.Queue(ScriptedResponse{HttpResponseBytes("500 Oops", "error page", "-")});
  auto getter = MakeGetter("/v");
  getter->WaitThread = true;
  getter->Fetch();
  EXPECT_TRUE(getter->Succeeded());
  EXPECT_EQ(events.doneFile, 1);
  EXPECT_EQ(events.fileSize, 0);

  server.Queue(ScriptedResponse{HttpResponseBytes("200 OK", "exe", "-")});
  getter->BinaryData = true;
  getter->Fetch();
  EXPECT_FALSE(getter->Succeeded());
  EXPECT_EQ(events.errors, 1);

  getter->URL = "http://127.0.0.1:" + std::to_string(test::TestHttpServer::ClosedPort()) + "/v";
  getter->Fetch();
  EXPECT_FALSE(getter->Succeeded());
  EXPECT_EQ(events.errors, 2);
  EXPECT_EQ(events.doneFile, 1);
}

TEST_F(THTTPGetTest, SecondFetchWhileRunningDoesNothingAndCancelFailsTheTransfer) {
  ServeSlowly(200 * 1024, 50ms);
  auto getter = MakeGetter("/first");
  getter->Fetch();
  ASSERT_TRUE(server.WaitForRequests(1, 2s));
  getter->URL = "http://" + server.HostAndPort() + "/second";
  getter->WaitThread = true;
  getter->Fetch();  // returns at once: the running transfer is left alone
  EXPECT_TRUE(getter->Running());
  ASSERT_TRUE(WaitUntil([&] { return !events.progress.empty(); }));

  QElapsedTimer timer;
  timer.start();
  getter->Cancel();
  ASSERT_TRUE(WaitUntil([&] { return !getter->Running(); }, 2000));
  EXPECT_LT(timer.elapsed(), 1000);
  EXPECT_FALSE(getter->Succeeded());
  EXPECT_EQ(events.errors, 1);
  EXPECT_EQ(events.doneFile, 0);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("GET /first ", 0), 0u);
}

TEST_F(THTTPGetTest, ComponentDestroyedDuringTransferRaisesNothing) {
  ServeSlowly(200 * 1024, 20ms);
  auto getter = MakeGetter("/slow");
  getter->Fetch();
  ASSERT_TRUE(WaitUntil([&] { return events.progress.size() >= 2; }));
  QElapsedTimer timer;
  timer.start();
  getter.reset();
  EXPECT_LT(timer.elapsed(), 1000);
  const size_t progressSeen = events.progress.size();
  QTest::qWait(200);
  EXPECT_EQ(events.progress.size(), progressSeen);
  EXPECT_EQ(events.doneFile, 0);
  EXPECT_EQ(events.errors, 0);
}

TEST_F(THTTPGetTest, HandlerMayDestroyTheComponentWhileFetchWaits) {
  server.Queue(ScriptedResponse{HttpResponseBytes("200 OK", "data", "4")});
  std::unique_ptr<THTTPGet> owned = MakeGetter("/v");
  THTTPGet* getter = owned.get();
  getter->WaitThread = true;
  getter->OnDoneFile = [&](THTTPGet*, const std::string&, int64_t) { owned.reset(); };
  getter->Fetch();  // must notice that its component went away
  EXPECT_EQ(owned, nullptr);
}

}  // namespace
}  // namespace varnoket
