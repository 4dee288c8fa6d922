#include <gtest/gtest.h>

#include "engine/FileRecord.h"
#include "platform/TextLines.h"
#include "restore/ListScan.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

std::vector<std::string> All(const std::string& path, std::string_view needle = {}) {
  std::vector<std::string> lines;
  EXPECT_TRUE(ForEachLineHolding(DefaultFileSystem(), path, needle,
                                 [&](std::string_view l) { lines.emplace_back(l); }));
  return lines;
}

TEST(ListScanTest, LinesAreCutAsSplitLinesCutsThemAcrossBlocks) {
  TempDir tmp;
  // Lines of every length around the block size, so that some are cut by
  // a block's end, one longer than a whole block, and a last one without CR LF.
  std::string text;
  for (int i = 0; i < 40000; ++i)
    text += "line " + std::to_string(i) + std::string(i % 97, 'x') + "\r\n";
  text += std::string((1 << 20) + 17, 'L') + "\r\n";
  text += "last|needle|";
  const std::string path = tmp / "list.txt";
  WriteFile(path, text);
  EXPECT_EQ(All(path), SplitLines(text));

  std::vector<std::string> viaVisitor;
  ASSERT_TRUE(ForEachListLine(DefaultFileSystem(), path,
                              [&](std::string_view l) { viaVisitor.emplace_back(l); }));
  EXPECT_EQ(viaVisitor.size(), 40002u);

  EXPECT_EQ(All(path, "|needle|"), std::vector<std::string>{"last|needle|"});
  EXPECT_EQ(All(path, "line 39999x"), std::vector<std::string>{SplitLines(text)[39999]});
  // Every line holding the text, each once even when it holds it twice.
  WriteFile(path, "a|x|x|\r\nb|y|\r\nc|x|\r\n");
  EXPECT_EQ(All(path, "|x|"), (std::vector<std::string>{"a|x|x|", "c|x|"}));
  WriteFile(path, "");
  EXPECT_TRUE(All(path).empty());
}

TEST(ListScanTest, AMissingListIsAFailure) {
  TempDir tmp;
  int visits = 0;
  EXPECT_FALSE(
      ForEachListLine(DefaultFileSystem(), tmp / "none.txt", [&](std::string_view) { ++visits; }));
  EXPECT_EQ(visits, 0);
}

}  // namespace
}  // namespace varnoket::test
