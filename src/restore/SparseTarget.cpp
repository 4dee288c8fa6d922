#include "restore/SparseTarget.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/MessageText.h"
#include "platform/Translation.h"

namespace varnoket {

namespace {

bool AllZero(const char* bytes, size_t count) {
  return count == 0 || (bytes[0] == 0 && std::memcmp(bytes, bytes + 1, count - 1) == 0);
}

}  // namespace

size_t SparseTarget::Read(void*, size_t) {
  throw StreamError("Invalid stream operation");
}

size_t SparseTarget::Write(const void* buffer, size_t count) {
  const auto* bytes = static_cast<const char*>(buffer);
  size_t left = count;
  if (!held_.empty()) {
    const size_t taken = std::min(left, kBlockSize - held_.size());
    held_.append(bytes, taken);
    bytes += taken;
    left -= taken;
    if (held_.size() < kBlockSize) return count;
    Put(held_.data(), held_.size());
    held_.clear();
  }
  const size_t whole = left - left % kBlockSize;
  Put(bytes, whole);
  held_.assign(bytes + whole, left - whole);
  return count;
}

int64_t SparseTarget::Seek(int64_t offset, SeekOrigin origin) {
  if (offset != 0 || origin != SeekOrigin::kCurrent) {
    throw StreamError("Invalid stream operation");
  }
  return placed_ + static_cast<int64_t>(held_.size());
}

void SparseTarget::Put(const char* bytes, size_t count) {
  for (size_t at = 0; at < count;) {
    const size_t block = std::min(kBlockSize, count - at);
    if (AllZero(bytes + at, block)) {
      at += block;
      placed_ += static_cast<int64_t>(block);
      continue;
    }
    // The blocks that hold data, from here to the next block of zeros, in
    // one write after the hole before them.
    size_t end = at + block;
    while (end < count && !AllZero(bytes + end, std::min(kBlockSize, count - end))) {
      end += std::min(kBlockSize, count - end);
    }
    if (fileEnd_ != placed_) file_.Seek(placed_, SeekOrigin::kBegin);
    file_.WriteBuffer(bytes + at, end - at);
    placed_ += static_cast<int64_t>(end - at);
    fileEnd_ = placed_;
    at = end;
  }
}

void SparseTarget::Finish() {
  Put(held_.data(), held_.size());
  held_.clear();
  // A file that ends in a hole: nothing was written there to make it long.
  if (fileEnd_ == placed_) return;
  if (const FsStatus sized = fs_.SetStreamSize(file_, placed_); !sized) {
    throw StreamError(
        FillText(VK_TR_NOOP("Messages", "Impossible de fixer la taille du fichier %s : %s"),
                 {file_.path(), sized.Reason()}),
        sized.systemError());
  }
}

}  // namespace varnoket
