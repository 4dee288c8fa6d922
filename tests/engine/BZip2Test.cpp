#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "engine/BZip2.h"
#include "platform/Stream.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

std::string RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 gen(seed);
  std::string out(size, '\0');
  for (char& c : out) c = static_cast<char>(gen() & 0xFF);
  return out;
}

// Text-like data that compresses well, so that it spans several library
// blocks and many output buffers.
std::string Compressible(size_t size, uint32_t seed) {
  static const char* const kWords[] = {"sauvegarde ", "fichier ",  "jour ", "station ",
                                       "racine ",     "liste\r\n", "0123 ", "restaurer "};
  std::mt19937 gen(seed);
  std::string out;
  while (out.size() < size) out += kWords[gen() % 8];
  out.resize(size);
  return out;
}

class BZip2Test : public ::testing::Test {
 protected:
  // What the standard compressor makes of `data` with `level` (1..9).
  std::string StandardCompress(const std::string& data, int level) {
    test::WriteFile(dir_ / "in.bin", data);
    const std::string command = "/bin/bzip2 -" + std::to_string(level) + " -c " +
                                (dir_ / "in.bin") + " > " + (dir_ / "std.bz2");
    EXPECT_EQ(std::system(command.c_str()), 0);
    return test::ReadFile(dir_ / "std.bz2");
  }

  // Our stored file for `data`, written through real files.
  std::string StoreThroughFiles(const std::string& data) {
    test::WriteFile(dir_ / "source.bin", data);
    {
      PosixFileStream source(dir_ / "source.bin", PosixFileStream::Mode::kRead);
      PosixFileStream target(dir_ / "stored.ZZ", PosixFileStream::Mode::kCreateTruncate);
      CompressFile(source, target);
    }
    return test::ReadFile(dir_ / "stored.ZZ");
  }

  DecompressResult Restore(const std::string& stored, std::string& restored) {
    test::WriteFile(dir_ / "restore.ZZ", stored);
    DecompressResult result;
    {
      PosixFileStream source(dir_ / "restore.ZZ", PosixFileStream::Mode::kRead);
      PosixFileStream target(dir_ / "restored.bin", PosixFileStream::Mode::kCreateTruncate);
      result = DecompressFile(source, target);
    }
    restored = test::ReadFile(dir_ / "restored.bin");
    return result;
  }

  void ExpectDecodeError(const std::string& stored, const char* message) {
    std::string restored;
    try {
      Restore(stored, restored);
      ADD_FAILURE() << "expected " << message;
    } catch (const BZip2DecompressionError& e) {
      EXPECT_STREQ(e.what(), message);
    }
  }

  test::TempDir dir_;
};

TEST_F(BZip2Test, StoredFileIsByteForByteTheStandardBlockSize9Stream) {
  for (const std::string& data :
       {std::string(), std::string("abc"), RandomBytes(300000, 1), Compressible(2500000, 2)}) {
    const std::string stored = StoreThroughFiles(data);
    EXPECT_EQ(stored, StandardCompress(data, 9)) << "source of " << data.size() << " bytes";
    std::string restored;
    const DecompressResult result = Restore(stored, restored);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(result.bytesWritten, static_cast<int64_t>(data.size()));
    EXPECT_EQ(restored, data);
  }
}

TEST_F(BZip2Test, DecodesStandardStreamsOfEveryBlockSize) {
  const std::string data = Compressible(450000, 3) + RandomBytes(50000, 4);
  for (int level = 1; level <= 9; ++level) {
    std::string restored;
    const DecompressResult result = Restore(StandardCompress(data, level), restored);
    EXPECT_TRUE(result.complete) << "level " << level;
    EXPECT_EQ(restored, data) << "level " << level;
  }
  std::string restored = "not empty";
  EXPECT_TRUE(Restore(StandardCompress("", 9), restored).complete);
  EXPECT_EQ(restored, "");
}

TEST_F(BZip2Test, ConcatenatedStreamsDecodeOneAfterTheOther) {
  const std::string first = Compressible(150000, 5);
  const std::string second = RandomBytes(1000, 6);
  std::string restored;
  const DecompressResult result =
      Restore(StandardCompress(first, 1) + StandardCompress(second, 9), restored);
  EXPECT_TRUE(result.complete);
  EXPECT_EQ(restored, first + second);
}

TEST_F(BZip2Test, TruncatedOrTrailedStoreRestoresWhatItCanWithoutError) {
  // Block size 100 k over 400 kB: several blocks, so a cut keeps whole ones.
  const std::string data = Compressible(400000, 7);
  const std::string stored = StandardCompress(data, 1);
  std::string restored;
  const DecompressResult cut = Restore(stored.substr(0, stored.size() * 3 / 4), restored);
  EXPECT_FALSE(cut.complete);
  EXPECT_GT(cut.bytesWritten, 0);
  EXPECT_LT(cut.bytesWritten, static_cast<int64_t>(data.size()));
  EXPECT_EQ(restored, data.substr(0, restored.size()));

  // Missing only the last bytes: everything may decode, but it is not whole.
  EXPECT_FALSE(Restore(stored.substr(0, stored.size() - 1), restored).complete);
  EXPECT_FALSE(Restore("", restored).complete);

  // Bytes after the stream that are no stream: decoded, but not whole.
  const DecompressResult trailed = Restore(stored + "garbage after the end", restored);
  EXPECT_FALSE(trailed.complete);
  EXPECT_EQ(restored, data);
}

TEST_F(BZip2Test, DamagedOrForeignDataThrowsTheLibraryStatus) {
  ExpectDecodeError(RandomBytes(10000, 8), "error -5");
  std::string damaged = StandardCompress(RandomBytes(200000, 9), 9);
  for (size_t i = damaged.size() / 2; i < damaged.size() / 2 + 16; ++i) damaged[i] ^= 0x5A;
  ExpectDecodeError(damaged, "error -4");
}

// A stream that claims more bytes than it delivers, or takes only a few.
class ShortStream final : public Stream {
 public:
  ShortStream(int64_t claimedSize, size_t limit) : claimed_(claimedSize), limit_(limit) {}
  size_t Read(void* buffer, size_t count) override {
    const size_t n = std::min(count, limit_ - std::min(limit_, done_));
    std::fill_n(static_cast<char*>(buffer), n, 'x');
    done_ += n;
    return n;
  }
  size_t Write(const void*, size_t count) override {
    const size_t n = std::min(count, limit_ - std::min(limit_, done_));
    done_ += n;
    return n;
  }
  int64_t Seek(int64_t, SeekOrigin origin) override {
    if (origin == SeekOrigin::kEnd) return claimed_;
    if (origin == SeekOrigin::kBegin) done_ = 0;
    return static_cast<int64_t>(done_);
  }

 private:
  int64_t claimed_;
  size_t limit_;
  size_t done_ = 0;
};

TEST_F(BZip2Test, ShortSourcesAndFullTargetsAreErrors) {
  ShortStream shortSource(200000, 100000);
  MemoryStream target;
  EXPECT_THROW(CompressFile(shortSource, target), StreamError);

  MemoryStream stored(StandardCompress(RandomBytes(5000, 10), 9));
  ShortStream fullDisk(0, 100);
  EXPECT_THROW(DecompressFile(stored, fullDisk), StreamError);

  // The compressed tail only reaches the destination in Finish, which must
  // report the full disk; the destructor afterwards stays quiet.
  ShortStream fullDestination(0, 10);
  BZip2CompressionStream compressor(BlockSize100k::k9, fullDestination);
  const std::string data = RandomBytes(1000, 11);
  EXPECT_EQ(compressor.Write(data.data(), data.size()), data.size());
  EXPECT_THROW(compressor.Finish(), StreamError);
  EXPECT_NO_THROW(compressor.Finish());
}

TEST_F(BZip2Test, UnsupportedOperationsAndPositions) {
  MemoryStream destination;
  {
    BZip2CompressionStream compressor(BlockSize100k::k9, destination);
    const std::string data = RandomBytes(1000, 12);
    compressor.Write(data.data(), data.size());
    EXPECT_EQ(compressor.Seek(0, SeekOrigin::kCurrent), 1000);
    char byte = 0;
    for (auto call : {+[](BZip2CompressionStream& s) { s.Seek(1, SeekOrigin::kCurrent); },
                      +[](BZip2CompressionStream& s) { s.Seek(0, SeekOrigin::kBegin); }}) {
      try {
        call(compressor);
        ADD_FAILURE() << "seek accepted";
      } catch (const BZip2CompressionError& e) {
        EXPECT_STREQ(e.what(), "Invalid stream operation");
      }
    }
    EXPECT_THROW(compressor.Read(&byte, 1), BZip2CompressionError);
    compressor.Finish();
    EXPECT_THROW(compressor.Write(data.data(), 1), BZip2CompressionError);
  }

  const std::string data = Compressible(20000, 13);
  MemoryStream stored(StandardCompress(data, 9));
  BZip2DecompressionStream decompressor(stored);
  std::string piece(100, '\0');
  EXPECT_EQ(decompressor.Seek(5000, SeekOrigin::kCurrent), 5000);
  decompressor.ReadBuffer(piece.data(), piece.size());
  EXPECT_EQ(piece, data.substr(5000, 100));
  EXPECT_EQ(decompressor.Seek(12000, SeekOrigin::kBegin), 12000);
  decompressor.ReadBuffer(piece.data(), piece.size());
  EXPECT_EQ(piece, data.substr(12000, 100));
  EXPECT_THROW(decompressor.Seek(100, SeekOrigin::kBegin), BZip2DecompressionError);
  EXPECT_THROW(decompressor.Seek(-1, SeekOrigin::kCurrent), BZip2DecompressionError);
  EXPECT_THROW(decompressor.Seek(0, SeekOrigin::kEnd), BZip2DecompressionError);
  EXPECT_THROW(decompressor.Write(piece.data(), 1), BZip2DecompressionError);
  EXPECT_EQ(decompressor.Seek(0, SeekOrigin::kBegin), 0);
  decompressor.ReadBuffer(piece.data(), piece.size());
  EXPECT_EQ(piece, data.substr(0, 100));
}

TEST_F(BZip2Test, WrappedStreamMovedBetweenCallsIsPutBack) {
  const std::string data = Compressible(300000, 14);
  MemoryStream destination;
  {
    BZip2CompressionStream compressor(BlockSize100k::k9, destination);
    for (size_t done = 0; done < data.size(); done += 30000) {
      compressor.Write(data.data() + done, std::min<size_t>(30000, data.size() - done));
      destination.Seek(0, SeekOrigin::kBegin);  // someone else moves it
    }
  }
  EXPECT_EQ(destination.data(), StandardCompress(data, 9));

  const std::string expected = RandomBytes(300000, 15);
  MemoryStream stored(StandardCompress(expected, 9));
  BZip2DecompressionStream decompressor(stored);
  std::string whole;
  std::string piece(7000, '\0');
  // Bounded: a decoder that rereads moved input could go on for ever.
  while (whole.size() <= expected.size()) {
    const size_t n = decompressor.Read(piece.data(), piece.size());
    if (n == 0) break;
    whole.append(piece, 0, n);
    stored.Seek(0, SeekOrigin::kBegin);
  }
  EXPECT_EQ(whole, expected);
}

TEST_F(BZip2Test, HostIsPumpedDuringLongWork) {
  const std::string data = Compressible(300000, 16);
  MemoryStream source(data);
  MemoryStream target;
  int compressPumps = 0;
  CompressFile(source, target, [&] { ++compressPumps; });
  EXPECT_GE(compressPumps, 5);  // at least once per 61440-byte piece

  target.Seek(0, SeekOrigin::kBegin);
  MemoryStream restored;
  int decompressPumps = 0;
  const DecompressResult result = DecompressFile(target, restored, [&] { ++decompressPumps; });
  EXPECT_TRUE(result.complete);
  EXPECT_EQ(restored.data(), data);
  EXPECT_EQ(decompressPumps, 6);  // five pieces of 65536 bytes at most, then the empty read
}

}  // namespace
}  // namespace varnoket
