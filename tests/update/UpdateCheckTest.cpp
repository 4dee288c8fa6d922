// The update logic of the scheduler tick, against a folder that plays the
// update server, a still clock and recorded process actions.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "support/TempDir.h"
#include "update/Signature.h"
#include "update/UpdateCheck.h"

namespace varnoket {
namespace {

namespace fs = std::filesystem;

constexpr const char* kServer = "http://updates.test/";

LocalDateTime DateOn(int year, int month, int day) {
  LocalDateTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = 10;
  return t;
}

// Enough of an ELF header for the executable test.
std::string ProgramBytes(const std::string& tag) {
  std::string h =
      "\x7f"
      "ELF\x02\x01\x01";
  h.resize(16, '\0');
  h += std::string("\x02\x00", 2);
  h.resize(64, '\0');
  return h + tag;
}

struct FetchCall {
  std::string url;
  std::string fileName;
  bool binary;
};

struct StartCall {
  std::string program;
  bool minimised;
};

// The fixture is the check's host: it records what the check asks for.
class UpdateCheckTest : public ::testing::Test, public UpdateHost {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(MakeKeyPair(publicKey_, secretKey_));
    ASSERT_TRUE(MakeKeyPair(otherPublicKey_, otherSecretKey_));
  }

  void SetUp() override {
    fs::create_directories(programFolder_);
    fs::create_directories(server_);
    env_.programPath = programFolder_ + "/varnoket";
    env_.programFolder = programFolder_;
    env_.versionUrl = std::string(kServer) + "freeversion.ver";
    env_.publicKeyHex = publicKey_;
    state_.currentVersion = "1.13";
  }

  // UpdateHost
  bool IsOnline() override { return online_; }
  bool Fetch(const std::string& url, const std::string& fileName, bool binary) override {
    fetches_.push_back({url, fileName, binary});
    if (url.rfind(kServer, 0) != 0 || failing_.count(url) != 0) return false;
    const std::string source = server_ + "/" + url.substr(std::string(kServer).size());
    std::error_code error;
    return fs::is_regular_file(source) &&
           fs::copy_file(source, fileName, fs::copy_options::overwrite_existing, error);
  }
  void ProcessMessages() override { ++pumps_; }
  bool StartProgram(const std::string& program, bool minimised) override {
    starts_.push_back({program, minimised});
    return startWorks_;
  }
  void EndProcess() override { ++ends_; }
  void ShowError(const std::string& text) override { errors_.push_back(text); }
  void SetTrayImage(int image) override { trayImages_.push_back(image); }
  void StartTimer() override { ++timerStarts_; }

  // Puts a file on the server, with its signature unless told otherwise.
  void Publish(const std::string& name, const std::string& contents, bool sign = true) {
    test::WriteFile(server_ + "/" + name, contents);
    if (!sign) return;
    std::string signature;
    ASSERT_TRUE(SignFile(server_ + "/" + name, secretKey_, signature));
    test::WriteFile(server_ + "/" + name + ".sig", signature);
  }
  void PublishVersionFile(const std::string& text) {
    test::WriteFile(server_ + "/freeversion.ver", text);
  }
  // A release 1.14 of a program and one data file.
  void PublishRelease() {
    Publish("prog", ProgramBytes("new program"));
    Publish("data", "help text");
    PublishVersionFile(std::string("1.14\r\n") + kServer + "prog\r\n" + kServer + "data\r\n");
  }

  UpdateTickResult Tick(bool master = true) { return RunUpdateTick(env_, state_, master); }
  int Today() const { return UpdateCheckDay(clock_.Now()); }
  std::string Upload(const std::string& name) const { return programFolder_ + "/upload/" + name; }
  // The attempt ended with `message` in the error window, for today.
  void ExpectFailedWith(UpdateTickResult result, const std::string& message) {
    EXPECT_EQ(result, UpdateTickResult::kStopTick);
    EXPECT_EQ(errors_, std::vector<std::string>{message});
    EXPECT_EQ(timerStarts_, 1);
    EXPECT_EQ(state_.lastUpdateCheck, Today());
    EXPECT_EQ(trayImages_, (std::vector<int>{1, 0}));
    EXPECT_TRUE(starts_.empty());
    EXPECT_EQ(ends_, 0);
  }
  size_t FetchesOf(const std::string& url) const {
    size_t n = 0;
    for (const FetchCall& f : fetches_) n += f.url == url;
    return n;
  }

  static inline std::string publicKey_, secretKey_, otherPublicKey_, otherSecretKey_;
  static constexpr const char* kBadSignature =
      "La signature de la mise à jour téléchargée est incorrecte. Mise à jour interrompue !";

  test::TempDir dir_;
  std::string programFolder_ = dir_ / "prog";
  std::string server_ = dir_ / "server";
  PosixFileSystem fileSystem_;
  ManualClock clock_{DateOn(2024, 3, 15)};
  UpdateEnv env_{fileSystem_, clock_, *this};
  UpdateState state_;

  bool online_ = true;
  bool startWorks_ = true;
  std::set<std::string> failing_;
  std::vector<FetchCall> fetches_;
  std::vector<StartCall> starts_;
  std::vector<std::string> errors_;
  std::vector<int> trayImages_;
  int pumps_ = 0;
  int ends_ = 0;
  int timerStarts_ = 0;
};

TEST(UpdateCheckDay, CountsDaysFromTheEndOf1899) {
  EXPECT_EQ(UpdateCheckDay(DateOn(1899, 12, 30)), 0);
  EXPECT_EQ(UpdateCheckDay(DateOn(1900, 1, 1)), 2);
  EXPECT_EQ(UpdateCheckDay(DateOn(2024, 3, 15)), 45366);
  EXPECT_EQ(UpdateCheckDay(DateOn(2024, 3, 1)) - UpdateCheckDay(DateOn(2024, 2, 28)),
            2);  // leap year
}

TEST_F(UpdateCheckTest, TheSameVersionDownloadsNothingAndEndsTheDay) {
  for (const char* line : {"1.13", "  1,13 \t", "1,13"}) {
    fetches_.clear();
    trayImages_.clear();
    state_.lastUpdateCheck = 0;
    PublishVersionFile(std::string(line) + "\r\n" + kServer + "prog\r\n");
    EXPECT_EQ(Tick(), UpdateTickResult::kGoOn) << line;
    ASSERT_EQ(fetches_.size(), 1u) << line;
    EXPECT_EQ(fetches_[0].url, env_.versionUrl);
    EXPECT_EQ(fetches_[0].fileName, programFolder_ + "/varnoket.ver");
    EXPECT_FALSE(fetches_[0].binary);
    EXPECT_FALSE(fs::exists(programFolder_ + "/varnoket.ver")) << "the version file is removed";
    EXPECT_EQ(state_.lastUpdateCheck, Today());
    EXPECT_EQ(trayImages_, (std::vector<int>{1, 0}));
  }
  EXPECT_TRUE(errors_.empty());
  EXPECT_TRUE(starts_.empty());
  EXPECT_FALSE(fs::exists(programFolder_ + "/upload"));
}

TEST_F(UpdateCheckTest, TheRunningVersionIsComparedWithDotsForCommas) {
  state_.currentVersion = "1,13";
  PublishVersionFile(std::string("1.13\n") + kServer + "prog\n");
  EXPECT_EQ(Tick(), UpdateTickResult::kGoOn);
  EXPECT_EQ(state_.currentVersion, "1.13");
  EXPECT_EQ(fetches_.size(), 1u);
}

TEST_F(UpdateCheckTest, ANewReleaseIsDownloadedVerifiedAndStartedMinimised) {
  PublishRelease();
  EXPECT_EQ(Tick(), UpdateTickResult::kProcessEnded);

  EXPECT_EQ(test::ReadFile(Upload("_FILE1.exe")), ProgramBytes("new program"));
  EXPECT_EQ(test::ReadFile(Upload("_FILE2")), "help text");
  ASSERT_EQ(fetches_.size(), 5u);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {std::string(kServer) + "prog", Upload("_FILE1.exe")},
      {std::string(kServer) + "prog.sig", Upload("_FILE1.exe.sig")},
      {std::string(kServer) + "data", Upload("_FILE2")},
      {std::string(kServer) + "data.sig", Upload("_FILE2.sig")}};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(fetches_[i + 1].url, expected[i].first);
    EXPECT_EQ(fetches_[i + 1].fileName, expected[i].second);
    EXPECT_TRUE(fetches_[i + 1].binary) << "release files follow the strict length rule";
  }
  EXPECT_EQ(pumps_, 2) << "queued messages run once before each file";

  ASSERT_EQ(starts_.size(), 1u);
  EXPECT_EQ(starts_[0].program, Upload("_FILE1.exe"));
  EXPECT_TRUE(starts_[0].minimised);
  EXPECT_EQ(ends_, 1);
  struct stat st {};
  ASSERT_EQ(::stat(Upload("_FILE1.exe").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  EXPECT_TRUE(errors_.empty());
  EXPECT_EQ(timerStarts_, 0);
}

TEST_F(UpdateCheckTest, AnyOtherVersionUpdatesEvenAnOlderOneOrWhenNoneIsKnown) {
  Publish("prog", ProgramBytes("old"));
  PublishVersionFile(std::string("1.12\n") + kServer + "prog");
  EXPECT_EQ(Tick(), UpdateTickResult::kProcessEnded);
  EXPECT_EQ(starts_.size(), 1u);

  state_.lastUpdateCheck = 0;
  state_.currentVersion = "";
  PublishVersionFile(std::string("1.13\n") + kServer + "prog");
  EXPECT_EQ(Tick(), UpdateTickResult::kProcessEnded);
  EXPECT_EQ(starts_.size(), 2u);
}

TEST_F(UpdateCheckTest, AVersionFileOfOneLineIsRefused) {
  PublishVersionFile("1.14\r\n");
  ExpectFailedWith(Tick(), "Le fichier de version téléchargé est incorrect !");
  EXPECT_FALSE(fs::exists(programFolder_ + "/varnoket.ver"));
  EXPECT_EQ(fetches_.size(), 1u);
}

TEST_F(UpdateCheckTest, AFailedOrEmptyVersionDownloadEndsTheDayQuietly) {
  // Nothing published: the transfer fails.
  EXPECT_EQ(Tick(), UpdateTickResult::kGoOn);
  EXPECT_EQ(state_.lastUpdateCheck, Today());
  EXPECT_EQ(trayImages_, (std::vector<int>{1, 0}));

  state_.lastUpdateCheck = 0;
  PublishVersionFile("");
  EXPECT_EQ(Tick(), UpdateTickResult::kGoOn);
  EXPECT_EQ(state_.lastUpdateCheck, Today());
  EXPECT_TRUE(errors_.empty());
  EXPECT_EQ(timerStarts_, 0);
  EXPECT_FALSE(fs::exists(programFolder_ + "/varnoket.ver"));
}

TEST_F(UpdateCheckTest, OffLineNothingHappensAndTheNextTickTriesAgain) {
  PublishRelease();
  online_ = false;
  EXPECT_EQ(Tick(), UpdateTickResult::kGoOn);
  EXPECT_TRUE(fetches_.empty());
  EXPECT_TRUE(trayImages_.empty());
  EXPECT_EQ(state_.lastUpdateCheck, 0);

  online_ = true;
  EXPECT_EQ(Tick(), UpdateTickResult::kProcessEnded);
}

TEST_F(UpdateCheckTest, OneCheckPerDay) {
  PublishVersionFile(std::string("1.13\n") + kServer + "prog\n");
  Tick();
  Tick();
  EXPECT_EQ(FetchesOf(env_.versionUrl), 1u);
  clock_.Set(DateOn(2024, 3, 16));
  Tick();
  EXPECT_EQ(FetchesOf(env_.versionUrl), 2u);
  EXPECT_EQ(state_.lastUpdateCheck, UpdateCheckDay(DateOn(2024, 3, 16)));
}

TEST_F(UpdateCheckTest, AFailedFileTransferNamesItsAddressAndStopsTheRest) {
  Publish("prog", ProgramBytes("p"));
  Publish("data", "d");
  PublishVersionFile(std::string("1.14\n") + kServer + "prog\n\n" + kServer + "data\n");
  ExpectFailedWith(Tick(), "Impossible de télécharger (). Mise à jour interrompue !");
  EXPECT_TRUE(fs::exists(Upload("_FILE1.exe"))) << "files received so far stay";
  EXPECT_FALSE(fs::exists(Upload("_FILE3")));
  EXPECT_EQ(FetchesOf(std::string(kServer) + "data"), 0u);

  errors_.clear();
  timerStarts_ = 0;
  trayImages_.clear();
  state_.lastUpdateCheck = 0;
  PublishRelease();
  failing_.insert(std::string(kServer) + "data");
  ExpectFailedWith(Tick(), std::string("Impossible de télécharger (") + kServer +
                               "data). Mise à jour interrompue !");
}

TEST_F(UpdateCheckTest, ADownloadFolderThatCannotBeMadeStopsTheUpdate) {
  PublishRelease();
  test::WriteFile(programFolder_ + "/upload", "a file in the way");
  ExpectFailedWith(Tick(),
                   "Impossible de créer le répertoire temporaire (" + programFolder_ + "/upload).");
  EXPECT_EQ(fetches_.size(), 1u);
}

TEST_F(UpdateCheckTest, AFirstFileThatIsNoProgramIsNotStarted) {
  Publish("prog", "<html>not found</html>");
  PublishVersionFile(std::string("1.14\n") + kServer + "prog\n");
  ExpectFailedWith(Tick(),
                   "Le premier fichier de la mise à jour téléchargé n'est pas un exécutable. "
                   "Mise à jour interrompue !");
}

TEST_F(UpdateCheckTest, AMissingSignatureStopsTheUpdate) {
  Publish("prog", ProgramBytes("p"));
  Publish("data", "d", /*sign=*/false);
  PublishVersionFile(std::string("1.14\n") + kServer + "prog\n" + kServer + "data\n");
  ExpectFailedWith(Tick(), kBadSignature);
  EXPECT_EQ(FetchesOf(std::string(kServer) + "data.sig"), 1u);
}

TEST_F(UpdateCheckTest, ASignatureByAnotherKeyStopsTheUpdate) {
  PublishRelease();
  env_.publicKeyHex = otherPublicKey_;
  ExpectFailedWith(Tick(), kBadSignature);
}

TEST_F(UpdateCheckTest, AFileChangedAfterSigningStopsTheUpdate) {
  PublishRelease();
  test::WriteFile(server_ + "/data", "help text, changed on the way");
  ExpectFailedWith(Tick(), kBadSignature);
}

TEST_F(UpdateCheckTest, WithoutAUsableKeyNothingIsDownloaded) {
  for (const std::string& key : {std::string(), publicKey_.substr(2), std::string(64, 'z')}) {
    errors_.clear();
    fetches_.clear();
    trayImages_.clear();
    timerStarts_ = 0;
    state_.lastUpdateCheck = 0;
    env_.publicKeyHex = key;
    PublishRelease();
    ExpectFailedWith(Tick(), kBadSignature);
    EXPECT_EQ(fetches_.size(), 1u) << "only the version file";
  }
}

TEST_F(UpdateCheckTest, AProgramThatCannotBeStartedKeepsThisOneRunning) {
  PublishRelease();
  startWorks_ = false;
  EXPECT_EQ(Tick(), UpdateTickResult::kStopTick);
  EXPECT_EQ(errors_,
            std::vector<std::string>{"Impossible de lancer la mise à jour téléchargée (" +
                                     Upload("_FILE1.exe") + "). Mise à jour interrompue !"});
  EXPECT_EQ(ends_, 0);
  EXPECT_EQ(timerStarts_, 1);
}

TEST_F(UpdateCheckTest, ANetworkCopyHandsOverWhenTheExchangeFileAppears) {
  PublishRelease();
  EXPECT_EQ(Tick(/*master=*/false), UpdateTickResult::kGoOn);
  EXPECT_TRUE(starts_.empty());
  EXPECT_TRUE(fetches_.empty()) << "only the owning copy asks the server";

  test::WriteFile(programFolder_ + "/__newver.$$$", "");
  EXPECT_EQ(Tick(/*master=*/false), UpdateTickResult::kProcessEnded);
  ASSERT_EQ(starts_.size(), 1u);
  EXPECT_EQ(starts_[0].program, Upload("_FILE1.exe"));
  EXPECT_TRUE(starts_[0].minimised);
  EXPECT_EQ(ends_, 1);
  EXPECT_TRUE(fetches_.empty());
  EXPECT_EQ(state_.lastUpdateCheck, 0) << "the test runs at every tick";
}

TEST_F(UpdateCheckTest, ANetworkCopyThatCannotStartTheUpdateKeepsRunning) {
  test::WriteFile(programFolder_ + "/__newver.$$$", "");
  startWorks_ = false;
  EXPECT_EQ(Tick(/*master=*/false), UpdateTickResult::kGoOn);
  EXPECT_EQ(Tick(/*master=*/false), UpdateTickResult::kGoOn);
  EXPECT_EQ(starts_.size(), 2u) << "tried again at the next tick";
  EXPECT_EQ(ends_, 0);
}

TEST_F(UpdateCheckTest, TheExchangeFileIsIgnoredByTheOwnerAndByTheUpdateProgram) {
  test::WriteFile(programFolder_ + "/__newver.$$$", "");
  online_ = false;
  EXPECT_EQ(Tick(/*master=*/true), UpdateTickResult::kGoOn);
  EXPECT_TRUE(starts_.empty());

  for (const char* name : {"_FILE1.EXE", "_file1.exe", "_FILE1.exe"}) {
    env_.programPath = programFolder_ + "/" + name;
    EXPECT_EQ(Tick(/*master=*/false), UpdateTickResult::kGoOn) << name;
  }
  EXPECT_TRUE(starts_.empty());

  env_.programPath = programFolder_ + "/_FILE2";
  EXPECT_EQ(Tick(/*master=*/false), UpdateTickResult::kProcessEnded);
}

}  // namespace
}  // namespace varnoket
