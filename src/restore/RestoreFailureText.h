// The report line of each way one restored file can fail, so that a person
// reads the real cause: the copy missing, damaged, cut short or holding
// another content; access refused; a name too long; a folder where the file
// goes (or a file where a folder goes); a full disk; a place outside the
// chosen destination. French, marked for the catalogue, as every report
// line.
#pragma once

#include <string>

#include "restore/ProvenCopy.h"

namespace varnoket {

// Why a copy found in the store was not taken.
std::string RefusedCopyLine(const CopyProof& proof, const RecordedContent& recorded,
                            size_t copiesTried);

// Why the file could not be written at `destination`; `systemError` is the
// system's error number of the failed step.
std::string FileWriteFailedLine(const std::string& destination, int systemError);

// Why the folder `folder` (ending with its separator) could not be made.
std::string FolderFailedLine(const std::string& folder, int systemError, size_t lengthLimit);

// The line for a destination that, links resolved, lies outside the folder
// the restore was told to write in.
std::string OutsideDestinationLine(const std::string& destination, const std::string& root);

// The line for a destination where a folder stands.
std::string FolderInTheWayLine(const std::string& destination);

}  // namespace varnoket
