#include "restore/gui/ListWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/gui/NamedButton.h"

namespace varnoket {

ListWindow::ListWindow(QWidget* parent, const char* objectName, const std::string& title,
                       const std::vector<std::string>& columns, const QString& actionCaption)
    : QDialog(parent), caption_(new QLabel(this)), rows_(new QTreeWidget(this)) {
  setObjectName(QString::fromUtf8(objectName));
  setWindowTitle(QString::fromStdString(title));
  setAttribute(Qt::WA_DeleteOnClose);
  // Reachable above the modal restore window, as its report window is.
  setWindowModality(Qt::ApplicationModal);

  caption_->setObjectName(QStringLiteral("LabelListe"));
  caption_->setWordWrap(true);
  rows_->setObjectName(QStringLiteral("ListeLignes"));
  rows_->setRootIsDecorated(false);
  rows_->setUniformRowHeights(true);
  QStringList headers;
  for (const std::string& column : columns) headers << QString::fromStdString(column);
  rows_->setHeaderLabels(headers);
  rows_->header()->setStretchLastSection(true);

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
  }
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
