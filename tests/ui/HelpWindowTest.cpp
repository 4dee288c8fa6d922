// The help window: the guide loaded from the compiled-in resource at each
// showing, kept as it is when shown again while open, and the geometry of its
// two controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTextBrowser>

#include "ui/gui/HelpWindow.h"

namespace varnoket {
namespace {

QTextBrowser* RichEdit(HelpWindow& form) {
  return form.findChild<QTextBrowser*>(QStringLiteral("RichEdit1"));
}

TEST(HelpWindowTest, GuideResourceIsCompiledInAndFrench) {
  // Constructing the window registers the resource of its static library.
  HelpWindow form;
  QFile guide(QStringLiteral(":/RTFHELP"));
  ASSERT_TRUE(guide.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(guide.readAll());
  for (const char* expected :
       {"Varnoket version 1.13", "Varnoket est fourni", "http://www.varnoket.example",
        "contact@varnoket.example", "UTILISATION", "INSTALLATION", "RESTAURATION",
        "DESINSTALLATION", "varnoket.desktop", "/etc/xdg/autostart", "~/.config/autostart",
        "VARNOKET.INI", "Sauvegarder Maintenant", "Effectuer une Restauration",
        "varnoket-cli restore", "Quitter", "Mentions légales"}) {
    EXPECT_TRUE(html.contains(QString::fromUtf8(expected))) << expected;
  }
  // It opens on how to use the program; installing comes after restoring.
  EXPECT_LT(html.indexOf("UTILISATION"), html.indexOf("RESTAURATION"));
  EXPECT_LT(html.indexOf("RESTAURATION"), html.indexOf("mkdir -p ~/varnoket"));
}

TEST(HelpWindowTest, BothGuidesNameTheProgramVarnoketOnly) {
  HelpWindow form;
  for (const char* resource : {":/RTFHELP", ":/RTFHELP_en"}) {
    QFile guide(QString::fromUtf8(resource));
    ASSERT_TRUE(guide.open(QIODevice::ReadOnly)) << resource;
    const QString html = QString::fromUtf8(guide.readAll());
    EXPECT_TRUE(html.contains(QStringLiteral("Varnoket version"))) << resource;
    EXPECT_FALSE(html.contains(QStringLiteral("Quendralith"))) << resource;
    EXPECT_FALSE(html.contains(QStringLiteral("<pre>"))) << resource;
  }
}

TEST(HelpWindowTest, ShowLoadsGuideAndEveryShowingReloads) {
  HelpWindow form;
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Aide Varnoket"));
  QTextBrowser* text = RichEdit(form);
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->isReadOnly());
  EXPECT_TRUE(text->openExternalLinks());
  EXPECT_TRUE(text->toPlainText().isEmpty());

  form.ShowHelp();
  ASSERT_TRUE(form.isVisible());
  const QString loaded = text->toPlainText();
  EXPECT_TRUE(loaded.contains(QStringLiteral("UTILISATION")));
  EXPECT_TRUE(loaded.contains(QStringLiteral("INSTALLATION")));
  // Command lines wrap with the window rather than scroll it sideways.
  EXPECT_EQ(text->lineWrapMode(), QTextEdit::WidgetWidth);
  EXPECT_NE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_TRUE(loaded.contains(QStringLiteral("RESTAURATION")));
  EXPECT_TRUE(loaded.contains(QStringLiteral("DESINSTALLATION")));
  // Shown as rich text, not as the HTML source.
  EXPECT_FALSE(loaded.contains(QStringLiteral("<h2>")));

  // Closed, then shown again: a fresh copy replaces whatever was there.
  auto* button = form.findChild<QPushButton*>(QStringLiteral("BitBtnFermer"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), QStringLiteral("&Fermer"));
  EXPECT_EQ(button->toolTip(), QString::fromUtf8("Fermer la fenêtre"));
  button->click();
  EXPECT_FALSE(form.isVisible());
  text->setPlainText(QStringLiteral("modifié"));
  form.ShowHelp();
  EXPECT_EQ(text->toPlainText(), loaded);
}

TEST(HelpWindowTest, ShowHelpWhileOpenKeepsTheDocument) {
  HelpWindow form;
  form.ShowHelp();
  QTextBrowser* text = RichEdit(form);
  ASSERT_NE(text, nullptr);
  text->setPlainText(QStringLiteral("lecture en cours"));
  form.ShowHelp();
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(text->toPlainText(), QStringLiteral("lecture en cours"));
}

TEST(HelpWindowTest, ResizeLaysOutTextAndButton) {
  HelpWindow form;
  form.ShowHelp();
  QTextBrowser* text = RichEdit(form);
  auto* button = form.findChild<QPushButton*>(QStringLiteral("BitBtnFermer"));
  ASSERT_NE(text, nullptr);
  ASSERT_NE(button, nullptr);

  for (const QSize client : {QSize(500, 400), QSize(820, 610)}) {
    form.resize(client);
    QApplication::processEvents();
    ASSERT_EQ(form.size(), client);
    const int bh = button->height();
    EXPECT_EQ(text->width(), client.width() - 2);
    EXPECT_EQ(text->height(), client.height() - bh - 5);
    EXPECT_EQ(button->geometry().right() + 1, client.width() - 2);
    EXPECT_EQ(button->geometry().bottom() + 1, client.height() - 2);
    // The button stays clear of the text.
    EXPECT_LT(text->geometry().bottom(), button->geometry().top());
  }
}

TEST(HelpWindowTest, SizeSetWhileHiddenAppliesAtNextShowing) {
  HelpWindow form;
  form.resize(430, 330);
  form.ShowHelp();
  QApplication::processEvents();
  QTextBrowser* text = RichEdit(form);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->width(), 428);
  auto* button = form.findChild<QPushButton*>(QStringLiteral("BitBtnFermer"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(text->height(), 330 - button->height() - 5);
}

}  // namespace
}  // namespace varnoket
