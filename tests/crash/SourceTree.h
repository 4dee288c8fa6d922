// The backup set the crash test changes day after day: real files under one
// folder and, beside them, a model of what they hold, from which each day's
// expected restore is taken. Every change comes from one seeded generator,
// so a seed gives the same days again.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace varnoket::crash {

// What a backup day must give back: relative path -> bytes, and the folders
// that hold nothing at all.
struct SourceImage {
  std::map<std::string, std::shared_ptr<const std::string>> files;
  std::set<std::string> emptyFolders;
};

class SourceTree {
 public:
  SourceTree(std::string root, uint64_t seed);

  // One day of changes: new, changed, renamed and deleted files, twins,
  // contents that come back, empty folders and now and then a large file.
  // The first day only fills the tree. Returns a short account.
  std::string ChangeOneDay(bool firstDay);

  SourceImage Image() const;
  size_t FileCount() const { return files_.size(); }
  uint64_t Bytes() const;
  const std::string& root() const { return root_; }

 private:
  using Content = std::shared_ptr<const std::string>;

  size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(gen_() % n); }
  bool Chance(int percent) { return static_cast<int>(gen_() % 100) < percent; }
  Content NewContent();
  Content RandomBytes(size_t size);
  std::string PickFile();
  std::string NewName(const char* stem);
  void Write(const std::string& relative, Content content);
  void MakeFolder(const std::string& relative);

  void AddFile();
  void ChangeFile();
  void RenameFile();
  void DeleteFile();
  void AddTwin();
  void ChangeFolders();
  void ChangeLargeFile();

  std::string root_;
  std::mt19937_64 gen_;
  std::map<std::string, Content> files_;  // relative path -> bytes
  std::set<std::string> folders_;         // every folder below the root, relative
  std::vector<Content> past_;             // contents written so far, to bring one back
  std::vector<std::string> large_;        // the large files, oldest first
  int64_t nextTime_ = 1700000000;         // each write gets a time of its own
  int counter_ = 0;
};

}  // namespace varnoket::crash
