// A day the store's disk refuses to take is said with what was refused and
// why (a permission taken away, a disk turned read-only), not with a guess
// about free space; the previous days still restore, and the next run, the
// disk taking writes again, saves the day.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/BackupRun.h"
#include "support/FaultyFileSystem.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

bool Said(const StoreFixture& f, const std::string& line) {
  return std::find(f.host.errorWindow.begin(), f.host.errorWindow.end(), line) !=
             f.host.errorWindow.end() &&
         std::find(f.host.logged.begin(), f.host.logged.end(), line) != f.host.logged.end();
}

std::string RefusedLine(const std::string& path, int error) {
  return "ERREUR: impossible d'écrire (" + path +
         ") sur le disque de sauvegarde : " + std::strerror(error) +
         ". La sauvegarde du jour n'est pas enregistrée.";
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(DayWriteFailureTest, WhatTheDiskRefusedIsSaidWithItsCause) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  f.Write("a.txt", "alpha");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const auto firstDay = f.Snapshot();

  // The day's list refused: permission taken away.
  f.SetDay(2, 3, 2006);
  f.Write("a.txt", "beta");
  disk.rule = [](FsCall kind, const std::string& path) {
    return kind == FsCall::kWriteAtomic && EndsWith(path, "/filelist.txt") ? EACCES : 0;
  };
  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  EXPECT_TRUE(Said(f, RefusedLine(f.DayFolder("02032006") + "/filelist.txt", EACCES)))
      << (f.host.errorWindow.empty() ? "" : f.host.errorWindow.back());

  // A copy refused its name: the disk turned read-only.
  f.host = RecordingHost();
  const std::string copy =
      f.DayFolder("02032006") + "/" + f.ctx.rules.StoredName(f.source + "/a.txt");
  disk.rule = [&copy](FsCall kind, const std::string& path) {
    return kind == FsCall::kRename && path == copy ? EROFS : 0;
  };
  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  EXPECT_TRUE(Said(f, RefusedLine(copy, EROFS)))
      << (f.host.errorWindow.empty() ? "" : f.host.errorWindow.back());

  disk.rule = nullptr;
  EXPECT_EQ(f.RestoreDay("01032006").files, firstDay);
  EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.RestoreDay("02032006").files, f.Snapshot());
}

}  // namespace
}  // namespace varnoket::test
