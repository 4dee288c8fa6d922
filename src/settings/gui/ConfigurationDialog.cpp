#include "settings/gui/ConfigurationDialog.h"

#include <QCheckBox>
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
#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>
#include <vector>

#include "platform/IniFile.h"
#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/ProductName.h"
#include "platform/gui/CentreOnScreen.h"
#include "platform/gui/NamedButton.h"
#include "settings/ConfigurationRules.h"
#include "settings/SettingsKeys.h"
#include "settings/StoreInBackedUpFolder.h"
#include "settings/StoreMarker.h"

namespace varnoket {
namespace {

QString Q(const char* text) {
  return QString::fromUtf8(text);
}
std::string S(const QString& text) {
  return text.toStdString();
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(Q(name));
  return label;
}

QLineEdit* MakeNumberField(QWidget* parent, const char* name) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(Q(name));
  field->setMaximumWidth(80);
  return field;
}

// A field whose text cannot be saved wears a red frame until it is edited.
void MarkWrong(QLineEdit& field, bool wrong) {
  field.setProperty("wrongValue", wrong);
  field.setStyleSheet(wrong ? QStringLiteral("QLineEdit { border: 2px solid red; }") : QString());
}

}  // namespace

ConfigurationDialog::ConfigurationDialog(FileSystem& fs, Dialogs& dialogs, FolderPicker& picker,
                                         DriveInfo& drives, std::string programFolder,
                                         QWidget* parent)
    : QDialog(parent), fs_(fs), dialogs_(dialogs), picker_(picker), drives_(drives) {
  BuildControls();
  std::string error;
  settings_ = LoadProgramSettings(fs_, drives_, programFolder, &error);
  if (!settings_.IsOpen()) dialogs_.Error(error);
  if (!settings_.notice.empty()) dialogs_.Warning(settings_.notice);
}

void ConfigurationDialog::BuildControls() {
  setObjectName(QStringLiteral("FormConfig"));
  setWindowTitle(QString::fromStdString(ProductTitle(tr(kConfigTopic).toStdString())));
  setToolTip(tr(kConfigHint));
  setWhatsThis(tr(kConfigHint));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  rootLabel_ = MakeLabel(this, "VKLabel1", tr("Dossier commun qui contiendra les sauvegardes"));
  QFont bold = rootLabel_->font();
  bold.setBold(true);
  rootLabel_->setFont(bold);

  chooseRootButton_ =
      MakeButton(this, "BitBtnChoixRep", tr("&Choisir"), tr("Sélection du dossier de sauvegardes"));
  chooseRootButton_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  // The glyph sits on the right of the caption.
  chooseRootButton_->setLayoutDirection(Qt::RightToLeft);

  rootEdit_ = new QLineEdit(this);
  rootEdit_->setObjectName(QStringLiteral("EditChemin"));
  rootEdit_->setReadOnly(true);
  QPalette grey = rootEdit_->palette();
  grey.setColor(QPalette::Base, QColor(0xE0, 0xE0, 0xE0));
  rootEdit_->setPalette(grey);

  note_ = MakeLabel(this, "LabelNoteRacine",
                    tr("Seul un répertoire local, situé sur un disque dur ou sur un support "
                       "amovible, peut être choisi comme dossier des sauvegardes."));
  note_->setWordWrap(true);
  QPalette blue = note_->palette();
  blue.setColor(QPalette::WindowText, Qt::blue);
  note_->setPalette(blue);

  // Off by default: a store on a share is refused, as it always was.
  networkStoreBox_ = new QCheckBox(
      tr("Permettre un dossier des sauvegardes sur un partage réseau (NFS, SMB...), protégé par "
         "son verrou"),
      this);
  networkStoreBox_->setObjectName(QStringLiteral("StockageReseau"));

  daysKeptLabel_ =
      MakeLabel(this, "Label2", tr("Nombre maximum de journées successives mémorisées"));
  daysKeptEdit_ = MakeNumberField(this, "MaxSave");
  daysKeptEdit_->setText(QString::number(kDaysKeptKey.fallback));
  hourLabel_ = MakeLabel(this, "Label3", tr("Heure préférée de sauvegarde quotidienne (0 à 23)"));
  hourEdit_ = MakeNumberField(this, "HeurePref");
  hourEdit_->setText(QString::number(kPreferredHourKey.fallback));
  minuteLabel_ =
      MakeLabel(this, "Label1", tr("Minute préférée de sauvegarde quotidienne (0 à 59)"));
  minuteEdit_ = MakeNumberField(this, "EditMinute");
  minuteEdit_->setText(QString::number(kPreferredMinuteKey.fallback));

  saveButton_ =
      MakeButton(this, "VKBitBtn3", tr("&Valider et mémoriser"), tr("Mémoriser la configuration"));
  closeButton_ = MakeButton(this, "BitBtnFermer", tr("&Fermer"), tr("Fermer la fenêtre"));

  LayOutControls();
}

void ConfigurationDialog::LayOutControls() {
  auto* rootRow = new QHBoxLayout;
  rootRow->addWidget(chooseRootButton_);
  rootRow->addWidget(rootEdit_, 1);
  auto* numbers = new QGridLayout;
  numbers->addWidget(daysKeptLabel_, 0, 0);
  numbers->addWidget(daysKeptEdit_, 0, 1);
  numbers->addWidget(hourLabel_, 1, 0);
  numbers->addWidget(hourEdit_, 1, 1);
  numbers->addWidget(minuteLabel_, 2, 0);
  numbers->addWidget(minuteEdit_, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(saveButton_);
  buttons->addWidget(closeButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(rootLabel_);
  layout->addLayout(rootRow);
  layout->addWidget(note_);
  layout->addWidget(networkStoreBox_);
  layout->addLayout(numbers);
  layout->addLayout(buttons);

  connect(chooseRootButton_, &QPushButton::clicked, this, [this] { ChooseBackupRoot(); });
  connect(saveButton_, &QPushButton::clicked, this, [this] { SaveConfiguration(); });
  connect(closeButton_, &QPushButton::clicked, this, [this] { CloseWindow(); });
  // The numbers are checked when the person validates, never while typing:
  // a box at each key would take the key away. An edited field loses its mark.
  for (QLineEdit* field : {daysKeptEdit_, hourEdit_, minuteEdit_}) {
    connect(field, &QLineEdit::textEdited, this, [field] { MarkWrong(*field, false); });
  }
}

void ConfigurationDialog::SetOwner(ConfigOwner* owner) {
  owner_ = owner;
}

const ProgramSettings& ConfigurationDialog::Settings() const {
  return settings_;
}

void ConfigurationDialog::showEvent(QShowEvent* event) {
  // A window coming back from the task bar keeps what is being typed.
  if (!event->spontaneous()) {
    rootEdit_->setText(QString::fromStdString(settings_.firstRoot));
    daysKeptEdit_->setText(QString::number(settings_.daysKept));
    hourEdit_->setText(QString::number(settings_.preferredHour));
    minuteEdit_->setText(QString::number(settings_.preferredMinute));
    networkStoreBox_->setChecked(settings_.networkStore);
    for (QLineEdit* field : {daysKeptEdit_, hourEdit_, minuteEdit_}) MarkWrong(*field, false);
    CentreOnScreen(*this);
  }
  QDialog::showEvent(event);
}

void ConfigurationDialog::ChooseBackupRoot() {
  const std::string choice = picker_.BrowseForFolder(tr(kChooseFolderTitle).toStdString(), true);
  if (choice.empty()) return;
  const RootChoiceCheck check =
      CheckBackupRootChoice(fs_, drives_, choice, networkStoreBox_->isChecked());
  switch (check.refusal) {
    case RootRefusal::None:
      break;
    case RootRefusal::NotAccessible:
      dialogs_.Error(check.text, DialogButtons::kOk);
      return;
    case RootRefusal::OnShare:
    case RootRefusal::NotLocalDisk:
      dialogs_.Message(check.text);
      return;
  }
  const std::string station = owner_ != nullptr ? owner_->StationName() : std::string();
  const std::string inSet =
      StoreInBackedUpFolderRefusal(fs_, dialogs_, settings_.backupRoot, station, choice);
  if (!inSet.empty()) {
    dialogs_.Warning(inSet);
    return;
  }
  if (!rootEdit_->text().isEmpty() &&
      dialogs_.Warning(kRootChangeWarning, DialogButtons::kOkCancel) != DialogAnswer::kOk) {
    return;
  }
  rootEdit_->setText(QString::fromStdString(choice));
}

QLineEdit* ConfigurationDialog::FieldOf(NumberFieldId field) const {
  switch (field) {
    case NumberFieldId::kHour:
      return hourEdit_;
    case NumberFieldId::kMinute:
      return minuteEdit_;
    case NumberFieldId::kDaysKept:
      break;
  }
  return daysKeptEdit_;
}

bool ConfigurationDialog::CheckNumberFields() {
  const std::string hour = S(hourEdit_->text());
  const std::string minute = S(minuteEdit_->text());
  const std::string days = S(daysKeptEdit_->text());
  std::vector<NumberFieldProblem> problems =
      varnoket::CheckNumberFields(NumberFieldTexts{hour, minute, days});
  // A value shown as loaded is kept as it is: a file may hold a days count
  // above the range a person may type, and it must survive a validation.
  std::erase_if(problems, [this](const NumberFieldProblem& problem) {
    const int loaded = problem.field == NumberFieldId::kHour     ? settings_.preferredHour
                       : problem.field == NumberFieldId::kMinute ? settings_.preferredMinute
                                                                 : settings_.daysKept;
    return FieldOf(problem.field)->text() == QString::number(loaded);
  });
  for (QLineEdit* field : {daysKeptEdit_, hourEdit_, minuteEdit_}) MarkWrong(*field, false);
  if (problems.empty()) return true;
  for (const NumberFieldProblem& problem : problems) MarkWrong(*FieldOf(problem.field), true);
  QLineEdit* first = FieldOf(problems.front().field);
  dialogs_.Message(problems.front().message);
  first->setFocus();
  first->selectAll();
  return false;
}

bool ConfigurationDialog::CheckStoreFolder(const std::string& root, const std::string& station) {
  // What follows reads and writes the folder on the window's thread: a
  // share that does not answer would hold it. Asked off it first.
  const std::optional<bool> there = rootQuestion_.Ask(
      root, [&fs = fs_, root] { return fs.IsDirectory(root); }, std::chrono::milliseconds(500));
  if (!there) {
    dialogs_.Message(FillText(kRootSilent, {root}));
    return false;
  }
  // Chosen while it existed, it may have gone since: a disk unplugged, a
  // folder renamed or removed while the window stayed open.
  if (!*there) {
    dialogs_.Message(FillText(kRootGone, {root}));
    chooseRootButton_->setFocus();
    return false;
  }
  const std::string inSet =
      StoreInBackedUpFolderRefusal(fs_, dialogs_, settings_.backupRoot, station, root);
  if (!inSet.empty()) {
    dialogs_.Warning(inSet);
    chooseRootButton_->setFocus();
    return false;
  }
  return true;
}

void ConfigurationDialog::SaveConfiguration() {
  if (!settings_.IsOpen()) {
    dialogs_.Error(kIniNotInitialised);
    return;
  }
  const std::string station = owner_ != nullptr ? owner_->StationName() : std::string();
  if (station.empty()) {
    dialogs_.Error(kNoStationName);
    return;
  }
  if (rootEdit_->text().isEmpty()) {
    dialogs_.Message(kChooseRootFirst);
    chooseRootButton_->setFocus();
    return;
  }
  const bool numbersOk = CheckNumberFields();
  // An empty minute means the minute's default, once an hour is given.
  if (minuteEdit_->text().isEmpty() && !hourEdit_->text().isEmpty())
    minuteEdit_->setText(QString::number(kPreferredMinuteKey.fallback));
  if (!numbersOk) return;
  if (!CheckStoreFolder(S(rootEdit_->text()), station)) return;

  const ConfigurationFields fields{S(rootEdit_->text()), S(hourEdit_->text()),
                                   S(minuteEdit_->text()), S(daysKeptEdit_->text())};
  if (!CanWriteInFolder(fs_, fields.root)) {
    dialogs_.Message(kRootNotWritable);
    return;
  }
  // The marker tells the runs that this folder is the store, and the
  // recorded id that it is this store, not another disk mounted there.
  const std::optional<StoreMarker> marker = MarkStore(fs_, fields.root);
  if (!marker) {
    if (HasUnreadableMarker(fs_, fields.root)) {
      dialogs_.Error(UnreadableMarkerText(fields.root));
    } else {
      dialogs_.Message(kRootNotWritable);
    }
    return;
  }
  // The disk at the root may be another disk of the list, plugged in turn:
  // the first one's id stays, and a new root cannot be another disk's.
  const bool otherDisk =
      std::any_of(settings_.otherStores.begin(), settings_.otherStores.end(),
                  [&](const StoreEntry& other) { return other.id == marker->id; });
  if (otherDisk && fields.root != settings_.firstRoot) {
    dialogs_.Message(FillText(kOtherDiskOfTheList, {fields.root}));
    return;
  }
  const bool network = networkStoreBox_->isChecked();
  if (!network && IsRemotePath(drives_, fields.root)) {
    dialogs_.Message(kRootOnShare);
    return;
  }
  try {
    WriteProgramSettings(fs_, settings_, fields);
    if (!otherDisk) WriteKey(*settings_.file, kStoreIdKey, marker->id);
    // Written when changed only: the key stays out of a file that never had it.
    if (network != settings_.networkStore)
      WriteKey(*settings_.file, kNetworkStoreKey, network ? "1" : "0");
    settings_.networkStore = network;
  } catch (const IniError& e) {
    // The values in memory stay those of the file as it was.
    dialogs_.Error(e.what());
    return;
  }
  if (ApplyProgramSettings(settings_, fields)) daysKeptEdit_->setText(QStringLiteral("2"));

  const std::string root = settings_.backupRoot;
  const std::string path = StationSettingsPath(PathRules(PathStyle::kPosix), root, station);
  if (!EnsureStationSettings(fs_, dialogs_, owner_->Station(), path, root)) return;
  owner_->ConfigurationSaved();
  accept();
}

void ConfigurationDialog::CloseWindow() {
  reject();
}

}  // namespace varnoket
