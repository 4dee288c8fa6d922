// The names the hand-over to a new version is made of, shared by the update
// check that downloads and starts a new version and by the update program
// that puts it in place.
#pragma once

namespace varnoket {

// In the program folder while a new version is being put in place.
constexpr const char* kExchangeFileName = "__newver.$$$";
constexpr const char* kVersionFileName = "varnoket.ver";
constexpr const char* kDownloadFolderName = "upload";
// The downloaded program, as step A starts it and as the download saves it.
constexpr const char* kDownloadedProgramName = "_FILE1.exe";

}  // namespace varnoket
