// How the restore windows write a file's size and date for people: the size
// in bytes with its thousands apart ("1 234 567 o"), the packed date as
// "dd/mm/yyyy hh:mm:ss", and a day folder as "dd/mm/yyyy".
#pragma once

#include <cstdint>
#include <string>

namespace varnoket {

std::string SizeText(int64_t bytes);
std::string DosDateText(int32_t packed);
// "07032026" gives "07/03/2026"; a name of another form is given back as it is.
std::string DayFolderText(const std::string& dayFolder);

}  // namespace varnoket
