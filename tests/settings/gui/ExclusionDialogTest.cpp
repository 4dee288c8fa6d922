#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "settings/ExclusionFilter.h"
#include "settings/gui/ExclusionDialog.h"
#include "support/FakeDialogs.h"

namespace varnoket {
namespace {

using test::DialogKind;
using test::FakeDialogs;

struct FakeExclusions : ExclusionOwner {
  const std::vector<std::string>& Exclusions() const override { return list; }
  void AddExclusion(const std::string& filter) override {
    list.push_back(filter);
    ++saves;
  }
  std::vector<std::string> list = {"*.mp3", "*.mpeg", "*.mpg", "PageFile.sys"};
  int saves = 0;
};

class ExclusionDialogTest : public ::testing::Test {
 protected:
  ExclusionDialogTest() : form_(dialogs_) { form_.SetOwner(&owner_); }

  QLineEdit* Entry() { return form_.findChild<QLineEdit*>("EditExclusion"); }
  // Types `entry`, validates and returns the message shown ("" for none).
  std::string Add(const char* entry) {
    dialogs_.Clear();
    form_.show();
    Entry()->setText(QString::fromUtf8(entry));
    form_.AddTypedFilter();
    const auto texts = dialogs_.Texts(DialogKind::Message);
    EXPECT_LE(dialogs_.calls().size(), 1u);
    return texts.empty() ? "" : texts[0];
  }

  FakeDialogs dialogs_;
  FakeExclusions owner_;
  ExclusionDialog form_;
};

TEST_F(ExclusionDialogTest, TheDialogShowsItsExplanationAndWarningLineByLine) {
  EXPECT_EQ(form_.windowTitle().toStdString(), "Varnoket - Ajout d'un filtre d'exclusion");
  auto* help = form_.findChild<QPlainTextEdit*>("MemoExplication");
  auto* warning = form_.findChild<QPlainTextEdit*>("MemoAttention");
  ASSERT_NE(help, nullptr);
  ASSERT_NE(warning, nullptr);
  EXPECT_TRUE(help->isReadOnly());
  EXPECT_TRUE(warning->isReadOnly());
  EXPECT_EQ(help->toPlainText().split('\n').size(), 8);
  EXPECT_EQ(help->toPlainText().split('\n')[4].toStdString(),
            "monfichier.doc  ou  *.doc  ou  *.?oc");
  EXPECT_EQ(warning->toPlainText().split('\n')[0].toStdString(),
            "ATTENTION: TOUS les fichiers qui correspondent à au moins un ");
  EXPECT_EQ(warning->toPlainText().split('\n').size(), 6);
  EXPECT_EQ(warning->palette().color(QPalette::Base),
            warning->palette().color(QPalette::ToolTipBase));
  auto* add = form_.findChild<QPushButton*>("BitBtn2");
  auto* close = form_.findChild<QPushButton*>("BitBtnFermer");
  ASSERT_NE(add, nullptr);
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(add->text().toStdString(), "&Ajouter ce filtre");
  EXPECT_EQ(close->text().toStdString(), "&Fermer");
  EXPECT_EQ(close->toolTip().toStdString(), "Fermer la fenêtre");
}

TEST_F(ExclusionDialogTest, RefusedFiltersLeaveTheDialogOpenAndTheListAlone) {
  EXPECT_EQ(Add(""), "Veuillez saisir une chaîne de caractères avant de valider !");
  EXPECT_EQ(Add("*"), "Vous ne pouvez pas exclure tous les fichiers !");
  EXPECT_EQ(Add("*.*"),
            "Vous n'avez pas le droit de saisir plusieurs fois le caractère '*' dans un filtre !");
  EXPECT_EQ(Add("*.MP3"), "Ce filtre existe déjà dans la liste !");
  EXPECT_EQ(Add("PAGEFILE.SYS"), kFilterDuplicate);
  EXPECT_EQ(owner_.saves, 0);
  EXPECT_EQ(owner_.list.size(), 4u);
  EXPECT_TRUE(form_.isVisible());
}

TEST_F(ExclusionDialogTest, AcceptedFiltersAreStoredInLowerCaseAndTheEntryStays) {
  EXPECT_EQ(Add("?"), "");
  EXPECT_FALSE(form_.isVisible());
  EXPECT_EQ(form_.result(), QDialog::Accepted);
  EXPECT_EQ(Add("MonFichier.DOC"), "");
  EXPECT_EQ(Add(" *.?oc "), "");
  EXPECT_EQ(owner_.saves, 3);
  EXPECT_EQ(owner_.list.back(), " *.?oc ");
  EXPECT_EQ(owner_.list[5], "monfichier.doc");
  // The entry is kept for the next opening.
  form_.show();
  EXPECT_EQ(Entry()->text().toStdString(), " *.?oc ");
  EXPECT_EQ(Add("monfichier.doc"), kFilterDuplicate);
}

}  // namespace
}  // namespace varnoket
