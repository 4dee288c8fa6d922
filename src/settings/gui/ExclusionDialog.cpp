#include "settings/gui/ExclusionDialog.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStringList>
#include <QVBoxLayout>
#include <span>

#include "platform/ProductName.h"
#include "platform/gui/CentreOnScreen.h"
#include "settings/ExclusionFilter.h"

namespace varnoket {
namespace {

QPlainTextEdit* MakeReadOnlyText(QWidget* parent, const char* name,
                                 std::span<const char* const> lines) {
  QStringList text;
  for (const char* line : lines)
    text << (*line == '\0' ? QString()
                           : QCoreApplication::translate("varnoket::ExclusionDialog", line));
  auto* memo = new QPlainTextEdit(text.join(QLatin1Char('\n')), parent);
  memo->setObjectName(QString::fromUtf8(name));
  memo->setReadOnly(true);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setFocusPolicy(Qt::NoFocus);
  return memo;
}

}  // namespace

ExclusionDialog::ExclusionDialog(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
  setObjectName(QStringLiteral("FormAddExclusion"));
  setWindowTitle(QString::fromStdString(ProductTitle(tr(kExclusionDialogTopic).toStdString())));
  setModal(true);

  helpText_ = MakeReadOnlyText(this, "MemoExplication", kExclusionHelpLines);
  filterEdit_ = new QLineEdit(this);
  filterEdit_->setObjectName(QStringLiteral("EditExclusion"));
  addButton_ = new QPushButton(tr("&Ajouter ce filtre"), this);
  addButton_->setObjectName(QStringLiteral("BitBtn2"));
  addButton_->setAutoDefault(false);
  warningText_ = MakeReadOnlyText(this, "MemoAttention", kExclusionWarningLines);
  QPalette tip = warningText_->palette();
  tip.setColor(QPalette::Base, tip.color(QPalette::ToolTipBase));
  tip.setColor(QPalette::Text, tip.color(QPalette::ToolTipText));
  warningText_->setPalette(tip);
  closeButton_ = new QPushButton(tr("&Fermer"), this);
  closeButton_->setObjectName(QStringLiteral("BitBtnFermer"));
  closeButton_->setToolTip(tr("Fermer la fenêtre"));
  closeButton_->setAutoDefault(false);

  auto* entryRow = new QHBoxLayout;
  entryRow->addWidget(filterEdit_, 1);
  entryRow->addWidget(addButton_);
  auto* closeRow = new QHBoxLayout;
  closeRow->addStretch(1);
  closeRow->addWidget(closeButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(helpText_);
  layout->addLayout(entryRow);
  layout->addWidget(warningText_);
  layout->addLayout(closeRow);
  resize(520, 420);

  connect(addButton_, &QPushButton::clicked, this, [this] { AddTypedFilter(); });
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void ExclusionDialog::SetOwner(ExclusionOwner* owner) {
  owner_ = owner;
}

void ExclusionDialog::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) CentreOnScreen(*this);
  QDialog::showEvent(event);
}

void ExclusionDialog::AddTypedFilter() {
  if (owner_ == nullptr) return;
  // Blanks are part of the filter: the entry is taken as typed.
  const std::string entry = filterEdit_->text().toStdString();
  const std::string refusal = ExclusionRefusal(entry, owner_->Exclusions());
  if (!refusal.empty()) {
    dialogs_.Message(refusal);
    return;
  }
  owner_->AddExclusion(StoredFilterForm(entry));
  accept();
}

}  // namespace varnoket
