#include "crash/StoreChecks.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace varnoket::crash {

namespace fsys = std::filesystem;

namespace {

constexpr size_t kMaxFindings = 6;

std::string ReadAll(const fsys::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Tail(const std::string& text) {
  return text.size() <= 600 ? text : "..." + text.substr(text.size() - 600);
}

// Gathers findings, keeping the first few and counting the rest.
class Findings {
 public:
  void Add(const std::string& line) {
    if (++count_ <= kMaxFindings) text_ += "\n    " + line;
  }
  std::string Text(const std::string& title) const {
    if (count_ == 0) return {};
    std::string more =
        count_ > kMaxFindings ? "\n    (" + std::to_string(count_ - kMaxFindings) + " more)" : "";
    return title + text_ + more;
  }

 private:
  size_t count_ = 0;
  std::string text_;
};

bool IsDayFolderName(const std::string& name) {
  return name.size() == 8 &&
         std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The stored names a list names (field 3 of each record of seven fields or
// more, directories left out).
void AddStoredNames(const std::string& listText, std::set<std::string>& names) {
  std::stringstream lines(listText);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::stringstream cut(line);
    std::string field;
    while (std::getline(cut, field, '|')) fields.push_back(field);
    if (fields.size() >= 7 && fields[2] != "*") names.insert(fields[2]);
  }
}

bool IsTemporaryName(const std::string& name) {
  return name.find(".vk-part-") != std::string::npos || name.find(".tmp-") != std::string::npos ||
         name.find(".vk-restore-") != std::string::npos;
}

}  // namespace

std::string DateKey(const std::string& dayText) {
  if (dayText.size() != 10) return dayText;
  return dayText.substr(6, 4) + dayText.substr(3, 2) + dayText.substr(0, 2);
}

bool ListDays(CliRunner& cli, std::vector<std::string>& days, std::string& error) {
  const RunResult r = cli.Run({"days"});
  days.clear();
  if (r.exitCode != 0) {
    error = "varnoket-cli days exited with " + std::to_string(r.exitCode) + ": " + Tail(r.output);
    return false;
  }
  std::stringstream lines(r.output);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty()) days.push_back(line);
  }
  return true;
}

std::string CheckRestores(CliRunner& cli, const std::vector<std::string>& days,
                          const std::map<std::string, SourceImage>& images,
                          const std::string& sourceRoot, const std::string& scratch) {
  for (const std::string& day : days) {
    const auto image = images.find(day);
    if (image == images.end()) return "day " + day + " is listed but no run of this test made it";
    const std::string to = scratch + "/restore";
    fsys::remove_all(to);
    const RunResult r = cli.Run({"restore", day, "--to", to});
    if (r.exitCode != 0) {
      return "restore of " + day + " exited with " + std::to_string(r.exitCode) + ":\n" +
             Tail(r.output);
    }
    const fsys::path base = to + sourceRoot;
    Findings findings;
    std::set<std::string> seen;
    std::set<std::string> emptyFolders;
    if (fsys::exists(base)) {
      for (const auto& e : fsys::recursive_directory_iterator(base)) {
        const std::string rel = fsys::relative(e.path(), base).string();
        if (e.is_directory()) {
          if (fsys::is_empty(e.path())) emptyFolders.insert(rel);
          continue;
        }
        seen.insert(rel);
        const auto want = image->second.files.find(rel);
        if (want == image->second.files.end()) {
          findings.Add("restored but not in the source: " + rel);
          continue;
        }
        const std::string got = ReadAll(e.path());
        if (got != *want->second) {
          findings.Add("other bytes: " + rel + " (restored " + std::to_string(got.size()) +
                       " bytes, the source held " + std::to_string(want->second->size()) + ")");
        }
      }
    }
    for (const auto& [rel, bytes] : image->second.files) {
      if (seen.count(rel) == 0) findings.Add("not restored: " + rel);
    }
    for (const auto& rel : image->second.emptyFolders) {
      if (emptyFolders.count(rel) == 0) findings.Add("empty folder not restored: " + rel);
    }
    for (const auto& rel : emptyFolders) {
      if (image->second.emptyFolders.count(rel) == 0) findings.Add("extra empty folder: " + rel);
    }
    fsys::remove_all(to);
    const std::string text = findings.Text("day " + day + " does not restore its source:");
    if (!text.empty()) return text;
  }
  return {};
}

std::string CheckVerify(CliRunner& cli) {
  const RunResult r = cli.Run({"verify"});
  if (r.exitCode == 0) return {};
  return "varnoket-cli verify exited with " + std::to_string(r.exitCode) + ":\n" + Tail(r.output);
}

std::string CheckDaySet(const std::vector<std::string>& before,
                        const std::vector<std::string>& after, const std::string& today,
                        int daysKept) {
  const std::set<std::string> was(before.begin(), before.end());
  const std::set<std::string> is(after.begin(), after.end());
  for (const auto& d : is) {
    if (was.count(d) == 0 && d != today) return "day " + d + " appeared in a run of " + today;
  }
  std::vector<std::string> gone;
  for (const auto& d : was) {
    if (is.count(d) == 0) gone.push_back(d);
  }
  if (gone.empty()) return {};
  std::string oldest = before.front();
  for (const auto& d : before) {
    if (DateKey(d) < DateKey(oldest)) oldest = d;
  }
  if (gone.size() > 1) {
    return std::to_string(gone.size()) + " days went in one run (first " + gone.front() + ")";
  }
  if (gone.front() != oldest) return "day " + gone.front() + " went but it was not the oldest";
  if (static_cast<int>(before.size()) < daysKept) {
    return "the oldest day " + oldest + " went while the store held only " +
           std::to_string(before.size()) + " days";
  }
  return {};
}

std::string CheckStationFolder(const std::string& stationFolder, const std::string& station) {
  const std::set<std::string> allowedFiles = {
      station + ".ini", station + ".ini.lock", "LASTBACKUP.LOG", "VARNOKET.LOCK",
      "MACHINE.ID",     "DAMAGED.TXT",         "ROTATION.TXT"};
  Findings findings;
  std::vector<fsys::path> days;
  for (const auto& e : fsys::directory_iterator(stationFolder)) {
    const std::string name = e.path().filename().string();
    if (e.is_directory() && !e.is_symlink()) {
      if (IsDayFolderName(name) && fsys::is_regular_file(e.path() / "filelist.txt")) {
        days.push_back(e.path());
      } else if (name == ".vk-resume") {
        // The whole copies of a stopped run, kept for the next one: its
        // journal and numbered copies, nothing else.
        for (const auto& kept : fsys::directory_iterator(e.path())) {
          const std::string file = kept.path().filename().string();
          if (!kept.is_regular_file() || (file != "journal.txt" && file.rfind("copy-", 0) != 0)) {
            findings.Add("unexpected file in the resume folder: " + file);
          }
        }
      } else {
        findings.Add("a folder that is no backup day: " + name);
      }
    } else if (allowedFiles.count(name) == 0) {
      findings.Add(IsTemporaryName(name) ? "temporary file: " + name : "unexpected file: " + name);
    }
  }
  std::set<std::string> named;
  for (const auto& day : days) AddStoredNames(ReadAll(day / "filelist.txt"), named);
  for (const auto& day : days) {
    for (const auto& e : fsys::recursive_directory_iterator(day)) {
      const std::string rel = fsys::relative(e.path(), day).string();
      const std::string where = day.filename().string() + "/" + rel;
      if (e.is_directory() && !e.is_symlink()) {
        if (fsys::is_empty(e.path())) findings.Add("empty folder: " + where);
        continue;
      }
      if (rel == "filelist.txt" || rel == "backupset.txt") continue;
      if (IsTemporaryName(e.path().filename().string())) {
        findings.Add("temporary file: " + where);
      } else if (named.count(rel) == 0) {
        findings.Add("stored file no kept day names: " + where);
      }
    }
  }
  return findings.Text("the station folder holds what it should not:");
}

}  // namespace varnoket::crash
