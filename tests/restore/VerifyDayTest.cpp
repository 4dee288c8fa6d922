// The check of a day's stored copies on several workers: the same problems,
// in the order of the list, as on one.
#include <gtest/gtest.h>

#include "engine/BZip2.h"
#include "engine/Checksum.h"
#include "engine/FileRecord.h"
#include "platform/TextLines.h"
#include "restore/VerifyDay.h"
#include "support/BlockwiseCopy.h"
#include "support/RecordingRestoreHost.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

std::string Compressed(const std::string& bytes) {
  MemoryStream in(bytes);
  MemoryStream out;
  CompressFile(in, out);
  return out.data();
}

class VerifyDayTest : public ::testing::Test {
 protected:
  VerifyDayTest() : layout(PathRules(PathStyle::kPosix), tmp / "store", "PC") {}

  std::string Day(const std::string& folder) const { return layout.DayFolder(folder); }

  // A record of `bytes` in the day's list, its copy holding `stored`.
  void Record(const std::string& name, const std::string& bytes, const std::string& stored,
              bool keepCopy = true) {
    WeightedSum sum;
    sum.Update(bytes.data(), bytes.size());
    list.push_back(FormatFileRecord(static_cast<int64_t>(bytes.size()), sum.Value(), name + ".ZZ",
                                    "/src/" + name, 0100644, 0));
    if (keepCopy) test::WriteFile(layout.StoredFilePath(Day("02032006"), name + ".ZZ"), stored);
  }

  VerifyCounts Verify(unsigned workers, test::RecordingRestoreHost& host) {
    test::WriteFile(layout.FileListPath(Day("02032006")), JoinLines(list));
    return VerifyDay(DefaultFileSystem(), layout, days, 1, host, workers);
  }

  test::TempDir tmp;
  StoreLayout layout;
  std::vector<std::string> days{"01032006", "02032006"};
  std::vector<std::string> list;
};

TEST_F(VerifyDayTest, ManyWorkersFindTheProblemsOfOneInTheListOrder) {
  const std::string big(1500000, 'q');
  const std::string full = Compressed(big);
  Record("big", big, full);
  Record("missing", "gone", "", false);
  Record("noise", "abc", "this is no bzip2 stream");
  list.push_back("not a record at all");
  Record("cut", big, full.substr(0, full.size() / 2));
  for (int i = 0; i < 20; ++i) {
    const std::string bytes = "small " + std::to_string(i);
    Record("s" + std::to_string(i), bytes, Compressed(bytes));
  }
  Record("other", "what the list says", Compressed("what the copy holds"));
  // A copy kept by an older day counts as found.
  Record("older", "old", "", false);
  test::WriteFile(layout.StoredFilePath(Day("01032006"), "older.ZZ"), Compressed("old"));
  list.push_back(FormatDirectoryRecord("/src/empty", 040755, 0));

  test::RecordingRestoreHost one;
  const VerifyCounts c1 = Verify(1, one);
  test::RecordingRestoreHost many;
  const VerifyCounts c4 = Verify(4, many);

  const std::string copy = Day("02032006") + "/";
  const std::vector<std::string> expected{
      "02032006 : copie absente (missing.ZZ) pour /src/missing",
      "02032006 : copie endommagée (" + copy + "noise.ZZ) pour /src/noise",
      "02032006 : ligne illisible (ligne coupée (il lui manque des champs ou sa fin)) : not a "
      "record at all",
      "02032006 : copie tronquée (" + copy + "cut.ZZ) pour /src/cut",
      "02032006 : contenu différent (" + copy + "other.ZZ : taille 19, somme " +
          [] {
            WeightedSum s;
            s.Update("what the copy holds", 19);
            return std::to_string(s.Value());
          }() +
          " ; liste : taille 18, somme " +
          [] {
            WeightedSum s;
            s.Update("what the list says", 18);
            return std::to_string(s.Value());
          }() +
          ") pour /src/other",
  };
  EXPECT_EQ(one.lines, expected);
  EXPECT_EQ(many.lines, expected);
  EXPECT_EQ(c1.checked, 26u);
  EXPECT_EQ(c4.checked, c1.checked);
  EXPECT_EQ(c1.problems, expected.size());
  EXPECT_EQ(c4.problems, c1.problems);
  // Every copy found was decoded once; the bad ones are named for the next
  // run to store again, the missing one is not (no copy to name).
  EXPECT_EQ(c1.copies, 25u);
  const std::vector<std::pair<std::string, std::string>> bad{
      {"02032006", "noise.ZZ"}, {"02032006", "cut.ZZ"}, {"02032006", "other.ZZ"}};
  EXPECT_EQ(c1.badCopies, bad);
  EXPECT_EQ(c4.badCopies, bad);
}

TEST_F(VerifyDayTest, ADamagedBlockOfALargeCopyIsNamedWhateverTheNumberOfWorkers) {
  const std::string bytes = test::MixedBytes(5);
  test::BlockwiseCopy copy = test::CompressByBlocks(bytes);
  ASSERT_GE(copy.blockStarts.size(), 4u);
  const size_t second = copy.blockStarts[1];
  copy.stored[second + (copy.blockStarts[2] - second) / 2] ^= 0x10;
  Record("large", bytes, copy.stored);
  Record("sound", bytes, test::CompressByBlocks(bytes).stored);
  const std::vector<std::string> expected{"02032006 : copie endommagée (" + Day("02032006") +
                                          "/large.ZZ, bloc 2 à l'octet " + std::to_string(second) +
                                          ") pour /src/large"};
  for (unsigned workers : {1u, 3u}) {
    test::RecordingRestoreHost host;
    const VerifyCounts c = Verify(workers, host);
    EXPECT_EQ(host.lines, expected);
    EXPECT_EQ(c.badCopies,
              (std::vector<std::pair<std::string, std::string>>{{"02032006", "large.ZZ"}}));
  }
}

TEST_F(VerifyDayTest, AnOlderContentUnderTheSameNameIsNoSoundCopyButTheRightOneIs) {
  // The day's own copy is gone; the older day holds the previous version.
  Record("doc", "version two", "", false);
  test::WriteFile(layout.StoredFilePath(Day("01032006"), "doc.ZZ"), Compressed("version one"));
  test::RecordingRestoreHost host;
  VerifyCounts c = Verify(2, host);
  ASSERT_EQ(host.lines.size(), 1u);
  EXPECT_EQ(host.lines[0].rfind("02032006 : contenu différent (" + Day("01032006") + "/doc.ZZ", 0),
            0u);
  EXPECT_EQ(c.badCopies,
            (std::vector<std::pair<std::string, std::string>>{{"01032006", "doc.ZZ"}}));
  // The same content in the older day is what a restore takes: sound.
  test::WriteFile(layout.StoredFilePath(Day("01032006"), "doc.ZZ"), Compressed("version two"));
  test::RecordingRestoreHost again;
  c = Verify(2, again);
  EXPECT_TRUE(again.lines.empty());
  EXPECT_EQ(c.problems, 0u);
}

TEST_F(VerifyDayTest, AnUnreadableListIsOneProblem) {
  test::RecordingRestoreHost host;
  const VerifyCounts c = VerifyDay(DefaultFileSystem(), layout, days, 0, host, 2);
  EXPECT_EQ(c.checked, 0u);
  EXPECT_EQ(c.problems, 1u);
  EXPECT_EQ(host.lines, std::vector<std::string>{"ERREUR: impossible de lire le fichier (" +
                                                 layout.FileListPath(Day("01032006")) + ")"});
}

}  // namespace
}  // namespace varnoket
