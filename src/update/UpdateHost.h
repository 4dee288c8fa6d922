// What the update check needs from whoever hosts it (the window program, a
// test): the on-line probe, the two downloads, the message pump, starting
// the new program and ending this one, the error window, the tray picture
// and the scheduler's timer. The check never calls a window; a host that
// leaves a method alone gets the harmless answer (off line, nothing fetched,
// nothing started).
#pragma once

#include <string>

namespace varnoket {

class UpdateHost {
 public:
  virtual ~UpdateHost() = default;

  // True when the machine has a way out to the network.
  virtual bool IsOnline() { return false; }
  // Fetches `url` into `fileName`; `binary` asks for the strict rule (the
  // length received must equal the announced Content-Length). True on success.
  virtual bool Fetch(const std::string& /*url*/, const std::string& /*fileName*/, bool /*binary*/) {
    return false;
  }
  // One pass over the queued window events.
  virtual void ProcessMessages() {}
  // Starts a program (minimised when asked); true when it started.
  virtual bool StartProgram(const std::string& /*program*/, bool /*minimised*/) { return false; }
  // Ends this program at once: the new version takes over.
  virtual void EndProcess() {}
  // Shows a text in the error window without waiting.
  virtual void ShowError(const std::string& /*text*/) {}
  // 0 idle, 1 busy.
  virtual void SetTrayImage(int /*index*/) {}
  // The scheduler's timer runs again after a failed attempt.
  virtual void StartTimer() {}
};

}  // namespace varnoket
