#include <gtest/gtest.h>

#include "settings/CommaText.h"

namespace varnoket {
namespace {

using List = std::vector<std::string>;

TEST(CommaTextTest, QuotesOnlyItemsThatNeedIt) {
  EXPECT_EQ(ToCommaText({"*.mp3", "*.mpeg", "*.mpg", "PageFile.sys"}),
            "*.mp3,*.mpeg,*.mpg,PageFile.sys");
  EXPECT_EQ(ToCommaText({"my file.txt", "a,b", "say \"hi\"", "tab\there"}),
            "\"my file.txt\",\"a,b\",\"say \"\"hi\"\"\",\"tab\there\"");
  EXPECT_EQ(ToCommaText({}), "");
  EXPECT_EQ(ToCommaText({""}), "\"\"");
}

TEST(CommaTextTest, ReadingSplitsOnCommasAndBlanksOutsideQuotes) {
  EXPECT_EQ(FromCommaText(""), List{});
  EXPECT_EQ(FromCommaText("   "), List{});
  EXPECT_EQ(FromCommaText("\"\""), List{""});
  EXPECT_EQ(FromCommaText("a b,c"), (List{"a", "b", "c"}));
  EXPECT_EQ(FromCommaText(" a , b "), (List{"a", "b"}));
  EXPECT_EQ(FromCommaText("a,,b,"), (List{"a", "", "b", ""}));
  EXPECT_EQ(FromCommaText("\"x y\",\"q\"\"q\""), (List{"x y", "q\"q"}));
  EXPECT_EQ(FromCommaText("été.doc"), List{"été.doc"});
}

TEST(CommaTextTest, EveryListSurvivesARoundTrip) {
  const List lists[] = {
      {"*.mp3", "*.mpeg"},
      {"my file.txt", " lead", "trail ", "a,b", "\"quoted\"", "x\"y"},
      {"a", "", "b"},
      {"", ""},
      {""},
      {"ünïcode name.txt", "*.tmp"},
  };
  for (const List& items : lists) {
    EXPECT_EQ(FromCommaText(ToCommaText(items)), items) << ToCommaText(items);
  }
}

}  // namespace
}  // namespace varnoket
