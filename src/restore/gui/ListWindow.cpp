#include "restore/gui/ListWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/gui/NamedButton.h"

namespace varnoket {

ListWindow::ListWindow(QWidget* parent, const char* objectName, const std::string& title,
                       const std::vector<std::string>& columns, const QString& actionCaption)
    : QDialog(parent), caption_(new QLabel(this)), rows_(new QTreeWidget(this)) {
  setObjectName(QString::fromUtf8(objectName));
  setWindowTitle(QString::fromStdString(title));
  setAttribute(Qt::WA_DeleteOnClose);
  // A window of the modal restore window, not modal itself: the person goes
  // back and forth between the rows and the tree they open.
  setWindowModality(Qt::NonModal);

  caption_->setObjectName(QStringLiteral("LabelListe"));
  caption_->setWordWrap(true);
  rows_->setObjectName(QStringLiteral("ListeLignes"));
  rows_->setRootIsDecorated(false);
  rows_->setUniformRowHeights(true);
  QStringList headers;
  for (const std::string& column : columns) headers << QString::fromStdString(column);
  rows_->setHeaderLabels(headers);
  rows_->header()->setStretchLastSection(true);
  rows_->header()->setSectionResizeMode(QHeaderView::Interactive);
  // A long folder is cut in its middle, where the names matter least.
  rows_->setTextElideMode(Qt::ElideMiddle);

  auto* buttons = new QHBoxLayout;
  if (!actionCaption.isEmpty()) {
    actionButton_ = MakeButton(this, "BitBtnAction", actionCaption, QString());
    actionButton_->setEnabled(false);
    buttons->addWidget(actionButton_);
    connect(actionButton_, &QPushButton::clicked, this, &ListWindow::ActOnSelection);
    connect(rows_, &QTreeWidget::itemSelectionChanged, this,
            [this] { actionButton_->setEnabled(!rows_->selectedItems().isEmpty()); });
    connect(rows_, &QTreeWidget::itemDoubleClicked, this, [this] { ActOnSelection(); });
  }
  buttons->addStretch();
  QPushButton* close = MakeButton(this, "BitBtnFermer", tr("&Fermer"), tr("Fermer la fenêtre"));
  buttons->addWidget(close);
  connect(close, &QPushButton::clicked, this, &QDialog::close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(caption_);
  layout->addWidget(rows_, 1);
  layout->addLayout(buttons);
  resize(560, 320);
}

void ListWindow::SetCaption(const std::string& text) {
  caption_->setText(QString::fromStdString(text));
}

std::string ListWindow::Caption() const {
  return caption_->text().toStdString();
}

void ListWindow::AddRow(const std::vector<std::string>& cells) {
  auto* item = new QTreeWidgetItem(rows_);
  for (size_t i = 0; i < cells.size(); ++i) {
    item->setText(static_cast<int>(i), QString::fromStdString(cells[i]));
    item->setToolTip(static_cast<int>(i), QString::fromStdString(cells[i]));
  }
  // The first column (a name, a day, a change) shows whole.
  rows_->resizeColumnToContents(0);
}

void ListWindow::StayClearOf(const QWidget& keep) {
  const QWidget* owner = keep.window();
  const QScreen* screen = owner->screen();
  if (screen == nullptr) return;
  const QRect room = screen->availableGeometry();
  const QRect ownerFrame = owner->frameGeometry();
  const QRect kept(keep.mapToGlobal(QPoint(0, 0)), keep.size());
  const QSize frame = frameGeometry().size();
  // move() places a window's frame. Beside the owner, right or left, then
  // below or above it.
  const QPoint candidates[] = {
      {ownerFrame.right() + 1, ownerFrame.top()},
      {ownerFrame.left() - frame.width(), ownerFrame.top()},
      {ownerFrame.left(), ownerFrame.bottom() + 1},
      {ownerFrame.left(), ownerFrame.top() - frame.height()},
  };
  for (const QPoint& at : candidates) {
    if (room.contains(QRect(at, frame))) {
      move(at);
      return;
    }
  }
  // No room beside it: over the owner, on the wider side of what it keeps.
  const int rightRoom = room.right() - kept.right();
  const int leftRoom = kept.left() - room.left();
  const int width = std::min(frame.width(), std::max(rightRoom, leftRoom));
  resize(std::max(200, width - (frame.width() - this->width())), height());
  const int x = rightRoom >= leftRoom ? kept.right() + 1 : kept.left() - frameGeometry().width();
  move(x, std::clamp(frameGeometry().top(), room.top(), room.bottom() - frame.height()));
}

int ListWindow::RowCount() const {
  return rows_->topLevelItemCount();
}

std::vector<std::string> ListWindow::Row(int row) const {
  std::vector<std::string> cells;
  const QTreeWidgetItem* item = rows_->topLevelItem(row);
  if (item == nullptr) return cells;
  for (int i = 0; i < rows_->columnCount(); ++i) cells.push_back(item->text(i).toStdString());
  return cells;
}

void ListWindow::SelectRow(int row) {
  rows_->setCurrentItem(rows_->topLevelItem(row));
}

void ListWindow::ActOnSelection() {
  const QList<QTreeWidgetItem*> selected = rows_->selectedItems();
  if (selected.isEmpty() || !onAction) return;
  onAction(rows_->indexOfTopLevelItem(selected.front()));
}

}  // namespace varnoket
