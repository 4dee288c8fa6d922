// The start-up checks on their own, with a recording host and real folders:
// which boxes come in which order, what the window is asked to do, and when
// the checks pass, must run again, or stop.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/StartupChecks.h"
#include "settings/StoreMarker.h"
#include "support/FakeDialogs.h"
#include "support/KeptDay.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

// Records the window's part as words, in order.
class RecordingStartupHost : public StartupHost {
 public:
  std::string ConfiguredRoot() const override { return root; }
  void OpenConfiguration() override {
    events.push_back("configure");
    if (configure) configure();
  }
  void EndProgramNow() override { events.push_back("end"); }
  void ShowBackupSet() override { events.push_back("lists"); }
  void DirectoryListChanged() override { events.push_back("directories"); }
  std::string RecordedStoreId() const override { return storeId; }
  void StoreAbsent(const std::string& text) override { events.push_back("absent: " + text); }

  std::string root;
  std::string storeId;
  std::function<void()> configure;
  std::vector<std::string> events;
};

class StartupCheckOrderTest : public ::testing::Test {
 protected:
  StartupCheckOrderTest() : base_(fsys::canonical(dir_.path()).string()) {
    fsys::create_directories(base_ + "/store");
    MarkStore(DefaultFileSystem(), base_ + "/store");
    setup_.programPath = base_ + "/prog/varnoket";
    setup_.stationName = "POSTE1";
    setup_.autostart = {base_ + "/xdg/autostart", base_ + "/home/.config/autostart"};
    setup_.masterStation = true;
  }

  StartupOutcome Run() {
    checks_ = std::make_unique<StartupChecks>(DefaultFileSystem(), dialogs_, host_, setup_);
    return checks_->Run(station_);
  }

  std::string StationIni() const { return base_ + "/store/POSTE1/POSTE1.ini"; }

  TempDir dir_;
  std::string base_;
  StartupSetup setup_;
  FakeDialogs dialogs_;
  RecordingStartupHost host_;
  StationSettings station_;
  std::unique_ptr<StartupChecks> checks_;
};

TEST_F(StartupCheckOrderTest, AMasterWithoutRootIsSentToTheConfigurationAndRetriesUntilOneIsSet) {
  EXPECT_EQ(Run(), StartupOutcome::kRetry);
  EXPECT_EQ(host_.events, std::vector<std::string>{"configure"});
  ASSERT_EQ(dialogs_.Count(DialogKind::Warning), 1u);
  EXPECT_EQ(dialogs_.Texts(DialogKind::Warning)[0].rfind("ATTENTION : \r\nLe répertoire", 0), 0u);

  // The configuration chooses a root: the checks go on at once.
  host_.events.clear();
  host_.configure = [this] { host_.root = base_ + "/store"; };
  EXPECT_EQ(Run(), StartupOutcome::kPassed);
  EXPECT_EQ(host_.events, (std::vector<std::string>{"configure", "lists"}));
  EXPECT_TRUE(fsys::exists(StationIni()));
  EXPECT_EQ(station_.lastBackupDate, KeptDay("31/12/2002"));
}

TEST_F(StartupCheckOrderTest, ANetworkCopyWithoutRootEndsWithoutOfferingTheConfiguration) {
  setup_.masterStation = false;
  EXPECT_EQ(Run(), StartupOutcome::kStopped);
  EXPECT_EQ(host_.events, std::vector<std::string>{"end"});
  ASSERT_EQ(dialogs_.Count(DialogKind::Error), 1u);
  EXPECT_NE(dialogs_.Texts(DialogKind::Error)[0].find("Le programme va se terminer ..."),
            std::string::npos);
}

TEST_F(StartupCheckOrderTest, ARootThatCannotBeWrittenRetriesOnAMasterAndEndsANetworkCopy) {
  // The write test's file cannot be made: a folder holds its name.
  fsys::create_directories(base_ + "/store/_temp_.txt/blocker");
  host_.root = base_ + "/store";
  EXPECT_EQ(Run(), StartupOutcome::kRetry);
  EXPECT_EQ(dialogs_.Count(DialogKind::Error), 1u);
  EXPECT_TRUE(host_.events.empty());

  dialogs_.Clear();
  setup_.masterStation = false;
  EXPECT_EQ(Run(), StartupOutcome::kStopped);
  const auto errors = dialogs_.Texts(DialogKind::Error);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[1].rfind("Le programme va se terminer ... \r\n", 0), 0u);
  EXPECT_EQ(host_.events, std::vector<std::string>{"end"});
}

TEST_F(StartupCheckOrderTest, TheStartupEntryGoesToTheSystemFolderWhenWritableAndIsReportedOnce) {
  host_.root = base_ + "/store";
  fsys::create_directories(setup_.autostart.system);
  EXPECT_EQ(Run(), StartupOutcome::kPassed);
  const std::string entry = ReadFile(setup_.autostart.system + "/varnoket.desktop");
  EXPECT_NE(entry.find(setup_.programPath), std::string::npos);
  EXPECT_NE(entry.find("\nName=Varnoket\n"), std::string::npos);
  EXPECT_EQ(entry.find("Quendralith"), std::string::npos);
  EXPECT_EQ(checks_->StartupFolder(), setup_.autostart.system);
  EXPECT_FALSE(fsys::exists(setup_.autostart.user));

  // An entry that cannot be written is said once; the station file is still
  // loaded.
  fsys::remove(setup_.autostart.system + "/varnoket.desktop");
  fsys::create_directories(setup_.autostart.system + "/varnoket.desktop/blocker");
  fsys::remove(StationIni());
  EXPECT_EQ(Run(), StartupOutcome::kPassed);
  EXPECT_EQ(dialogs_.Texts(DialogKind::Error),
            std::vector<std::string>{"Unable to create .lnk file"});
  EXPECT_TRUE(fsys::exists(StationIni()));
}

TEST_F(StartupCheckOrderTest, OnlyTheInstalledProgramNameWritesAStartupEntry) {
  host_.root = base_ + "/store";
  setup_.programPath = base_ + "/prog/varnoket-test";
  EXPECT_EQ(Run(), StartupOutcome::kPassed);
  EXPECT_FALSE(fsys::exists(setup_.autostart.user + "/varnoket.desktop"));
  EXPECT_EQ(checks_->StartupFolder(), "");
  EXPECT_TRUE(fsys::exists(StationIni()));
}

TEST_F(StartupCheckOrderTest, NoStartupFolderStopsTheChecksBeforeTheBackupSetIsLoaded) {
  host_.root = base_ + "/store";
  test::WriteFile(base_ + "/home/.config", "not a folder");
  EXPECT_EQ(Run(), StartupOutcome::kStopped);
  EXPECT_EQ(dialogs_.Texts(DialogKind::Error),
            std::vector<std::string>{
                "Impossible de trouver un répertoire de démarrage pour créer le raccourci !"});
  EXPECT_FALSE(fsys::exists(StationIni()));
  EXPECT_TRUE(host_.events.empty());
}

TEST_F(StartupCheckOrderTest, AnotherMachinesStationIsShownEmptyAndStopsTheChecks) {
  host_.root = base_ + "/store";
  test::WriteFile(base_ + "/store/POSTE1/MACHINE.ID",
                  "machine=0123456789abcdef0123456789abcdef\r\nhost=ancien\r\n");
  test::WriteFile(StationIni(), "[PARAMS]\r\nLASTBACKUP=09/03/2026\r\n[DIRECTORIES]\r\nD1=/x\r\n");
  EXPECT_EQ(Run(), StartupOutcome::kStopped);
  ASSERT_EQ(dialogs_.Count(DialogKind::Error), 1u);
  EXPECT_NE(dialogs_.Texts(DialogKind::Error)[0].find("appartient à une autre machine"),
            std::string::npos);
  EXPECT_EQ(host_.events, std::vector<std::string>{"lists"});
  EXPECT_TRUE(station_.directories.empty());
}

TEST_F(StartupCheckOrderTest, ADirectoryHoldingTheRootIsDroppedSavedAndShown) {
  host_.root = base_ + "/store";
  fsys::create_directories(base_ + "/docs");
  test::WriteFile(StationIni(), "[PARAMS]\r\nLASTBACKUP=5/3/2026\r\n[DIRECTORIES]\r\nD1=" + base_ +
                                    "/docs\r\nD2=" + base_ + "\r\n");
  EXPECT_EQ(Run(), StartupOutcome::kPassed);
  EXPECT_EQ(
      dialogs_.Texts(DialogKind::Warning),
      std::vector<std::string>{"Le dossier à sauvegarder (" + base_ +
                               ") est un dossier parent du répertoire de sauvegardes (" + base_ +
                               "/store) ce qui est interdit ! Il va donc être "
                               "supprimé de la liste."});
  EXPECT_EQ(host_.events, (std::vector<std::string>{"lists", "directories"}));
  EXPECT_EQ(station_.directories, std::vector<std::string>{base_ + "/docs"});
  const std::string ini = ReadFile(StationIni());
  EXPECT_NE(ini.find("D1=" + base_ + "/docs\r\n"), std::string::npos);
  EXPECT_EQ(ini.find("D2="), std::string::npos);
  // The date is normalised once the checks are through.
  EXPECT_EQ(station_.lastBackupDate, KeptDay("05/03/2026"));
}

TEST_F(StartupCheckOrderTest, AnAbsentDiskIsSaidAndNothingIsWrittenOrShown) {
  // The empty folder an unplugged disk leaves, and no folder at all.
  fsys::create_directories(base_ + "/media/disk");
  for (const std::string& root : {base_ + "/media/disk", base_ + "/media/gone"}) {
    host_.root = root;
    host_.events.clear();
    EXPECT_EQ(Run(), StartupOutcome::kStoreAbsent);
    EXPECT_EQ(host_.events,
              std::vector<std::string>{"absent: Disque de sauvegarde absent (" + root + ")"});
    EXPECT_TRUE(dialogs_.calls().empty());
    EXPECT_FALSE(station_.lastBackupDate.has_value());
  }
  EXPECT_TRUE(fsys::is_empty(base_ + "/media/disk"));
  EXPECT_FALSE(fsys::exists(base_ + "/media/gone"));
  EXPECT_FALSE(fsys::exists(setup_.autostart.user + "/varnoket.desktop"));

  // Another store's disk where this one was recorded.
  host_.root = base_ + "/store";
  host_.storeId = "00000000000000000000000000000001";
  host_.events.clear();
  EXPECT_EQ(Run(), StartupOutcome::kStoreAbsent);
  ASSERT_EQ(host_.events.size(), 1u);
  EXPECT_NE(host_.events[0].find("porte une autre sauvegarde"), std::string::npos);
  EXPECT_FALSE(fsys::exists(StationIni()));

  // The recorded disk: the checks pass and the set is loaded.
  host_.storeId = ReadStoreMarker(DefaultFileSystem(), base_ + "/store")->id;
  EXPECT_EQ(Run(), StartupOutcome::kPassed);
  EXPECT_TRUE(fsys::exists(StationIni()));
}

}  // namespace
}  // namespace varnoket::test
