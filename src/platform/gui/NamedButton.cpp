#include "platform/gui/NamedButton.h"

#include <QPushButton>

namespace varnoket {

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, const char* hint) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(QString::fromUtf8(name));
  if (hint != nullptr) button->setToolTip(QString::fromUtf8(hint));
  button->setAutoDefault(false);
  return button;
}

}  // namespace varnoket
