// The log viewer: the rows made of the activity log's lines, the refusals
// when there is nothing to show, the grid's contents across showings and the
// window's geometry.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "platform/ShownFormat.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"
#include "ui/LogRows.h"
#include "ui/gui/LogViewer.h"

namespace varnoket {
namespace {

using test::DialogKind;

TEST(LogRowsTest, LinesBecomeRowsByTheirShapeAndSemicolons) {
  const LogRows rows = LogRowsFromText(
      "DATE;MESSAGE\r\n"
      "07/03/2006 14:05:09;Début de la sauvegarde\r\n"
      "07/03/2006 14:05:10;Erreur; disque plein;encore\r\n"  // cut at the next ";"
      "07/03/2006 14:05:11;Ligne un\r\n"
      "suite du message sans séparateur\r\n"  // a message's second line
      "a;b\r\n"                               // too short to be a row
      "é;éééééééé\n"                          // 10 characters (19 bytes): skipped
      "07/03/2006;\n"                         // 11 characters, empty message
      "é;ééééééééé\n");                       // 11 characters, more bytes
  EXPECT_EQ(rows.rowCount, 8u);
  const std::vector<LogRow> expected = {
      {"07/03/2006 14:05:09", "Début de la sauvegarde"},
      {"07/03/2006 14:05:10", "Erreur"},
      {"07/03/2006 14:05:11", "Ligne un"},
      {"07/03/2006", ""},
      {"é", "ééééééééé"},
  };
  EXPECT_EQ(rows.filled, expected);
}

std::string MonthFirst(const LocalDateTime& t, bool withTime) {
  std::string text =
      std::to_string(t.month) + "/" + std::to_string(t.day) + "/" + std::to_string(t.year);
  return withTime ? text + " " + std::to_string(t.hour) + ":" + std::to_string(t.minute) + ":" +
                        std::to_string(t.second)
                  : text;
}

TEST(LogRowsTest, RowDatesTakeTheInstalledFormAndOddOnesStayAsTheyAre) {
  SetShownConventions(FrenchConventions(), &MonthFirst);
  EXPECT_EQ(ShownLogDate("07/03/2006 14:05:09"), "3/7/2006 14:5:9");
  EXPECT_EQ(ShownLogDate("07/03/2006"), "3/7/2006");  // midnight: the date alone
  for (const char* odd : {"", "07/03/2006 14:05", "31/13/2006 10:00:00", "07/03/2006 24:00:00",
                          "07-03-2006 14:05:09", "aa/03/2006", "07/03/2006T14:05:09"})
    EXPECT_EQ(ShownLogDate(odd), odd);
  SetShownConventions(FrenchConventions());
  EXPECT_EQ(ShownLogDate("07/03/2006 14:05:09"), "07/03/2006 14:05:09");
}

TEST(LogRowsTest, HeaderOnlyAndEmptyTextGiveNoRows) {
  for (const char* text : {"DATE;MESSAGE\r\n", "DATE;MESSAGE", ""}) {
    const LogRows rows = LogRowsFromText(text);
    EXPECT_EQ(rows.rowCount, 0u) << text;
    EXPECT_TRUE(rows.filled.empty()) << text;
  }
  // A blank line still counts as a line of the file.
  EXPECT_EQ(LogRowsFromText("DATE;MESSAGE\r\n\r\n").rowCount, 1u);
}

class LogViewerTest : public ::testing::Test {
 protected:
  // The log's place in a store at `backupRoot` for a station `stationName`.
  static LogPlace Place(const std::string& backupRoot, const std::string& stationName) {
    return LogPlace{backupRoot, stationName, backupRoot + "/" + stationName + "/LASTBACKUP.LOG"};
  }
  void WriteLog(const std::string& text) {
    test::WriteFile(Place(root.path(), "POSTE1").path, text);
  }
  QTableWidget* Grid() { return form.findChild<QTableWidget*>(QStringLiteral("StringGrid1")); }
  QString Cell(int row, int column) {
    const QTableWidgetItem* item = Grid()->item(row, column);
    return item != nullptr ? item->text() : QString();
  }
  void Show() { form.ShowLog(fs, dialogs, Place(root.path(), "POSTE1")); }

  test::TempDir root;
  PosixFileSystem fs;
  test::FakeDialogs dialogs;
  LogViewer form;
};

TEST_F(LogViewerTest, RefusalsShowTheirTextAndLeaveTheViewerClosed) {
  form.ShowLog(fs, dialogs, Place(root.path(), ""));
  EXPECT_TRUE(dialogs.calls().empty());

  form.ShowLog(fs, dialogs, Place("", "POSTE1"));
  form.ShowLog(fs, dialogs, Place(root.path(), "POSTE1"));
  EXPECT_EQ(dialogs.Texts(DialogKind::Message),
            (std::vector<std::string>{"Veuillez d'abord configurer le répertoire de sauvegarde !",
                                      "Aucun fichier n'a encore été créé sur ce poste !"}));

  // A folder where the log should be cannot be read as a file.
  const std::string path = Place(root.path(), "POSTE1").path;
  ASSERT_TRUE(fs.CreateDirectories(path));
  Show();
  ASSERT_EQ(dialogs.calls().size(), 3u);
  EXPECT_EQ(dialogs.calls().back().kind, DialogKind::Error);
  EXPECT_EQ(dialogs.calls().back().buttons, DialogButtons::kOk);
  EXPECT_EQ(dialogs.calls().back().text, "Impossible de lire le fichier log (" + path + ")");
  EXPECT_FALSE(form.isVisible());
}

TEST_F(LogViewerTest, FillsTheGridAndShowsTheSameRowsWhenOpenedAgain) {
  EXPECT_EQ(form.windowTitle(),
            QString::fromUtf8("Varnoket - Fichier LOG de la dernière sauvegarde"));
  QTableWidget* grid = Grid();
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("DATE"));
  EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QStringLiteral("MESSAGE"));
  EXPECT_EQ(grid->columnWidth(0), 166);
  EXPECT_EQ(grid->columnWidth(1), 584);
  EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);

  WriteLog("DATE;MESSAGE\r\n07/03/2006 14:05:09;Fin; 3 fichiers\r\nsuite\r\n");
  for (int showing = 0; showing < 2; ++showing) {
    Show();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.isModal());
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(Cell(0, 0), QStringLiteral("07/03/2006 14:05:09"));
    EXPECT_EQ(Cell(0, 1), QStringLiteral("Fin"));
    EXPECT_EQ(Cell(1, 0), QString());  // the continuation line made no row
  }
  EXPECT_TRUE(dialogs.calls().empty());

  // A newer log whose continuation line leaves its last row unfilled: that
  // row is empty, not a line of the older run.
  WriteLog("DATE;MESSAGE\r\n08/03/2006 10:00:00;A\r\n08/03/2006 10:00:01;B\r\nsuite\r\n");
  Show();
  WriteLog("DATE;MESSAGE\r\n09/03/2006 10:00:00;C\r\nsuite\r\nsuite\r\n");
  Show();
  ASSERT_EQ(grid->rowCount(), 3);
  EXPECT_EQ(Cell(0, 1), QStringLiteral("C"));
  EXPECT_EQ(Cell(1, 1), QString());

  WriteLog("DATE;MESSAGE\r\n");
  Show();
  EXPECT_EQ(grid->rowCount(), 0);

  QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("BitBtnFermer")), Qt::LeftButton);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(LogViewerTest, ResizeLaysOutGridAndButton) {
  WriteLog("DATE;MESSAGE\r\n");
  Show();
  auto* button = form.findChild<QPushButton*>(QStringLiteral("BitBtnFermer"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), QStringLiteral("&Fermer"));
  EXPECT_EQ(button->toolTip(), QString::fromUtf8("Fermer la fenêtre"));
  for (const QSize client : {QSize(500, 300), QSize(900, 640)}) {
    form.resize(client);
    QApplication::processEvents();
    ASSERT_EQ(form.size(), client);
    EXPECT_EQ(Grid()->geometry(),
              QRect(0, 0, client.width(), client.height() - button->height() - 10));
    EXPECT_EQ(button->geometry().right() + 1, client.width() - 6);
    EXPECT_EQ(button->geometry().bottom() + 1, client.height() - 4);
  }
}

}  // namespace
}  // namespace varnoket
