#include <gtest/gtest.h>

#include "platform/MessageText.h"

namespace varnoket {
namespace {

TEST(MessageText, HolesAreFilledInOrderAndExtraHolesOrValuesAreLeft) {
  EXPECT_EQ(FillText("Le dossier (%s) contient (%s) !", {"/a", "/a/b"}),
            "Le dossier (/a) contient (/a/b) !");
  // A value may itself hold "%s": it is not filled again.
  EXPECT_EQ(FillText("(%s) et (%s)", {"%s", "x"}), "(%s) et (x)");
  EXPECT_EQ(FillText("(%s) et (%s)", {"x"}), "(x) et (%s)");
  EXPECT_EQ(FillText("sans trou", {"x"}), "sans trou");
  EXPECT_EQ(FillText("(%s)", {""}), "()");
}

}  // namespace
}  // namespace varnoket
