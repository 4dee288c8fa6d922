#include "ui/gui/HelpWindow.h"

#include <QFile>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTextBrowser>
#include <QTextCursor>

#include "platform/gui/CentreOnScreen.h"
#include "platform/gui/language/ProgramLanguage.h"

// The guide lives in a static library: its resource must be registered by
// name or the linker drops it. Q_INIT_RESOURCE only works outside namespaces.
static void RegisterGuideResource() {
  Q_INIT_RESOURCE(help);
}

namespace varnoket {

namespace {

constexpr int kButtonMargin = 2;
constexpr int kHelpGapAboveButton = 5;

}  // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QDialog(parent),
      guideText_(new QTextBrowser(this)),
      closeButton_(new QPushButton(tr("&Fermer"), this)) {
  RegisterGuideResource();
  setObjectName(QStringLiteral("FormAide"));
  setWindowTitle(tr("Aide Varnoket"));
  setModal(false);
  setSizeGripEnabled(true);

  guideText_->setObjectName(QStringLiteral("RichEdit1"));
  guideText_->setReadOnly(true);
  guideText_->setOpenExternalLinks(true);
  guideText_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  guideText_->setLineWrapMode(QTextEdit::WidgetWidth);
  guideText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  closeButton_->setObjectName(QStringLiteral("BitBtnFermer"));
  closeButton_->setToolTip(tr("Fermer la fenêtre"));
  closeButton_->setAutoDefault(false);
  closeButton_->resize(closeButton_->sizeHint().expandedTo(QSize(75, 25)));
  connect(closeButton_, &QPushButton::clicked, this, &HelpWindow::CloseWindow);

  setMinimumSize(200, 120);
  resize(640, 520);
}

void HelpWindow::ShowHelp() {
  if (isVisible()) {
    // Already open (F1 pressed again): keep the reader's place.
    raise();
    activateWindow();
    return;
  }
  show();
  raise();
  activateWindow();
}

void HelpWindow::LoadGuide() {
  // The guide in the program's language when there is one, else in French.
  const QString language = InstalledProgramLanguage();
  const QString translated = QString::fromLatin1(kGuideResource) + QLatin1Char('_') + language;
  QFile guide(!language.isEmpty() && QFile::exists(translated)
                  ? translated
                  : QString::fromLatin1(kGuideResource));
  if (guide.open(QIODevice::ReadOnly)) {
    guideText_->setHtml(QString::fromUtf8(guide.readAll()));
  } else {
    guideText_->clear();
  }
  guideText_->moveCursor(QTextCursor::Start);
}

void HelpWindow::LayOutControls() {
  const QSize client = size();
  const QSize button = closeButton_->size();
  guideText_->setGeometry(0, 0, client.width() - 2,
                          client.height() - button.height() - kHelpGapAboveButton);
  closeButton_->move(client.width() - button.width() - kButtonMargin,
                     client.height() - button.height() - kButtonMargin);
  guideText_->viewport()->update();
}

void HelpWindow::CloseWindow() {
  close();
}

void HelpWindow::showEvent(QShowEvent* event) {
  // Spontaneous shows come from the window system (a restore from the task
  // bar); only the program's own showings reload the guide.
  if (!event->spontaneous()) {
    if (!centred_) {
      CentreOnScreen(*this);
      centred_ = true;
    }
    LoadGuide();
  }
  QDialog::showEvent(event);
}

void HelpWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  LayOutControls();
}

}  // namespace varnoket
