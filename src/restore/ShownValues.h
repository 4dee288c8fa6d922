// How the restore windows write a file's size and date for people, in the
// conventions installed for the shown language (platform/ShownFormat.h): the
// size in bytes with its thousands apart ("1 234 567 o", "1,234,567 B"), the
// packed date and a day folder in the locale's short form ("dd/mm/yyyy
// hh:mm:ss" and "dd/mm/yyyy" when none is installed).
#pragma once

#include <cstdint>
#include <string>

namespace varnoket {

std::string SizeText(int64_t bytes);
std::string DosDateText(int32_t packed);
// "07032026" gives "07/03/2026" (French); a name of another form is given
// back as it is.
std::string DayFolderText(const std::string& dayFolder);

}  // namespace varnoket
