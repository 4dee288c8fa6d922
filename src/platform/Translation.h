// Texts a person reads, in the language of the desktop. French is the
// program's own language: every text is written in French, and a catalogue
// holds its English form. The plain code never depends on the catalogue: the
// program installs a translator at start, and without one every text stays
// French. Texts on their way to a log or a settings file are never passed
// through here: other copies of the program read them in French.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Marks a French text of the plain code for the catalogue (the catalogue's
// scanner is told this name) and expands to the text itself, so marked
// constants stay constant expressions.
#define VK_TR_NOOP(context, text) text

namespace varnoket {

// The catalogue context of the messages the plain code hands to a window or
// prints: the windows translate a shown message whole, without knowing where
// it was made.
inline constexpr const char* kMessagesContext = "Messages";

// Turns a French text of `context` into the person's language; answers the
// text unchanged when the catalogue has nothing for it.
using TextTranslator = std::string (*)(const char* context, const std::string& text);

// Installs the translator (null: French again) and the composed messages'
// patterns (French, with "%s" holes) that TranslateMessage recognises.
void SetTextTranslator(TextTranslator translator, std::vector<std::string> patterns = {});

// `text` of `context` in the person's language.
std::string Translate(const char* context, const std::string& text);

// A message of kMessagesContext in the person's language: the whole text when
// the catalogue has it, else the first known pattern that matches it,
// translated and filled with the values found in the text's holes (each
// value itself translated when it is a known message). A text made of
// several messages joined by "\r\n" is translated message by message, the
// longest known run of lines first; what the catalogue does not know stays
// as it is.
std::string TranslateMessage(const std::string& text);

// The values that fill the "%s" holes of `pattern` to give `text`, in order;
// false when `text` is not made from `pattern`. A hole takes the shortest run
// that lets the rest of the pattern follow.
bool MatchPattern(std::string_view pattern, std::string_view text,
                  std::vector<std::string>& values);

}  // namespace varnoket
