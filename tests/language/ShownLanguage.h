// What the language tests check a shown text against: the language the
// test run expects (VARNOKET_TEST_LANGUAGE: "en", or "fr" for every other
// locale), and a rough telling of French from English by their commonest
// words, enough to catch a text left in the other language.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace varnoket::test {

// "en" or "fr".
std::string ExpectedLanguage();

// The French source or its English form, as the run expects.
std::string Either(const char* french, const char* english);

// Whether `text` reads as French: an accented letter or one of the
// commonest French words.
bool LooksFrench(std::string_view text);

// Whether `text` reads as English: one of the commonest English words.
bool LooksEnglish(std::string_view text);

// A gtest failure naming `where` when `text` is empty or reads as the other
// language than the one expected.
void ExpectShownInLanguage(const std::string& text, const std::string& where);

// The texts of a modal message box: title, text and buttons.
struct BoxTexts {
  std::string title;
  std::string text;
  std::vector<std::string> buttons;
};

// Runs `open`, which shows a modal message box, and gives back that box's
// texts; the box is closed with its escape button. Empty when no box showed.
BoxTexts TextsOfNextBox(const std::function<void()>& open);

}  // namespace varnoket::test
