#include "settings/StoreMarker.h"

#include <cctype>

#include "platform/AsciiText.h"
#include "platform/Clock.h"
#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/RandomId.h"
#include "platform/Translation.h"

namespace varnoket {
namespace {

constexpr size_t kIdDigits = 32;

bool IsMarkerId(const std::string& text) {
  if (text.size() != kIdDigits) return false;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// The value of `key=` on one of the lines, blanks around it left out.
std::string ValueOf(const std::string& text, const std::string& key) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = TrimBlanks(std::string_view(text).substr(start, end - start));
    const size_t equals = line.find('=');
    if (equals != std::string_view::npos &&
        EqualsIgnoreCase(TrimBlanks(line.substr(0, equals)), key)) {
      return std::string(TrimBlanks(line.substr(equals + 1)));
    }
    start = end + 1;
  }
  return {};
}

}  // namespace

std::string StoreMarkerText(const StoreMarker& marker) {
  return "[STORE]\r\nID=" + marker.id + "\r\nCREATED=" + marker.created + "\r\n";
}

std::optional<StoreMarker> ParseStoreMarker(const std::string& text) {
  StoreMarker marker{ValueOf(text, "ID"), ValueOf(text, "CREATED")};
  if (!IsMarkerId(marker.id)) return std::nullopt;
  marker.id = LowerAscii(marker.id);
  return marker;
}

std::string StoreMarkerPath(const std::string& root) {
  return PathRules(PathStyle::kPosix).Join(root, kStoreMarkerName);
}

std::optional<StoreMarker> ReadStoreMarker(FileSystem& fs, const std::string& root) {
  const auto text = fs.ReadFile(StoreMarkerPath(root));
  if (!text) return std::nullopt;
  return ParseStoreMarker(*text);
}

std::string NewStoreId() {
  return RandomHexDigits(kIdDigits);
}

bool HasUnreadableMarker(FileSystem& fs, const std::string& root) {
  return fs.Exists(StoreMarkerPath(root)) && !ReadStoreMarker(fs, root);
}

std::string UnreadableMarkerText(const std::string& root) {
  return FillText(VK_TR_NOOP("Messages",
                             "Le marqueur du disque de sauvegarde (%s) est "
                             "illisible : vérifiez le disque."),
                  {StoreMarkerPath(root)});
}

std::optional<StoreMarker> MarkStore(FileSystem& fs, const std::string& root) {
  if (auto existing = ReadStoreMarker(fs, root)) return existing;
  const StoreMarker marker{NewStoreId(), UtcNowText()};
  const std::string path = StoreMarkerPath(root);
  const std::string temporary = path + "." + marker.id + ".tmp";
  if (!fs.WriteFileAtomic(temporary, StoreMarkerText(marker))) {
    fs.DeleteFile(temporary);
    return std::nullopt;
  }
  // A second name never replaces a marker another program wrote meanwhile;
  // where the disk has no hard links (FAT), a rename does, after a last look.
  if (!fs.LinkFile(temporary, path) && !fs.Exists(path)) fs.Rename(temporary, path);
  fs.DeleteFile(temporary);
  return ReadStoreMarker(fs, root);
}

}  // namespace varnoket
