#include <gtest/gtest.h>

#include <filesystem>

#include "settings/ConfigurationRules.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(ConfigurationRulesTest, TheWriteTestLeavesNothingBehindAndFailsUnderAFile) {
  TempDir dir;
  PosixFileSystem fs;
  WriteFile(dir / "_temp_.txt", "left over");
  EXPECT_TRUE(CanWriteInFolder(fs, dir.path()));
  EXPECT_FALSE(std::filesystem::exists(dir / "_temp_.txt"));
  WriteFile(dir / "plain", "");
  EXPECT_FALSE(CanWriteInFolder(fs, dir / "plain"));
  EXPECT_FALSE(CanWriteInFolder(fs, dir / "missing"));
}

TEST(ConfigurationRulesTest, ATypedValueThatDoesNotReadKeepsTheOneInMemory) {
  ProgramSettings settings;
  EXPECT_TRUE(ApplyProgramSettings(settings, {"/r", "7", "5", "1"}));
  EXPECT_EQ(settings.daysKept, 2);
  EXPECT_FALSE(ApplyProgramSettings(settings, {"/s", "x", "", "45"}));
  EXPECT_EQ(settings.preferredHour, 7);
  EXPECT_EQ(settings.preferredMinute, 5);
  EXPECT_EQ(settings.daysKept, 45);
}

}  // namespace
}  // namespace varnoket
