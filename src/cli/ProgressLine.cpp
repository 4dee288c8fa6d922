#include "cli/ProgressLine.h"

#include <iostream>

#include "cli/CliText.h"
#include "cli/Units.h"
#include "platform/ShownFormat.h"
#include "platform/Terminal.h"

namespace varnoket {

namespace {

// Carriage return, the text, then "erase to the end of the line" so a
// shorter text leaves nothing of the longer one.
constexpr const char* kEraseLine = "\x1b[K";

// Cuts UTF-8 text to `columns` characters, never inside a character.
std::string Fit(const std::string& text, size_t columns) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (chars == columns) return text.substr(0, i);
    ++chars;
  }
  return text;
}

}  // namespace

std::string ProgressText(const ProgressCounts& c, double seconds) {
  std::string text = CliText(VK_TR_NOOP("Cli", "Fichiers %s/%s  %s/%s"),
                             {std::to_string(c.filesDone), std::to_string(c.filesTotal),
                              ByteSizeText(c.bytesDone, SizeStyle::kShort),
                              ByteSizeText(c.bytesTotal, SizeStyle::kShort)});
  if (seconds >= 1 && c.bytesDone > 0) {
    const double rate = static_cast<double>(c.bytesDone) / seconds;
    text += "  " + ByteSizeText(static_cast<int64_t>(rate), SizeStyle::kShort) + "/s";
    const int64_t left = c.bytesTotal > c.bytesDone ? c.bytesTotal - c.bytesDone : 0;
    text += CliText(VK_TR_NOOP("Cli", "  reste %s"),
                    {HumanDuration(static_cast<int64_t>(static_cast<double>(left) / rate + 0.5))});
  }
  return text;
}

ProgressLine::ProgressLine(std::ostream& out, bool terminal, int width)
    : out_(out), terminal_(terminal), width_(width > 1 ? static_cast<size_t>(width - 1) : 79) {}

ProgressLine ProgressLine::ForStandardOutput() {
  const std::optional<int> width = StandardOutputTerminalWidth();
  return ProgressLine(std::cout, width.has_value(), width.value_or(80));
}

void ProgressLine::Update(const ProgressCounts& counts, bool now) {
  if (!terminal_) return;
  const auto at = std::chrono::steady_clock::now();
  if (!now && at - drawn_ < std::chrono::milliseconds(100)) return;
  drawn_ = at;
  Draw(ProgressText(counts, std::chrono::duration<double>(at - start_).count()));
}

void ProgressLine::Show(const std::string& text) {
  if (terminal_) Draw(text);
}

void ProgressLine::Print(const std::string& line) {
  if (!terminal_) {
    out_ << line << '\n' << std::flush;
    return;
  }
  const std::string shown = shown_;
  Clear();
  out_ << line << '\n';
  if (!shown.empty()) Draw(shown);
  out_ << std::flush;
}

void ProgressLine::Clear() {
  if (shown_.empty()) return;
  out_ << '\r' << kEraseLine << std::flush;
  shown_.clear();
}

void ProgressLine::Draw(const std::string& text) {
  shown_ = Fit(text, width_);
  out_ << '\r' << shown_ << kEraseLine << std::flush;
}

}  // namespace varnoket
