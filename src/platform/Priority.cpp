#include "platform/Priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace varnoket {
namespace {

// From the kernel's ioprio interface, which glibc does not wrap.
constexpr int kIoprioWhoProcess = 1;
constexpr int kIoprioClassIdle = 3;
constexpr int kIoprioClassShift = 13;

}  // namespace

void LowerProcessPriority() {
  (void)::setpriority(PRIO_PROCESS, 0, 19);
  (void)::syscall(SYS_ioprio_set, kIoprioWhoProcess, 0, kIoprioClassIdle << kIoprioClassShift);
}

}  // namespace varnoket
