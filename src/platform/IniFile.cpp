#include "platform/IniFile.h"

#include <cerrno>
#include <charconv>
#include <cstring>

#include "platform/AsciiText.h"

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

}  // namespace

IniFile::IniFile(FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {
  Reload();
}

bool IniFile::Reload() {
  lines_.clear();
  const auto text = fs_.ReadFile(path_);
  if (!text) return false;
  size_t start = 0;
  while (start < text->size()) {
    size_t end = text->find('\n', start);
    if (end == std::string::npos) end = text->size();
    std::string line = text->substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(std::move(line));
    start = end + 1;
  }
  return true;
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
  std::string_view digits = TrimBlanks(*value);
  if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-') digits.remove_prefix(1);
  int result = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), result);
  if (error != std::errc() || end != digits.data() + digits.size() || digits.empty()) {
    return fallback;
  }
  return result;
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
  for (const auto& line : lines_) {
    const auto name = SectionName(line);
    if (name && EqualsIgnoreCase(*name, section)) return true;
  }
  return false;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  std::vector<std::string> lines = lines_;
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
            SaveLines(std::move(lines));
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
  SaveLines(std::move(lines));
}

void IniFile::EraseSection(const std::string& section) {
  if (!HasSection(section)) return;  // nothing changes, nothing to write
  SaveLines(WithoutSection(lines_, section));
}

void IniFile::ReplaceSection(const std::string& section,
                             const std::vector<std::pair<std::string, std::string>>& keys) {
  std::vector<std::string> lines = WithoutSection(lines_, section);
  if (!keys.empty()) {
    lines.push_back("[" + section + "]");
    for (const auto& [key, value] : keys) lines.push_back(key + "=" + value);
  }
  SaveLines(std::move(lines));
}

void IniFile::Save() {
  SaveLines(lines_);
}

void IniFile::SaveLines(std::vector<std::string> lines) {
  std::string text;
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  errno = 0;
  if (!fs_.WriteFileAtomic(path_, text)) {
    const int error = errno;
    throw IniError("Impossible d'écrire le fichier " + path_ + " : " +
                   (error != 0 ? std::strerror(error) : "erreur d'écriture"));
  }
  lines_ = std::move(lines);
}

}  // namespace varnoket
