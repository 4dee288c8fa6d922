// The transfer against a local scripted server: what is requested, what is
// written to the file, and when a transfer counts as a success.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "TestHttpServer.h"
#include "support/TempDir.h"
#include "update/HttpTransfer.h"

namespace varnoket {
namespace {

using namespace std::chrono_literals;
using test::HttpResponseBytes;
using test::ReadFile;
using test::ScriptedResponse;

TEST(SplitHttpAddressTest, SchemeInAnyCaseIsDroppedAndHostSplitFromPath) {
  for (const char* url :
       {"http://www.host.example/dir/f.ver", "www.host.example/dir/f.ver",
        "HTTP://www.host.example/dir/f.ver", "hTtP://www.host.example/dir/f.ver"}) {
    const HttpAddress address = SplitHttpAddress(url);
    EXPECT_EQ(address.host, "www.host.example") << url;
    EXPECT_EQ(address.path, "/dir/f.ver") << url;
  }
  const HttpAddress withPort = SplitHttpAddress("http://127.0.0.1:8080/v");
  EXPECT_EQ(withPort.host, "127.0.0.1:8080");
  EXPECT_EQ(withPort.path, "/v");
}

TEST(SplitHttpAddressTest, BackslashesBecomeSlashesAndNoPathMeansNoHost) {
  const HttpAddress backslashed = SplitHttpAddress("http:\\\\host\\up\\_FILE2");
  EXPECT_EQ(backslashed.host, "host");
  EXPECT_EQ(backslashed.path, "/up/_FILE2");
  const HttpAddress mixed = SplitHttpAddress("http://host\\up\\_FILE2");
  EXPECT_EQ(mixed.host, "host");
  EXPECT_EQ(mixed.path, "/up/_FILE2");
  const HttpAddress bare = SplitHttpAddress("http://host.example");
  EXPECT_EQ(bare.host, "");
  EXPECT_EQ(bare.path, "host.example");
}

class HttpTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The local server is reached directly even where a proxy is configured.
    setenv("no_proxy", "127.0.0.1", 1);
    unsetenv("http_proxy");
  }

  HttpRequest RequestFor(const std::string& path) const {
    HttpRequest request;
    request.url = "http://" + server.HostAndPort() + path;
    request.fileName = target;
    request.connectTimeoutSeconds = 2;
    request.stallTimeoutSeconds = 2;
    return request;
  }

  HttpOutcome Run(const HttpRequest& request) {
    return RunHttpTransfer(request, stop, [this](int64_t total, int64_t received) {
      progress.emplace_back(total, received);
    });
  }

  void Serve(const std::string& bytes) { server.Queue(ScriptedResponse{bytes}); }

  test::TempDir dir;
  std::string target = dir / "received.bin";
  test::TestHttpServer server;
  std::atomic<bool> stop{false};
  std::vector<std::pair<int64_t, int64_t>> progress;
};

TEST_F(HttpTransferTest, GetSendsHttp10RequestWithItsHeaders) {
  Serve(HttpResponseBytes("200 OK", "hello", "5"));
  ASSERT_TRUE(Run(RequestFor("\\dir\\f.txt")).succeeded);
  ASSERT_EQ(server.Requests().size(), 1u);
  const std::string request = server.Requests()[0];
  EXPECT_EQ(request.rfind("GET /dir/f.txt HTTP/1.0\r\n", 0), 0u) << request;
  EXPECT_NE(request.find("\r\nAccept: */*\r\n"), std::string::npos) << request;
  EXPECT_NE(request.find("\r\nUser-Agent: Quendralith FileDownload\r\n"), std::string::npos);
  EXPECT_NE(request.find("\r\nPragma: no-cache\r\n"), std::string::npos);
  EXPECT_NE(request.find("\r\nCache-Control: no-cache\r\n"), std::string::npos);
  EXPECT_EQ(request.find("Referer"), std::string::npos);
  EXPECT_EQ(request.find("Authorization"), std::string::npos);
  EXPECT_EQ(request.find("Content-Type"), std::string::npos);
}

TEST_F(HttpTransferTest, PostSendsItsBodyAndTheOptionalHeaders) {
  Serve(HttpResponseBytes("200 OK", "ok", "2"));
  HttpRequest request = RequestFor("/form");
  request.postQuery = "a=1&b=%C3%A9";
  request.referer = "http://ref.example/page";
  request.agent = "";
  request.acceptTypes = "text/plain";
  request.useCache = true;
  request.userName = "user";
  request.password = "pass";
  ASSERT_TRUE(Run(request).succeeded);
  const std::string sent = server.Requests().at(0);
  EXPECT_EQ(sent.rfind("POST /form HTTP/1.0\r\n", 0), 0u) << sent;
  EXPECT_NE(sent.find("\r\nContent-Type: application/x-www-form-urlencoded\r\n"),
            std::string::npos);
  EXPECT_NE(sent.find("\r\nContent-Length: 12\r\n"), std::string::npos);
  EXPECT_EQ(sent.substr(sent.size() - 12), "a=1&b=%C3%A9");
  EXPECT_NE(sent.find("\r\nReferer: http://ref.example/page\r\n"), std::string::npos);
  EXPECT_NE(sent.find("\r\nAccept: text/plain\r\n"), std::string::npos);
  EXPECT_NE(sent.find("\r\nAuthorization: Basic dXNlcjpwYXNz\r\n"), std::string::npos);
  EXPECT_EQ(sent.find("User-Agent"), std::string::npos);
  EXPECT_EQ(sent.find("no-cache"), std::string::npos);
}

TEST_F(HttpTransferTest, ProxyIsTakenFromTheEnvironment) {
  Serve(HttpResponseBytes("200 OK", "v", "1"));
  setenv("http_proxy", ("http://" + server.HostAndPort()).c_str(), 1);
  HttpRequest request = RequestFor("/x");
  request.url = "http://update.varnoket.example/freeversion.ver";
  const HttpOutcome outcome = Run(request);
  unsetenv("http_proxy");
  EXPECT_TRUE(outcome.succeeded);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].rfind(
                "GET http://update.varnoket.example/freeversion.ver HTTP/1.0\r\n", 0),
            0u)
      << server.Requests()[0];
}

TEST_F(HttpTransferTest, BodyIsStreamedInSmallBlocksWithProgress) {
  std::string body(100000, '\0');
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7);
  Serve(HttpResponseBytes("200 OK", body, std::to_string(body.size())));
  HttpRequest request = RequestFor("/big");
  request.binaryData = true;
  const HttpOutcome outcome = Run(request);
  EXPECT_TRUE(outcome.succeeded);
  EXPECT_EQ(outcome.contentLength, 100000);
  EXPECT_EQ(outcome.transferred, 100000);
  EXPECT_EQ(ReadFile(target), body);
  ASSERT_GE(progress.size(), 98u);
  int64_t previous = 0;
  for (const auto& [total, received] : progress) {
    EXPECT_EQ(total, 100000);
    EXPECT_GT(received, previous);
    EXPECT_LE(received - previous, 1025);
    previous = received;
  }
  EXPECT_EQ(previous, 100000);
}

TEST_F(HttpTransferTest, StatusCodeIsIgnoredAndAnyBodyCountsWithoutBinaryData) {
  Serve(HttpResponseBytes("404 Not Found", "<html>gone</html>", "-"));
  const HttpOutcome outcome = Run(RequestFor("/missing"));
  EXPECT_TRUE(outcome.succeeded);
  EXPECT_EQ(outcome.contentLength, 0);
  EXPECT_EQ(ReadFile(target), "<html>gone</html>");

  // A body shorter than announced still counts without the strict rule.
  Serve(HttpResponseBytes("200 OK", "12345", "10"));
  const HttpOutcome shortBody = Run(RequestFor("/short"));
  EXPECT_TRUE(shortBody.succeeded);
  EXPECT_EQ(shortBody.contentLength, 10);
  EXPECT_EQ(ReadFile(target), "12345");
}

TEST_F(HttpTransferTest, EmptyBodyFailsAndLeavesAnEmptyFile) {
  test::WriteFile(target, "previous");
  Serve(HttpResponseBytes("200 OK", "", "0"));
  EXPECT_FALSE(Run(RequestFor("/empty")).succeeded);
  EXPECT_EQ(ReadFile(target), "");
}

TEST_F(HttpTransferTest, BinaryDataWithoutLengthFailsWithoutTouchingTheFile) {
  test::WriteFile(target, "previous");
  Serve(HttpResponseBytes("200 OK", "new content", "-"));
  HttpRequest request = RequestFor("/nolength");
  request.binaryData = true;
  EXPECT_FALSE(Run(request).succeeded);
  EXPECT_EQ(ReadFile(target), "previous");

  std::filesystem::remove(target);
  Serve(HttpResponseBytes("200 OK", "new content", "-"));
  EXPECT_FALSE(Run(request).succeeded);
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(HttpTransferTest, BinaryDataFailsOnWrongLengthAndKeepsWhatCame) {
  HttpRequest request = RequestFor("/exe");
  request.binaryData = true;
  Serve(HttpResponseBytes("200 OK", "12345", "10"));
  const HttpOutcome shortBody = Run(request);
  EXPECT_FALSE(shortBody.succeeded);
  EXPECT_EQ(shortBody.transferred, 5);
  EXPECT_EQ(ReadFile(target), "12345");

  Serve(HttpResponseBytes("200 OK", "12345", "3"));
  const HttpOutcome longBody = Run(request);
  EXPECT_FALSE(longBody.succeeded);
  EXPECT_EQ(longBody.transferred, 5);

  Serve(HttpResponseBytes("200 OK", "12345", "5x"));
  EXPECT_FALSE(Run(request).succeeded);
}

TEST_F(HttpTransferTest, UnreachableOrMissingHostAndUnwritableFileFail) {
  const auto start = std::chrono::steady_clock::now();
  HttpRequest closed = RequestFor("/x");
  closed.url = "http://127.0.0.1:" + std::to_string(test::TestHttpServer::ClosedPort()) + "/x";
  EXPECT_FALSE(Run(closed).succeeded);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);

  HttpRequest noPath = RequestFor("/x");
  noPath.url = "http://" + server.HostAndPort();
  EXPECT_FALSE(Run(noPath).succeeded);
  HttpRequest userInfo = RequestFor("/x");
  userInfo.url = "http://someone@" + server.HostAndPort() + "/x";
  EXPECT_FALSE(Run(userInfo).succeeded);
  EXPECT_TRUE(server.Requests().empty());

  Serve(HttpResponseBytes("200 OK", "body", "4"));
  HttpRequest unwritable = RequestFor("/x");
  unwritable.fileName = dir / "no/such/folder/file";
  EXPECT_FALSE(Run(unwritable).succeeded);
  EXPECT_FALSE(std::filesystem::exists(unwritable.fileName));
}

TEST_F(HttpTransferTest, StalledServerFailsAfterTheStallTimeout) {
  const std::string head = HttpResponseBytes("200 OK", "", "10");
  server.Queue(ScriptedResponse{head + "12345", head.size() + 5});
  HttpRequest request = RequestFor("/stall");
  request.stallTimeoutSeconds = 1;
  const auto start = std::chrono::steady_clock::now();
  const HttpOutcome outcome = Run(request);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(outcome.succeeded);
  EXPECT_EQ(outcome.transferred, 5);
  EXPECT_GE(elapsed, 900ms);
  EXPECT_LT(elapsed, 5s);
}

TEST_F(HttpTransferTest, StopRequestEndsTheTransferWithFailure) {
  stop = true;
  EXPECT_FALSE(Run(RequestFor("/x")).succeeded);
  EXPECT_TRUE(server.Requests().empty());

  stop = false;
  const std::string body(50 * 1024, 'z');
  server.Queue(ScriptedResponse{HttpResponseBytes("200 OK", body, std::to_string(body.size())),
                                std::string::npos, 50ms, 1024});
  const auto start = std::chrono::steady_clock::now();
  const HttpOutcome outcome =
      RunHttpTransfer(RequestFor("/slow"), stop, [this](int64_t, int64_t) { stop = true; });
  EXPECT_FALSE(outcome.succeeded);
  EXPECT_LT(outcome.transferred, static_cast<int64_t>(body.size()));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

}  // namespace
}  // namespace varnoket
