#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/Stream.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::TempDir;

TEST(StreamTest, MemoryStreamOverwritesGrowsAndReadsBack) {
  MemoryStream s("hello world");
  s.Seek(6, SeekOrigin::kBegin);
  s.WriteBuffer("there!", 6);
  EXPECT_EQ(s.data(), "hello there!");
  EXPECT_EQ(s.Seek(-2, SeekOrigin::kEnd), 10);
  char two[2];
  s.ReadBuffer(two, 2);
  EXPECT_EQ(std::string(two, 2), "e!");
  char more[4];
  EXPECT_EQ(s.Read(more, 4), 0u);
  EXPECT_THROW(s.ReadBuffer(more, 1), StreamError);
  EXPECT_THROW(s.Seek(-1, SeekOrigin::kBegin), StreamError);
  s.Seek(14, SeekOrigin::kBegin);
  s.WriteBuffer("x", 1);
  EXPECT_EQ(s.data(), std::string("hello there!\0\0x", 15));
}

TEST(StreamTest, FileStreamWritesThenReadsTheSameBytes) {
  TempDir dir;
  const std::string path = dir / "data.bin";
  std::string payload(300000, '\0');
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(i * 7);
  {
    PosixFileStream out(path, PosixFileStream::Mode::kCreateTruncate);
    out.WriteBuffer(payload.data(), payload.size());
    out.Sync();
    EXPECT_EQ(out.Size(), static_cast<int64_t>(payload.size()));
    out.Close();
  }
  PosixFileStream in(path, PosixFileStream::Mode::kRead);
  std::string back(payload.size() + 10, 'x');
  EXPECT_EQ(in.Read(back.data(), back.size()), payload.size());
  back.resize(payload.size());
  EXPECT_EQ(back, payload);
  EXPECT_EQ(in.Position(), static_cast<int64_t>(payload.size()));
}

TEST(StreamTest, FileStreamFailuresCarryTheSystemReason) {
  TempDir dir;
  try {
    PosixFileStream missing(dir / "none.bin", PosixFileStream::Mode::kRead);
    FAIL() << "opened a missing file";
  } catch (const StreamError& e) {
    EXPECT_NE(std::string(e.what()).find("No such file or directory"), std::string::npos)
        << e.what();
  }
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
  PosixFileStream full("/dev/full", PosixFileStream::Mode::kCreateTruncate);
  const std::string block(4096, 'a');
  try {
    full.WriteBuffer(block.data(), block.size());
    FAIL() << "a write to a full disk succeeded";
  } catch (const StreamError& e) {
    EXPECT_NE(std::string(e.what()).find("No space left on device"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace varnoket
