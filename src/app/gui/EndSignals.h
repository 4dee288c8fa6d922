// Turns the signals that end a desktop program (SIGTERM at logout or
// shutdown, SIGINT, SIGHUP) and the session manager's logout into one call
// on the GUI thread, where the program can stop a run cleanly and leave.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace varnoket {

class EndSignals final : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers; `onEnd` runs on the GUI thread, from the event
  // loop (also from the nested one a backup run keeps turning).
  explicit EndSignals(std::function<void()> onEnd, QObject* parent = nullptr);
  ~EndSignals() override;

 private:
  void Arrived();

  std::function<void()> onEnd_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace varnoket
