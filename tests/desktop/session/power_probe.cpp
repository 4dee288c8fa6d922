// The power, sleep and wake classes on whatever system bus the environment
// names, one step per run, its findings printed for power_session.py:
//   power                   prints "onBattery=0|1 percentage=N|none"
//   inhibit HOLD_MS AFTER_MS holds sleep off, prints "held=0|1", releases after
//                           HOLD_MS, prints "released", stays AFTER_MS more
//   wake TIMEOUT_MS         prints "listening=0|1", then "woke" at the first
//                           wake (exit 0) or "no wake" (exit 1)
#include <QCoreApplication>
#include <QTimer>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "desktop/gui/LogindInhibitor.h"
#include "desktop/gui/UPowerSource.h"
#include "desktop/gui/WakeSignal.h"

namespace {

void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::printf("\n");
  std::fflush(stdout);
}

int Number(int argc, char** argv, int index) {
  return index < argc ? std::atoi(argv[index]) : 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace varnoket;
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  if (std::strcmp(argv[1], "power") == 0) {
    UPowerSource source;
    const PowerState state = source.Read();
    if (state.percentage) {
      Say("onBattery=%d percentage=%d", state.onBattery ? 1 : 0,
          static_cast<int>(*state.percentage));
    } else {
      Say("onBattery=%d percentage=none", state.onBattery ? 1 : 0);
    }
    return 0;
  }
  if (std::strcmp(argv[1], "inhibit") == 0) {
    LogindInhibitor inhibitor;
    Say("held=%d", inhibitor.Hold() ? 1 : 0);
    const int after = Number(argc, argv, 3);
    QTimer::singleShot(Number(argc, argv, 2), [&] {
      inhibitor.Release();
      Say("released holding=%d", inhibitor.Holding() ? 1 : 0);
      QTimer::singleShot(after, [] { QCoreApplication::exit(0); });
    });
    return QCoreApplication::exec();
  }
  if (std::strcmp(argv[1], "wake") == 0) {
    WakeSignal wake([] {
      Say("woke");
      QCoreApplication::exit(0);
    });
    Say("listening=%d", wake.Listening() ? 1 : 0);
    QTimer::singleShot(Number(argc, argv, 2), [] {
      Say("no wake");
      QCoreApplication::exit(1);
    });
    return QCoreApplication::exec();
  }
  return 2;
}
