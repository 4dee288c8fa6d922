#include "settings/gui/TFormConfig.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <utility>

#include "platform/IniFile.h"
#include "platform/PathRules.h"
#include "platform/gui/CentreOnScreen.h"
#include "platform/gui/NamedButton.h"
#include "settings/ConfigurationRules.h"

namespace varnoket {
namespace {

QString Q(const char* text) {
  return QString::fromUtf8(text);
}
std::string S(const QString& text) {
  return text.toStdString();
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption) {
  auto* label = new QLabel(Q(caption), parent);
  label->setObjectName(Q(name));
  return label;
}

QLineEdit* MakeNumberField(QWidget* parent, const char* name) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(Q(name));
  field->setMaximumWidth(80);
  return field;
}

// Removes the last character, a surrogate pair counting as one.
void RemoveLastCharacter(QLineEdit& field) {
  QString text = field.text();
  const bool pair = text.size() >= 2 && text.back().isLowSurrogate() &&
                    text.at(text.size() - 2).isHighSurrogate();
  text.chop(pair ? 2 : 1);
  field.setText(text);
}

}  // namespace

TFormConfig::TFormConfig(FileSystem& fs, Dialogs& dialogs, FolderPicker& picker, TDriveInfo& drives,
                         std::string programFolder, QWidget* parent)
    : QDialog(parent), fs_(fs), dialogs_(dialogs), picker_(picker), drives_(drives) {
  BuildControls();
  std::string error;
  settings_ = LoadProgramSettings(fs_, drives_, programFolder, &error);
  if (!settings_.IsOpen()) dialogs_.Error(error);
  if (!settings_.notice.empty()) dialogs_.Warning(settings_.notice);
}

void TFormConfig::BuildControls() {
  setObjectName(QStringLiteral("FormConfig"));
  setWindowTitle(Q(kConfigTitle));
  setToolTip(Q(kConfigHint));
  setWhatsThis(Q(kConfigHint));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  VKLabel1_ = MakeLabel(this, "VKLabel1", "Dossier commun qui contiendra les sauvegardes");
  QFont bold = VKLabel1_->font();
  bold.setBold(true);
  VKLabel1_->setFont(bold);

  BitBtnChoixRep_ =
      MakeButton(this, "BitBtnChoixRep", "&Choisir", "Sélection du dossier de sauvegardes");
  BitBtnChoixRep_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  // The glyph sits on the right of the caption.
  BitBtnChoixRep_->setLayoutDirection(Qt::RightToLeft);

  EditChemin_ = new QLineEdit(this);
  EditChemin_->setObjectName(QStringLiteral("EditChemin"));
  EditChemin_->setReadOnly(true);
  QPalette grey = EditChemin_->palette();
  grey.setColor(QPalette::Base, QColor(0xE0, 0xE0, 0xE0));
  EditChemin_->setPalette(grey);

  note_ = MakeLabel(this, "LabelNoteRacine",
                    "Seul un répertoire local, situé sur un disque dur ou sur un support "
                    "amovible, peut être choisi comme dossier des sauvegardes.");
  note_->setWordWrap(true);
  QPalette blue = note_->palette();
  blue.setColor(QPalette::WindowText, Qt::blue);
  note_->setPalette(blue);

  Label2_ = MakeLabel(this, "Label2", "Nombre maximum de journées successives mémorisées");
  MaxSave_ = MakeNumberField(this, "MaxSave");
  MaxSave_->setText(QStringLiteral("30"));
  Label3_ = MakeLabel(this, "Label3", "Heure préférée de sauvegarde quotidienne (0 à 23)");
  HeurePref_ = MakeNumberField(this, "HeurePref");
  HeurePref_->setText(QStringLiteral("13"));
  Label1_ = MakeLabel(this, "Label1", "Minute préférée de sauvegarde quotidienne (0 à 59)");
  EditMinute_ = MakeNumberField(this, "EditMinute");
  EditMinute_->setText(QStringLiteral("0"));

  VKBitBtn3_ = MakeButton(this, "VKBitBtn3", "&Valider et mémoriser", "Mémoriser la configuration");
  BitBtnFermer_ = MakeButton(this, "BitBtnFermer", "&Fermer", "Fermer la fenêtre");

  auto* rootRow = new QHBoxLayout;
  rootRow->addWidget(BitBtnChoixRep_);
  rootRow->addWidget(EditChemin_, 1);
  auto* numbers = new QGridLayout;
  numbers->addWidget(Label2_, 0, 0);
  numbers->addWidget(MaxSave_, 0, 1);
  numbers->addWidget(Label3_, 1, 0);
  numbers->addWidget(HeurePref_, 1, 1);
  numbers->addWidget(Label1_, 2, 0);
  numbers->addWidget(EditMinute_, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(VKBitBtn3_);
  buttons->addWidget(BitBtnFermer_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(VKLabel1_);
  layout->addLayout(rootRow);
  layout->addWidget(note_);
  layout->addLayout(numbers);
  layout->addLayout(buttons);

  connect(BitBtnChoixRep_, &QPushButton::clicked, this, [this] { BitBtnChoixRepClick(); });
  connect(VKBitBtn3_, &QPushButton::clicked, this, [this] { VKBitBtn3Click(); });
  connect(BitBtnFermer_, &QPushButton::clicked, this, [this] { Button1Click(); });
  // Only what the user types is checked: the values shown from memory are the
  // loaded ones, and a days count above the typing range (a file may hold
  // one) must not be cut down just by opening the dialog.
  connect(MaxSave_, &QLineEdit::textEdited, this, [this] { MaxSaveChange(); });
  connect(HeurePref_, &QLineEdit::textEdited, this, [this] { HeurePrefChange(); });
  connect(EditMinute_, &QLineEdit::textEdited, this, [this] { EditMinuteChange(); });
}

void TFormConfig::SetOwner(ConfigOwner* owner) {
  owner_ = owner;
}

const ProgramSettings& TFormConfig::Settings() const {
  return settings_;
}

void TFormConfig::showEvent(QShowEvent* event) {
  // A window coming back from the task bar keeps what is being typed.
  if (!event->spontaneous()) {
    EditChemin_->setText(QString::fromStdString(settings_.backupRoot));
    MaxSave_->setText(QString::number(settings_.daysKept));
    HeurePref_->setText(QString::number(settings_.preferredHour));
    EditMinute_->setText(QString::number(settings_.preferredMinute));
    CentreOnScreen(*this);
  }
  QDialog::showEvent(event);
}

void TFormConfig::BitBtnChoixRepClick() {
  const std::string choice = picker_.BrowseForFolder(kChooseFolderTitle, true);
  if (choice.empty()) return;
  const RootChoiceCheck check = CheckBackupRootChoice(fs_, drives_, choice);
  switch (check.refusal) {
    case RootRefusal::None:
      break;
    case RootRefusal::NotAccessible:
      dialogs_.Error(check.text, DialogButtons::Ok);
      return;
    case RootRefusal::OnShare:
    case RootRefusal::NotLocalDisk:
      dialogs_.Message(check.text);
      return;
  }
  if (!EditChemin_->text().isEmpty() &&
      dialogs_.Warning(kRootChangeWarning, DialogButtons::OkCancel) != DialogAnswer::Ok) {
    return;
  }
  EditChemin_->setText(QString::fromStdString(choice));
}

void TFormConfig::MaxSaveChange() {
  CheckNumberField(*MaxSave_, kDaysKeptRule);
}
void TFormConfig::HeurePrefChange() {
  CheckNumberField(*HeurePref_, kHourRule);
}
void TFormConfig::EditMinuteChange() {
  CheckNumberField(*EditMinute_, kMinuteRule);
}

void TFormConfig::CheckNumberField(QLineEdit& field, const NumberFieldRule& rule) {
  while (!NumberFieldAccepts(rule, S(field.text()))) {
    dialogs_.Message(rule.message);
    RemoveLastCharacter(field);
    field.setFocus();
  }
}

void TFormConfig::VKBitBtn3Click() {
  if (!settings_.IsOpen()) {
    dialogs_.Error(kIniNotInitialised);
    return;
  }
  const std::string station = owner_ != nullptr ? owner_->StationName() : std::string();
  if (station.empty()) {
    dialogs_.Error(kNoStationName);
    return;
  }
  if (EditChemin_->text().isEmpty()) {
    dialogs_.Message(kChooseRootFirst);
    BitBtnChoixRep_->setFocus();
    return;
  }
  if (HeurePref_->text().isEmpty()) {
    dialogs_.Message(kEnterHour);
    HeurePref_->setFocus();
    return;
  }
  if (EditMinute_->text().isEmpty()) EditMinute_->setText(QStringLiteral("0"));
  if (MaxSave_->text().isEmpty()) {
    dialogs_.Message(kEnterDays);
    MaxSave_->setFocus();
    return;
  }

  const ConfigurationFields fields{S(EditChemin_->text()), S(HeurePref_->text()),
                                   S(EditMinute_->text()), S(MaxSave_->text())};
  if (!CanWriteInFolder(fs_, fields.root)) {
    dialogs_.Message(kRootNotWritable);
    return;
  }
  try {
    WriteProgramSettings(fs_, settings_, fields);
  } catch (const IniError& e) {
    // The values in memory stay those of the file as it was.
    dialogs_.Error(e.what());
    return;
  }
  if (ApplyProgramSettings(settings_, fields)) MaxSave_->setText(QStringLiteral("2"));

  const std::string root = settings_.backupRoot;
  const std::string path = StationSettingsPath(PathRules(PathStyle::Posix), root, station);
  if (!EnsureStationSettings(fs_, dialogs_, owner_->Station(), path, root)) return;
  owner_->ConfigurationSaved();
  accept();
}

void TFormConfig::Button1Click() {
  reject();
}

}  // namespace varnoket
