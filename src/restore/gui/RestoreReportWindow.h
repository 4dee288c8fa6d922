// The report window of a restore run: one line per file restored and per
// failure, shown while the run lasts with the button that lets the user stop
// the run after the file in progress; once the run is over the same button
// closes it. Its lines can be saved as a text file at any time.
#pragma once

#include <QDialog>
#include <QtGlobal>
#include <functional>
#include <string>

#include "platform/Dialogs.h"
#include "platform/Translation.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace varnoket {

// The window title is ProductTitle(kRestoreReportTopic).
inline constexpr const char* kRestoreReportTopic =
    QT_TRANSLATE_NOOP("varnoket::RestoreReportWindow", "Informations sur la restauration");
inline constexpr const char* kAbortCaption =
    QT_TRANSLATE_NOOP("varnoket::RestoreReportWindow", "&Abandonner la restauration");
inline constexpr const char* kAbortQuestion =
    VK_TR_NOOP("Messages", "ATTENTION voulez-vous vraiment interrompre la restauration ?");

class RestoreReportWindow : public QDialog {
  Q_OBJECT

 public:
  explicit RestoreReportWindow(Dialogs& dialogs, QWidget* parent = nullptr);

  // Appends one line to MemoMsg and repaints it at once (the run does not
  // return to the event loop between files).
  void Write(const std::string& line);
  // MemoMsg's lines joined with "\r\n".
  std::string Text() const;

  // A run starts: an empty report, shown, its button stopping the run.
  void Begin();
  // The run is over: the button closes the report.
  void Finish();
  bool RunInProgress() const { return running_; }

  // BitBtnEnregistrer: asks where (chooseSavePath) and saves the lines there.
  void SaveReport();
  // Writes the lines, each ended by "\r\n", to `path`; says so on failure.
  bool SaveTo(const std::string& path);
  // The file to save into; "" when the user cancels. Unset: the desktop's
  // save box.
  std::function<std::string()> chooseSavePath;

  // Set by the restore window: tells the run to stop after the current file.
  std::function<void()> onAbort;

  // BitBtnFermer: during a run asks whether to stop it, and on OK stops it
  // (the report stays until the run is over); after a run closes.
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
  QPushButton* saveButton_;
  bool centred_ = false;
  bool running_ = false;
};

}  // namespace varnoket
