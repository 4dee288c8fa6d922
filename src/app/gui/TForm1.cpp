#include "app/gui/TForm1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <iostream>

#include "app/gui/GuiBackupHost.h"
#include "app/gui/TrayPictures.h"
#include "desktop/ShortcutLink.h"
#include "desktop/gui/TLabelURL.h"
#include "desktop/gui/TantTaskbarIcon.h"
#include "engine/BackupContext.h"
#include "engine/Scheduler.h"
#include "engine/StationLock.h"
#include "platform/AsciiText.h"
#include "platform/MessageText.h"
#include "platform/PathContainment.h"
#include "platform/ProgramPath.h"
#include "platform/gui/CentreOnScreen.h"
#include "platform/gui/NamedButton.h"
#include "restore/gui/TFormRestaure.h"
#include "settings/ConfigurationRules.h"
#include "ui/gui/TFormAide.h"
#include "ui/gui/TFormError.h"
#include "ui/gui/TFormViewLog.h"
#include "update/gui/THTTPGet.h"

#ifndef VARNOKET_VERSION
#define VARNOKET_VERSION "1.13"
#endif

namespace varnoket {
namespace {

constexpr int kTimerInterval = 600000;  // ten minutes
constexpr const char* kProductName = "Quendralith Backup";
constexpr const char* kWebHost = "www.varnoket.example";
constexpr const char* kContactMail = "contact@varnoket.example";

constexpr const char* kRootMissingMaster =
    "ATTENTION : \r\nLe répertoire devant contenir les sauvegardes n'est pas configuré !\r\n"
    "Cliquer sur OK pour faire apparaitre l'écran de configuration !\r\n"
    "Tant que la configuration sera incomplète aucune sauvegarde ne pourra s'effectuer.";
constexpr const char* kRootMissingNetwork =
    "ATTENTION : \r\nLe répertoire devant contenir les sauvegardes n'est pas configuré !\r\n"
    "Le programme va se terminer ...\r\n"
    "Veuillez executer ce programme depuis son répertoire LOCAL et non pas depuis un partage ou "
    "un lecteur réseau pour pouvoir accéder à la configuration !";
constexpr const char* kRootNotWritableEnd =
    "Le programme va se terminer ... \r\nVeuillez contacter votre administrateur système ou "
    "exécuter le programme depuis son repertoire physique d'installation !";
constexpr const char* kNoStartupFolder =
    "Impossible de trouver un répertoire de démarrage pour créer le raccourci !";
constexpr const char* kConfigureFirst =
    "Vous devez d'abord configurer le répertoire des sauvegardes !";

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

TForm1::TForm1(MainWindowEnv env, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      env_(std::move(env)) {
  setObjectName("Form1");
  setWindowTitle(QString::fromUtf8("Varnoket version " VARNOKET_VERSION
                                   "       Sauvegarde quotidienne de vos fichiers"));
  setToolTip(QString::fromUtf8("Ecran principal"));

  stationName_ = env_.stationName;
  station_.path.clear();
  station_.lastBackupDate.clear();
  if (env_.lowerPriority) env_.lowerPriority();
  updateState_.lastUpdateCheck = 0;
  downloadOk_ = true;

  timer1_ = new QTimer(this);
  timer1_->setObjectName("Timer1");
  timer1_->stop();
  timer1_->setInterval(env_.timerIntervalMs > 0 ? env_.timerIntervalMs : kTimerInterval);
  timer1_->start();
  connect(timer1_, &QTimer::timeout, this, &TForm1::Timer1Timer);

  firstShowPending_ = true;
  masterStation_ = !env_.programPath.empty() && !IsRemotePath(env_.drives, env_.programPath);
  currentVersion_ = VersionFromTitle(windowTitle().toStdString());
  updateState_.currentVersion = currentVersion_;
  httpGetVersion_ = std::make_unique<THTTPGet>();
  httpGetUpdate_ = std::make_unique<THTTPGet>();
  httpGetUpdate_->BinaryData = true;
  for (THTTPGet* get : {httpGetVersion_.get(), httpGetUpdate_.get()}) {
    get->AcceptTypes = "*/*";
    get->Agent = "Quendralith FileDownload";
    get->UseCache = false;
    get->WaitThread = true;
    get->OnError = [this](THTTPGet*) { downloadOk_ = false; };
  }

  BuildControls();
  BuildTray();
  systray_->SetVisible(true);
  qApp->installEventFilter(this);

  host_ = std::make_unique<GuiBackupHost>(GuiBackupHostParts{
      systray_.get(), configurer1_, agrandir1_, timer1_, [this] { return forms_.error; },
      [this] {
        show();
        directories_->setFocus();
      }});
}

TForm1::~TForm1() {
  if (qApp != nullptr) qApp->removeEventFilter(this);
}

void TForm1::SetForms(const MainWindowForms& forms) {
  forms_ = forms;
}

void TForm1::BuildControls() {
  auto* top = new QVBoxLayout(this);

  auto* buttons = new QHBoxLayout;
  auto* viewLog = MakeButton(this, "BitBtnViewLog", "&Voir LOG", nullptr);
  configurer_ = MakeButton(this, "BitBtnConfigurer", "&Configurer",
                           "Configuration (heure de sauvegarde,répertoire ...)");
  auto* aide = MakeButton(this, "BitBtnAide", "A&IDE", "Obtenir de l'aide");
  buttons->addWidget(viewLog);
  buttons->addWidget(configurer_);
  buttons->addWidget(aide);
  top->addLayout(buttons);
  connect(viewLog, &QPushButton::clicked, this, &TForm1::ButtonVoirLogClick);
  connect(configurer_, &QPushButton::clicked, this, &TForm1::VKButtonConfigurerClick);
  connect(aide, &QPushButton::clicked, this, &TForm1::VKButtonAideClick);

  auto* links = new QHBoxLayout;
  auto* www = new TLabelURL(this);
  www->setObjectName("LabelURLWWW");
  www->setText(QString::fromUtf8("VISITEZ ") + kWebHost);
  www->setToolTip(QString::fromUtf8("Cliquer ici pour visiter notre site internet"));
  www->SetURLType(TURLType::utHttp);
  www->SetURL(kWebHost);
  auto* mail = new TLabelURL(this);
  mail->setObjectName("LabelURLMail");
  mail->setText(QString::fromUtf8("CONTACT:  ") + kContactMail);
  mail->setToolTip(QString::fromUtf8("Cliquer ici pour nous envoyer un email"));
  mail->SetURLType(TURLType::utMailTo);
  mail->SetURL(kContactMail);
  for (TLabelURL* label : {www, mail}) {
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(0xFF, 0xFB, 0xF0));  // cream
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
    links->addWidget(label);
  }
  top->addLayout(links);

  auto* dirGroup = new QGroupBox(QString::fromUtf8("Répertoires à Sauvegarder"), this);
  auto* dirLayout = new QVBoxLayout(dirGroup);
  directories_ = new QListWidget(dirGroup);
  directories_->setObjectName("VKListBoxRepertoires");
  directories_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  auto* dirButtons = new QHBoxLayout;
  auto* add = MakeButton(dirGroup, "VKBitBtn1", "&Ajouter",
                         "Ajoute un répertoire à la liste des répertoires à sauvegarder");
  auto* remove = MakeButton(dirGroup, "VKBitBtn2", "E&nlever", "Enlève un repertoire de la liste");
  dirButtons->addWidget(add);
  dirButtons->addWidget(remove);
  dirLayout->addWidget(directories_);
  dirLayout->addLayout(dirButtons);
  top->addWidget(dirGroup);
  connect(add, &QPushButton::clicked, this, &TForm1::VKBitBtn1Click);
  connect(remove, &QPushButton::clicked, this, &TForm1::VKBitBtn2Click);

  auto* exGroup = new QGroupBox(QString::fromUtf8("Fichiers à Exclure (facultatif)"), this);
  auto* exLayout = new QVBoxLayout(exGroup);
  exclusions_ = new QListWidget(exGroup);
  exclusions_->setObjectName("ListBoxExclusions");
  auto* exButtons = new QHBoxLayout;
  auto* addEx =
      MakeButton(exGroup, "BitBtn1", "A&jouter", "Ajoute un filtre d'exclusion de fichiers");
  auto* removeEx =
      MakeButton(exGroup, "BitBtn2", "En&lever", "Enlève un filtre d'exclusion de fichiers");
  exButtons->addWidget(addEx);
  exButtons->addWidget(removeEx);
  exLayout->addWidget(exclusions_);
  exLayout->addLayout(exButtons);
  top->addWidget(exGroup);
  connect(addEx, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
  connect(removeEx, &QPushButton::clicked, this, &TForm1::BitBtn2Click);

  auto* bottom = new QHBoxLayout;
  restaurer_ = MakeButton(this, "BitBtnRestaurer", "Effectuer une &Restauration",
                          "Effectuer une restauration de fichiers ");
  saveNow_ = MakeButton(this, "BitBtnSaveNow", "&Sauvegarder Maintenant",
                        "Effectuer une sauvegarde tout de suite");
  saveNow_->setEnabled(false);
  auto* fermer = MakeButton(this, "BitBtnFermer", "&Fermer", "Fermer la fenêtre");
  bottom->addWidget(restaurer_);
  bottom->addWidget(saveNow_);
  bottom->addWidget(fermer);
  top->addLayout(bottom);
  connect(restaurer_, &QPushButton::clicked, this, &TForm1::ButtonRestaurerClick);
  connect(saveNow_, &QPushButton::clicked, this, &TForm1::BitBtnSaveNowClick);
  connect(fermer, &QPushButton::clicked, this, &QWidget::close);

  RefreshDirectoryList();
  RefreshExclusionList();
  resize(560, 520);
  setFixedSize(size());
}

void TForm1::BuildTray() {
  trayPictures_ = MakeTrayPictures();
  popupMenu1_ = new QMenu(this);
  popupMenu1_->setObjectName("PopupMenu1");
  configurer1_ = popupMenu1_->addAction(QString::fromUtf8("&Configurer"));
  configurer1_->setObjectName("Configurer1");
  agrandir1_ = popupMenu1_->addAction(QString::fromUtf8("&Agrandir"));
  agrandir1_->setObjectName("Agrandir1");
  aide1_ = popupMenu1_->addAction(QString::fromUtf8("Ai&de"));
  aide1_->setObjectName("Aide1");
  quitter1_ = popupMenu1_->addAction(QString::fromUtf8("&Quitter"));
  quitter1_->setObjectName("Quitter1");
  connect(configurer1_, &QAction::triggered, this, &TForm1::Configurer1Click);
  connect(agrandir1_, &QAction::triggered, this, &TForm1::Agrandir1Click);
  connect(aide1_, &QAction::triggered, this, &TForm1::VKButtonAideClick);
  connect(quitter1_, &QAction::triggered, this, &TForm1::Quitter1Click);

  systray_ = std::make_unique<TantTaskbarIcon>();
  systray_->setObjectName("Systray1");
  systray_->SetIcon(trayPictures_[0]);
  systray_->SetImageList(&trayPictures_);
  systray_->SetHint(kProductName);
  systray_->SetPopupMenu(popupMenu1_);
  systray_->OnDblClick = [this](TantTaskbarIcon*) { SysTray1DblClick(); };
}

// --- start-up -------------------------------------------------------------

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!centred_) {
    centred_ = true;
    CentreOnScreen(*this);
  }
  // The checks may open modal boxes and the configuration; they run from
  // the event loop once the window is on screen, not inside its showing.
  if (firstShowPending_ && !checksQueued_) {
    checksQueued_ = true;
    QTimer::singleShot(0, this, [this] {
      checksQueued_ = false;
      FormShow();
    });
  }
}

const ProgramSettings& TForm1::Program() const {
  static const ProgramSettings kNone;
  return forms_.config != nullptr ? forms_.config->Settings() : kNone;
}

std::string TForm1::BackupRoot() const {
  return Program().backupRoot;
}

void TForm1::FormShow() {
  if (!firstShowPending_) return;
  firstShowPending_ = false;
  configurer_->setVisible(masterStation_);
  configurer1_->setEnabled(masterStation_);

  if (BackupRoot().empty()) {
    if (masterStation_) {
      env_.dialogs.Warning(kRootMissingMaster);
      ShowConfiguration();
      if (BackupRoot().empty()) {
        firstShowPending_ = true;
        return;
      }
    } else {
      env_.dialogs.Error(kRootMissingNetwork);
      systray_->SetVisible(false);
      EndProgram();
      return;
    }
  }
  const std::string root = BackupRoot();

  if (!WriteTestOfRoot(root)) {
    env_.dialogs.Error(
        "Impossible d'écrire dans le répertoire racine de sauvegarde (" + root + ") !" +
        "\r\nVeuillez vérifier que ce repertoire existe toujours, que vous avez les droits "
        "d'accès en écriture et qu'il reste suffisamment d'espace disque disponible !");
    if (!masterStation_) {
      env_.dialogs.Error(kRootNotWritableEnd);
      systray_->SetVisible(false);
      EndProgram();
    } else {
      firstShowPending_ = true;
    }
    return;
  }

  if (IsInstalledProgramName(env_.programPath)) {
    startupFolder_ = ChooseStartupFolder(env_.fs, env_.autostart);
    if (startupFolder_.empty()) {
      env_.dialogs.Error(kNoStartupFolder);
      return;
    }
    WriteStartupEntry();
  }

  const PathRules rules(PathStyle::Posix);
  // Another machine's backup set is neither shown nor saved from here.
  const std::string ownerProblem =
      StationOwnerProblem(env_.fs, StoreLayout(rules, root, stationName_), ThisMachine(env_.fs));
  if (!ownerProblem.empty()) {
    env_.dialogs.Error(ownerProblem);
    RefreshDirectoryList();
    RefreshExclusionList();
    return;
  }
  if (!LoadStationSettings(env_.fs, env_.dialogs, station_, root, stationName_, rules)) {
    RefreshDirectoryList();
    RefreshExclusionList();
    return;
  }
  RefreshExclusionList();
  RefreshDirectoryList();

  const int ancestor = FindRootAncestor(env_.fs, station_.directories, root);
  if (ancestor >= 0) {
    const std::string entry = station_.directories[static_cast<size_t>(ancestor)];
    env_.dialogs.Warning(FillText(
        "Le dossier à sauvegarder (%s) est un dossier parent du répertoire de sauvegardes (%s) "
        "ce qui est interdit ! Il va donc être supprimé de la liste.",
        {entry, root}));
    station_.directories.erase(station_.directories.begin() + ancestor);
    RefreshDirectoryList();
    UpdateHorizontalExtent();
    EnregistrerIni(env_.dialogs, station_);
  }

  FinishStationSettingsLoad(station_);

  if (!station_.directories.empty()) {
    saveNow_->setEnabled(true);
    PostCloseRequest();
  }
  restaurer_->setEnabled(true);
}

bool TForm1::WriteTestOfRoot(const std::string& root) {
  const std::string probe = PathRules(PathStyle::Posix).Join(root, "_temp_.txt");
  env_.fs.ClearAttributes(probe);
  return CanWriteInFolder(env_.fs, root);
}

void TForm1::WriteStartupEntry() {
  TShortcutLink link(env_.fs);
  link.Description = kProductName;
  link.IconNumber = 0;
  link.ShortcutFile = PathRules(PathStyle::Posix).Join(startupFolder_, "varnoket.desktop");
  link.Target = env_.programPath;
  try {
    link.WriteLink();
  } catch (const EShortcutError& e) {
    // Without the entry the program does not start at the next logon, but
    // everything else works: say so once and go on with the checks.
    env_.dialogs.Error(e.what());
  }
}

void TForm1::PostCloseRequest() {
  QTimer::singleShot(0, this, [this] { close(); });
}

void TForm1::EndProgram() {
  // Called from inside a run too (its pump lets the tray menu work): the run
  // stops at its next file boundary and the event loop is left after it.
  if (host_) host_->RequestStop();
  if (env_.exitProgram) env_.exitProgram(0);
}

void TForm1::EndWithoutQuestion() {
  systray_->SetVisible(false);
  EndProgram();
}

void TForm1::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (env_.trayAvailable) {
    hide();
  } else {
    // No notification area to come back from: keep the window reachable.
    showMinimized();
  }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease && watched->isWidgetType()) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F1 && !key->isAutoRepeat()) ShowHelp();
  }
  return QWidget::eventFilter(watched, event);
}

// --- lists ----------------------------------------------------------------

void TForm1::RefreshDirectoryList() {
  directories_->clear();
  for (const auto& d : station_.directories) directories_->addItem(Q(d));
}

void TForm1::RefreshExclusionList() {
  exclusions_->clear();
  for (const auto& f : station_.exclusions) exclusions_->addItem(Q(f));
}

void TForm1::UpdateSaveNowButton() {
  saveNow_->setEnabled(!station_.backupDirectories.empty());
  saveNow_->repaint();
}

int TForm1::UpdateHorizontalExtent() {
  const QFontMetrics metrics(directories_->font());
  int widest = 0;
  for (const auto& d : station_.directories) {
    widest = std::max(widest, metrics.horizontalAdvance(Q(d + "x")));
  }
  horizontalExtent_ = widest;
  directories_->setHorizontalScrollBarPolicy(
      widest > directories_->viewport()->width() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
  return horizontalExtent_;
}

void TForm1::ConfigurationSaved() {
  UpdateSaveNowButton();
}

void TForm1::AddExclusion(const std::string& filter) {
  station_.exclusions.push_back(filter);
  SortLikeListBox(station_.exclusions);
  RefreshExclusionList();
  EnregistrerIni(env_.dialogs, station_);
}

void TForm1::VKBitBtn1Click() {
  const std::string root = BackupRoot();
  if (root.empty()) {
    env_.dialogs.Error(kConfigureFirst);
    return;
  }
  const PathRules rules(PathStyle::Posix);
  std::string chosen = env_.picker.BrowseForFolder("Choisissez un répertoire", false);
  if (chosen.empty()) return;
  chosen = rules.RemoveTrailingSeparator(chosen);
  const auto entry = env_.fs.Stat(chosen);
  if (!entry || !entry->isDirectory) {
    env_.dialogs.Error(FillText("Le repertoire (%s) n'est pas accessible !", {chosen}));
    return;
  }
  // Decided on what the disk holds: "/data/Sauvegardes-old" is beside the
  // root, a link to "/data" holds it.
  const FolderRelation relation = PathContainment(env_.fs).RelationOf(chosen, root);
  if (relation == FolderRelation::kSameOrInside) {
    env_.dialogs.Warning(
        FillText("Vous ne pouvez pas sauvegarder des fichiers inclus dans (%s) \r\ncar il s'agit "
                 "du répertoire qui contiendra les sauvegardes !",
                 {root}));
    return;
  }
  if (relation == FolderRelation::kHolds) {
    env_.dialogs.Warning(FillText(
        "Le dossier (%s) est un dossier parent du répertoire qui contiendra les sauvegardes (%s) "
        "!\r\nVous ne pouvez pas sélectionner ce dossier, ou alors vous devez modifier  le "
        "répertoire des sauvegardes dans l'écran de configuration (possible uniquement sur un "
        "poste maitre) !",
        {chosen, root}));
    return;
  }
  if (IsRemotePath(env_.drives, chosen)) {
    env_.dialogs.Message("Les chemins réseaux ne sont pas autorisés dans cette version !");
    return;
  }
  env_.drives.RefreshDrive(chosen, kDriveAllParts);
  const TDriveInfoRec rec = env_.drives.GetDriveRec(chosen);
  if (!rec.DiskPresent || rec.DriveType != DRIVE_FIXED) {
    env_.dialogs.Message(
        "Vous ne pouvez sauvegarder que des répertoires de lecteurs fixes (disques durs) dans "
        "cette version !");
    return;
  }
  // Two POSIX paths that differ in case are two directories.
  for (const auto& d : station_.directories) {
    if (rules.Equal(d, chosen)) {
      env_.dialogs.Message("Ce répertoire est déjà présent dans la liste !");
      return;
    }
  }
  station_.directories.push_back(chosen);
  SortLikeListBox(station_.directories);
  RefreshDirectoryList();
  UpdateHorizontalExtent();
  EnregistrerIni(env_.dialogs, station_);
  UpdateSaveNowButton();
}

void TForm1::VKBitBtn2Click() {
  const int row = directories_->currentRow();
  if (row < 0 || station_.directories.empty() || directories_->currentItem() == nullptr ||
      !directories_->currentItem()->isSelected()) {
    return;
  }
  if (env_.dialogs.Warning(
          "ATTENTION si vous enlever un répertoire de la liste, les fichiers qu'il contient ne "
          "seront plus sauvegardés!\r\nConfirmez vous votre choix ?",
          DialogButtons::OkCancel) != DialogAnswer::Ok) {
    return;
  }
  station_.directories.erase(station_.directories.begin() + row);
  RefreshDirectoryList();
  UpdateHorizontalExtent();
  EnregistrerIni(env_.dialogs, station_);
  UpdateSaveNowButton();
}

void TForm1::BitBtn1Click() {
  if (BackupRoot().empty()) {
    env_.dialogs.Error(kConfigureFirst);
    return;
  }
  if (forms_.addExclusion != nullptr) forms_.addExclusion->exec();
}

void TForm1::BitBtn2Click() {
  const int row = exclusions_->currentRow();
  if (row < 0 || exclusions_->currentItem() == nullptr ||
      !exclusions_->currentItem()->isSelected()) {
    return;
  }
  station_.exclusions.erase(station_.exclusions.begin() + row);
  RefreshExclusionList();
  EnregistrerIni(env_.dialogs, station_);
}

// --- windows and menu -----------------------------------------------------

void TForm1::ShowConfiguration() {
  if (forms_.config == nullptr) return;
  if (forms_.config->isVisible()) {
    forms_.config->raise();
    forms_.config->activateWindow();
  } else {
    forms_.config->exec();
  }
}

void TForm1::ShowHelp() {
  if (forms_.aide != nullptr) forms_.aide->ShowHelp();
}

void TForm1::SysTray1DblClick() {
  if (!agrandir1_->isEnabled()) return;
  if (isVisible()) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    setFocus();
  } else {
    show();
  }
}

void TForm1::Configurer1Click() {
  if (masterStation_) ShowConfiguration();
}

void TForm1::VKButtonConfigurerClick() {
  ShowConfiguration();
}

void TForm1::VKButtonAideClick() {
  ShowHelp();
}

void TForm1::Quitter1Click() {
  if (env_.dialogs.Warning("Etes vous sur de vouloir quitter Quendralith Backup ?",
                           DialogButtons::OkCancel) == DialogAnswer::Ok) {
    // The question is asked from inside the tray icon's own mouse event (its
    // menu); removing the icon there would delete the object that is still
    // handling that event. The icon goes, and the program ends, once the
    // event is over.
    QTimer::singleShot(0, this, [this] {
      systray_->SetVisible(false);
      EndProgram();
    });
  }
}

void TForm1::ButtonRestaurerClick() {
  if (BackupRoot().empty()) {
    env_.dialogs.Message("Veuillez d'abord configurer le répertoire de sauvegarde !");
    return;
  }
  if (forms_.restaure != nullptr) forms_.restaure->exec();
}

void TForm1::ButtonVoirLogClick() {
  if (forms_.viewLog != nullptr) {
    forms_.viewLog->ShowLog(env_.fs, env_.dialogs, BackupRoot(), stationName_);
  }
}

// --- scheduler ------------------------------------------------------------

void TForm1::Timer1Timer() {
  if (station_.lastBackupDate.empty() || !Program().IsOpen()) return;
  timer1_->stop();
  switch (RunUpdateStep()) {
    case UpdateTickResult::kGoOn:
      break;
    case UpdateTickResult::kStopTick:  // its error is shown, the timer runs again
      return;
    case UpdateTickResult::kProcessEnded:  // handing over to the new version
      return;
  }
  const LocalDateTime now = env_.clock.Now();
  if (IsBackupDue(now, station_.lastBackupDate, Program().preferredHour,
                  Program().preferredMinute)) {
    RunBackupNow();
  }
  timer1_->start();
}

void TForm1::BitBtnSaveNowClick() {
  const std::string root = BackupRoot();
  if (root.empty() || stationName_.empty() || station_.lastBackupDate.empty() ||
      !Program().IsOpen()) {
    return;
  }
  const LocalDateTime now = env_.clock.Now();
  bool redo = false;
  if (IsTodayAfter(now, station_.lastBackupDate)) {
    if (env_.dialogs.Warning(
            "Une sauvegarde peut prendre beaucoup de temps...\r\nVoulez vous sauvegarder "
            "maintenant ?",
            DialogButtons::YesNo) != DialogAnswer::Yes) {
      return;
    }
  } else {
    if (env_.dialogs.Warning(
            "Une sauvegarde a déjà été effectuée aujourd'hui.\r\nVoulez vous recommencer et "
            "écraser l'ancienne ?",
            DialogButtons::YesNo) != DialogAnswer::Yes) {
      return;
    }
    redo = true;
  }
  PostCloseRequest();
  timer1_->stop();
  RunBackupNow(redo);
  timer1_->start();
  // The button's run is the user's own request: a run that could not start
  // must say why.
  if (lastOutcome_ == BackupOutcome::kBusy) env_.dialogs.Message(lastRefusal_);
}

UpdateTickResult TForm1::RunUpdateStep() {
  UpdateEnv update(env_.fs, env_.clock);
  update.programPath = env_.programPath;
  update.programFolder = ProgramFolderOf(env_.programPath);
  if (!env_.updateUrl.empty()) {
    update.versionUrl = env_.updateUrl;
    update.publicKeyHex = env_.updatePublicKeyHex;
  }
  update.isOnline = env_.isOnline ? env_.isOnline : [] { return false; };
  update.fetch = [this](const std::string& url, const std::string& fileName, bool binary) {
    THTTPGet& get = binary ? *httpGetUpdate_ : *httpGetVersion_;
    downloadOk_ = true;
    get.URL = url;
    get.FileName = fileName;
    get.Fetch();
    return downloadOk_;
  };
  update.pump = [] { QCoreApplication::processEvents(); };
  update.start = env_.startProgram;
  update.endProcess = [this] {
    systray_->SetVisible(false);
    EndProgram();
  };
  update.showError = [this](const std::string& text) {
    if (forms_.error != nullptr) forms_.error->ShowError(text);
  };
  update.setTrayImage = [this](int index) { systray_->SetImageIndex(index); };
  update.startTimer = [this] { timer1_->start(); };
  return RunUpdateTick(update, updateState_, masterStation_);
}

void TForm1::RunBackupNow(bool redoToday) {
  BackupContext ctx(env_.fs, env_.clock, *host_, env_.dialogs, station_);
  ctx.backupRoot = BackupRoot();
  ctx.stationName = stationName_;
  ctx.daysKept = Program().daysKept;
  ctx.masterStation = masterStation_;
  ctx.redoToday = redoToday;
  lastOutcome_ = RunBackup(ctx);
  lastRefusal_ = ctx.refusal;
  if (lastOutcome_ == BackupOutcome::kBusy) {
    // Another run (varnoket-cli, or another copy on a machine sharing the
    // store) works on this station; the backup date is unchanged, so the
    // next tick tries again.
    std::cerr << "varnoket: " << ctx.refusal << "\n";
    systray_->SetHint(ctx.refusal);
  }
}

}  // namespace varnoket
