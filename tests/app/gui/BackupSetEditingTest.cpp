// Adding and removing backup directories and exclusion filters from the main
// window: every check in its order, and what reaches the station file.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/gui/MainWindowFixture.h"

namespace varnoket::test {
namespace {

class BackupSetEditingTest : public MainWindowFixture {
 protected:
  // A started program with a root and an empty backup set.
  void Start() {
    WriteProgramSettings(root_);
    Make();
    ShowAndSettle();
    dialogs_.Clear();
  }

  std::string Ini() { return ReadFile(StationIni()); }

  static std::string InsideRootText(const std::string& root) {
    return "Vous ne pouvez pas sauvegarder des fichiers inclus dans (" + root +
           ") \r\ncar il s'agit du répertoire qui contiendra les sauvegardes !";
  }
  static std::string HoldsRootText(const std::string& chosen, const std::string& root) {
    return "Le dossier (" + chosen +
           ") est un dossier parent du répertoire qui contiendra les sauvegardes (" + root +
           ") !\r\nVous ne pouvez pas sélectionner ce dossier, ou alors vous devez modifier le "
           "répertoire des sauvegardes dans l'écran de configuration (possible uniquement sur un "
           "ordinateur principal) !";
  }
};

TEST_F(BackupSetEditingTest, AddingADirectoryRunsEachCheckInOrder) {
  Make();  // no root yet
  form_->AddBackupDirectory();
  EXPECT_EQ(
      dialogs_.Texts(DialogKind::Error),
      std::vector<std::string>{"Vous devez d'abord configurer le répertoire des sauvegardes !"});
  EXPECT_TRUE(picker_.titles.empty());
  Destroy();

  std::filesystem::create_directories(base_ + "/docs");
  std::filesystem::create_directories(root_ + "-old");
  std::filesystem::create_directories(root_ + "/x");
  std::filesystem::create_directory_symlink(base_, base_ + "/to-base");
  std::filesystem::create_directory_symlink(root_ + "/x", base_ + "/into-store");
  const std::string net = Mount("nfs", "net");
  const std::string ram = Mount("tmpfs", "ram");
  Start();

  struct Case {
    std::string pick;
    DialogKind kind;
    std::string text;
  };
  const std::vector<Case> refusals = {
      {base_ + "/missing", DialogKind::Error,
       "Le répertoire (" + base_ + "/missing) n'est pas accessible !"},
      {root_ + "/x", DialogKind::Warning, InsideRootText(root_)},
      // A link that leads into the root is inside it too.
      {base_ + "/into-store", DialogKind::Warning, InsideRootText(root_)},
      {base_, DialogKind::Warning, HoldsRootText(base_, root_)},
      {base_ + "/to-base", DialogKind::Warning, HoldsRootText(base_ + "/to-base", root_)},
      {net, DialogKind::Message, "Les chemins réseaux ne sont pas autorisés dans cette version !"},
      {ram, DialogKind::Message,
       "Vous ne pouvez sauvegarder que des répertoires de lecteurs fixes (disques durs) dans "
       "cette version !"},
  };
  for (const auto& c : refusals) {
    SCOPED_TRACE(c.pick);
    dialogs_.Clear();
    picker_.answers = {c.pick};
    form_->AddBackupDirectory();
    EXPECT_EQ(dialogs_.Texts(c.kind), std::vector<std::string>{c.text});
    EXPECT_EQ(dialogs_.calls().size(), 1u);
    EXPECT_EQ(DirectoryList()->count(), 0);
  }
  EXPECT_EQ(picker_.titles.back(), "Choisissez un répertoire");
  EXPECT_FALSE(picker_.newStyles.back());

  // Cancelled: nothing at all.
  dialogs_.Clear();
  form_->AddBackupDirectory();
  EXPECT_TRUE(dialogs_.calls().empty());

  picker_.answers = {base_ + "/docs/"};
  form_->AddBackupDirectory();
  EXPECT_TRUE(dialogs_.calls().empty());
  EXPECT_EQ(ListTexts(DirectoryList()), std::vector<std::string>{base_ + "/docs"});
  EXPECT_NE(Ini().find("[DIRECTORIES]\r\nD1=" + base_ + "/docs\r\n"), std::string::npos);
  EXPECT_TRUE(SaveNow()->isEnabled());
  EXPECT_GT(form_->UpdateHorizontalExtent(), 0);

  picker_.answers = {base_ + "/docs"};
  form_->AddBackupDirectory();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Message),
            std::vector<std::string>{"Ce répertoire est déjà présent dans la liste !"});

  // A folder beside the root whose name begins with the root's is no part of it.
  dialogs_.Clear();
  picker_.answers = {root_ + "-old"};
  form_->AddBackupDirectory();
  EXPECT_TRUE(dialogs_.calls().empty());
  EXPECT_EQ(ListTexts(DirectoryList()),
            (std::vector<std::string>{base_ + "/docs", root_ + "-old"}));
}

TEST_F(BackupSetEditingTest, ARootThatIsALinkIsComparedWithTheFolderItLeadsTo) {
  std::filesystem::create_directories(base_ + "/real-store/x");
  std::filesystem::create_directories(base_ + "/real");
  root_ = base_ + "/store-link";
  std::filesystem::create_directory_symlink(base_ + "/real-store", root_);
  Start();
  const std::vector<std::pair<std::string, std::string>> refusals = {
      {base_ + "/real-store/x", InsideRootText(root_)},
      {base_ + "/real-store", InsideRootText(root_)},
      {base_, HoldsRootText(base_, root_)},
  };
  for (const auto& [pick, text] : refusals) {
    SCOPED_TRACE(pick);
    dialogs_.Clear();
    picker_.answers = {pick};
    form_->AddBackupDirectory();
    EXPECT_EQ(dialogs_.Texts(DialogKind::Warning), std::vector<std::string>{text});
    EXPECT_EQ(DirectoryList()->count(), 0);
  }
  dialogs_.Clear();
  picker_.answers = {base_ + "/real"};
  form_->AddBackupDirectory();
  EXPECT_TRUE(dialogs_.calls().empty());
  EXPECT_EQ(ListTexts(DirectoryList()), std::vector<std::string>{base_ + "/real"});
}

TEST_F(BackupSetEditingTest, TheListStaysSortedAndADirectoryIsRemovedOnlyAfterConfirmation) {
  for (const char* d : {"b", "A", "c"}) std::filesystem::create_directories(base_ + "/" + d);
  Start();
  for (const char* d : {"b", "A", "c"}) {
    picker_.answers = {base_ + "/" + d};
    form_->AddBackupDirectory();
  }
  EXPECT_EQ(ListTexts(DirectoryList()),
            (std::vector<std::string>{base_ + "/A", base_ + "/b", base_ + "/c"}));

  // Nothing selected: nothing asked.
  DirectoryList()->setCurrentRow(-1);
  form_->RemoveBackupDirectory();
  EXPECT_TRUE(dialogs_.calls().empty());

  DirectoryList()->setCurrentRow(1);
  dialogs_.QueueAnswer(DialogAnswer::kCancel);
  form_->RemoveBackupDirectory();
  EXPECT_EQ(DirectoryList()->count(), 3);
  ASSERT_EQ(dialogs_.calls().size(), 1u);
  EXPECT_EQ(dialogs_.calls()[0].buttons, DialogButtons::kOkCancel);
  EXPECT_EQ(dialogs_.calls()[0].text,
            "ATTENTION si vous enlevez un répertoire de la liste, les fichiers qu'il contient ne "
            "seront plus sauvegardés!\r\nConfirmez-vous votre choix ?");

  DirectoryList()->setCurrentRow(1);
  form_->RemoveBackupDirectory();
  EXPECT_EQ(ListTexts(DirectoryList()), (std::vector<std::string>{base_ + "/A", base_ + "/c"}));
  EXPECT_NE(Ini().find("D1=" + base_ + "/A\r\nD2=" + base_ + "/c\r\n"), std::string::npos);

  for (int i = 0; i < 2; ++i) {
    DirectoryList()->setCurrentRow(0);
    form_->RemoveBackupDirectory();
  }
  EXPECT_FALSE(SaveNow()->isEnabled());
  EXPECT_EQ(Ini().find("[DIRECTORIES]"), std::string::npos);
}

TEST_F(BackupSetEditingTest, FiltersAreAddedThroughTheDialogAndRemovedWithoutAQuestion) {
  Make();
  form_->AddExclusionFilter();
  EXPECT_EQ(
      dialogs_.Texts(DialogKind::Error),
      std::vector<std::string>{"Vous devez d'abord configurer le répertoire des sauvegardes !"});
  Destroy();

  Start();
  auto* list = Find<QListWidget>("ListBoxExclusions");
  EXPECT_EQ(ListTexts(list),
            (std::vector<std::string>{"*.mp3", "*.mpeg", "*.mpg", "PageFile.sys"}));

  bool dialogShown = false;
  WhenShown(addExclusion_, [&] {
    dialogShown = addExclusion_->isVisible();
    addExclusion_->findChild<QLineEdit*>("EditExclusion")->setText("Notes.TXT");
    addExclusion_->AddTypedFilter();
  });
  form_->AddExclusionFilter();
  EXPECT_TRUE(dialogShown);
  EXPECT_EQ(ListTexts(list),
            (std::vector<std::string>{"*.mp3", "*.mpeg", "*.mpg", "notes.txt", "PageFile.sys"}));
  EXPECT_NE(Ini().find("EXCLUSIONS=*.mp3,*.mpeg,*.mpg,notes.txt,PageFile.sys"), std::string::npos);

  list->setCurrentRow(0);
  form_->RemoveExclusionFilter();
  EXPECT_TRUE(dialogs_.calls().empty());
  EXPECT_EQ(ListTexts(list).front(), "*.mpeg");
  EXPECT_NE(Ini().find("EXCLUSIONS=*.mpeg,*.mpg,notes.txt,PageFile.sys"), std::string::npos);

  // The filters a new set starts with are explained, and dropped in one
  // click; the person's own filter stays.
  auto* explained = Find<QLabel>("LabelExclusionsParDefaut");
  auto* dropDefaults = Find<QPushButton>("BitBtnSauvegarderTout");
  ASSERT_TRUE(explained && dropDefaults);
  EXPECT_TRUE(explained->isVisible());
  EXPECT_TRUE(explained->text().contains("*.mp3"));
  dropDefaults->click();
  EXPECT_EQ(ListTexts(list), std::vector<std::string>{"notes.txt"});
  EXPECT_NE(Ini().find("EXCLUSIONS=notes.txt\r\n"), std::string::npos) << Ini();
  EXPECT_FALSE(explained->isVisible());
  EXPECT_FALSE(dropDefaults->isVisible());
  EXPECT_TRUE(dialogs_.calls().empty());
}

TEST_F(BackupSetEditingTest, WithoutAStationFileTheListsChangeOnScreenOnly) {
  // The station file cannot be created: its folder's place is a file.
  WriteProgramSettings(root_);
  WriteFile(root_ + "/POSTE1", "in the way");
  std::filesystem::create_directories(base_ + "/docs");
  Make();
  ShowAndSettle();
  ASSERT_EQ(dialogs_.Count(DialogKind::Error), 1u);
  dialogs_.Clear();
  picker_.answers = {base_ + "/docs"};
  form_->AddBackupDirectory();
  EXPECT_EQ(DirectoryList()->count(), 1);
  EXPECT_TRUE(dialogs_.calls().empty());
  EXPECT_FALSE(SaveNow()->isEnabled());  // BackupDirectories is not refreshed
}

}  // namespace
}  // namespace varnoket::test
