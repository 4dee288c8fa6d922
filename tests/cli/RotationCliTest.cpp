// The check of old copies in rotation from a shell: `verify --slice` makes
// the next slice by hand, its exit code says whether a copy is damaged, and
// `status` says when every old copy was last decoded.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli/StoreCliFixture.h"

namespace varnoket::test {
namespace {

class RotationCliTest : public StoreCliFixture {};

TEST_F(RotationCliTest, ASliceByHandFindsARottedCopyAndStatusSaysWhenAllWereRead) {
  WriteFile(src + "/a.txt", std::string(50000, 'a'));
  EXPECT_NE(Cli("status").out.find("Anciennes copies : aucune relue jusqu'ici"), std::string::npos);
  const CliOutput none = Cli("verify --slice");
  EXPECT_EQ(none.code, 0) << none.out;
  ASSERT_EQ(Cli("backup").code, 0);
  // Today's copies were checked as they were written: there is nothing old.
  EXPECT_NE(Cli("verify --slice").out.find("Aucune ancienne copie à vérifier."), std::string::npos);

  MoveNewDayTo("01032006");
  const CliOutput slice = Cli("verify --slice");
  EXPECT_EQ(slice.code, 0) << slice.out;
  EXPECT_NE(slice.out.find("Vérification des anciennes copies : 1 copie(s) relue(s), 0 "
                           "endommagée(s), 0 illisible(s)."),
            std::string::npos)
      << slice.out;
  const CliOutput status = Cli("status");
  EXPECT_NE(status.out.find("Anciennes copies : toutes relues lors de la passe du "),
            std::string::npos)
      << status.out;

  const std::string copy = Stored("01032006", src + "/a.txt");
  ASSERT_TRUE(std::filesystem::exists(copy));
  {
    std::fstream file(copy, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(20);
    file.put('\x7f');
  }
  const CliOutput rotted = Cli("verify --slice");
  EXPECT_EQ(rotted.code, 1) << rotted.out;
  EXPECT_NE(rotted.out.find("copie endommagée (" + copy + ")"), std::string::npos) << rotted.out;
  EXPECT_NE(ReadFile(Station() + "/DAMAGED.TXT").find("01032006|"), std::string::npos);

  EXPECT_EQ(Cli("verify --slice 01/03/2006").code, 2);
}

}  // namespace
}  // namespace varnoket::test
