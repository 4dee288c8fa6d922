// One HTTP transfer into a local file, as the download component's worker
// runs it: an HTTP/1.0 GET or POST whose body is streamed to disk block by
// block, judged by the number of bytes received. Plain C++, callable on any
// thread; the component in gui/ puts it on a worker thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace varnoket {

// Copies of the component's properties, taken when a transfer starts, so a
// change to the component during the transfer does not affect it.
struct HttpRequest {
  std::string acceptTypes = "*/*";
  std::string agent = "Quendralith FileDownload";  // empty: no User-Agent header
  std::string url;
  std::string fileName;  // receives the body
  std::string userName;  // credentials are sent only when this is not empty
  std::string password;
  std::string postQuery;  // not empty: a POST with this body
  std::string referer;
  bool binaryData = false;          // strict rule: the byte count must equal Content-Length
  bool useCache = false;            // false asks every cache on the way for a fresh copy
  long connectTimeoutSeconds = 30;  // no connection within this: failure
  long stallTimeoutSeconds = 60;    // no byte for this long (from the start too): failure
};

// Where an address points: the host (which may carry ":port") and the path,
// which begins with "/" when there is a host.
struct HttpAddress {
  std::string host;
  std::string path;
};

// Turns "\" into "/", drops the first 7 characters when "http://" appears
// anywhere (in any case), then splits at the first "/". Without a "/" the host
// is empty and the whole text is the path; such a transfer fails.
HttpAddress SplitHttpAddress(std::string url);

struct HttpOutcome {
  bool succeeded = false;
  int64_t contentLength = 0;  // 0 when the server sent none
  int64_t transferred = 0;    // body bytes written to the file
};

// Runs the transfer. `stop` is polled at least every 100 ms and before each
// block; a stop ends the transfer with failure. `progress(total, readed)` is
// called after each block written (it may be empty). Never throws.
HttpOutcome RunHttpTransfer(const HttpRequest& request, const std::atomic<bool>& stop,
                            const std::function<void(int64_t, int64_t)>& progress = {});

}  // namespace varnoket
