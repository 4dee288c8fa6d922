#include "update/HttpTransfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>

#include "platform/AsciiText.h"
#include "platform/FileSystem.h"
#include "update/HttpResponse.h"

namespace varnoket {

namespace {

// The largest block handed to the file in one write: streaming in small
// blocks keeps memory flat whatever the size of the body.
constexpr long kBlockSize = 1025;
// How often the transfer loop wakes up to look at the stop request.
constexpr int kStopPollMs = 100;

struct CurlEasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlMultiDeleter {
  void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};
struct CurlListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
bool EnsureCurlReady() {
  static std::once_flag once;
  static bool ready = false;
  std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return ready;
}

// A host name, an IPv4 address or a bracketed IPv6 address, with an optional
// port. Anything else (user info, a query, spaces) would let the address mean
// something other than the host it shows, so it is refused.
bool IsPlainHost(const std::string& host) {
  if (host.empty()) return false;
  return std::all_of(host.begin(), host.end(), [](unsigned char c) {
    return std::isalnum(c) || c == '.' || c == '-' || c == '_' || c == ':' || c == '[' || c == ']';
  });
}

// Spaces, control characters and bytes above ASCII are not allowed in a
// request line; they are sent percent-encoded.
std::string EncodePath(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(path.size());
  for (unsigned char c : path) {
    if (c <= 0x20 || c >= 0x7F) {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 0x0F];
    } else {
      encoded += static_cast<char>(c);
    }
  }
  return encoded;
}

// What the curl callbacks share with the run.
struct TransferState {
  const HttpRequest* request = nullptr;
  const std::atomic<bool>* stop = nullptr;
  const std::function<void(int64_t, int64_t)>* progress = nullptr;
  // What the response's header lines said so far (under the request's rule
  // once the transfer starts).
  HttpResponseHeaders headers{false};
  std::unique_ptr<FileStream> file;
  bool fileFailed = false;
  int64_t transferred = 0;
  // When the last byte of the response arrived (the start, before the first).
  std::chrono::steady_clock::time_point lastByte = std::chrono::steady_clock::now();
};

// Called once per response header line, the status line and the blank line
// that ends the block included.
size_t OnHeaderLine(char* data, size_t size, size_t count, void* user) {
  auto& state = *static_cast<TransferState*>(user);
  const size_t length = size * count;
  const std::string_view line(data, length);
  if (state.stop->load()) return 0;
  state.lastByte = std::chrono::steady_clock::now();

  switch (state.headers.OnLine(line)) {
    case HttpResponseHeaders::Next::kReadMore:
      return length;
    case HttpResponseHeaders::Next::kRefuse:
      return 0;
    case HttpResponseHeaders::Next::kOpenBody:
      break;
  }
  try {
    state.file = DefaultFileSystem().Create(state.request->fileName);
  } catch (const StreamError&) {
    state.fileFailed = true;
    return 0;
  }
  return length;
}

size_t OnBodyBlock(char* data, size_t size, size_t count, void* user) {
  auto& state = *static_cast<TransferState*>(user);
  const size_t length = size * count;
  if (state.stop->load() || !state.file) return 0;
  if (length == 0) return 0;
  state.lastByte = std::chrono::steady_clock::now();
  try {
    state.file->Write(data, length);
  } catch (const StreamError&) {
    state.fileFailed = true;
    return 0;
  }
  state.transferred += static_cast<int64_t>(length);
  if (*state.progress) {
    (*state.progress)(state.headers.contentLength().value_or(0), state.transferred);
  }
  return length;
}

int OnCurlProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto& state = *static_cast<TransferState*>(user);
  return state.stop->load() ? 1 : 0;
}

// The transfer's options: plain HTTP only, the callbacks on `state`, the
// request's agent, referer and credentials.
void SetOptions(CURL* handle, const HttpRequest& request, const HttpAddress& address,
                TransferState& state, std::string& url) {
  url = "http://" + address.host + EncodePath(address.path);
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, kBlockSize);
  // The body runs until the server closes the connection, so that a body
  // longer than the announced length is seen (and fails the strict rule).
  curl_easy_setopt(handle, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, request.connectTimeoutSeconds);
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &OnHeaderLine);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, &state);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &OnBodyBlock);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &state);
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &OnCurlProgress);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &state);

  if (!request.agent.empty()) curl_easy_setopt(handle, CURLOPT_USERAGENT, request.agent.c_str());
  if (!request.referer.empty()) curl_easy_setopt(handle, CURLOPT_REFERER, request.referer.c_str());
  if (!request.userName.empty()) {
    curl_easy_setopt(handle, CURLOPT_USERNAME, request.userName.c_str());
    curl_easy_setopt(handle, CURLOPT_PASSWORD, request.password.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
  }
}

// The request's headers and its form, if it posts one; false when they
// could not be built (the list must live until the transfer ends).
bool SetHeaders(CURL* handle, const HttpRequest& request,
                std::unique_ptr<curl_slist, CurlListDeleter>& headers) {
  const auto addHeader = [&headers](const std::string& header) {
    curl_slist* extended = curl_slist_append(headers.get(), header.c_str());
    if (extended == nullptr) return false;
    static_cast<void>(headers.release());
    headers.reset(extended);
    return true;
  };
  bool headersBuilt =
      addHeader(request.acceptTypes.empty() ? "Accept:" : "Accept: " + request.acceptTypes);
  if (!request.useCache) {
    headersBuilt =
        headersBuilt && addHeader("Pragma: no-cache") && addHeader("Cache-Control: no-cache");
  }
  if (!request.postQuery.empty()) {
    headersBuilt = headersBuilt && addHeader("Content-Type: application/x-www-form-urlencoded");
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request.postQuery.size()));
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, request.postQuery.c_str());
  }
  if (!headersBuilt) return false;
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
  return true;
}

// Runs the transfer until it ends, the caller stops it or the server falls
// silent; the transfer's result once it ended, else nothing.
std::optional<CURLcode> Perform(CURLM* multi, const HttpRequest& request,
                                const TransferState& state, const std::atomic<bool>& stop) {
  // curl's own low-speed check averages over several seconds; a silence is
  // measured here instead, from the last byte received.
  const auto stallLimit = std::chrono::seconds(request.stallTimeoutSeconds);
  while (!stop.load()) {
    if (std::chrono::steady_clock::now() - state.lastByte > stallLimit) break;
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) break;
    if (running == 0) {
      CURLcode result = CURLE_OK;
      int left = 0;
      while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg == CURLMSG_DONE) result = message->data.result;
      }
      return result;
    }
    if (curl_multi_poll(multi, nullptr, 0, kStopPollMs, nullptr) != CURLM_OK) break;
  }
  return std::nullopt;
}

HttpOutcome Run(const HttpRequest& request, const std::atomic<bool>& stop,
                const std::function<void(int64_t, int64_t)>& progress) {
  HttpOutcome outcome;
  const HttpAddress address = SplitHttpAddress(request.url);
  if (stop.load()) return outcome;
  if (!IsPlainHost(address.host)) return outcome;
  if (!EnsureCurlReady()) return outcome;

  std::unique_ptr<CURL, CurlEasyDeleter> easy(curl_easy_init());
  std::unique_ptr<CURLM, CurlMultiDeleter> multi(curl_multi_init());
  if (!easy || !multi) return outcome;
  CURL* handle = easy.get();

  TransferState state;
  state.request = &request;
  state.stop = &stop;
  state.progress = &progress;
  state.headers = HttpResponseHeaders(request.binaryData);

  std::string url;  // must live until the transfer ends
  SetOptions(handle, request, address, state, url);
  std::unique_ptr<curl_slist, CurlListDeleter> headers;
  if (!SetHeaders(handle, request, headers)) return outcome;

  if (curl_multi_add_handle(multi.get(), handle) != CURLM_OK) return outcome;
  const std::optional<CURLcode> result = Perform(multi.get(), request, state, stop);
  curl_multi_remove_handle(multi.get(), handle);

  outcome.contentLength = state.headers.contentLength().value_or(0);
  outcome.transferred = state.transferred;
  bool closedCleanly = true;
  if (state.file) {
    try {
      state.file->Close();
    } catch (const StreamError&) {
      closedCleanly = false;
    }
  }
  if (!result || stop.load() || *result != CURLE_OK || state.fileFailed || !closedCleanly)
    return outcome;
  outcome.succeeded =
      HttpBodyAccepted(request.binaryData, outcome.transferred, outcome.contentLength);
  return outcome;
}

}  // namespace

HttpAddress SplitHttpAddress(std::string url) {
  std::replace(url.begin(), url.end(), '\\', '/');
  if (LowerAscii(url).find("http://") != std::string::npos)
    url.erase(0, std::min<size_t>(7, url.size()));
  HttpAddress address;
  const auto slash = url.find('/');
  if (slash == std::string::npos) {
    address.path = url;
  } else {
    address.host = url.substr(0, slash);
    address.path = url.substr(slash);
  }
  return address;
}

HttpOutcome RunHttpTransfer(const HttpRequest& request, const std::atomic<bool>& stop,
                            const std::function<void(int64_t, int64_t)>& progress) {
  try {
    return Run(request, stop, progress);
  } catch (...) {
    return HttpOutcome{};
  }
}

}  // namespace varnoket
