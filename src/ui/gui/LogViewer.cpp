#include "ui/gui/LogViewer.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTableWidget>
#include <QTableWidgetItem>
#include <climits>

#include "platform/ProductName.h"
#include "platform/Translation.h"
#include "platform/gui/CentreOnScreen.h"
#include "ui/LogRows.h"

namespace varnoket {

namespace {

constexpr int kButtonRightMargin = 6;
constexpr int kButtonBottomMargin = 4;
constexpr int kLogGapAboveButton = 10;

int ToGridIndex(size_t n) {
  return n > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

}  // namespace

LogViewer::LogViewer(QWidget* parent)
    : QDialog(parent),
      logTable_(new QTableWidget(0, 2, this)),
      closeButton_(new QPushButton(tr("&Fermer"), this)) {
  setObjectName(QStringLiteral("FormViewLog"));
  setWindowTitle(QString::fromStdString(
      ProductTitle(tr("Fichier LOG de la dernière sauvegarde").toStdString())));
  setModal(false);
  setSizeGripEnabled(true);

  logTable_->setObjectName(QStringLiteral("StringGrid1"));
  logTable_->setHorizontalHeaderLabels({tr("DATE"), tr("MESSAGE")});
  logTable_->verticalHeader()->hide();
  logTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  logTable_->horizontalHeader()->setStretchLastSection(false);
  logTable_->setColumnWidth(0, kDateColumnWidth);
  logTable_->setColumnWidth(1, kMessageColumnWidth);
  logTable_->setShowGrid(true);
  logTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  logTable_->setSelectionMode(QAbstractItemView::SingleSelection);
  logTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  logTable_->setWordWrap(false);

  closeButton_->setObjectName(QStringLiteral("BitBtnFermer"));
  closeButton_->setToolTip(tr("Fermer la fenêtre"));
  closeButton_->setAutoDefault(false);
  closeButton_->resize(closeButton_->sizeHint().expandedTo(QSize(75, 25)));
  connect(closeButton_, &QPushButton::clicked, this, &LogViewer::CloseWindow);

  setMinimumSize(200, 120);
  // Room for both columns at their starting widths and a vertical scroll bar.
  resize(kDateColumnWidth + kMessageColumnWidth + 24, 420);
}

void LogViewer::ShowLog(FileSystem& fs, Dialogs& dialogs, const LogPlace& place) {
  ShowLog(LoadLogRows(fs, place), dialogs);
}

void LogViewer::ShowLog(const LogLoad& load, Dialogs& dialogs) {
  switch (load.outcome) {
    case LogLoadOutcome::kNoStation:
      return;
    case LogLoadOutcome::kNoBackupRoot:
    case LogLoadOutcome::kNoFile:
      dialogs.Message(load.refusal);
      return;
    case LogLoadOutcome::kUnreadable:
      dialogs.Error(load.refusal, DialogButtons::kOk);
      return;
    case LogLoadOutcome::kLoaded:
      break;
  }

  // Emptied first: a row this log leaves unfilled (a message's second line)
  // must not show a line of an older run as if it were the latest's.
  logTable_->clearContents();
  logTable_->setRowCount(ToGridIndex(load.rows.rowCount));
  const int filled = ToGridIndex(load.rows.filled.size());
  for (int row = 0; row < filled; ++row) {
    const LogRow& line = load.rows.filled[static_cast<size_t>(row)];
    SetCell(row, 0, ShownLogDate(line.date));
    // The file stays French for the other copies of the program; each date
    // is shown in the locale's form and each message in the person's
    // language.
    SetCell(row, 1, TranslateMessage(line.message));
  }

  show();
  raise();
  activateWindow();
}

void LogViewer::LayOutControls() {
  const QSize client = size();
  const QSize button = closeButton_->size();
  logTable_->setGeometry(0, 0, client.width(),
                         client.height() - button.height() - kLogGapAboveButton);
  closeButton_->move(client.width() - button.width() - kButtonRightMargin,
                     client.height() - button.height() - kButtonBottomMargin);
}

void LogViewer::CloseWindow() {
  close();
}

void LogViewer::SetCell(int row, int column, const std::string& text) {
  const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  if (QTableWidgetItem* item = logTable_->item(row, column)) {
    item->setText(shown);
    return;
  }
  auto* item = new QTableWidgetItem(shown);  // owned by the grid from setItem on
  item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  logTable_->setItem(row, column, item);
}

void LogViewer::showEvent(QShowEvent* event) {
  if (!event->spontaneous() && !centred_) {
    CentreOnScreen(*this);
    centred_ = true;
  }
  QDialog::showEvent(event);
}

void LogViewer::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  LayOutControls();
}

}  // namespace varnoket
