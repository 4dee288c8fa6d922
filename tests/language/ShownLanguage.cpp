#include "ShownLanguage.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cctype>
#include <cstdlib>

namespace varnoket::test {

namespace {

// The words of `text`, lower case, split at anything but a letter (bytes of
// UTF-8 letters stay inside their words). A path, from a "/" to the next
// space, parenthesis or comma, is no word: a temporary folder's random name
// may spell one.
std::vector<std::string> WordsOf(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool inPath = false;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '/' && word.empty()) inPath = true;
    if (inPath) {
      inPath = !(c == ' ' || c == ')' || c == ',');
      continue;
    }
    if (std::isalpha(byte) || byte >= 0x80) {
      word += static_cast<char>(std::tolower(byte));
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

bool HasWordOf(std::string_view text, const std::vector<std::string_view>& list) {
  for (const std::string& word : WordsOf(text)) {
    for (const std::string_view known : list) {
      if (word == known) return true;
    }
  }
  return false;
}

}  // namespace

std::string ExpectedLanguage() {
  const char* wanted = std::getenv("VARNOKET_TEST_LANGUAGE");
  return wanted == nullptr ? "fr" : wanted;
}

std::string Either(const char* french, const char* english) {
  return ExpectedLanguage() == "en" ? english : french;
}

bool LooksFrench(std::string_view text) {
  for (const std::string_view accent : {"é", "è", "ê", "à", "ç", "ù", "û", "ô", "î", "É"}) {
    if (text.find(accent) != std::string_view::npos) return true;
  }
  return HasWordOf(text, {"le",       "la",     "les",   "du",      "des",        "un",
                          "une",      "est",    "pas",   "aucun",   "aucune",     "fichier",
                          "fichiers", "jour",   "jours", "dossier", "sauvegarde", "vous",
                          "pour",     "dans",   "sur",   "avec",    "et",         "ou",
                          "annuler",  "fermer", "oui",   "non",     "ignorer",    "remplacer"});
}

bool LooksEnglish(std::string_view text) {
  // No command names ("backup", "restore"): French lines name them too.
  return HasWordOf(
      text, {"the",  "is",    "are",    "not",    "no",     "of",    "to",   "and",  "with",
             "file", "files", "folder", "you",    "cancel", "close", "yes",  "skip", "replace",
             "keep", "both",  "found",  "cannot", "needs",  "takes", "since"});
}

void ExpectShownInLanguage(const std::string& text, const std::string& where) {
  EXPECT_FALSE(text.empty()) << where;
  if (ExpectedLanguage() == "en") {
    EXPECT_FALSE(LooksFrench(text)) << where << " shows French under an English locale:\n" << text;
  } else {
    EXPECT_FALSE(LooksEnglish(text)) << where << " shows English under a French locale:\n" << text;
  }
}

BoxTexts TextsOfNextBox(const std::function<void()>& open) {
  BoxTexts texts;
  // Polled from the box's own event loop; the guard stops polling once the
  // box is read, and after a second when no box ever shows.
  int polls = 0;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      if (++polls > 100) poll.stop();
      return;
    }
    poll.stop();
    texts.title = box->windowTitle().toStdString();
    texts.text = box->text().toStdString();
    for (QAbstractButton* button : box->buttons())
      texts.buttons.push_back(button->text().toStdString());
    if (QAbstractButton* escape = box->escapeButton()) {
      escape->click();
    } else {
      box->reject();
    }
  });
  poll.start();
  open();
  return texts;
}

}  // namespace varnoket::test
