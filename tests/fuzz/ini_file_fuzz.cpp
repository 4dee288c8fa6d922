// A profile (INI) file of any bytes, read through the program's keys and
// through keys of its own, then written: a key, a whole section replaced and a
// section erased. Each write must change what it names and nothing else, and
// what it leaves on disk must read back as what it keeps in memory.
//
// Input: a first line "section|key|value" naming what the writes use (cut to
// what a settings file can hold), then the file's bytes.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "MemoryFileSystem.h"
#include "platform/AsciiText.h"
#include "platform/IniFile.h"

namespace varnoket {
namespace {

// Keeps the printable bytes (and those beyond ASCII) that `allowed` accepts.
template <typename Allowed>
std::string Printable(std::string_view text, Allowed allowed) {
  std::string kept;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u != 0x7f && allowed(c)) kept += c;
  }
  return kept;
}

// The names of the "[...]" lines, as a reader would guess them.
std::vector<std::string> SectionsOf(const IniFile& ini) {
  std::vector<std::string> sections;
  for (const std::string& line : ini.lines()) {
    const std::string_view t = TrimBlanks(line);
    const size_t close = t.find(']');
    if (t.empty() || t.front() != '[' || close == std::string_view::npos) continue;
    sections.emplace_back(TrimBlanks(t.substr(1, close - 1)));
    if (sections.size() >= 16) break;
  }
  return sections;
}

bool HasKey(const std::string& keyLine, const std::string& key) {
  return EqualsIgnoreCase(std::string_view(keyLine).substr(0, keyLine.find('=')), key);
}

std::vector<std::string> WithoutKey(std::vector<std::string> keyLines, const std::string& key) {
  keyLines.erase(std::remove_if(keyLines.begin(), keyLines.end(),
                                [&key](const std::string& l) { return HasKey(l, key); }),
                 keyLines.end());
  return keyLines;
}

// Every section but `changed` lists the same key lines as before.
void CheckOthersKept(const IniFile& ini, const std::vector<std::string>& sections,
                     const std::vector<std::vector<std::string>>& before,
                     const std::string& changed) {
  for (size_t i = 0; i < sections.size(); ++i) {
    if (EqualsIgnoreCase(sections[i], changed)) continue;
    FUZZ_CHECK(ini.SectionLines(sections[i]) == before[i]);
  }
}

// What a write left on disk reads back as what it keeps in memory.
void CheckOnDisk(fuzz::MemoryFileSystem& fs, const IniFile& ini) {
  IniFile again(fs, ini.path());
  FUZZ_CHECK(again.lines() == ini.lines());
}

void ReadProgramKeys(const IniFile& ini) {
  static_cast<void>(ini.ReadString("PARAMS", "RACINE"));
  for (const char* key : {"HEURE", "MINUTE", "MAXSAVE"}) {
    const int value = ini.ReadInteger("PARAMS", key, -7);
    const auto text = ini.ReadString("PARAMS", key);
    if (!text) FUZZ_CHECK(value == -7);
  }
  static_cast<void>(ini.SectionLines("DIRECTORIES"));
}

}  // namespace
}  // namespace varnoket

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varnoket;
  std::string_view input = fuzz::AsText(data, size);
  std::string_view request = fuzz::TakeUntil(input, '\n');
  const std::string section(
      TrimBlanks(Printable(fuzz::TakeUntil(request, '|'), [](char c) { return c != ']'; })));
  const std::string key(TrimBlanks(
      Printable(fuzz::TakeUntil(request, '|'), [](char c) { return c != '=' && c != '['; })));
  const std::string value = Printable(request, [](char) { return true; });

  fuzz::MemoryFileSystem fs;
  const std::string path = fuzz::TargetFolder() + "/VARNOKET.INI";
  fs.files[path] = std::string(input);
  IniFile ini(fs, path);
  ReadProgramKeys(ini);

  const std::vector<std::string> sections = SectionsOf(ini);
  std::vector<std::vector<std::string>> before;
  for (const std::string& s : sections) before.push_back(ini.SectionLines(s));
  const std::vector<std::string> ownBefore = ini.SectionLines(section);
  const auto keyCount = [&key](const std::vector<std::string>& lines) {
    return std::count_if(lines.begin(), lines.end(),
                         [&key](const std::string& l) { return HasKey(l, key); });
  };

  // A key: read back as written; the other keys of its section stay; a key
  // line already there is replaced rather than doubled.
  ini.WriteString(section, key, value);
  FUZZ_CHECK(ini.HasSection(section));
  FUZZ_CHECK(ini.ReadString(section, key) == value);
  const std::vector<std::string> ownAfter = ini.SectionLines(section);
  FUZZ_CHECK(WithoutKey(ownAfter, key) == WithoutKey(ownBefore, key));
  FUZZ_CHECK(keyCount(ownAfter) == std::max<std::ptrdiff_t>(1, keyCount(ownBefore)));
  CheckOthersKept(ini, sections, before, section);
  CheckOnDisk(fs, ini);

  const int number = static_cast<int>(size * 7919) - 5000;
  ini.WriteString(section, key, std::to_string(number));
  FUZZ_CHECK(ini.ReadInteger(section, key, number + 1) == number);

  // A section replaced whole holds exactly its new keys.
  ini.ReplaceSection(section, {{key, value}, {key + "2", "x"}});
  FUZZ_CHECK(ini.SectionLines(section) ==
             (std::vector<std::string>{key + "=" + value, key + "2=x"}));
  CheckOthersKept(ini, sections, before, section);
  CheckOnDisk(fs, ini);

  ini.ReplaceSection(section, {});
  FUZZ_CHECK(!ini.HasSection(section));
  FUZZ_CHECK(!ini.ReadString(section, key));
  CheckOthersKept(ini, sections, before, section);
  CheckOnDisk(fs, ini);
  return 0;
}
