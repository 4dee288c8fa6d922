// Telling whether a file on disk already holds what a record says.
#include <gtest/gtest.h>
#include <unistd.h>
#include <utime.h>

#include <filesystem>

#include "engine/Checksum.h"
#include "platform/DosDate.h"
#include "platform/FileSystem.h"
#include "restore/RecordedContent.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

class UpToDateTest : public ::testing::Test {
 protected:
  UpToDateTest() {
    WeightedSum sum;
    sum.Update(bytes.data(), bytes.size());
    content = RecordedContent{static_cast<int32_t>(bytes.size()), sum.Value()};
    test::WriteFile(path, bytes);
    SetDate(path, date);
  }

  static void SetDate(const std::string& file, int32_t dosDate) {
    struct utimbuf t {};
    t.actime = t.modtime = TimeFromDosDate(dosDate);
    ASSERT_EQ(::utime(file.c_str(), &t), 0);
  }

  std::optional<int64_t> Check(const std::string& file) {
    return SizeWhenUpToDate(DefaultFileSystem(), file, content, date);
  }

  test::TempDir tmp;
  // Over two checksum blocks, so that the weights' restart counts.
  std::string bytes = std::string(40000, 'a') + "end";
  std::string path = tmp / "f.bin";
  int32_t date = DosDateFromTime(1141200000);
  RecordedContent content;
};

TEST_F(UpToDateTest, SameSizeDateAndChecksumOnlyOnARegularFile) {
  EXPECT_EQ(Check(path), static_cast<int64_t>(bytes.size()));

  // Each difference alone is enough.
  RecordedContent other = content;
  other.checksum += 1;
  EXPECT_FALSE(SizeWhenUpToDate(DefaultFileSystem(), path, other, date));
  other = content;
  other.size += 1;
  EXPECT_FALSE(SizeWhenUpToDate(DefaultFileSystem(), path, other, date));
  EXPECT_FALSE(SizeWhenUpToDate(DefaultFileSystem(), path, content, date + 1));

  // Swapped bytes keep the size and the date; only the read tells.
  std::string swapped = bytes;
  std::swap(swapped[0], swapped[swapped.size() - 1]);
  const std::string twin = tmp / "twin.bin";
  test::WriteFile(twin, swapped);
  SetDate(twin, date);
  EXPECT_FALSE(Check(twin));

  const std::string link = tmp / "link.bin";
  ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
  EXPECT_FALSE(Check(link));
  EXPECT_FALSE(Check(tmp / "absent.bin"));
  std::filesystem::create_directories(tmp / "dir");
  EXPECT_FALSE(Check(tmp / "dir"));
}

}  // namespace
}  // namespace varnoket
