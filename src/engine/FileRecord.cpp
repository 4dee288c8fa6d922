#include "engine/FileRecord.h"

#include <algorithm>
#include <cstring>

#include "platform/FileSystem.h"

namespace varnoket {

std::string FileRecord::Format() const {
  std::string line;
  line.reserve(size.size() + checksum.size() + storedName.size() + fullPath.size() +
               attributes.size() + fileDate.size() + last.size() + 6);
  for (const std::string* field :
       {&size, &checksum, &storedName, &fullPath, &attributes, &fileDate}) {
    line += *field;
    line += kFieldSeparator;
  }
  line += last;
  return line;
}

namespace {

// The fields every record ends with: "|<path>|<attributes>|<date>|0".
void AppendRecordTail(std::string& line, std::string_view fullPath, uint32_t attributes,
                      int32_t fileDate) {
  line += '|';
  line += fullPath;
  line += '|';
  line += std::to_string(attributes);
  line += '|';
  line += std::to_string(fileDate);
  line += "|0";
}

}  // namespace

std::string FormatFileRecord(int64_t size, uint32_t checksum, std::string_view storedName,
                             std::string_view fullPath, uint32_t attributes, int32_t fileDate) {
  // The size field holds the low 32 bits as a signed number: a 3 GiB file
  // shows a negative size, as every copy of the program writes it.
  const auto low = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(size)));
  std::string line = std::to_string(low);
  line += '|';
  line += std::to_string(checksum);
  line += '|';
  line += storedName;
  AppendRecordTail(line, fullPath, attributes, fileDate);
  return line;
}

std::string FormatDirectoryRecord(std::string_view fullPath, uint32_t attributes,
                                  int32_t fileDate) {
  std::string line = "0|0|*";
  AppendRecordTail(line, fullPath, attributes, fileDate);
  return line;
}

std::optional<RecordView> ViewFileRecord(std::string_view line) {
  if (line.size() <= 10) return std::nullopt;
  std::string_view f[7];
  size_t start = 0;
  for (int i = 0; i < 6; ++i) {
    const size_t bar = line.find(kFieldSeparator, start);
    if (bar == std::string_view::npos) return std::nullopt;
    f[i] = line.substr(start, bar - start);
    start = bar + 1;
  }
  const size_t bar = line.find(kFieldSeparator, start);
  f[6] = line.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
  return RecordView{f[0], f[1], f[2], f[3], f[4], f[5], f[6]};
}

std::optional<FileRecord> ParseFileRecord(std::string_view line) {
  const auto v = ViewFileRecord(line);
  if (!v) return std::nullopt;
  return FileRecord{std::string(v->size),       std::string(v->checksum),
                    std::string(v->storedName), std::string(v->fullPath),
                    std::string(v->attributes), std::string(v->fileDate),
                    std::string(v->last)};
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
