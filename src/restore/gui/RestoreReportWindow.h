// The report window of a restore run: one line per file restored and per
// failure, shown while the run lasts, with the one button that lets the user
// stop the run after the file in progress.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "platform/Dialogs.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace varnoket {

// The window title is ProductTitle(kRestoreReportTopic).
inline constexpr const char* kRestoreReportTopic = "Informations sur la restauration";
inline constexpr const char* kAbortQuestion =
    "ATTENTION voulez vous vraiment interrompre la restauration ?";

class RestoreReportWindow : public QDialog {
  Q_OBJECT

 public:
  explicit RestoreReportWindow(Dialogs& dialogs, QWidget* parent = nullptr);

  // Appends one line to MemoMsg and repaints it at once (the run does not
  // return to the event loop between files).
  void Write(const std::string& line);
  // MemoMsg's lines joined with "\r\n".
  std::string Text() const;

  // Set by the restore window: tells the run to stop after the current file.
  std::function<void()> onAbort;

  // BitBtnFermer: asks whether to stop the run; on OK stops it and closes.
  void CloseWindow();

 protected:
  // Each showing starts an empty report.
  void showEvent(QShowEvent* event) override;
  // The window has no close box: Escape and a close from the system ask the
  // abort question instead of hiding the report of a running restore.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  Dialogs& dialogs_;
  QLabel* label_;
  QPlainTextEdit* messages_;
  QPushButton* closeButton_;
  bool centred_ = false;
};

}  // namespace varnoket
