#include "app/gui/SecondStartListener.h"

#include <QSocketNotifier>

namespace varnoket {

SecondStartListener::SecondStartListener(std::function<bool()> show, QObject* parent)
    : QObject(parent), show_(std::move(show)) {}

SecondStartListener::~SecondStartListener() {
  delete notifier_;  // before the socket it watches is closed
}

bool SecondStartListener::Listen(const std::string& socketPath, std::string& why) {
  if (!requests_.Listen(socketPath, why)) return false;
  notifier_ = new QSocketNotifier(requests_.Fd(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { requests_.ServeOne(show_); });
  return true;
}

}  // namespace varnoket
