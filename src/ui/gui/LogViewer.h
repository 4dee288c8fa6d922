// The log viewer: the activity log of the station's latest backup run as a
// two-column grid of dates and messages, created once and reloaded from the
// file at each opening.
#pragma once

#include <QDialog>
#include <string>

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "ui/LogRows.h"

class QPushButton;
class QTableWidget;

namespace varnoket {

class LogViewer : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kDateColumnWidth = 166;
  static constexpr int kMessageColumnWidth = 584;

  // Builds the grid with its two column titles and the close button.
  explicit LogViewer(QWidget* parent = nullptr);

  // The main window's "&Voir LOG": nothing without a station name; otherwise
  // refuses with a plain message (no backup root, no log yet) or an error box
  // (log unreadable), or fills the grid from
  // the log of `place` and shows the window without waiting (brought to the
  // front when already open).
  void ShowLog(FileSystem& fs, Dialogs& dialogs, const LogPlace& place);
  // The same, with the log already read (LoadLogRows).
  void ShowLog(const LogLoad& load, Dialogs& dialogs);

  // StringGrid1 takes the client width and the client height less the
  // button's height and 10 pixels; the button sits 6 pixels from the right
  // and 4 from the bottom.
  void LayOutControls();
  // BitBtnFermer: closes (hides) the window.
  void CloseWindow();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SetCell(int row, int column, const std::string& text);

  QTableWidget* logTable_;
  QPushButton* closeButton_;
  bool centred_ = false;
};

}  // namespace varnoket
