// varnoket-cli as a person reads it on a terminal: run under the test's
// locale (CTest sets LANG), every line a command prints is in the language
// the run expects. Paths, days and counts say nothing of a language; the
// words around them do.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "ShownLanguage.h"
#include "cli/StoreCliFixture.h"

namespace varnoket {
namespace {

using test::CliOutput;
using test::Either;
using test::ExpectShownInLanguage;

class CliLanguageTest : public test::StoreCliFixture {
 protected:
  // Two days: a file, then the file changed and another added.
  void SetUp() override {
    test::WriteFile(src + "/a.txt", "a");
    BackUpAs("01032026");
    test::WriteFile(src + "/a.txt", "aa");
    test::WriteFile(src + "/b.txt", "b");
    BackUpAs("02032026");
  }

  // Every line `args` prints, on either output, read as shown.
  CliOutput ExpectPrintedInLanguage(const std::string& args, int code) {
    const CliOutput r = Cli(args);
    EXPECT_EQ(r.code, code) << args << "\n" << r.out;
    EXPECT_FALSE(r.out.empty()) << args;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
      // A line of days, counts or paths alone is in no language.
      if (test::LooksFrench(line) || test::LooksEnglish(line) ||
          line.find(' ') != std::string::npos)
        ExpectShownInLanguage(line, args);
    }
    return r;
  }
};

TEST_F(CliLanguageTest, TheHistoryCommandsReportInTheLanguage) {
  ExpectPrintedInLanguage("versions " + src + "/a.txt", 0);
  const CliOutput found = ExpectPrintedInLanguage("find '*.txt'", 0);
  EXPECT_NE(found.out.find(Either("fichier(s) trouvé(s)", "file(s) found")), std::string::npos);
  const CliOutput changes = ExpectPrintedInLanguage("changes 02/03/2026", 0);
  EXPECT_NE(changes.out.find(Either("Modifié   ", "Modified  ") + src + "/a.txt"),
            std::string::npos)
      << changes.out;
  ExpectPrintedInLanguage("changes 01/03/2026", 0);
  ExpectPrintedInLanguage("verify", 0);
  // Its days stay day first under every locale: they are typed back as DAY.
  EXPECT_EQ(ExpectPrintedInLanguage("days", 0).out, "01/03/2026\n02/03/2026\n");
  const CliOutput status = ExpectPrintedInLanguage("status", 0);
  EXPECT_NE(status.out.find(" 02/03/2026 "), std::string::npos) << status.out;
}

TEST_F(CliLanguageTest, ARestoreAndABackupReportInTheLanguage) {
  ExpectPrintedInLanguage("restore 02/03/2026 --to " + test::Quoted(tmp / "dest"), 0);
  test::WriteFile(src + "/c.txt", "c");
  const CliOutput backup = ExpectPrintedInLanguage("backup", 0);
  EXPECT_NE(backup.out.find(Either("Fin de la sauvegarde !", "End of the backup!")),
            std::string::npos)
      << backup.out;
}

TEST_F(CliLanguageTest, TheBackupSetCommandsAndTheirRefusalsAreInTheLanguage) {
  ExpectPrintedInLanguage("config", 0);
  ExpectPrintedInLanguage("hidden-folders on", 0);
  ExpectPrintedInLanguage("exclude '*.tmp'", 0);
  ExpectPrintedInLanguage("include '*.none'", 1);
  ExpectPrintedInLanguage("remove " + test::Quoted(tmp / "elsewhere"), 1);
  ExpectPrintedInLanguage("config days many", 1);
}

TEST_F(CliLanguageTest, AWrongCommandLineIsSaidInTheLanguage) {
  // The problem comes first; the usage below it is a list of options.
  for (const char* args : {"versions", "frobnicate", "restore", "days now"}) {
    const CliOutput r = Cli(args);
    EXPECT_EQ(r.code, 2) << args;
    ExpectShownInLanguage(r.out.substr(0, r.out.find('\n')), args);
  }
}

}  // namespace
}  // namespace varnoket
