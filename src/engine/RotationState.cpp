#include "engine/RotationState.h"

#include <optional>

#include "engine/DayFolders.h"
#include "engine/FileRecord.h"
#include "platform/DecimalText.h"
#include "platform/TextLines.h"

namespace varnoket {

namespace {

std::string PathOf(const StoreLayout& layout) {
  return layout.rules().Join(layout.StationFolder(), kRotationName);
}

bool IsDayText(const std::string& text) {
  Day day;
  return ParseDayText(text, day);
}

// "a|b" cut in two; nothing when there is no separator.
std::optional<std::pair<std::string, std::string>> Pair(std::string_view value) {
  const size_t bar = value.find('|');
  if (bar == std::string_view::npos) return {};
  return std::make_pair(std::string(value.substr(0, bar)), std::string(value.substr(bar + 1)));
}

}  // namespace

RotationState ReadRotationState(FileSystem& fs, const StoreLayout& layout) {
  RotationState state;
  const auto text = fs.ReadFile(PathOf(layout));
  if (!text) return state;
  for (const std::string& line : SplitLines(*text)) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    const auto pair = Pair(std::string_view(line).substr(equals + 1));
    if (!pair) continue;
    if (key == "PASS") {
      const auto bytes = ParseDecimal<uint64_t>(pair->second);
      if (IsDayText(pair->first) && bytes) {
        state.passBegun = pair->first;
        state.passBytes = *bytes;
      }
    } else if (key == "NEXT") {
      const auto record = ParseDecimal<uint64_t>(pair->second);
      if (!DayKey(pair->first).empty() && record) {
        state.nextDay = pair->first;
        state.nextRecord = *record;
      }
    } else if (key == "DONE" && IsDayText(pair->first) && IsDayText(pair->second)) {
      state.doneBegun = pair->first;
      state.doneEnded = pair->second;
    }
  }
  // Where to go on means nothing without the pass it belongs to.
  if (state.passBegun.empty()) {
    state.nextDay.clear();
    state.nextRecord = 0;
  }
  return state;
}

bool WriteRotationState(FileSystem& fs, const StoreLayout& layout, const RotationState& state) {
  std::string text;
  if (!state.passBegun.empty()) {
    text += "PASS=" + state.passBegun + "|" + std::to_string(state.passBytes) + "\r\n";
    if (!state.nextDay.empty()) {
      text += "NEXT=" + state.nextDay + "|" + std::to_string(state.nextRecord) + "\r\n";
    }
  }
  if (!state.doneBegun.empty()) {
    text += "DONE=" + state.doneBegun + "|" + state.doneEnded + "\r\n";
  }
  return fs.WriteFileAtomic(PathOf(layout), text).ok();
}

}  // namespace varnoket
