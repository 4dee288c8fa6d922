// The restore window's test fixture: real backups made by the engine under
// a store of its own, the window and its report window with scripted
// message boxes, and helpers to find the controls by their objectName.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>

#include "engine/BZip2.h"
#include "platform/DosDate.h"
#include "restore/gui/RestoreReportWindow.h"
#include "restore/gui/RestoreWindow.h"
#include "restore/gui/TriStateTreeView.h"
#include "support/FaultyFileSystem.h"
#include "support/StoreFixture.h"
#include "support/gui/FakeFolderPicker.h"

namespace varnoket {
namespace {

using test::DialogKind;
using test::ReadFile;
using test::WriteFile;
namespace fsys = std::filesystem;

// The line a summary ends with: the files by what their destination met.
inline std::string CountsLine(int created, int upToDate, int replaced, int keptBoth, int skipped) {
  return "\r\nFichiers : " + std::to_string(created) + " créé(s), " + std::to_string(upToDate) +
         " laissé(s) tel(s) quel(s) (déjà à jour), " + std::to_string(replaced) + " remplacé(s), " +
         std::to_string(keptBoth) + " restauré(s) à côté du fichier existant, " +
         std::to_string(skipped) + " ignoré(s)";
}

[[maybe_unused]] const std::string kDoneZero =
    "Opération terminée : 0 fichiers ou dossiers restaurés pour un total de 0 octets !" +
    CountsLine(0, 0, 0, 0, 0);

// Answers the question about different files from a queue (nullopt:
// cancelled), replace when the queue is empty, and records each count asked.
class FakeExistingFilesQuestion : public ExistingFilesQuestion {
 public:
  std::optional<ExistingFilePolicy> Ask(size_t count) override {
    counts.push_back(count);
    if (answers.empty()) return ExistingFilePolicy::kReplace;
    const auto next = answers.front();
    answers.pop_front();
    return next;
  }
  std::deque<std::optional<ExistingFilePolicy>> answers;
  std::vector<size_t> counts;
};

inline int32_t DosDateOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return -1;
  return DosDateFromTime(st.st_mtime);
}

inline unsigned ModeOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

class RestoreWindowTest : public ::testing::Test {
 protected:
  RestoreWindowTest() : fs(), store(fs), report(dialogs), env(fs, dialogs) {
    env.backupRoot = [this] { return root; };
    env.stationName = [this] { return station; };
    env.stopTimer = [this] { ++timerStops; };
    env.startTimer = [this] { ++timerStarts; };
    env.pump = [this] {
      QCoreApplication::processEvents();
      if (onPump) {
        // Once: the hook may itself start a load that pumps.
        auto hook = std::move(onPump);
        onPump = nullptr;
        hook();
      }
    };
    env.picker = &picker;
    env.existingFiles = &question;
    root = store.root;
    station = store.stationName;
  }

  // Two backup days of a small set: docs/{a,b,c}.txt, docs/trois/{1,2,3},
  // docs/vide (empty); the second day changes a.txt and adds new.txt.
  void MakeTwoDays() {
    store.Write("docs/a.txt", "alpha");
    store.Write("docs/b.txt", "bravo");
    store.Write("docs/c.txt", "charlie");
    for (const char* n : {"1", "2", "3"}) store.Write(std::string("docs/trois/") + n, n);
    fsys::create_directories(store.source + "/docs/vide");
    store.SetDay(1, 3, 2006);
    ASSERT_EQ(store.Backup(), BackupOutcome::kCompleted);
    store.Write("docs/a.txt", "alpha, second day");
    store.Write("docs/new.txt", "new");
    store.SetDay(2, 3, 2006);
    ASSERT_EQ(store.Backup(), BackupOutcome::kCompleted);
    ASSERT_EQ(store.Days(), (std::vector<std::string>{"01032006", "02032006"}));
  }

  void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  }

  RestoreWindow& Open() {
    form = std::make_unique<RestoreWindow>(env, report);
    form->show();
    Settle();
    return *form;
  }

  template <typename T>
  T* Find(const char* name) {
    return form->findChild<T*>(QString::fromUtf8(name));
  }
  QComboBox* Combo() { return Find<QComboBox>("VKComboJour"); }
  QTreeWidget* List() { return Find<QTreeWidget>("CheckListFichiers"); }
  QCheckBox* CheckAll() { return Find<QCheckBox>("VKCheckAll"); }
  QPushButton* RestoreButton() { return Find<QPushButton>("BitBtnRestaurer"); }
  StateTree& Tree() { return form->TreeView().Tree(); }

  // The node of a directory path ("/" and each name below it).
  StateTree::NodeId Node(const std::string& path) {
    const StateTree& tree = Tree();
    StateTree::NodeId node = StateTree::kNoNode;
    std::vector<std::string> names{"/"};
    for (const auto& part : fsys::path(path).relative_path()) names.push_back(part.string());
    for (const std::string& name : names) {
      StateTree::NodeId found = StateTree::kNoNode;
      for (const auto child : tree.Children(node)) {
        if (tree.Text(child) == name) found = child;
      }
      if (found == StateTree::kNoNode) return found;
      node = found;
    }
    return node;
  }
  std::string Docs() const { return store.source + "/docs"; }

  // Clicks a directory of the tree: selects it and lists its files.
  void Click(const std::string& path) {
    const auto node = Node(path);
    ASSERT_NE(node, StateTree::kNoNode) << path;
    form->TreeView().setCurrentItem(form->TreeView().ItemOf(node));
    form->ShowFolderFiles();
  }
  void Tick(int row, bool on = true) {
    List()->topLevelItem(row)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
  }
  std::vector<std::string> ListNames() {
    std::vector<std::string> names;
    for (int i = 0; i < List()->topLevelItemCount(); ++i)
      names.push_back(List()->topLevelItem(i)->text(0).toStdString());
    return names;
  }

  test::FaultyFileSystem fs;
  test::StoreFixture store;
  test::FakeDialogs dialogs;
  test::FakeFolderPicker picker;
  FakeExistingFilesQuestion question;
  RestoreReportWindow report;
  RestoreWindowEnv env;
  std::unique_ptr<RestoreWindow> form;
  std::string root;
  std::string station;
  std::function<void()> onPump;
  int timerStops = 0;
  int timerStarts = 0;
};

}  // namespace
}  // namespace varnoket
