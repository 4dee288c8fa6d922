#include "platform/Translation.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace varnoket {

namespace {

TextTranslator g_translator = nullptr;
std::vector<std::string> g_patterns;

// Whether `text` from `from` on is made from `pieces[index...]`, each hole
// between two pieces filled by a run of text; the runs go to `values`.
bool MatchFrom(const std::vector<std::string_view>& pieces, size_t index, std::string_view text,
               size_t from, std::vector<std::string>& values) {
  if (index + 1 == pieces.size()) {
    const std::string_view last = pieces[index];
    if (text.size() - from < last.size() || !text.ends_with(last)) return false;
    values.emplace_back(text.substr(from, text.size() - last.size() - from));
    return true;
  }
  const std::string_view next = pieces[index];
  for (size_t at = text.find(next, from); at != std::string_view::npos;
       at = text.find(next, at + 1)) {
    values.emplace_back(text.substr(from, at - from));
    if (MatchFrom(pieces, index + 1, text, at + next.size(), values)) return true;
    values.pop_back();
  }
  return false;
}

// `pattern` with its holes filled by `values` in order; a value's own "%s"
// is never taken for a hole.
std::string FillValues(std::string_view pattern, const std::vector<std::string>& values) {
  std::string out;
  size_t from = 0;
  for (const std::string& value : values) {
    const size_t hole = pattern.find("%s", from);
    if (hole == std::string_view::npos) break;
    out.append(pattern.substr(from, hole - from));
    out.append(value);
    from = hole + 2;
  }
  out.append(pattern.substr(from));
  return out;
}

size_t FixedLength(std::string_view pattern) {
  size_t holes = 0;
  for (size_t at = pattern.find("%s"); at != std::string_view::npos;
       at = pattern.find("%s", at + 2))
    ++holes;
  return pattern.size() - 2 * holes;
}

std::optional<std::string> TranslateWhole(const std::string& text,
                                          std::string_view notInHoles = {});

// A list of messages joined by ", " (what a run left out, cause by cause),
// each translated; a message may hold ", " itself, so the longest run of
// pieces the catalogue knows is taken first, with no ", " inside a hole (a
// pattern starting with a hole would otherwise swallow the pieces before
// it). Nothing when a piece is unknown.
std::optional<std::string> TranslateList(const std::string& text) {
  std::vector<std::string> pieces;
  for (size_t from = 0;;) {
    const size_t end = text.find(", ", from);
    pieces.push_back(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
    if (end == std::string::npos) break;
    from = end + 2;
  }
  if (pieces.size() == 1) return std::nullopt;
  std::string out;
  for (size_t first = 0; first < pieces.size();) {
    std::optional<std::string> known;
    size_t last = pieces.size();
    for (; last > first && !known; --last) {
      std::string run = pieces[first];
      for (size_t i = first + 1; i < last; ++i) run += ", " + pieces[i];
      known = TranslateWhole(run, ", ");
    }
    if (!known) return std::nullopt;
    if (first > 0) out += ", ";
    out += *known;
    first = last + 1;
  }
  return out;
}

// A hole's value: a list of messages, a message, or a value to keep as it
// is. The list is tried first: a pattern starting with a hole would take a
// whole list for one message.
std::string TranslateValue(const std::string& value) {
  if (std::optional<std::string> list = TranslateList(value)) return *std::move(list);
  return TranslateMessage(value);
}

// `text` translated as one message (whole, or through a pattern whose holes
// hold no `notInHoles`); nothing when the catalogue knows neither.
std::optional<std::string> TranslateWhole(const std::string& text, std::string_view notInHoles) {
  if (std::string whole = g_translator(kMessagesContext, text); whole != text) return whole;
  std::vector<std::string> values;
  for (const std::string& pattern : g_patterns) {
    if (!MatchPattern(pattern, text, values)) continue;
    if (!notInHoles.empty() && std::any_of(values.begin(), values.end(), [&](const std::string& v) {
          return v.find(notInHoles) != std::string::npos;
        }))
      continue;
    // A hole may hold a message of its own (a failure's reason), or a list
    // of them.
    for (std::string& value : values) value = TranslateValue(value);
    return FillValues(g_translator(kMessagesContext, pattern), values);
  }
  return std::nullopt;
}

}  // namespace

void SetTextTranslator(TextTranslator translator, std::vector<std::string> patterns) {
  g_translator = translator;
  g_patterns = std::move(patterns);
  // The pattern with the most fixed text is tried first, so "a %s b" wins
  // over "a %s" for a text both would make.
  std::stable_sort(
      g_patterns.begin(), g_patterns.end(),
      [](const std::string& a, const std::string& b) { return FixedLength(a) > FixedLength(b); });
}

std::string Translate(const char* context, const std::string& text) {
  if (g_translator == nullptr || text.empty()) return text;
  return g_translator(context, text);
}

bool MatchPattern(std::string_view pattern, std::string_view text,
                  std::vector<std::string>& values) {
  values.clear();
  std::vector<std::string_view> pieces;
  size_t from = 0;
  for (size_t hole = pattern.find("%s"); hole != std::string_view::npos;
       hole = pattern.find("%s", from)) {
    pieces.push_back(pattern.substr(from, hole - from));
    from = hole + 2;
  }
  pieces.push_back(pattern.substr(from));
  if (pieces.size() == 1) return pattern == text;
  if (!text.starts_with(pieces.front())) return false;
  // The first piece is fixed at the start; each hole ends where its next
  // piece is found.
  if (MatchFrom(pieces, 1, text, pieces.front().size(), values)) return true;
  values.clear();
  return false;
}

std::string TranslateMessage(const std::string& text) {
  if (g_translator == nullptr || text.empty()) return text;
  if (std::optional<std::string> whole = TranslateWhole(text)) return *std::move(whole);
  // A message made of several messages, one or more lines each: the longest
  // run of lines the catalogue knows is taken first; an unknown line stays.
  std::vector<std::string> lines;
  for (size_t from = 0;;) {
    const size_t end = text.find("\r\n", from);
    lines.push_back(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
    if (end == std::string::npos) break;
    from = end + 2;
  }
  if (lines.size() == 1) return text;
  std::string out;
  for (size_t first = 0; first < lines.size();) {
    size_t taken = 1;
    std::string piece = lines[first];
    for (size_t last = lines.size(); last > first + 1; --last) {
      std::string run = lines[first];
      for (size_t i = first + 1; i < last; ++i) run += "\r\n" + lines[i];
      if (std::optional<std::string> known = TranslateWhole(run)) {
        piece = *std::move(known);
        taken = last - first;
        break;
      }
    }
    if (taken == 1) piece = TranslateWhole(lines[first]).value_or(lines[first]);
    if (first > 0) out += "\r\n";
    out += piece;
    first += taken;
  }
  return out;
}

}  // namespace varnoket
