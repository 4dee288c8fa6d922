// varnoket-cli against a store and a command line that a hostile or unlucky
// person made: copies deleted or replaced by older ones, lists cut short or
// crafted to climb out of the destination, empty and relative arguments, an
// unplugged disk. Every case must end with the right bytes or a refusal that
// names the file and a non-zero exit, and nothing written where it must not.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "cli/StoreCliFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

class HostileStoreTest : public StoreCliFixture {
 protected:
  void AppendToList(const std::string& folder, const std::string& lines) {
    WriteFile(Day(folder) + "/filelist.txt", ReadFile(Day(folder) + "/filelist.txt") + lines);
  }
};

TEST_F(HostileStoreTest, AnOlderVersionNeverComesBackAsTheNewerOne) {
  WriteFile(src + "/a.txt", "version one");
  BackUpAs("01012025");
  WriteFile(src + "/a.txt", "version two, longer");
  BackUpAs("02012025");
  // The newer copy is lost; the older day still has a copy of that name.
  fsys::remove(Stored("02012025", src + "/a.txt"));
  WriteFile(src + "/a.txt", "edited since");

  const CliOutput in = Cli("restore 02/01/2025");
  EXPECT_EQ(in.code, 1) << in.out;
  EXPECT_EQ(ReadFile(src + "/a.txt"), "edited since");
  EXPECT_NE(in.out.find("---> ERREUR: La copie compressée (" + Stored("01012025", src + "/a.txt") +
                        ") ne donne pas le contenu enregistré ce jour-là"),
            std::string::npos)
      << in.out;
  EXPECT_NE(in.out.find("ATTENTION 1 fichiers ou répertoires n'ont pas pu"), std::string::npos);
  const CliOutput verify = Cli("verify 02/01/2025");
  EXPECT_EQ(verify.code, 1);
  EXPECT_NE(verify.out.find("02012025 : contenu différent ("), std::string::npos) << verify.out;

  // The older day itself still restores its own version, proven.
  const CliOutput old = Cli("restore 01/01/2025 --to " + Quoted(tmp / "out"));
  EXPECT_EQ(old.code, 0) << old.out;
  EXPECT_EQ(ReadFile(tmp / "out" + src + "/a.txt"), "version one");
}

TEST_F(HostileStoreTest, DamagedListsNameEveryLineTheyLoseAndRestoreNothingFromIt) {
  WriteFile(src + "/a.txt", "alpha");
  WriteFile(src + "/b.txt", "bravo!!");  // its record sorts last (size 7)
  BackUpAs("01012025");
  const std::string list = Day("01012025") + "/filelist.txt";
  const std::string whole = ReadFile(list);

  // Cut in its last line: that file is named, the others come back.
  WriteFile(list, whole.substr(0, whole.size() - 6));
  CliOutput r = Cli("restore 01/01/2025 --to " + Quoted(tmp / "cut"));
  EXPECT_EQ(r.code, 1) << r.out;
  EXPECT_NE(r.out.find("---> ERREUR: Ligne illisible dans la liste du jour ("), std::string::npos);
  EXPECT_EQ(ReadFile(tmp / "cut" + src + "/a.txt"), "alpha");
  EXPECT_FALSE(fsys::exists(tmp / "cut" + src + "/b.txt"));
  EXPECT_EQ(Cli("verify 01/01/2025").code, 1);

  // A NUL in a path, a path twice with different contents, a stored name
  // that leaves the day folder: refused, counted, never written.
  using namespace std::string_literals;
  WriteFile(list, whole + "5|0|_" + src + "/n.ZZ|" + src + "/nul\0name|33188|0|0\r\n"s + "3|1|_" +
                      src + "/a.txt.ZZ|" + src + "/a.txt|33188|0|0\r\n" + "5|0|../../x.ZZ|" + src +
                      "/x|33188|0|0\r\n");
  r = Cli("restore 01/01/2025 --to " + Quoted(tmp / "bad"));
  EXPECT_EQ(r.code, 1) << r.out;
  EXPECT_NE(r.out.find("ATTENTION 3 fichiers"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("nul\\x00name"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("deux fois dans la liste"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("sortirait du dossier du jour"), std::string::npos) << r.out;
  EXPECT_FALSE(fsys::exists(tmp / "bad" + src + "/a.txt"));
  EXPECT_EQ(ReadFile(tmp / "bad" + src + "/b.txt"), "bravo!!");
  EXPECT_FALSE(fsys::exists(tmp / "bad" + src + "/nul"));
  const CliOutput verify = Cli("verify 01/01/2025");
  EXPECT_EQ(verify.code, 1);
  EXPECT_NE(verify.out.find("1 jour(s), 1 fichier(s) vérifié(s), 1 copie(s) décodée(s), 3 "
                            "problème(s)"),
            std::string::npos)
      << verify.out;
}

TEST_F(HostileStoreTest, NoRecordAndNoArgumentWritesOutsideWhereItMay) {
  WriteFile(src + "/a.txt", "alpha");
  BackUpAs("01012025");
  const std::string out = tmp / "deep/er/out";
  fsys::create_directories(out);
  // Records that climb out of --to, or that are relative.
  AppendToList("01012025", "5|0|_" + src + "/a.txt.ZZ|" + out +
                               "/../../../../OUTSIDE.txt|33188|0|0\r\n" + "5|0|_" + src +
                               "/a.txt.ZZ|OUTSIDE2.txt|33188|0|0\r\n");
  CliOutput r = Cli("restore 01/01/2025 --to " + Quoted(out), tmp / "deep");
  EXPECT_EQ(r.code, 1) << r.out;
  EXPECT_EQ(ReadFile(out + src + "/a.txt"), "alpha");
  EXPECT_FALSE(fsys::exists(tmp / "OUTSIDE.txt"));
  EXPECT_FALSE(fsys::exists(tmp / "deep/OUTSIDE2.txt"));
  EXPECT_FALSE(fsys::exists(out + "OUTSIDE2.txt"));

  // A folder of the destination that links out of it.
  const std::string linked = tmp / "linked";
  fsys::create_directories(linked);
  fsys::create_directories(tmp / "elsewhere");
  fsys::create_directories(fsys::path(linked + src).parent_path());
  fsys::create_directory_symlink(tmp / "elsewhere", linked + src);
  r = Cli("restore 01/01/2025 --to " + Quoted(linked));
  EXPECT_EQ(r.code, 1) << r.out;
  EXPECT_NE(r.out.find("sortirait du dossier de destination"), std::string::npos) << r.out;
  EXPECT_TRUE(fsys::is_empty(tmp / "elsewhere"));

  // Empty values are unset variables, not choices.
  WriteFile(src + "/a.txt", "newer edit");
  for (const char* args : {"restore 01/01/2025 --to ''", "restore 01/01/2025 --existing ''",
                           "restore 01/01/2025 ''"}) {
    EXPECT_EQ(Cli(args).code, 2) << args;
  }
  // Not the settings beside the program either (other tests may have made
  // that file: it must stay as it is).
  const fsys::path beside = fsys::path(VARNOKET_CLI_PATH).parent_path() / "VARNOKET.INI";
  const bool wasThere = fsys::exists(beside);
  const std::string before = wasThere ? ReadFile(beside.string()) : "";
  EXPECT_EQ(RunTool("--program-folder '' config days 3", "", true).code, 2);
  EXPECT_EQ(fsys::exists(beside), wasThere);
  if (wasThere) {
    EXPECT_EQ(ReadFile(beside.string()), before);
  }
  EXPECT_EQ(ReadFile(src + "/a.txt"), "newer edit");

  // A station is a name, not a way up.
  for (const char* station : {"..", ".", "a/b", ""}) {
    const CliOutput s =
        RunTool("--program-folder " + Quoted(tmp / "prog") + " --station '" + station + "' backup",
                "", true);
    EXPECT_EQ(s.code, 2) << station;
  }
  EXPECT_FALSE(fsys::exists(tmp / "VARNOKET.LOCK"));
  EXPECT_FALSE(fsys::exists(tmp / "LASTBACKUP.LOG"));
  EXPECT_FALSE(fsys::exists(tmp / "store/VARNOKET.LOCK"));

  // The store is no destination, however it is written.
  fsys::create_directory_symlink(tmp / "store", tmp / "to-store");
  for (const std::string& to : {std::string("PC/sub"), tmp / "to-store/x", tmp / "store"}) {
    r = Cli("restore 01/01/2025 --to " + Quoted(to), tmp / "store");
    EXPECT_EQ(r.code, 2) << to << r.out;
    EXPECT_NE(r.out.find("se trouve dans le dossier des sauvegardes"), std::string::npos);
  }
  EXPECT_FALSE(fsys::exists(tmp / "store/PC/sub"));
  EXPECT_FALSE(fsys::exists(tmp / "store/x"));
}

TEST_F(HostileStoreTest, AnAbsentStoreOrAPathThatMatchesNothingIsNeverSuccess) {
  WriteFile(src + "/a.txt", "alpha");
  BackUpAs("01012025");
  const CliOutput none =
      Cli("restore 01/01/2025 --to " + Quoted(tmp / "o") + " " + Quoted(src + "/no-such"));
  EXPECT_EQ(none.code, 1) << none.out;
  EXPECT_NE(none.out.find("Rien de ce jour ne se trouve à (" + src + "/no-such)"),
            std::string::npos);

  // A day folder that is a link is no backup day.
  fsys::rename(Day("01012025"), tmp / "real-day");
  fsys::create_directory_symlink(tmp / "real-day", Day("01012025"));
  const CliOutput linked = Cli("restore 01/01/2025 --to " + Quoted(tmp / "l"));
  EXPECT_EQ(linked.code, 1);
  EXPECT_NE(linked.out.find("est un lien symbolique"), std::string::npos) << linked.out;
  EXPECT_EQ(Cli("verify").code, 1);  // no day to check is no success
  fsys::remove(Day("01012025"));
  fsys::rename(tmp / "real-day", Day("01012025"));

  // Unplugged (the root gone), or a plain file where the root should be.
  fsys::rename(tmp / "store", tmp / "unplugged");
  WriteFile(tmp / "plain", "");
  for (const std::string& root : {tmp / "store", tmp / "plain"}) {
    WriteFile(tmp / "prog/VARNOKET.INI", "[PARAMS]\r\nRACINE=" + root + "\r\n");
    for (const std::string& command :
         {std::string("verify"), std::string("days"), std::string("restore 01/01/2025"),
          "versions " + Quoted(src + "/a.txt"), std::string("changes 01/01/2025")}) {
      const CliOutput r = Cli(command);
      EXPECT_EQ(r.code, 6) << root << " " << command << r.out;
      EXPECT_NE(r.out.find("Disque de sauvegarde absent (" + root + ")"), std::string::npos)
          << r.out;
    }
  }
  EXPECT_FALSE(fsys::exists(tmp / "store"));
}

TEST_F(HostileStoreTest, EveryRefusalNamesItsRealCause) {
  // A copy damaged on the disk is damage, not a full disk.
  WriteFile(src + "/a.txt", "alpha");
  const std::string longName(250, 'n');
  WriteFile(src + "/" + longName, "a name near the limit");
  BackUpAs("01012025");
  WriteFile(Stored("01012025", src + "/a.txt"), "BZh9 and then no stream at all");
  CliOutput r = Cli("restore 01/01/2025 --to " + Quoted(tmp / "o") + " " + Quoted(src + "/a.txt"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("---> ERREUR: Copie compressée endommagée (" +
                       Stored("01012025", src + "/a.txt") + ") : fichier non restauré. <---"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("espace disque"), std::string::npos) << r.out;

  // A name near the limit still gets its kept copy beside a different file.
  WriteFile(src + "/" + longName, "edited since");
  r = Cli("restore 01/01/2025 --existing keep-both " + Quoted(src + "/" + longName));
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(ReadFile(src + "/" + longName), "edited since");
  size_t kept = 0;
  for (const auto& e : fsys::directory_iterator(src)) {
    const std::string name = e.path().filename().string();
    if (name.find("(restauré du 01-01-2025)") != std::string::npos) {
      ++kept;
      EXPECT_LE(name.size(), 255u);
      EXPECT_EQ(ReadFile(e.path().string()), "a name near the limit");
    }
  }
  EXPECT_EQ(kept, 1u);

  // A station settings file that cannot be read is said so, and the newest
  // day still counts as the last success.
  fsys::rename(Station() + "/PC.ini", tmp / "PC.ini.saved");
  fsys::create_directories(Station() + "/PC.ini");
  r = Cli("status");
  EXPECT_NE(
      r.out.find("Le fichier des réglages du poste (" + Station() + "/PC.ini) ne peut pas être lu"),
      std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("Dernière sauvegarde réussie : 01/01/2025"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Aucune sauvegarde réussie"), std::string::npos);

  // A marker that cannot be read is no write refusal.
  fsys::remove(tmp / "store/VARNOKET.STORE");
  WriteFile(tmp / "store/VARNOKET.STORE", "not a marker");
  r = Cli("config store " + Quoted(tmp / "store"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("Le marqueur du disque de sauvegarde (" + (tmp / "store/VARNOKET.STORE") +
                       ") est illisible"),
            std::string::npos)
      << r.out;

  // A folder where the program settings should be is no "not configured".
  fsys::remove(tmp / "prog/VARNOKET.INI");
  fsys::create_directories(tmp / "prog/VARNOKET.INI");
  r = Cli("days");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.out.find("n'est pas un fichier"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("n'est pas configuré"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace varnoket::test
