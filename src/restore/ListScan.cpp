#include "restore/ListScan.h"

#include <cstring>
#include <exception>
#include <vector>

namespace varnoket {

namespace {

constexpr size_t kBlockSize = 1 << 20;

std::string_view WithoutCr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// Hands over the lines of `text` (every one ended by LF) that hold `needle`.
void VisitMatchingLines(std::string_view text, std::string_view needle,
                        const ListLineVisitor& visit) {
  size_t from = 0;
  while (from < text.size()) {
    const void* hit =
        ::memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
    if (hit == nullptr) return;
    const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
    const size_t lineEnd = text.find('\n', at);
    const size_t lineStart = at == 0 ? 0 : text.rfind('\n', at - 1) + 1;  // npos + 1 == 0
    visit(WithoutCr(text.substr(lineStart, lineEnd - lineStart)));
    from = lineEnd + 1;
  }
}

void VisitAllLines(std::string_view text, const ListLineVisitor& visit) {
  size_t from = 0;
  while (from < text.size()) {
    const size_t lineEnd = text.find('\n', from);
    visit(WithoutCr(text.substr(from, lineEnd - from)));
    from = lineEnd + 1;
  }
}

}  // namespace

bool ForEachLineHolding(FileSystem& fs, const std::string& path, std::string_view needle,
                        const ListLineVisitor& visit) {
  try {
    auto in = fs.OpenRead(path);
    std::vector<char> buffer;
    size_t held = 0;  // bytes of an unfinished line kept from the last block
    for (;;) {
      buffer.resize(held + kBlockSize);
      const size_t got = in->Read(buffer.data() + held, kBlockSize);
      const size_t filled = held + got;
      std::string_view text(buffer.data(), filled);
      // Whole lines only; the rest waits for the next block, or is the last
      // line when the list has ended.
      size_t complete = got == 0 ? filled : text.rfind('\n') + 1;  // npos + 1 == 0
      std::string_view lines = text.substr(0, complete);
      if (got == 0 && !lines.empty() && lines.back() != '\n') {
        // The last line has no end: treat it as if it had one.
        buffer.resize(filled + 1);
        buffer[filled] = '\n';
        lines = std::string_view(buffer.data(), filled + 1);
        complete = filled + 1;
      }
      if (needle.empty()) {
        VisitAllLines(lines, visit);
      } else {
        VisitMatchingLines(lines, needle, visit);
      }
      if (got == 0) return true;
      held = filled - complete;
      std::memmove(buffer.data(), buffer.data() + complete, held);
    }
  } catch (const std::exception&) {
    return false;
  }
}

bool ForEachListLine(FileSystem& fs, const std::string& path, const ListLineVisitor& visit) {
  return ForEachLineHolding(fs, path, {}, visit);
}

}  // namespace varnoket
