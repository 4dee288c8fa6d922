#include "settings/gui/TFormAddExclusion.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStringList>
#include <QVBoxLayout>
#include <span>

#include "settings/ExclusionFilter.h"
#include "platform/gui/CentreOnScreen.h"

namespace varnoket {
namespace {

QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, std::span<const char* const> lines) {
  QStringList text;
  for (const char* line : lines) text << QString::fromUtf8(line);
  auto* memo = new QPlainTextEdit(text.join(QLatin1Char('\n')), parent);
  memo->setObjectName(QString::fromUtf8(name));
  memo->setReadOnly(true);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setFocusPolicy(Qt::NoFocus);
  return memo;
}

}  // namespace

TFormAddExclusion::TFormAddExclusion(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
  setObjectName(QStringLiteral("FormAddExclusion"));
  setWindowTitle(QString::fromUtf8(kAddExclusionTitle));
  setModal(true);

  MemoExplication_ = MakeMemo(this, "MemoExplication", kExclusionHelpLines);
  EditExclusion_ = new QLineEdit(this);
  EditExclusion_->setObjectName(QStringLiteral("EditExclusion"));
  BitBtn2_ = new QPushButton(QStringLiteral("&Ajouter ce filtre"), this);
  BitBtn2_->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn2_->setAutoDefault(false);
  MemoAttention_ = MakeMemo(this, "MemoAttention", kExclusionWarningLines);
  QPalette tip = MemoAttention_->palette();
  tip.setColor(QPalette::Base, tip.color(QPalette::ToolTipBase));
  tip.setColor(QPalette::Text, tip.color(QPalette::ToolTipText));
  MemoAttention_->setPalette(tip);
  BitBtnFermer_ = new QPushButton(QStringLiteral("&Fermer"), this);
  BitBtnFermer_->setObjectName(QStringLiteral("BitBtnFermer"));
  BitBtnFermer_->setToolTip(QString::fromUtf8("Fermer la fenêtre"));
  BitBtnFermer_->setAutoDefault(false);

  auto* entryRow = new QHBoxLayout;
  entryRow->addWidget(EditExclusion_, 1);
  entryRow->addWidget(BitBtn2_);
  auto* closeRow = new QHBoxLayout;
  closeRow->addStretch(1);
  closeRow->addWidget(BitBtnFermer_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MemoExplication_);
  layout->addLayout(entryRow);
  layout->addWidget(MemoAttention_);
  layout->addLayout(closeRow);
  resize(520, 420);

  connect(BitBtn2_, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
  connect(BitBtnFermer_, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormAddExclusion::SetOwner(ExclusionOwner* owner) {
  owner_ = owner;
}

void TFormAddExclusion::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) CentreOnScreen(*this);
  QDialog::showEvent(event);
}

void TFormAddExclusion::BitBtn2Click() {
  if (owner_ == nullptr) return;
  // Blanks are part of the filter: the entry is taken as typed.
  const std::string entry = EditExclusion_->text().toStdString();
  const std::string refusal = ExclusionRefusal(entry, owner_->Exclusions());
  if (!refusal.empty()) {
    dialogs_.Message(refusal);
    return;
  }
  owner_->AddExclusion(StoredFilterForm(entry));
  accept();
}

}  // namespace varnoket
