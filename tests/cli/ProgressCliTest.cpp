// The progress line: its text, how it shares the terminal with report lines,
// and the tool on a real pseudo-terminal against the same tool in a pipe.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <sstream>
#include <vector>

#include "cli/CliRunner.h"
#include "cli/ProgressLine.h"
#include "platform/Clock.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

TEST(ProgressText, CountsThenRateAndTimeLeftOnceThereIsSomethingToMeasure) {
  ProgressCounts c{0, 10, 0, 1024 * 1024};
  EXPECT_EQ(ProgressText(c, 0), "Fichiers 0/10  0 o/1,0 Mo");
  EXPECT_EQ(ProgressText(c, 5), "Fichiers 0/10  0 o/1,0 Mo");  // nothing done: no guess
  c = {5, 10, 512 * 1024, 1024 * 1024};
  EXPECT_EQ(ProgressText(c, 0.5), "Fichiers 5/10  512 Ko/1,0 Mo");  // too early to tell
  EXPECT_EQ(ProgressText(c, 2), "Fichiers 5/10  512 Ko/1,0 Mo  256 Ko/s  reste 2 s");
  c = {10, 10, 3LL << 30, 3LL << 30};
  EXPECT_EQ(ProgressText(c, 200), "Fichiers 10/10  3,0 Go/3,0 Go  15,4 Mo/s  reste 0 s");
  c = {1, 4, 10LL << 20, 610LL << 20};
  EXPECT_EQ(ProgressText(c, 10), "Fichiers 1/4  10,0 Mo/610 Mo  1,0 Mo/s  reste 10 min 00 s");
}

TEST(ProgressLine, ReportLinesScrollAboveTheLineWhichIsRedrawnInPlace) {
  std::ostringstream out;
  {
    ProgressLine line(out, true, 20);
    line.Update({1, 2, 0, 0}, true);
    line.Update({2, 2, 0, 0});  // within a tenth of a second: not drawn
    line.Print("Début de la sauvegarde ...");
    line.Show("Préparation de (/home/quelqu'un)");
  }  // the line goes with the object
  EXPECT_EQ(out.str(),
            "\rFichiers 1/2  0 o/0\x1b[K"
            "\r\x1b[KDébut de la sauvegarde ...\n"
            "\rFichiers 1/2  0 o/0\x1b[K"
            // Cut to the width less one column, never inside a character.
            "\rPréparation de (/ho\x1b[K"
            "\r\x1b[K");

  std::ostringstream piped;
  {
    ProgressLine line(piped, false, 20);
    line.Update({1, 2, 0, 0}, true);
    line.Show("Préparation");
    line.Print("Début de la sauvegarde ...");
    line.Clear();
  }
  EXPECT_EQ(piped.str(), "Début de la sauvegarde ...\n");
}

// Runs the tool on a pseudo-terminal 100 columns wide; everything it wrote
// to the terminal, and its exit code.
CliOutput RunOnTerminal(const std::vector<std::string>& args) {
  CliOutput r;
  winsize size{};
  size.ws_row = 24;
  size.ws_col = 100;
  int master = -1;
  const pid_t child = ::forkpty(&master, nullptr, nullptr, &size);
  if (child < 0) return r;
  if (child == 0) {
    std::vector<char*> argv{const_cast<char*>(VARNOKET_CLI_PATH)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(VARNOKET_CLI_PATH, argv.data());
    ::_exit(127);
  }
  char buffer[4096];
  while (true) {
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n > 0) {
      r.out.append(buffer, static_cast<size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // EIO once the child has closed the terminal
    }
  }
  ::close(master);
  int status = 0;
  ::waitpid(child, &status, 0);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

TEST(ProgressCli, ATerminalGetsOneLineRewrittenInPlaceAPipeGetsPlainLines) {
  TempDir tmp;
  fsys::create_directories(tmp / "prog");
  fsys::create_directories(tmp / "store");
  for (int i = 0; i < 3; ++i) {
    // One size for all (the bytes done do not depend on the scan's order),
    // three contents (twins would be stored once).
    WriteFile(tmp / ("src/f" + std::to_string(i)), std::string(80000, static_cast<char>('a' + i)));
  }
  const std::string prog = "--program-folder " + Quoted(tmp / "prog") + " --station PC ";
  ASSERT_EQ(RunTool(prog + "config store " + Quoted(tmp / "store")).code, 0);
  // Written directly: the window's fixed-disk rule for `add` is not the point.
  WriteFile(tmp / "store/PC/PC.ini",
            "[PARAMS]\r\nLASTBACKUP=31/12/2002\r\n[DIRECTORIES]\r\nD1=" + (tmp / "src") + "\r\n");

  const std::vector<std::string> base{"--program-folder", tmp / "prog", "--station", "PC"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> all = base;
    all.insert(all.end(), more.begin(), more.end());
    return all;
  };
  const CliOutput backup = RunOnTerminal(with({"backup"}));
  ASSERT_EQ(backup.code, 0) << backup.out;
  // The terminal turns each "\n" into "\r\n".
  // The counts start at nothing done and end with every byte read.
  EXPECT_NE(backup.out.find("\rFichiers 0/3  0 o/234 Ko"), std::string::npos) << backup.out;
  EXPECT_NE(backup.out.find("\rFichiers 3/3  234 Ko/234 Ko"), std::string::npos) << backup.out;
  EXPECT_NE(backup.out.find("\r\x1b[KFin de la sauvegarde !\r\n"), std::string::npos) << backup.out;
  // The line is gone when the tool ends.
  EXPECT_EQ(backup.out.rfind("\r\x1b[K"), backup.out.size() - 4) << backup.out;

  const LocalDateTime now = SystemClock().Now();
  char today[16];
  std::snprintf(today, sizeof today, "%02d/%02d/%04d", now.day, now.month, now.year);
  const CliOutput restore = RunOnTerminal(with({"restore", today, "--to", tmp / "out"}));
  ASSERT_EQ(restore.code, 0) << restore.out;
  EXPECT_NE(restore.out.find("\rFichiers 0/3  0 o/234 Ko\x1b[K"), std::string::npos) << restore.out;
  const CliOutput verify = RunOnTerminal(with({"verify"}));
  ASSERT_EQ(verify.code, 0) << verify.out;
  EXPECT_NE(verify.out.find("\rFichiers 3/3  234 Ko/234 Ko"), std::string::npos) << verify.out;
  EXPECT_NE(
      verify.out.find("1 jour(s), 3 fichier(s) vérifié(s), 3 copie(s) décodée(s), 0 problème(s)"),
      std::string::npos);

  // The same commands in a pipe: lines only, as scripts and logs want them.
  const std::string piping[] = {"backup", "verify",
                                "restore " + std::string(today) + " --to " + Quoted(tmp / "out2")};
  for (const std::string& command : piping) {
    const CliOutput piped = RunTool(prog + command);
    EXPECT_EQ(piped.code, 0) << command;
    EXPECT_EQ(piped.out.find('\r'), std::string::npos) << command;
    EXPECT_EQ(piped.out.find("\x1b["), std::string::npos) << command;
  }
}

}  // namespace
}  // namespace varnoket::test
