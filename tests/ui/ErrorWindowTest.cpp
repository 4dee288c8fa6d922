// The error window: non-blocking showing, text replacement and the
// four-minute timer that hides it without being restarted by a showing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "ui/gui/ErrorWindow.h"

namespace varnoket {
namespace {

QTimer* TimeoutTimer(ErrorWindow& form) {
  return form.findChild<QTimer*>(QStringLiteral("TimerTimeout"));
}

TEST(ErrorWindowTest, ShowsWithoutBlockingAndSecondErrorReplacesText) {
  ErrorWindow form;
  ASSERT_FALSE(form.isVisible());
  EXPECT_EQ(form.Text(), "");

  form.ShowError("Impossible de lire le fichier (/x)\r\nSauvegarde incomplète !");
  // Reaching this line at all proves the call did not wait for the user.
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.isModal());
  EXPECT_EQ(form.Text(), "Impossible de lire le fichier (/x)\r\nSauvegarde incomplète !");
  auto* memo = form.findChild<QTextEdit*>(QStringLiteral("MemoMsg"));
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->toPlainText(),
            QString::fromUtf8("Impossible de lire le fichier (/x)\nSauvegarde incomplète !"));
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_EQ(memo->document()->defaultTextOption().alignment() & Qt::AlignHCenter, Qt::AlignHCenter);

  form.ShowError("<b>second</b>");
  EXPECT_TRUE(form.isVisible());
  // Replaced, not appended, and markup is shown as typed.
  EXPECT_EQ(form.Text(), "<b>second</b>");
}

TEST(ErrorWindowTest, CloseButtonHidesWindow) {
  ErrorWindow form;
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Varnoket - ERREUR"));
  form.ShowError("x");
  auto* button = form.findChild<QPushButton*>(QStringLiteral("BitBtnFermer"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), QStringLiteral("&Fermer"));
  EXPECT_EQ(button->toolTip(), QString::fromUtf8("Fermer la fenêtre"));
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_FALSE(form.isVisible());
  // The window lives on for the next error.
  form.ShowError("y");
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.Text(), "y");
}

TEST(ErrorWindowTest, TimerRunsFromCreationAndEachTickHides) {
  ErrorWindow form;
  QTimer* timer = TimeoutTimer(form);
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->interval(), 240000);
  EXPECT_FALSE(timer->isSingleShot());
  // Four minutes means four minutes: no coarse drift of several seconds.
  EXPECT_EQ(timer->timerType(), Qt::PreciseTimer);
  // Running before the window was ever shown.
  EXPECT_TRUE(timer->isActive());

  // A tick while hidden does nothing.
  QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
  EXPECT_FALSE(form.isVisible());

  // An error shown just before a tick is hidden by it.
  form.ShowError("erreur");
  QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(timer->isActive());

  form.ShowError("encore");
  form.CloseAfterTimeout();
  EXPECT_FALSE(form.isVisible());
}

TEST(ErrorWindowTest, ShowingDoesNotRestartTimer) {
  ErrorWindow form;
  QTimer* timer = TimeoutTimer(form);
  ASSERT_NE(timer, nullptr);
  // Let some of the period run out, waiting only as long as that takes.
  QElapsedTimer waited;
  waited.start();
  while (timer->remainingTime() > 240000 - 40 && waited.elapsed() < 2000) QTest::qWait(5);
  const int before = timer->remainingTime();
  ASSERT_LE(before, 240000 - 40);

  form.ShowError("erreur");
  form.hide();
  form.ShowError("erreur");
  EXPECT_TRUE(timer->isActive());
  EXPECT_LE(timer->remainingTime(), before);
}

}  // namespace
}  // namespace varnoket
