#include "crash/SourceTree.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace varnoket::crash {

namespace fsys = std::filesystem;

namespace {

// Folders new files go to; "" is the root of the set.
const char* const kFolders[] = {"", "docs", "docs/old", "photos", "work/a", "work/b b"};

std::string Parent(const std::string& relative) {
  const auto slash = relative.rfind('/');
  return slash == std::string::npos ? "" : relative.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "/" + name;
}

}  // namespace

SourceTree::SourceTree(std::string root, uint64_t seed) : root_(std::move(root)), gen_(seed) {
  fsys::create_directories(root_);
}

SourceTree::Content SourceTree::NewContent() {
  size_t size;
  const int kind = static_cast<int>(Below(100));
  if (kind < 5) {
    size = 0;
  } else if (kind < 15) {
    size = 32768 + Below(70000);  // over the checksum's 32 KiB block
  } else {
    size = 1 + Below(20000);
  }
  if (Chance(50)) return RandomBytes(size);
  auto text = std::make_shared<std::string>(size, '\0');
  for (auto& c : *text) c = static_cast<char>('a' + Below(26));  // text that compresses
  return text;
}

SourceTree::Content SourceTree::RandomBytes(size_t size) {
  auto bytes = std::make_shared<std::string>(size, '\0');
  for (size_t i = 0; i < size; i += 8) {
    const uint64_t word = gen_();
    std::memcpy(bytes->data() + i, &word, std::min<size_t>(8, size - i));
  }
  return bytes;
}

std::string SourceTree::PickFile() {
  auto it = files_.begin();
  std::advance(it, static_cast<long>(Below(files_.size())));
  return it->first;
}

std::string SourceTree::NewName(const char* stem) {
  const std::string folder = kFolders[Below(std::size(kFolders))];
  return Join(folder, stem + std::to_string(++counter_) + (Chance(50) ? ".txt" : ".bin"));
}

void SourceTree::MakeFolder(const std::string& relative) {
  if (relative.empty()) return;
  fsys::create_directories(root_ + "/" + relative);
  for (std::string f = relative; !f.empty(); f = Parent(f)) folders_.insert(f);
}

void SourceTree::Write(const std::string& relative, Content content) {
  MakeFolder(Parent(relative));
  const std::string path = root_ + "/" + relative;
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content->data(), static_cast<std::streamsize>(content->size()));
    if (!out) throw std::runtime_error("cannot write " + path);
  }
  // A time of its own for every write, so that no change can hide behind an
  // equal size, checksum and date.
  nextTime_ += 2;
  const timespec times[2] = {{nextTime_, 0}, {nextTime_, 0}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    throw std::runtime_error("cannot date " + path);
  }
  files_[relative] = content;
  past_.push_back(std::move(content));
}

void SourceTree::AddFile() {
  Write(NewName("n"), NewContent());
}

void SourceTree::ChangeFile() {
  if (files_.empty()) return;
  const std::string path = PickFile();
  if (Chance(30) && !past_.empty()) {
    Write(path, past_[Below(past_.size())]);  // a content it or another file had before
  } else {
    Write(path, NewContent());
  }
}

void SourceTree::RenameFile() {
  if (files_.size() < 2) return;
  const std::string from = PickFile();
  const std::string to = NewName("r");
  MakeFolder(Parent(to));
  fsys::rename(root_ + "/" + from, root_ + "/" + to);
  files_[to] = files_[from];
  files_.erase(from);
  for (auto& l : large_) {
    if (l == from) l = to;
  }
}

void SourceTree::DeleteFile() {
  if (files_.size() < 4) return;
  const std::string path = PickFile();
  fsys::remove(root_ + "/" + path);
  files_.erase(path);
  std::erase(large_, path);
}

void SourceTree::AddTwin() {
  if (files_.empty()) return;
  const std::string original = PickFile();
  if (files_[original]->size() > (1u << 20)) return;  // large files stay single
  Write(NewName("t"), files_[original]);
}

void SourceTree::ChangeFolders() {
  std::vector<std::string> empty;
  for (const auto& f : Image().emptyFolders) empty.push_back(f);
  const int what = static_cast<int>(Below(3));
  if (what == 0 || empty.empty()) {
    MakeFolder(Join(kFolders[Below(std::size(kFolders))], "empty" + std::to_string(++counter_)));
  } else if (what == 1) {
    const std::string folder = empty[Below(empty.size())];
    fsys::remove(root_ + "/" + folder);
    folders_.erase(folder);
  } else {
    const std::string folder = empty[Below(empty.size())];
    Write(Join(folder, "f" + std::to_string(++counter_) + ".txt"), NewContent());
  }
}

void SourceTree::ChangeLargeFile() {
  if (large_.size() >= 2 || (!large_.empty() && Chance(40))) {
    const std::string oldest = large_.front();
    large_.erase(large_.begin());
    fsys::remove(root_ + "/" + oldest);
    files_.erase(oldest);
    return;
  }
  // Random bytes compress slowly: the run spends long enough in its copy to
  // be stopped there.
  auto bytes = RandomBytes((2u << 20) + Below(2u << 20));
  const std::string path = "large/l" + std::to_string(++counter_) + ".bin";
  Write(path, std::move(bytes));
  past_.pop_back();  // never brought back into a small file
  large_.push_back(path);
}

std::string SourceTree::ChangeOneDay(bool firstDay) {
  if (firstDay) {
    for (int i = 0; i < 30; ++i) AddFile();
    AddTwin();
    MakeFolder("docs/empty0");
    ChangeLargeFile();
    return "first day";
  }
  const size_t added = 1 + Below(4);
  const size_t changed = Below(4);
  const size_t renamed = Below(3);
  const size_t deleted = Below(3);
  for (size_t i = 0; i < added; ++i) AddFile();
  for (size_t i = 0; i < changed; ++i) ChangeFile();
  for (size_t i = 0; i < renamed; ++i) RenameFile();
  for (size_t i = 0; i < deleted; ++i) DeleteFile();
  const bool twin = Chance(40);
  if (twin) AddTwin();
  const bool folders = Chance(30);
  if (folders) ChangeFolders();
  const bool large = Chance(35);
  if (large) ChangeLargeFile();
  // Every run has a copy of some length to make, so that most kill points
  // fall inside a run rather than after its end.
  Write("work/daily.bin", RandomBytes((256u << 10) + Below(768u << 10)));
  past_.pop_back();
  return "+" + std::to_string(added) + " ~" + std::to_string(changed) + " >" +
         std::to_string(renamed) + " -" + std::to_string(deleted) + (twin ? " twin" : "") +
         (folders ? " folder" : "") + (large ? " large" : "");
}

SourceImage SourceTree::Image() const {
  SourceImage image;
  image.files = files_;
  for (const auto& folder : folders_) {
    const std::string below = folder + "/";
    auto f = files_.lower_bound(below);
    if (f != files_.end() && f->first.compare(0, below.size(), below) == 0) continue;
    auto d = folders_.lower_bound(below);
    if (d != folders_.end() && d->compare(0, below.size(), below) == 0) continue;
    image.emptyFolders.insert(folder);
  }
  return image;
}

uint64_t SourceTree::Bytes() const {
  uint64_t total = 0;
  for (const auto& [path, content] : files_) total += content->size();
  return total;
}

}  // namespace varnoket::crash
