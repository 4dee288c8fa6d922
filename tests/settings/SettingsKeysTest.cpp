#include <gtest/gtest.h>

#include <string>

#include "settings/ConfigurationRules.h"
#include "settings/NumberField.h"
#include "settings/SettingsKeys.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::TempDir;
using test::WriteFile;

const NumberKey* const kNumberKeys[] = {&kPreferredHourKey, &kPreferredMinuteKey, &kDaysKeptKey};

class SettingsKeysTest : public ::testing::Test {
 protected:
  IniFile Load(const std::string& text) {
    WriteFile(dir_.path() + "/VARNOKET.INI", text);
    return IniFile(fs_, dir_.path() + "/VARNOKET.INI");
  }

  TempDir dir_;
  PosixFileSystem fs_;
};

TEST_F(SettingsKeysTest, TheDefaultFileIsTheDocumentedBytesAndReadsAsTheDeclaredDefaults) {
  const std::string& text = DefaultProgramSettingsText();
  EXPECT_EQ(text, "[PARAMS]\r\nRACINE=\r\nHEURE=13\r\nMINUTE=0\r\nMAXSAVE=30\r\n");
  EXPECT_EQ(text.size(), 51u);
  const IniFile ini = Load(text);
  EXPECT_EQ(ini.ReadString(kBackupRootKey.section, kBackupRootKey.name),
            std::optional<std::string>(kBackupRootKey.fallback));
  for (const NumberKey* key : kNumberKeys) {
    // Read raw, so a default the text and the declaration disagree on shows.
    EXPECT_EQ(ini.ReadString(key->section, key->name),
              std::optional<std::string>(std::to_string(key->fallback)))
        << key->name;
  }
  // The keys' values with nothing written are the same defaults.
  const IniFile empty = Load("");
  EXPECT_EQ(ReadKey(empty, kBackupRootKey), kBackupRootKey.fallback);
  EXPECT_EQ(ReadKey(empty, kLastBackupKey), "31/12/2002");
  for (const NumberKey* key : kNumberKeys) EXPECT_EQ(ReadKey(empty, *key), key->fallback);
}

TEST_F(SettingsKeysTest, ADefaultLiesWithinItsRangeAndAboveItsFloor) {
  for (const NumberKey* key : kNumberKeys) {
    EXPECT_LE(key->low, key->fallback) << key->name;
    EXPECT_LE(key->fallback, key->high) << key->name;
    EXPECT_LE(key->floor, key->low) << key->name;
    EXPECT_EQ(RaiseToFloor(*key, key->fallback), key->fallback) << key->name;
  }
}

TEST_F(SettingsKeysTest, ValuesReadOrTypedBelowTheFloorAreRaisedAndOthersKept) {
  const int floor = kDaysKeptKey.floor;
  EXPECT_EQ(
      ReadKey(Load("[PARAMS]\r\nMAXSAVE=" + std::to_string(floor - 1) + "\r\n"), kDaysKeptKey),
      floor);
  EXPECT_EQ(ReadKey(Load("[PARAMS]\r\nMAXSAVE=" + std::to_string(floor) + "\r\n"), kDaysKeptKey),
            floor);
  // No ceiling: a file may hold more days than a person may type.
  const int above = kDaysKeptKey.high + 1;
  EXPECT_EQ(ReadKey(Load("[PARAMS]\r\nMAXSAVE=" + std::to_string(above) + "\r\n"), kDaysKeptKey),
            above);
  // The hour and minute have no floor: a value out of range is read as is.
  EXPECT_EQ(ReadKey(Load("[PARAMS]\r\nHEURE=-4\r\nMINUTE=75\r\n"), kPreferredHourKey), -4);
  EXPECT_EQ(ReadKey(Load("[PARAMS]\r\nHEURE=-4\r\nMINUTE=75\r\n"), kPreferredMinuteKey), 75);

  ProgramSettings settings;
  EXPECT_TRUE(ApplyProgramSettings(settings, {"/r", "7", "5", std::to_string(floor - 1)}));
  EXPECT_EQ(settings.daysKept, floor);
  EXPECT_FALSE(ApplyProgramSettings(settings, {"/r", "7", "5", std::to_string(floor)}));
  EXPECT_EQ(settings.daysKept, floor);
}

TEST_F(SettingsKeysTest, EachFieldRefusesOutsideItsKeysRangeAndItsMessageNamesThatRange) {
  struct Field {
    const NumberFieldRule& rule;
    const NumberKey& key;
  };
  for (const Field& f : {Field{kDaysKeptRule, kDaysKeptKey}, Field{kHourRule, kPreferredHourKey},
                         Field{kMinuteRule, kPreferredMinuteKey}}) {
    const std::string range =
        "entre " + std::to_string(f.key.low) + " et " + std::to_string(f.key.high) + " !";
    EXPECT_NE(std::string(f.rule.message).find(range), std::string::npos) << f.key.name;
    EXPECT_TRUE(NumberFieldAccepts(f.rule, std::to_string(f.key.high))) << f.key.name;
    EXPECT_FALSE(NumberFieldAccepts(f.rule, std::to_string(f.key.high + 1))) << f.key.name;
    EXPECT_TRUE(NumberFieldAccepts(f.rule, std::to_string(f.key.low))) << f.key.name;
  }
}

}  // namespace
}  // namespace varnoket
