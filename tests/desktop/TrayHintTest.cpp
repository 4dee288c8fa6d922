#include <gtest/gtest.h>

#include "desktop/TrayHint.h"

namespace varnoket {
namespace {

TEST(TrayHint, CountsCharactersNotBytes) {
  // 70 accented letters, two bytes each: 63 letters are kept whole.
  std::string hint;
  for (int i = 0; i < 70; ++i) hint += "é";
  const std::string cut = CutTrayHint(hint);
  EXPECT_EQ(cut.size(), 126u);
  EXPECT_EQ(cut, hint.substr(0, 126));
  EXPECT_EQ(CutTrayHint("Préparation de sauvegarde en cours..."),
            "Préparation de sauvegarde en cours...");
}

}  // namespace
}  // namespace varnoket
