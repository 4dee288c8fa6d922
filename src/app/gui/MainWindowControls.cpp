// The main window's controls and its tray icon with the tray menu: built once,
// each control under its objectName, each signal connected to its handler.
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/gui/MainWindow.h"
#include "app/gui/TrayPictures.h"
#include "desktop/gui/LinkLabel.h"
#include "desktop/gui/TrayIcon.h"
#include "platform/gui/NamedButton.h"

namespace varnoket {
namespace {

constexpr const char* kWebHost = "www.varnoket.example";
constexpr const char* kContactMail = "contact@varnoket.example";

}  // namespace

void MainWindow::BuildControls() {
  auto* top = new QVBoxLayout(this);

  auto* buttons = new QHBoxLayout;
  auto* viewLog = MakeButton(this, "BitBtnViewLog", tr("&Voir LOG"), QString());
  configureButton_ = MakeButton(this, "BitBtnConfigurer", tr("&Configurer"),
                                tr("Configuration (heure de sauvegarde,répertoire ...)"));
  auto* help = MakeButton(this, "BitBtnAide", tr("A&IDE"), tr("Obtenir de l'aide"));
  buttons->addWidget(viewLog);
  buttons->addWidget(configureButton_);
  buttons->addWidget(help);
  top->addLayout(buttons);
  connect(viewLog, &QPushButton::clicked, this, &MainWindow::OpenLogViewer);
  connect(configureButton_, &QPushButton::clicked, this, &MainWindow::Configure);
  connect(help, &QPushButton::clicked, this, &MainWindow::ShowHelpWindow);

  auto* links = new QHBoxLayout;
  auto* www = new LinkLabel(this);
  www->setObjectName("LabelURLWWW");
  www->setText(tr("VISITEZ %1").arg(QString::fromUtf8(kWebHost)));
  www->setToolTip(tr("Cliquer ici pour visiter notre site internet"));
  www->SetURLType(UrlType::kHttp);
  www->SetURL(kWebHost);
  auto* mail = new LinkLabel(this);
  mail->setObjectName("LabelURLMail");
  mail->setText(tr("CONTACT:  %1").arg(QString::fromUtf8(kContactMail)));
  mail->setToolTip(tr("Cliquer ici pour nous envoyer un email"));
  mail->SetURLType(UrlType::kMailTo);
  mail->SetURL(kContactMail);
  for (LinkLabel* label : {www, mail}) {
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(0xFF, 0xFB, 0xF0));  // cream
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
    links->addWidget(label);
  }
  top->addLayout(links);
  BuildStatusBlock(top);
  QWidget* dirGroup = BuildDirectoryGroup(top);
  QWidget* exGroup = BuildExclusionGroup(top);
  BuildBottomButtons(top);
  lockedDuringRun_ = {dirGroup, exGroup, restoreButton_, saveNowButton_, configureButton_};

  RefreshDirectoryList();
  RefreshExclusionList();
  resize(560, 660);
  setFixedSize(size());
}

QWidget* MainWindow::BuildDirectoryGroup(QVBoxLayout* top) {
  auto* dirGroup = new QGroupBox(tr("Répertoires à Sauvegarder"), this);
  auto* dirLayout = new QVBoxLayout(dirGroup);
  directories_ = new QListWidget(dirGroup);
  directories_->setObjectName("VKListBoxRepertoires");
  directories_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  auto* dirButtons = new QHBoxLayout;
  auto* add = MakeButton(dirGroup, "VKBitBtn1", tr("&Ajouter"),
                         tr("Ajoute un répertoire à la liste des répertoires à sauvegarder"));
  auto* remove =
      MakeButton(dirGroup, "VKBitBtn2", tr("E&nlever"), tr("Enlève un répertoire de la liste"));
  dirButtons->addWidget(add);
  dirButtons->addWidget(remove);
  dirLayout->addWidget(directories_);
  dirLayout->addLayout(dirButtons);
  includeHidden_ = new QCheckBox(tr("Inclure les dossiers cachés"), dirGroup);
  includeHidden_->setObjectName("CheckBoxHiddenFolders");
  includeHidden_->setToolTip(
      tr("Les dossiers cachés (.config, .local/share, .thunderbird...) gardent le courrier, les "
         "clés et les données des applications. Les caches du bureau (.cache, corbeille, "
         "vignettes) ne sont jamais sauvegardés."));
  dirLayout->addWidget(includeHidden_);
  top->addWidget(dirGroup);
  connect(includeHidden_, &QCheckBox::clicked, this, &MainWindow::IncludeHiddenFoldersClicked);
  connect(add, &QPushButton::clicked, this, &MainWindow::AddBackupDirectory);
  connect(remove, &QPushButton::clicked, this, &MainWindow::RemoveBackupDirectory);
  return dirGroup;
}

QWidget* MainWindow::BuildExclusionGroup(QVBoxLayout* top) {
  auto* exGroup = new QGroupBox(tr("Fichiers à Exclure (facultatif)"), this);
  auto* exLayout = new QVBoxLayout(exGroup);
  exclusions_ = new QListWidget(exGroup);
  exclusions_->setObjectName("ListBoxExclusions");
  auto* exButtons = new QHBoxLayout;
  auto* addEx = MakeButton(exGroup, "BitBtn1", tr("A&jouter"),
                           tr("Ajoute un filtre d'exclusion de fichiers"));
  auto* removeEx = MakeButton(exGroup, "BitBtn2", tr("En&lever"),
                              tr("Enlève un filtre d'exclusion de fichiers"));
  exButtons->addWidget(addEx);
  exButtons->addWidget(removeEx);
  exLayout->addWidget(exclusions_);
  exLayout->addLayout(exButtons);
  // The filters a new set starts with are said, and dropped in one click.
  defaultExclusionsLabel_ = new QLabel(
      tr("Par défaut, la musique et la vidéo (*.mp3, *.mpeg, *.mpg) et le fichier d'échange de "
         "Windows (PageFile.sys) ne sont pas sauvegardés ; chaque sauvegarde compte dans son "
         "journal les fichiers ainsi laissés de côté."),
      exGroup);
  defaultExclusionsLabel_->setObjectName("LabelExclusionsParDefaut");
  defaultExclusionsLabel_->setWordWrap(true);
  dropDefaultsButton_ =
      MakeButton(exGroup, "BitBtnSauvegarderTout", tr("Sauvegarder aussi la &musique et la vidéo"),
                 tr("Enlève les filtres d'exclusion proposés par défaut"));
  exLayout->addWidget(defaultExclusionsLabel_);
  exLayout->addWidget(dropDefaultsButton_);
  connect(dropDefaultsButton_, &QPushButton::clicked, this, &MainWindow::DropDefaultExclusions);
  top->addWidget(exGroup);
  connect(addEx, &QPushButton::clicked, this, &MainWindow::AddExclusionFilter);
  connect(removeEx, &QPushButton::clicked, this, &MainWindow::RemoveExclusionFilter);
  return exGroup;
}

void MainWindow::BuildBottomButtons(QVBoxLayout* top) {
  auto* bottom = new QHBoxLayout;
  restoreButton_ = MakeButton(this, "BitBtnRestaurer", tr("Effectuer une &Restauration"),
                              tr("Effectuer une restauration de fichiers "));
  saveNowButton_ = MakeButton(this, "BitBtnSaveNow", tr("&Sauvegarder Maintenant"),
                              tr("Effectuer une sauvegarde tout de suite"));
  saveNowButton_->setEnabled(false);
  auto* closeButton = MakeButton(this, "BitBtnFermer", tr("&Fermer"), tr("Fermer la fenêtre"));
  // Closing only hides the window in the notification area; quitting is
  // here too, for desktops whose tray menu cannot be reached.
  auto* quitButton =
      MakeButton(this, "BitBtnQuitter", tr("&Quitter"),
                 tr("Arrêter Varnoket : plus aucune sauvegarde jusqu'à son prochain démarrage"));
  bottom->addWidget(restoreButton_);
  bottom->addWidget(saveNowButton_);
  bottom->addWidget(closeButton);
  bottom->addWidget(quitButton);
  top->addLayout(bottom);
  connect(restoreButton_, &QPushButton::clicked, this, &MainWindow::OpenRestoreWindow);
  connect(saveNowButton_, &QPushButton::clicked, this, &MainWindow::BackUpNow);
  connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
  connect(quitButton, &QPushButton::clicked, this, &MainWindow::Quit);
}

void MainWindow::BuildTray() {
  trayPictures_ = MakeTrayPictures();
  trayMenu_ = new QMenu(this);
  trayMenu_->setObjectName("PopupMenu1");
  // Where backups stand, read at a glance: lines to read, not to choose.
  trayStatusAction_ = trayMenu_->addAction(QString());
  trayStatusAction_->setObjectName("EtatSauvegarde1");
  trayStatusAction_->setEnabled(false);
  trayNextAction_ = trayMenu_->addAction(QString());
  trayNextAction_->setObjectName("ProchaineSauvegarde1");
  trayNextAction_->setEnabled(false);
  traySeparator_ = trayMenu_->addSeparator();
  backUpNowAction_ = trayMenu_->addAction(tr("&Sauvegarder maintenant"));
  backUpNowAction_->setObjectName("SauvegarderMaintenant1");
  configureAction_ = trayMenu_->addAction(tr("&Configurer"));
  configureAction_->setObjectName("Configurer1");
  showWindowAction_ = trayMenu_->addAction(tr("&Agrandir"));
  showWindowAction_->setObjectName("Agrandir1");
  helpAction_ = trayMenu_->addAction(tr("Ai&de"));
  helpAction_->setObjectName("Aide1");
  quitAction_ = trayMenu_->addAction(tr("&Quitter"));
  quitAction_->setObjectName("Quitter1");
  connect(configureAction_, &QAction::triggered, this, &MainWindow::ConfigureFromMenu);
  connect(showWindowAction_, &QAction::triggered, this, &MainWindow::ShowMainWindowFromMenu);
  connect(helpAction_, &QAction::triggered, this, &MainWindow::ShowHelpWindow);
  connect(quitAction_, &QAction::triggered, this, &MainWindow::Quit);
  connect(backUpNowAction_, &QAction::triggered, this, &MainWindow::BackUpNow);
  // Offered as the window's button is: with folders to save, and no run under way.
  connect(trayMenu_, &QMenu::aboutToShow, this, [this] {
    backUpNowAction_->setEnabled(saveNowButton_->isEnabled() && !scheduler_->Running());
    RefreshStatus();
  });

  systray_ = std::make_unique<TrayIcon>();
  systray_->setObjectName("Systray1");
  systray_->SetIcon(trayPictures_[0]);
  systray_->SetImageList(&trayPictures_);
  systray_->SetHint(kTrayProductName);
  systray_->SetPopupMenu(trayMenu_);
  systray_->OnDoubleClick = [this](TrayIcon*) { ShowMainWindow(); };
}

}  // namespace varnoket
