// The Qt message boxes: icon, title, French buttons and the answer given, with
// each modal box driven from a timer that clicks in it while it waits.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ui/gui/QtDialogs.h"

namespace varnoket {
namespace {

// What the driver saw in the box before it answered.
struct Seen {
  bool found = false;
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  Qt::TextFormat format = Qt::AutoText;
  std::vector<QString> buttons;
  QWindow* owner = nullptr;
};

// Once the box is up, records it, then presses the button captioned `press`
// (an empty caption presses Escape).
void Drive(Seen& seen, const QString& press) {
  QTimer::singleShot(0, [&seen, press] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;  // the box never came up: `found` stays false
    seen.found = true;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.format = box->textFormat();
    seen.owner = box->windowHandle() ? box->windowHandle()->transientParent() : nullptr;
    for (QAbstractButton* b : box->buttons()) seen.buttons.push_back(b->text());
    if (press.isEmpty()) {
      QTest::keyClick(box, Qt::Key_Escape);
      return;
    }
    for (QAbstractButton* b : box->buttons()) {
      if (b->text() == press) {
        b->click();
        return;
      }
    }
    box->done(0);  // no such button: leave the box so the test can fail
  });
}

bool HasButtons(const Seen& seen, std::vector<QString> expected) {
  std::vector<QString> got = seen.buttons;
  std::sort(got.begin(), got.end());
  std::sort(expected.begin(), expected.end());
  return got == expected;
}

TEST(QtDialogsTest, ErrorBoxAnswersTheButtonPressed) {
  QtDialogs dialogs;
  Seen seen;
  Drive(seen, QStringLiteral("OK"));
  EXPECT_EQ(dialogs.Error("Fichier ini non initialisé !"), DialogAnswer::kOk);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.title, QStringLiteral("Erreur"));
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.text, QString::fromUtf8("Fichier ini non initialisé !"));
  EXPECT_TRUE(HasButtons(seen, {QStringLiteral("OK")}));

  Seen cancel;
  Drive(cancel, QStringLiteral("Annuler"));
  EXPECT_EQ(dialogs.Error("x", DialogButtons::kOkCancel), DialogAnswer::kCancel);
  ASSERT_TRUE(cancel.found);
  EXPECT_TRUE(HasButtons(cancel, {QStringLiteral("OK"), QStringLiteral("Annuler")}));
}

TEST(QtDialogsTest, WarningBoxWithEveryButtonSet) {
  QtDialogs dialogs;
  Seen ok;
  Drive(ok, QStringLiteral("OK"));
  EXPECT_EQ(dialogs.Warning("a\r\nb", DialogButtons::kOkCancel), DialogAnswer::kOk);
  ASSERT_TRUE(ok.found);
  EXPECT_EQ(ok.title, QStringLiteral("Avertissement"));
  EXPECT_EQ(ok.icon, QMessageBox::Warning);
  // "\r\n" becomes one line break, with no stray carriage return.
  EXPECT_EQ(ok.text, QStringLiteral("a\nb"));

  Seen yes;
  Drive(yes, QStringLiteral("Oui"));
  EXPECT_EQ(dialogs.Warning("q", DialogButtons::kYesNo), DialogAnswer::kYes);
  ASSERT_TRUE(yes.found);
  EXPECT_TRUE(HasButtons(yes, {QStringLiteral("Oui"), QStringLiteral("Non")}));

  Seen no;
  Drive(no, QStringLiteral("Non"));
  EXPECT_EQ(dialogs.Warning("q", DialogButtons::kYesNo), DialogAnswer::kNo);
  ASSERT_TRUE(no.found);
}

TEST(QtDialogsTest, EscapeNeverConfirms) {
  QtDialogs dialogs;
  Seen okCancel;
  Drive(okCancel, QString());
  EXPECT_EQ(dialogs.Warning("Confirmez vous ?", DialogButtons::kOkCancel), DialogAnswer::kCancel);
  ASSERT_TRUE(okCancel.found);

  Seen yesNo;
  Drive(yesNo, QString());
  EXPECT_EQ(dialogs.Error("Confirmez vous ?", DialogButtons::kYesNo), DialogAnswer::kNo);
  ASSERT_TRUE(yesNo.found);

  Seen single;
  Drive(single, QString());
  EXPECT_EQ(dialogs.Error("x"), DialogAnswer::kOk);
  ASSERT_TRUE(single.found);
}

TEST(QtDialogsTest, InformationAndPlainMessage) {
  QtDialogs dialogs;
  Seen info;
  Drive(info, QStringLiteral("OK"));
  dialogs.Information("Opération terminée");
  ASSERT_TRUE(info.found);
  EXPECT_EQ(info.title, QStringLiteral("Information"));
  EXPECT_EQ(info.icon, QMessageBox::Information);
  EXPECT_TRUE(HasButtons(info, {QStringLiteral("OK")}));

  Seen plain;
  Drive(plain, QStringLiteral("OK"));
  dialogs.Message("Ce répertoire est déjà présent dans la liste !");
  ASSERT_TRUE(plain.found);
  EXPECT_EQ(plain.title, QStringLiteral("Varnoket"));
  EXPECT_EQ(plain.icon, QMessageBox::NoIcon);
  EXPECT_EQ(plain.text, QString::fromUtf8("Ce répertoire est déjà présent dans la liste !"));
}

TEST(QtDialogsTest, TextIsPlainAndBoxBelongsToActiveWindow) {
  QWidget owner;
  owner.show();
  owner.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));

  QtDialogs dialogs;
  Seen seen;
  Drive(seen, QStringLiteral("OK"));
  dialogs.Error("Le repertoire (<b>/tmp/a&b</b>) n'est pas accessible !");
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.format, Qt::PlainText);
  EXPECT_EQ(seen.text, QStringLiteral("Le repertoire (<b>/tmp/a&b</b>) n'est pas accessible !"));
  ASSERT_NE(seen.owner, nullptr);
  EXPECT_EQ(seen.owner, owner.windowHandle());
}

}  // namespace
}  // namespace varnoket
