#include "ui/gui/TFormAide.h"

#include <QFile>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTextBrowser>
#include <QTextCursor>

#include "platform/gui/CentreOnScreen.h"

// The guide lives in a static library: its resource must be registered by
// name or the linker drops it. Q_INIT_RESOURCE only works outside namespaces.
static void RegisterGuideResource() {
  Q_INIT_RESOURCE(help);
}

namespace varnoket {

namespace {

constexpr int kButtonMargin = 2;
constexpr int kGapAboveButton = 5;

}  // namespace

TFormAide::TFormAide(QWidget* parent)
    : QDialog(parent),
      richEdit1_(new QTextBrowser(this)),
      bitBtnFermer_(new QPushButton(QStringLiteral("&Fermer"), this)) {
  RegisterGuideResource();
  setObjectName(QStringLiteral("FormAide"));
  setWindowTitle(QStringLiteral("Aide Varnoket"));
  setModal(false);
  setSizeGripEnabled(true);

  richEdit1_->setObjectName(QStringLiteral("RichEdit1"));
  richEdit1_->setReadOnly(true);
  richEdit1_->setOpenExternalLinks(true);
  richEdit1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  richEdit1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  bitBtnFermer_->setObjectName(QStringLiteral("BitBtnFermer"));
  bitBtnFermer_->setToolTip(QStringLiteral("Fermer la fenêtre"));
  bitBtnFermer_->setAutoDefault(false);
  bitBtnFermer_->resize(bitBtnFermer_->sizeHint().expandedTo(QSize(75, 25)));
  connect(bitBtnFermer_, &QPushButton::clicked, this, &TFormAide::Button1Click);

  setMinimumSize(200, 120);
  resize(640, 520);
}

void TFormAide::ShowHelp() {
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

void TFormAide::FormShow() {
  QFile guide(QString::fromLatin1(kGuideResource));
  if (guide.open(QIODevice::ReadOnly)) {
    richEdit1_->setHtml(QString::fromUtf8(guide.readAll()));
  } else {
    richEdit1_->clear();
  }
  richEdit1_->moveCursor(QTextCursor::Start);
}

void TFormAide::FormResize() {
  const QSize client = size();
  const QSize button = bitBtnFermer_->size();
  richEdit1_->setGeometry(0, 0, client.width() - 2,
                          client.height() - button.height() - kGapAboveButton);
  bitBtnFermer_->move(client.width() - button.width() - kButtonMargin,
                      client.height() - button.height() - kButtonMargin);
  richEdit1_->viewport()->update();
}

void TFormAide::Button1Click() {
  close();
}

void TFormAide::showEvent(QShowEvent* event) {
  // Spontaneous shows come from the window system (a restore from the task
  // bar); only the program's own showings reload the guide.
  if (!event->spontaneous()) {
    if (!centred_) {
      CentreOnScreen(*this);
      centred_ = true;
    }
    FormShow();
  }
  QDialog::showEvent(event);
}

void TFormAide::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

}  // namespace varnoket
