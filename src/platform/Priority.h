// Backups run on threads of this process; lowering the whole process makes
// every other program of the user come first, for the processor and the disk.
#pragma once

namespace varnoket {

// Nice 19 and the idle I/O class. Failures are ignored: a backup at normal
// priority is still a backup.
void LowerProcessPriority();

}  // namespace varnoket
