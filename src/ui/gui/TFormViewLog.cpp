#include "ui/gui/TFormViewLog.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTableWidget>
#include <QTableWidgetItem>
#include <climits>

#include "platform/gui/CentreOnScreen.h"
#include "ui/LogRows.h"

namespace varnoket {

namespace {

constexpr int kButtonRightMargin = 6;
constexpr int kButtonBottomMargin = 4;
constexpr int kGapAboveButton = 10;

int ToGridIndex(size_t n) {
  return n > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

}  // namespace

TFormViewLog::TFormViewLog(QWidget* parent)
    : QDialog(parent),
      stringGrid1_(new QTableWidget(0, 2, this)),
      bitBtnFermer_(new QPushButton(QStringLiteral("&Fermer"), this)) {
  setObjectName(QStringLiteral("FormViewLog"));
  setWindowTitle(QStringLiteral("Varnoket - Fichier LOG de la dernière sauvegarde"));
  setModal(false);
  setSizeGripEnabled(true);

  stringGrid1_->setObjectName(QStringLiteral("StringGrid1"));
  stringGrid1_->setHorizontalHeaderLabels({QStringLiteral("DATE"), QStringLiteral("MESSAGE")});
  stringGrid1_->verticalHeader()->hide();
  stringGrid1_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  stringGrid1_->horizontalHeader()->setStretchLastSection(false);
  stringGrid1_->setColumnWidth(0, kDateColumnWidth);
  stringGrid1_->setColumnWidth(1, kMessageColumnWidth);
  stringGrid1_->setShowGrid(true);
  stringGrid1_->setSelectionBehavior(QAbstractItemView::SelectRows);
  stringGrid1_->setSelectionMode(QAbstractItemView::SingleSelection);
  stringGrid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  stringGrid1_->setWordWrap(false);

  bitBtnFermer_->setObjectName(QStringLiteral("BitBtnFermer"));
  bitBtnFermer_->setToolTip(QStringLiteral("Fermer la fenêtre"));
  bitBtnFermer_->setAutoDefault(false);
  bitBtnFermer_->resize(bitBtnFermer_->sizeHint().expandedTo(QSize(75, 25)));
  connect(bitBtnFermer_, &QPushButton::clicked, this, &TFormViewLog::VKBitBtn3Click);

  setMinimumSize(200, 120);
  // Room for both columns at their starting widths and a vertical scroll bar.
  resize(kDateColumnWidth + kMessageColumnWidth + 24, 420);
}

void TFormViewLog::ShowLog(FileSystem& fs, Dialogs& dialogs, const std::string& backupRoot,
                           const std::string& stationName) {
  const LogLoad load = LoadLogRows(fs, backupRoot, stationName);
  switch (load.outcome) {
    case LogLoadOutcome::NoStation:
      return;
    case LogLoadOutcome::NoBackupRoot:
    case LogLoadOutcome::NoFile:
      dialogs.Message(load.refusal);
      return;
    case LogLoadOutcome::Unreadable:
      dialogs.Error(load.refusal, DialogButtons::Ok);
      return;
    case LogLoadOutcome::Loaded:
      break;
  }

  // Emptied first: a row this log leaves unfilled (a message's second line)
  // must not show a line of an older run as if it were the latest's.
  stringGrid1_->clearContents();
  stringGrid1_->setRowCount(ToGridIndex(load.rows.rowCount));
  const int filled = ToGridIndex(load.rows.filled.size());
  for (int row = 0; row < filled; ++row) {
    const LogRow& line = load.rows.filled[static_cast<size_t>(row)];
    SetCell(row, 0, line.date);
    SetCell(row, 1, line.message);
  }

  show();
  raise();
  activateWindow();
}

void TFormViewLog::FormResize() {
  const QSize client = size();
  const QSize button = bitBtnFermer_->size();
  stringGrid1_->setGeometry(0, 0, client.width(),
                            client.height() - button.height() - kGapAboveButton);
  bitBtnFermer_->move(client.width() - button.width() - kButtonRightMargin,
                      client.height() - button.height() - kButtonBottomMargin);
}

void TFormViewLog::VKBitBtn3Click() {
  close();
}

void TFormViewLog::SetCell(int row, int column, const std::string& text) {
  const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  if (QTableWidgetItem* item = stringGrid1_->item(row, column)) {
    item->setText(shown);
    return;
  }
  auto* item = new QTableWidgetItem(shown);  // owned by the grid from setItem on
  item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  stringGrid1_->setItem(row, column, item);
}

void TFormViewLog::showEvent(QShowEvent* event) {
  if (!event->spontaneous() && !centred_) {
    CentreOnScreen(*this);
    centred_ = true;
  }
  QDialog::showEvent(event);
}

void TFormViewLog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

}  // namespace varnoket
