#include <gtest/gtest.h>

#include "settings/ExclusionFilter.h"

namespace varnoket {
namespace {

// The dialog's tests walk the common refusals; these are the corners.
TEST(ExclusionFilterTest, StarsAnywhereCountAndBlanksAndAccentsAreKept) {
  const std::vector<std::string> listed = {"*.mp3"};
  EXPECT_EQ(ExclusionRefusal("**", listed), kFilterManyStars);
  EXPECT_EQ(ExclusionRefusal("a*b*c", listed), kFilterManyStars);
  // Blanks belong to the filter, so a padded copy is another filter.
  EXPECT_EQ(ExclusionRefusal(" *.mp3", listed), "");
  EXPECT_EQ(StoredFilterForm(" A B "), " a b ");
  EXPECT_EQ(StoredFilterForm("Été?.TXT"), "Été?.txt");
}

}  // namespace
}  // namespace varnoket
