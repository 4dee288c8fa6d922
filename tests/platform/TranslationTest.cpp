#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Translation.h"

namespace varnoket {
namespace {

// A catalogue of a few messages, as the program's translator would answer.
std::string FakeCatalogue(const char* context, const std::string& text) {
  static const std::map<std::pair<std::string, std::string>, std::string> kEntries = {
      {{"Messages", "Le répertoire (%s) n'est pas accessible !"},
       "The folder (%s) is not accessible!"},
      {{"Messages", "Fichier-> %s"}, "File-> %s"},
      {{"Messages", "Fichier-> %s (déjà à jour)"}, "File-> %s (already up to date)"},
      {{"Messages", "Échec : %s\r\nvoir %s"}, "Failed: %s\r\nsee %s"},
      {{"Messages", "Disque plein"}, "Disk full"},
      {{"Messages", "Laissés : %s."}, "Left out: %s."},
      {{"Messages", "%s lien(s), non suivi(s)"}, "%s link(s), not followed"},
      {{"Messages", "%s fichier(s) illisible(s)"}, "%s unreadable file(s)"},
      {{"Fenêtre", "&Fermer"}, "&Close"},
  };
  const auto found = kEntries.find({context, text});
  return found == kEntries.end() ? text : found->second;
}

class TranslationTest : public ::testing::Test {
 protected:
  void Install() {
    SetTextTranslator(&FakeCatalogue,
                      {"Fichier-> %s", "Le répertoire (%s) n'est pas accessible !",
                       "Fichier-> %s (déjà à jour)", "Échec : %s\r\nvoir %s", "Laissés : %s.",
                       "%s lien(s), non suivi(s)", "%s fichier(s) illisible(s)"});
  }
  ~TranslationTest() override { SetTextTranslator(nullptr); }
};

TEST(MatchPatternTest, FindsTheValuesOfEachHole) {
  std::vector<std::string> values;
  ASSERT_TRUE(MatchPattern("Le répertoire (%s) n'est pas accessible !",
                           "Le répertoire (/home/a (copie) x) n'est pas accessible !", values));
  EXPECT_EQ(values, std::vector<std::string>{"/home/a (copie) x"});

  ASSERT_TRUE(MatchPattern("%s de %s", "3 fichier(s) de /srv", values));
  EXPECT_EQ(values, (std::vector<std::string>{"3 fichier(s)", "/srv"}));
  // An empty value, and a value holding the next piece's text: the hole
  // stops at the first place the rest of the pattern still fits.
  ASSERT_TRUE(MatchPattern("(%s) et (%s)", "() et (a) et (b)", values));
  EXPECT_EQ(values, (std::vector<std::string>{"", "a) et (b"}));

  EXPECT_FALSE(
      MatchPattern("Le répertoire (%s) n'est pas accessible !", "Le répertoire (/x)", values));
  EXPECT_TRUE(values.empty());
  EXPECT_FALSE(MatchPattern("a %s b", "x a 1 b", values));
  EXPECT_FALSE(MatchPattern("a %s b", "a 1 bc", values));
  // The start and the end never overlap.
  EXPECT_FALSE(MatchPattern("ab%sba", "aba", values));
  EXPECT_TRUE(MatchPattern("Disque plein", "Disque plein", values));
  EXPECT_FALSE(MatchPattern("Disque plein", "Disque", values));
}

TEST_F(TranslationTest, WithoutTranslatorEveryTextStaysFrench) {
  EXPECT_EQ(Translate("Fenêtre", "&Fermer"), "&Fermer");
  EXPECT_EQ(TranslateMessage("Disque plein"), "Disque plein");
  Install();
  EXPECT_EQ(Translate("Fenêtre", "&Fermer"), "&Close");
  SetTextTranslator(nullptr);
  EXPECT_EQ(TranslateMessage("Disque plein"), "Disque plein");
}

TEST_F(TranslationTest, MessagesTranslateWholeOrThroughTheirPattern) {
  Install();
  EXPECT_EQ(TranslateMessage("Disque plein"), "Disk full");
  EXPECT_EQ(TranslateMessage("Le répertoire (/srv/a %s) n'est pas accessible !"),
            "The folder (/srv/a %s) is not accessible!");
  // The pattern with the most fixed text wins over a shorter one that also
  // makes the text.
  EXPECT_EQ(TranslateMessage("Fichier-> /a/b (déjà à jour)"), "File-> /a/b (already up to date)");
  EXPECT_EQ(TranslateMessage("Fichier-> /a/b"), "File-> /a/b");
  // A hole holding a known message is translated too; line breaks stay.
  EXPECT_EQ(TranslateMessage("Échec : Disque plein\r\nvoir /var/log"),
            "Failed: Disk full\r\nsee /var/log");
  // Messages joined line after line, a two-line one among them, and an
  // unknown line kept.
  EXPECT_EQ(TranslateMessage("Disque plein\r\nÉchec : x\r\nvoir y\r\n???\r\nFichier-> /a"),
            "Disk full\r\nFailed: x\r\nsee y\r\n???\r\nFile-> /a");
  // Nothing known: the text as it came, in another context too.
  EXPECT_EQ(TranslateMessage("Autre chose (/x)"), "Autre chose (/x)");
  EXPECT_EQ(TranslateMessage("&Fermer"), "&Fermer");
  EXPECT_EQ(TranslateMessage(""), "");
}

TEST_F(TranslationTest, AHoleHoldingAListOfMessagesIsTranslatedPieceByPiece) {
  Install();
  // A piece may hold the list's own separator.
  EXPECT_EQ(TranslateMessage("Laissés : 2 lien(s), non suivi(s), 1 fichier(s) illisible(s)."),
            "Left out: 2 link(s), not followed, 1 unreadable file(s).");
  EXPECT_EQ(TranslateMessage("Laissés : 1 fichier(s) illisible(s)."),
            "Left out: 1 unreadable file(s).");
  // One unknown piece: the list is kept as it came, never half translated.
  EXPECT_EQ(TranslateMessage("Laissés : 1 fichier(s) illisible(s), 3 autre(s)."),
            "Left out: 1 fichier(s) illisible(s), 3 autre(s).");
  // A plain value with a comma is not a list.
  EXPECT_EQ(TranslateMessage("Le répertoire (/a, b) n'est pas accessible !"),
            "The folder (/a, b) is not accessible!");
}

}  // namespace
}  // namespace varnoket
