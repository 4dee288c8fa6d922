#include "desktop/AutostartEntry.h"

#include <vector>

#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/TextLines.h"
#include "platform/Translation.h"

namespace varnoket {

namespace {

// The string escapes of a desktop entry value.
std::string EscapeValue(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string UnescapeValue(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c == 's' ? ' ' : c;
  }
  return out;
}

// Splits an Exec line into its arguments, undoing QuoteExecArgument.
std::vector<std::string> SplitExec(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '%' && i + 1 < line.size() && line[i + 1] == '%') {
      word += '%';  // field codes are not expanded: "%%" is a literal "%"
      inWord = true;
      ++i;
    } else if (quoted) {
      if (c == '\\' && i + 1 < line.size()) {
        word += line[++i];
      } else if (c == '"') {
        quoted = false;
      } else {
        word += c;
      }
    } else if (c == '"') {
      quoted = inWord = true;
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

void ReportFailure(Dialogs& dialogs, const std::string& path) {
  dialogs.Error(FillText(
      VK_TR_NOOP("Messages", "Erreur dans la tentative de récupération du raccourci (%s) !"),
      {path}));
}

}  // namespace

std::string QuoteExecArgument(const std::string& argument) {
  static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
  std::string out;
  const bool quote = argument.empty() || argument.find_first_of(reserved) != std::string::npos;
  if (quote) out += '"';
  for (char c : argument) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    out += c;
    if (c == '%') out += '%';
  }
  if (quote) out += '"';
  return out;
}

void AutostartEntry::WriteLink() {
  // The shortcut's properties map to the entry's keys.
  std::string exec = QuoteExecArgument(Target);
  if (!Arguments.empty()) exec += " " + Arguments;
  std::string text = "[Desktop Entry]\nType=Application\n";
  text += "Name=" + EscapeValue(Description.empty() ? Target : Description) + "\n";
  if (!Description.empty()) text += "Comment=" + EscapeValue(Description) + "\n";
  text += "Exec=" + EscapeValue(exec) + "\n";
  if (!WorkingDir.empty()) text += "Path=" + EscapeValue(WorkingDir) + "\n";
  if (!IconLocation.empty()) text += "Icon=" + EscapeValue(IconLocation) + "\n";
  text += "Terminal=false\nX-GNOME-Autostart-enabled=true\n";
  const std::string folder = PathRules().ParentWithSeparator(ShortcutFile);
  if (ShortcutFile.empty() || !fs_.CreateDirectories(folder) ||
      !fs_.WriteFileAtomic(ShortcutFile, text)) {
    throw AutostartEntryError("Unable to create .lnk file");
  }
}

bool ResolveShortcut(FileSystem& fs, const std::string& path, ResolvedShortcut& out,
                     Dialogs& dialogs) {
  const auto entry = fs.Stat(path);
  if (!entry) return false;
  if (entry->isSymlink) {
    const auto written = fs.ReadLink(path);
    if (!written) {
      ReportFailure(dialogs, path);
      return false;
    }
    const PathRules rules;
    const std::string target = rules.IsAbsolute(*written)
                                   ? *written
                                   : rules.Join(rules.ParentWithSeparator(path), *written);
    out = {rules.LexicallyNormal(target), "", ""};
    return true;
  }
  const std::string name = PathRules().FileName(path);
  const std::string_view extension = ".desktop";
  const bool desktopFile =
      name.size() > extension.size() &&
      name.compare(name.size() - extension.size(), extension.size(), extension) == 0;
  if (!entry->isRegularFile || !desktopFile) return false;
  const auto text = fs.ReadFile(path);
  if (!text) {
    ReportFailure(dialogs, path);
    return false;
  }
  bool inEntry = false;
  std::string exec, workingDir;
  for (const std::string& line : SplitLines(*text)) {
    if (!line.empty() && line[0] == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntry) continue;
    if (line.rfind("Exec=", 0) == 0) exec = UnescapeValue(line.substr(5));
    if (line.rfind("Path=", 0) == 0) workingDir = UnescapeValue(line.substr(5));
  }
  const std::vector<std::string> words = SplitExec(exec);
  if (words.empty()) return false;
  std::string arguments;
  for (size_t i = 1; i < words.size(); ++i) {
    if (i > 1) arguments += ' ';
    arguments += words[i];
  }
  out = {words[0], arguments, workingDir};
  return true;
}

}  // namespace varnoket
