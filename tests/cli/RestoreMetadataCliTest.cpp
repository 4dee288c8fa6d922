// What varnoket-cli restore gives back besides a file's bytes, on folders
// that a real run backed up: the empty folders' dates and modes, set once
// everything below them is in place and only where the restore made the
// folder or replaces what stands, a sparse file's holes, and hard links,
// which the list cannot tell from equal files, as separate files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "cli/StoreCliFixture.h"
#include "platform/DosDate.h"
#include "support/Holes.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

// A local time with even seconds, as a list can keep it.
std::time_t LocalTime(int year, int month, int day) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = 10;
  t.tm_min = 20;
  t.tm_sec = 30;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

void Touch(const std::string& path, std::time_t when) {
  const timespec times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// The date and permission bits of a folder, as "mode@time".
std::string DateAndMode(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return "missing";
  char mode[8];
  std::snprintf(mode, sizeof mode, "%o", static_cast<unsigned>(st.st_mode & 07777));
  return std::string(mode) + "@" + std::to_string(st.st_mtime);
}

std::string At(const char* mode, std::time_t when) {
  return std::string(mode) + "@" + std::to_string(when);
}

using RestoreMetadataCliTest = StoreCliFixture;

TEST_F(RestoreMetadataCliTest, EmptyFoldersComeBackWithTheirDateAndMode) {
  const std::time_t june = LocalTime(2021, 6, 15);
  const std::time_t february = LocalTime(2019, 2, 3);
  fsys::create_directories(src + "/empty");
  fsys::create_directories(src + "/docs/deep/inner");
  WriteFile(src + "/docs/a.txt", "alpha");
  WriteFile(src + "/box/f.txt", "inside");
  ::chmod((src + "/empty").c_str(), 0750);
  ::chmod((src + "/docs/deep/inner").c_str(), 0700);
  Touch(src + "/empty", june);
  Touch(src + "/docs/deep/inner", february);
  BackUpAs("01012025");
  // A list from elsewhere may record a folder that also holds files: the
  // file restored into it must not leave the restore's time on it.
  const std::string list = Day("01012025") + "/filelist.txt";
  WriteFile(list, ReadFile(list) + "0|0|*|" + src + "/box|16832|" +
                      std::to_string(DosDateFromTime(february)) + "|0\r\n");

  const std::string out = tmp / "out";
  CliOutput r = Cli("restore 01/01/2025 --to " + Quoted(out));
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(DateAndMode(out + src + "/empty"), At("750", june));
  EXPECT_EQ(DateAndMode(out + src + "/docs/deep/inner"), At("700", february));
  EXPECT_EQ(DateAndMode(out + src + "/box"), At("700", february));
  EXPECT_EQ(ReadFile(out + src + "/box/f.txt"), "inside");
  EXPECT_EQ(ReadFile(out + src + "/docs/a.txt"), "alpha");

  // A folder that stands there already: left as it is when skipping, given
  // the record's date and mode when replacing (the default).
  ::chmod((out + src + "/empty").c_str(), 0755);
  Touch(out + src + "/empty", february);
  r = Cli("restore 01/01/2025 --existing skip --to " + Quoted(out));
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(DateAndMode(out + src + "/empty"), At("755", february));
  r = Cli("restore 01/01/2025 --to " + Quoted(out));
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(DateAndMode(out + src + "/empty"), At("750", june));
  // A folder the list does not record, whose files are all as recorded,
  // keeps its own date.
  Touch(out + src + "/docs", february);
  r = Cli("restore 01/01/2025 --to " + Quoted(out));
  ASSERT_EQ(r.code, 0) << r.out;
  struct stat docs {};
  ASSERT_EQ(::stat((out + src + "/docs").c_str(), &docs), 0);
  EXPECT_EQ(docs.st_mtime, february);
}

TEST_F(RestoreMetadataCliTest, ASparseFileComesBackWithItsHolesAndItsExactBytes) {
  if (!HolesKept(tmp.path())) GTEST_SKIP() << "no holes on " << tmp.path();
  // A disk image: data, 16 MiB never written, data, and a hole at its end.
  fsys::create_directories(src);
  const std::string image = src + "/disk.img";
  const int fd = ::open(image.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  const std::string head(65536, 'h');
  const std::string tail(5000, 't');
  ASSERT_EQ(::pwrite(fd, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
  const off_t tailAt = (16 << 20) + 65536 + 123;
  ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), tailAt), static_cast<ssize_t>(tail.size()));
  ASSERT_EQ(::ftruncate(fd, tailAt + (1 << 20)), 0);
  ::close(fd);
  ASSERT_LT(AllocatedBytes(image), 1 << 20);
  BackUpAs("01012025");

  const std::string out = tmp / "out";
  const CliOutput r = Cli("restore 01/01/2025 --to " + Quoted(out));
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(ReadFile(out + image), ReadFile(image));
  // Written whole it would take 17 MiB.
  EXPECT_LT(AllocatedBytes(out + image), 1 << 20);
}

TEST_F(RestoreMetadataCliTest, TwoNamesOfOneFileComeBackAsTwoFiles) {
  WriteFile(src + "/a.txt", "one file, two names");
  fsys::create_hard_link(src + "/a.txt", src + "/b.txt");
  WriteFile(src + "/c.txt", "one file, two names");  // merely equal
  BackUpAs("01012025");
  // The list records three equal files under one stored copy, nothing more.
  const std::string list = ReadFile(Day("01012025") + "/filelist.txt");
  const auto storedNameOf = [&list, this](const std::string& name) {
    const size_t path = list.find("|" + src + name + "|");
    if (path == std::string::npos) return std::string("no record");
    const size_t start = list.rfind('|', path - 1) + 1;
    return list.substr(start, path - start);
  };
  EXPECT_EQ(storedNameOf("/b.txt"), storedNameOf("/a.txt")) << list;
  EXPECT_EQ(storedNameOf("/c.txt"), storedNameOf("/a.txt")) << list;

  const std::string out = tmp / "out";
  const CliOutput r = Cli("restore 01/01/2025 --to " + Quoted(out));
  ASSERT_EQ(r.code, 0) << r.out;
  for (const char* name : {"/a.txt", "/b.txt", "/c.txt"}) {
    EXPECT_EQ(ReadFile(out + src + name), "one file, two names");
    EXPECT_EQ(fsys::hard_link_count(out + src + name), 1u) << name;
  }
}

}  // namespace
}  // namespace varnoket::test
