// How the restore windows write a file's date for people, in the
// conventions installed for the shown language (platform/ShownFormat.h): the
// packed date and a day folder in the locale's short form ("dd/mm/yyyy
// hh:mm:ss" and "dd/mm/yyyy" when none is installed). Sizes are written by
// ByteSizeText there.
#pragma once

#include <cstdint>
#include <string>

namespace varnoket {

std::string DosDateText(int32_t packed);
// "07032026" gives "07/03/2026" (French); a name of another form is given
// back as it is.
std::string DayFolderText(const std::string& dayFolder);

}  // namespace varnoket
