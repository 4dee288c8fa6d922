#include "platform/gui/NamedButton.h"

#include <QPushButton>

namespace varnoket {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromUtf8(name));
  if (!hint.isEmpty()) button->setToolTip(hint);
  button->setAutoDefault(false);
  return button;
}

}  // namespace varnoket
