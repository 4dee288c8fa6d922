#include "platform/IniFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/AsciiText.h"
#include "platform/Clock.h"
#include "platform/DecimalText.h"
#include "platform/MessageText.h"
#include "platform/TextLines.h"
#include "platform/Translation.h"

namespace varnoket {
namespace {

// The name of a "[NAME]" line, blanks around it ignored; nullopt for any
// other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view t = TrimBlanks(line);
  if (t.empty() || t.front() != '[') return std::nullopt;
  const size_t close = t.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimBlanks(t.substr(1, close - 1));
}

// The key of a "key=value" line, blanks around it ignored; nullopt when the
// line holds no "=".
std::optional<std::string_view> KeyOf(std::string_view line) {
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return TrimBlanks(line.substr(0, eq));
}

// Calls visit(index, line) for every line inside the blocks of `section`.
template <typename Visit>
void ForEachLineOf(const std::vector<std::string>& lines, const std::string& section, Visit visit) {
  bool inside = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (const auto name = SectionName(lines[i])) {
      inside = EqualsIgnoreCase(*name, section);
      continue;
    }
    if (inside && !visit(i, lines[i])) return;
  }
}

std::vector<std::string> WithoutSection(const std::vector<std::string>& lines,
                                        const std::string& section) {
  std::vector<std::string> kept;
  kept.reserve(lines.size());
  bool inside = false;
  for (const auto& line : lines) {
    if (const auto name = SectionName(line)) inside = EqualsIgnoreCase(*name, section);
    if (!inside) kept.push_back(line);
  }
  return kept;
}

// "[SECTION]" then "key=value" per the rules of WriteString.
void SetKey(std::vector<std::string>& lines, const std::string& section, const std::string& key,
            const std::string& value) {
  const std::string keyLine = key + "=" + value;
  // Where a new key goes: after the last non-blank line of the section's
  // first block, so blank lines before the next section stay where they are.
  std::optional<size_t> insertAt;
  bool inFirstBlock = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (const auto name = SectionName(lines[i])) {
      const bool match = EqualsIgnoreCase(*name, section);
      inFirstBlock = match && !insertAt;
      if (inFirstBlock) insertAt = i + 1;
      if (match) {
        // Scan this block for the key.
        for (size_t j = i + 1; j < lines.size() && !SectionName(lines[j]); ++j) {
          const auto k = KeyOf(lines[j]);
          if (k && EqualsIgnoreCase(*k, key)) {
            lines[j] = keyLine;
            return;
          }
        }
      }
      continue;
    }
    if (inFirstBlock && !TrimBlanks(lines[i]).empty()) insertAt = i + 1;
  }
  if (insertAt) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*insertAt), keyLine);
  } else {
    lines.push_back("[" + section + "]");
    lines.push_back(keyLine);
  }
}

bool HasSectionIn(const std::vector<std::string>& lines, const std::string& section) {
  for (const auto& line : lines) {
    const auto name = SectionName(line);
    if (name && EqualsIgnoreCase(*name, section)) return true;
  }
  return false;
}

std::string Reason(int error, const char* otherwise) {
  return error != 0 ? std::strerror(error) : otherwise;
}

// yyyymmdd-hhmmss of the local time now.
std::string TimeStamp() {
  const LocalDateTime now = SystemClock().Now();
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day,
                now.hour, now.minute, now.second);
  return text;
}

}  // namespace

IniFile::IniFile(FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {
  Reload();
}

bool IniFile::Reload() {
  lines_.clear();
  const auto text = fs_.ReadFile(path_);
  if (!text) return false;
  if (IsSettingsText(*text)) {
    lines_ = SplitLines(*text);
    return true;
  }
  // Kept aside under the lock, as a writer may be replacing it right now.
  // When that fails the file stays where it is, and a write will try again
  // rather than overwrite it.
  try {
    const auto lock = Lock();
    lines_ = LinesOnDisk();
  } catch (const IniError&) {
    lines_.clear();
  }
  return false;
}

std::optional<std::string> IniFile::ReadString(const std::string& section,
                                               const std::string& key) const {
  std::optional<std::string> value;
  ForEachLineOf(lines_, section, [&](size_t, const std::string& line) {
    const auto k = KeyOf(line);
    if (k && EqualsIgnoreCase(*k, key)) {
      value = line.substr(line.find('=') + 1);
      return false;
    }
    return true;
  });
  return value;
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const {
  const auto value = ReadString(section, key);
  if (!value) return fallback;
  return ParseTypedDecimal<int>(TrimBlanks(*value)).value_or(fallback);
}

std::vector<std::string> IniFile::SectionLines(const std::string& section) const {
  std::vector<std::string> result;
  ForEachLineOf(lines_, section, [&](size_t, const std::string& line) {
    if (const auto k = KeyOf(line)) {
      result.push_back(std::string(*k) + line.substr(line.find('=')));
    }
    return true;
  });
  return result;
}

bool IniFile::HasSection(const std::string& section) const {
  return HasSectionIn(lines_, section);
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  Update([&](std::vector<std::string>& lines) {
    SetKey(lines, section, key, value);
    return true;
  });
}

void IniFile::ReplaceSection(const std::string& section,
                             const std::vector<std::pair<std::string, std::string>>& keys) {
  Update([&](std::vector<std::string>& lines) {
    lines = WithoutSection(lines, section);
    if (!keys.empty()) {
      lines.push_back("[" + section + "]");
      for (const auto& [key, value] : keys) lines.push_back(key + "=" + value);
    }
    return true;
  });
}

void IniFile::Update(const std::function<bool(std::vector<std::string>&)>& change) {
  const auto lock = Lock();
  std::vector<std::string> lines = LinesOnDisk();
  if (change(lines)) {
    SaveLines(std::move(lines));
  } else {
    lines_ = std::move(lines);
  }
}

std::unique_ptr<FileLock> IniFile::Lock() {
  std::unique_ptr<FileLock> lock;
  errno = 0;
  switch (fs_.LockFile(path_ + ".lock", true, lock)) {
    case LockStatus::kAcquired:
      return lock;
    case LockStatus::kUnsupported:
      // Some network mounts refuse locks; reading again just before the
      // write still keeps what others wrote before it.
      return nullptr;
    case LockStatus::kBusy:
    case LockStatus::kFailed:
      break;
  }
  const int error = errno;
  throw IniError(FillText(VK_TR_NOOP("Messages", "Impossible de verrouiller le fichier %s : %s"),
                          {path_, Reason(error, VK_TR_NOOP("Messages", "verrou refusé"))}));
}

std::vector<std::string> IniFile::LinesOnDisk() {
  errno = 0;
  const auto text = fs_.ReadFile(path_);
  if (!text) {
    const int error = errno;
    if (!fs_.Exists(path_)) return {};
    throw IniError(FillText(VK_TR_NOOP("Messages", "Impossible de lire le fichier %s : %s"),
                            {path_, Reason(error, VK_TR_NOOP("Messages", "erreur de lecture"))}));
  }
  if (IsSettingsText(*text)) return SplitLines(*text);
  KeepAside();
  return lines_;
}

void IniFile::KeepAside() {
  const std::string base = path_ + ".unreadable-" + TimeStamp();
  std::string target = base;
  for (int n = 2; fs_.Exists(target); ++n) target = base + "-" + std::to_string(n);
  if (const FsStatus renamed = fs_.Rename(path_, target); !renamed) {
    throw IniError(FillText(
        VK_TR_NOOP("Messages", "Impossible de mettre de côté le fichier illisible %s : %s"),
        {path_, renamed.Reason()}));
  }
  keptAsideAs_ = target;
}

void IniFile::SaveLines(std::vector<std::string> lines) {
  std::string text;
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  if (const FsStatus written = fs_.WriteFileAtomic(path_, text); !written) {
    throw IniError(FillText(VK_TR_NOOP("Messages", "Impossible d'écrire le fichier %s : %s"),
                            {path_, written.Reason()}));
  }
  lines_ = std::move(lines);
}

bool IsSettingsText(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20) continue;
    if (byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' || byte == '\r') continue;
    if (byte == 0x1A) continue;  // Ctrl-Z, which old editors put at the end
    return false;
  }
  return true;
}

}  // namespace varnoket
