#include "restore/KeptCopyName.h"

#include "platform/PathRules.h"

namespace varnoket {

namespace {

// `text` cut to at most `limit` bytes without splitting a UTF-8 character.
std::string CutUtf8(std::string_view text, size_t limit) {
  if (text.size() <= limit) return std::string(text);
  size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return std::string(text.substr(0, cut));
}

}  // namespace

std::string KeptCopyName(std::string_view fileName, std::string_view dayFolder, int attempt) {
  size_t dot = fileName.rfind('.');
  if (dot == 0 || dot == std::string_view::npos) dot = fileName.size();
  std::string day(dayFolder);
  if (day.size() == 8) day = day.substr(0, 2) + "-" + day.substr(2, 2) + "-" + day.substr(4, 4);
  std::string mark = " (restauré du " + day + ")";
  if (attempt > 1) mark += " " + std::to_string(attempt);
  // A name near the system's limit would give a kept name it cannot hold:
  // the name's own part gives way first, then the end of its extension, so
  // the copy can still be kept beside the file.
  std::string_view stem = fileName.substr(0, dot);
  std::string_view extension = fileName.substr(dot);
  if (extension.size() + mark.size() + 1 > kMaxNameLength) {
    const size_t room = kMaxNameLength - mark.size();
    return CutUtf8(stem, room / 2) + mark +
           CutUtf8(extension, room - CutUtf8(stem, room / 2).size());
  }
  const size_t room = kMaxNameLength - mark.size() - extension.size();
  return CutUtf8(stem, room) + mark + std::string(extension);
}

}  // namespace varnoket
