#include "engine/FileRecord.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

#include "platform/DecimalText.h"
#include "platform/FileSystem.h"

namespace varnoket {

namespace {

// The one writer of a record line.
std::string RecordLine(int32_t size, uint32_t checksum, std::string_view storedName,
                       std::string_view fullPath, int32_t attributes, int32_t fileDate,
                       bool offered) {
  std::string line;
  line.reserve(storedName.size() + fullPath.size() + 48);
  line += std::to_string(size);
  line += kFieldSeparator;
  line += std::to_string(checksum);
  line += kFieldSeparator;
  line += storedName;
  line += kFieldSeparator;
  line += fullPath;
  line += kFieldSeparator;
  line += std::to_string(static_cast<uint32_t>(attributes));
  line += kFieldSeparator;
  line += std::to_string(fileDate);
  line += kFieldSeparator;
  line += offered ? '0' : '1';
  return line;
}

// The first seven fields of a line, or nothing for a line of 10 characters
// or fewer or of fewer than seven fields.
bool CutRecord(std::string_view line, std::string_view (&f)[7]) {
  if (line.size() <= 10) return false;
  size_t start = 0;
  for (int i = 0; i < 6; ++i) {
    const size_t bar = line.find(kFieldSeparator, start);
    if (bar == std::string_view::npos) return false;
    f[i] = line.substr(start, bar - start);
    start = bar + 1;
  }
  const size_t bar = line.find(kFieldSeparator, start);
  f[6] = line.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
  return true;
}

// The attribute word: written unsigned by this program (a mode word), signed
// by others; either reading of the same 32 bits is taken.
std::optional<int32_t> ParseAttributes(std::string_view text) {
  const auto wide = ParseDecimal<int64_t>(text);
  if (!wide || *wide < std::numeric_limits<int32_t>::min() ||
      *wide > std::numeric_limits<uint32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(*wide)));
}

}  // namespace

bool FileRecord::operator==(const FileRecord& o) const {
  return size == o.size && checksum == o.checksum && storedName == o.storedName &&
         fullPath == o.fullPath && attributes == o.attributes && fileDate == o.fileDate &&
         offered == o.offered;
}

std::string FileRecord::Format() const {
  return RecordLine(size, checksum, storedName, fullPath, attributes, fileDate, offered);
}

int32_t RecordedSize(int64_t size) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(size)));
}

FileRecord FileRecordOf(int64_t size, uint32_t checksum, std::string_view storedName,
                        std::string_view fullPath, uint32_t attributes, int32_t fileDate) {
  return FileRecord{RecordedSize(size),
                    checksum,
                    std::string(storedName),
                    std::string(fullPath),
                    static_cast<int32_t>(attributes),
                    fileDate,
                    true};
}

FileRecord DirectoryRecordOf(std::string_view fullPath, uint32_t attributes, int32_t fileDate) {
  return FileRecordOf(0, 0, kDirectoryStoredName, fullPath, attributes, fileDate);
}

std::string FormatFileRecord(int64_t size, uint32_t checksum, std::string_view storedName,
                             std::string_view fullPath, uint32_t attributes, int32_t fileDate) {
  return RecordLine(RecordedSize(size), checksum, storedName, fullPath,
                    static_cast<int32_t>(attributes), fileDate, true);
}

std::string FormatDirectoryRecord(std::string_view fullPath, uint32_t attributes,
                                  int32_t fileDate) {
  return RecordLine(0, 0, kDirectoryStoredName, fullPath, static_cast<int32_t>(attributes),
                    fileDate, true);
}

namespace {

// A record's line as the pieces RecordLine joins, each made when it is first
// asked for (a comparison seldom reads past the size and checksum), its
// numbers written into buffers of its own. Each piece is asked for once.
class LinePieces {
 public:
  explicit LinePieces(const FileRecord& r) : record_(r) {}
  static constexpr int kPieces = 13;
  std::string_view operator[](int i) {
    if (i % 2 == 1) return {&kFieldSeparator, 1};
    switch (i / 2) {
      case 0:
        return Number(0, record_.size);
      case 1:
        return Number(1, record_.checksum);
      case 2:
        return record_.storedName;
      case 3:
        return record_.fullPath;
      case 4:
        return Number(2, static_cast<uint32_t>(record_.attributes));
      case 5:
        return Number(3, record_.fileDate);
      default:
        return record_.offered ? "0" : "1";
    }
  }

 private:
  template <typename T>
  std::string_view Number(int slot, T value) {
    const auto end = std::to_chars(numbers_[slot], numbers_[slot] + sizeof numbers_[slot], value);
    return {numbers_[slot], static_cast<size_t>(end.ptr - numbers_[slot])};
  }
  const FileRecord& record_;
  char numbers_[4][12];
};

}  // namespace

size_t FileRecord::FormattedLength() const {
  LinePieces pieces(*this);
  size_t length = 0;
  for (int i = 0; i < LinePieces::kPieces; ++i) length += pieces[i].size();
  return length;
}

int CompareRecordLines(const FileRecord& a, const FileRecord& b) {
  LinePieces x(a);
  LinePieces y(b);
  int i = 0;
  int j = 0;
  std::string_view s = x[0];
  std::string_view t = y[0];
  for (;;) {
    while (s.empty() && i + 1 < LinePieces::kPieces) s = x[++i];
    while (t.empty() && j + 1 < LinePieces::kPieces) t = y[++j];
    if (s.empty() || t.empty()) return s.empty() == t.empty() ? 0 : (s.empty() ? -1 : 1);
    const size_t n = std::min(s.size(), t.size());
    const int c = std::memcmp(s.data(), t.data(), n);
    if (c != 0) return c < 0 ? -1 : 1;
    s.remove_prefix(n);
    t.remove_prefix(n);
  }
}

std::optional<RecordView> ViewFileRecord(std::string_view line) {
  std::string_view f[7];
  if (!CutRecord(line, f)) return std::nullopt;
  return RecordView{f[2], f[3]};
}

std::string_view PathFieldOf(std::string_view line) {
  size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const size_t bar = line.find(kFieldSeparator, start);
    if (bar == std::string_view::npos) return {};
    start = bar + 1;
  }
  const size_t bar = line.find(kFieldSeparator, start);
  return line.substr(start, bar == std::string_view::npos ? bar : bar - start);
}

std::optional<FileRecord> ParseFileRecord(std::string_view line, RecordFault* fault) {
  RecordFault ignored = RecordFault::kNone;
  RecordFault& why = fault != nullptr ? *fault : ignored;
  std::string_view f[7];
  if (!CutRecord(line, f)) {
    why = RecordFault::kCut;
    return std::nullopt;
  }
  const auto size = ParseDecimal<int32_t>(f[0]);
  const auto checksum = ParseDecimal<uint32_t>(f[1]);
  const auto attributes = ParseAttributes(f[4]);
  const auto date = ParseDecimal<int32_t>(f[5]);
  if (!size || !checksum || !attributes || !date) {
    why = RecordFault::kBadNumber;
    return std::nullopt;
  }
  if (f[6] != "0" && f[6] != "1") {
    why = RecordFault::kBadLastField;
    return std::nullopt;
  }
  why = RecordFault::kNone;
  return FileRecord{*size,       *checksum, std::string(f[2]), std::string(f[3]),
                    *attributes, *date,     f[6] == "0"};
}

void SplitFields(std::string_view text, char separator, std::vector<std::string>& pieces) {
  size_t start = 0;
  for (;;) {
    const size_t pos = text.find(separator, start);
    if (pos == std::string_view::npos) break;
    pieces.emplace_back(text.substr(start, pos - start));
    start = pos + 1;
  }
  pieces.emplace_back(text.substr(start));
}

int CompareOrdinal(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  const int c = n == 0 ? 0 : std::memcmp(a.data(), b.data(), n);
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

void SortOrdinal(std::vector<std::string>& list) {
  // std::string's own order is byte-wise unsigned with shorter-first on a
  // common prefix, which is exactly the ordinal order.
  std::sort(list.begin(), list.end());
}

int FindByPrefix(std::string_view key, const std::vector<std::string>& list) {
  if (list.empty()) return -1;
  size_t lo = 0;
  size_t hi = list.size();
  size_t i = 0;
  bool equal = false;
  do {
    i = (lo + hi) / 2;
    const std::string_view p = std::string_view(list[i]).substr(0, key.size());
    const int c = CompareOrdinal(key, p);
    equal = c == 0;
    if (c > 0) {
      if (lo == i) ++i;
      lo = i;
    } else {
      hi = i;
    }
  } while (!equal && lo != hi);
  return equal ? static_cast<int>(i) : -1;
}

std::optional<std::vector<std::string>> ReadListFile(FileSystem& fs, const std::string& path) {
  std::vector<std::string> lines;
  try {
    auto in = fs.OpenRead(path);
    std::string chunk(1 << 20, '\0');
    std::string partial;
    for (;;) {
      const size_t got = in->Read(chunk.data(), chunk.size());
      if (got == 0) break;
      std::string_view data(chunk.data(), got);
      for (;;) {
        const size_t lf = data.find('\n');
        if (lf == std::string_view::npos) {
          partial.append(data);
          break;
        }
        partial.append(data.substr(0, lf));
        if (!partial.empty() && partial.back() == '\r') partial.pop_back();
        lines.push_back(partial);
        partial.clear();
        data.remove_prefix(lf + 1);
      }
    }
    if (!partial.empty()) {
      if (partial.back() == '\r') partial.pop_back();
      lines.push_back(std::move(partial));
    }
  } catch (const StreamError&) {
    return std::nullopt;
  }
  return lines;
}

}  // namespace varnoket
