// The dates and permission bits of the recorded folders a restore made or
// replaced, given back at the end of the run. A folder's modification time
// changes each time an entry is made in it, and a folder whose recorded mode
// forbids writing would refuse what is restored below it, so nothing can be
// set while the run still works there: the folders are noted as the run
// meets them and set once it is over, the deepest first, so that a parent's
// mode never stands in the way of its children.
#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "restore/RecordedFolder.h"

namespace varnoket {

class FolderDates {
 public:
  // `confinedTo`, when given, is the folder nothing may be changed outside
  // of, links resolved.
  FolderDates(FileSystem& fs, const PathRules& rules, std::string confinedTo)
      : fs_(fs), rules_(rules), confinedTo_(std::move(confinedTo)) {}

  // Notes the folder at `destination` and what its record says.
  void Note(const std::string& destination, const RecordedFolder& record);

  // Gives each noted folder its recorded date and, when the record holds a
  // POSIX directory mode, its permission bits; the deepest folders first.
  // A noted place that is no longer a folder of its own (gone, a file, a
  // link) or that now lies outside the confining folder is left alone.
  void Apply();

 private:
  struct Noted {
    std::string destination;
    RecordedFolder record;
  };

  FileSystem& fs_;
  const PathRules& rules_;
  std::string confinedTo_;
  std::vector<Noted> noted_;
};

}  // namespace varnoket
