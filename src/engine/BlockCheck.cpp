#include "engine/BlockCheck.h"

#include <memory>
#include <optional>

#include "engine/BZip2Bits.h"
#include "engine/BlockDecoder.h"
#include "engine/Checksum.h"

namespace varnoket {

namespace {

// Opens `copy` to read what the disk kept: its cached pages dropped.
std::unique_ptr<FileStream> OpenFromDisk(FileSystem& fs, const std::string& copy) {
  std::unique_ptr<FileStream> in = fs.OpenRead(copy);
  in->DropCachedPages();
  return in;
}

// Bytes [first, first + count) of `in`.
std::string ReadRange(FileStream& in, uint64_t first, uint64_t count) {
  in.Seek(static_cast<int64_t>(first), SeekOrigin::kBegin);
  std::string bytes(static_cast<size_t>(count), '\0');
  in.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

}  // namespace

BlockCheckResult CheckWrittenBlock(FileSystem& fs, const std::string& copy,
                                   const WrittenBlock& block) {
  BlockCheckResult result;
  if (block.endBit < block.firstBit + kEndBits) return result;
  const uint64_t firstByte = block.firstBit / 8;
  std::string bytes;
  try {
    bytes = ReadRange(*OpenFromDisk(fs, copy), firstByte, (block.endBit + 7) / 8 - firstByte);
  } catch (const StreamError&) {
    result.readable = false;
    return result;
  }
  const uint64_t bit = block.firstBit % 8;
  const std::optional<std::string> decoded =
      DecodeBlockStream(OneBlockStream(reinterpret_cast<const unsigned char*>(bytes.data()), bit,
                                       bit + (block.endBit - block.firstBit), block.crc));
  if (!decoded || decoded->size() != block.sourceBytes) return result;
  WeightedSum sum(block.sourceOffset);
  sum.Update(decoded->data(), decoded->size());
  result.sum = sum.Value();
  result.sound = true;
  return result;
}

bool CheckBitsOnDisk(FileSystem& fs, const std::string& copy, uint64_t bit, int count,
                     uint32_t value) {
  const uint64_t first = bit / 8;
  try {
    const std::string bytes =
        ReadRange(*OpenFromDisk(fs, copy), first, (bit + count + 7) / 8 - first);
    return ReadBits(bytes, bit % 8, count) == value;
  } catch (const StreamError&) {
    return false;
  }
}

bool CheckStreamFrame(FileSystem& fs, const std::string& copy, uint64_t blocksEnd,
                      uint32_t combinedCrc) {
  const uint64_t size = (blocksEnd + kEndBits + 7) / 8;
  const uint64_t tailByte = blocksEnd / 8;
  try {
    const std::unique_ptr<FileStream> in = OpenFromDisk(fs, copy);
    if (static_cast<uint64_t>(in->Size()) != size) return false;
    if (ReadRange(*in, 0, 4) != "BZh9") return false;
    const std::string tail = ReadRange(*in, tailByte, size - tailByte);
    const uint64_t at = blocksEnd % 8;
    const int padding = static_cast<int>(size * 8 - blocksEnd - kEndBits);
    return ReadBits(tail, at, 48) == kEndMarker && ReadBits(tail, at + 48, 32) == combinedCrc &&
           (padding == 0 || ReadBits(tail, at + kEndBits, padding) == 0);
  } catch (const StreamError&) {
    return false;
  }
}

}  // namespace varnoket
